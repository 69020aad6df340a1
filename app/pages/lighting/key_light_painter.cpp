#include "app/pages/lighting/key_light_painter.h"

#include "app/pages/lighting/preview_pace.h"

namespace rxt {

KeyLightPainter::KeyLightPainter(ui::SkinUi& ui, std::string_view keyPrefix,
                                 std::string_view keyOption)
    : shared_(std::make_shared<Shared>()) {
    shared_->ui = &ui;
    shared_->option = std::string(keyOption);
    for (size_t k = 0; k < lighting::kKeyCount; ++k) {
        shared_->names[k] = std::string(keyPrefix) + std::to_string(k);
    }
}

size_t KeyLightPainter::posts() const {
    std::lock_guard lock(shared_->mutex);
    return shared_->posts;
}

void KeyLightPainter::showKeys(const lighting::KeyDisplay& display) {
    Shared& s = *shared_;
    const auto now = std::chrono::steady_clock::now();
    {
        std::lock_guard lock(s.mutex);
        s.pending = display;
        if (s.queued || now - s.lastPost < (s.onScreen ? kPreviewFramePace : kPreviewIdleRecheck)) {
            return;
        }
        s.queued = true;
        s.lastPost = now;
        ++s.posts;
    }
    std::weak_ptr<Shared> weak = shared_;
    s.ui->post([weak] {
        if (std::shared_ptr<Shared> alive = weak.lock()) {
            apply(*alive);
        }
    });
}

void KeyLightPainter::apply(Shared& s) {
    lighting::KeyDisplay d;
    {
        std::lock_guard lock(s.mutex);
        d = s.pending;
        s.queued = false;
    }
    ui::SkinUi& ui = *s.ui;
    const bool onScreen = ui.windowVisible() && !ui.windowMinimized();
    {
        std::lock_guard lock(s.mutex);
        s.onScreen = onScreen;
    }
    if (!onScreen) {
        return;  // drawn from the latest frame once the window shows again
    }
    const bool display = !ui.checked(s.option);
    for (size_t k = 0; k < lighting::kKeyCount; ++k) {
        const ui::KeyLight light{display, d.colour[k], d.level[k]};
        if (s.known[k] && s.shown[k] == light) {
            continue;
        }
        if (ui.setKeyLight(s.names[k], light)) {
            s.shown[k] = light;
            s.known[k] = true;
        }
    }
}

}  // namespace rxt
