#include "app/pages/lighting/preview_painter.h"

#include "app/pages/lighting/preview_pace.h"

namespace rxt {

PreviewPainter::PreviewPainter(ui::SkinUi& ui, std::string_view prefix, size_t count,
                               bool maskHidden)
    : shared_(std::make_shared<Shared>()) {
    shared_->ui = &ui;
    shared_->maskHidden = maskHidden;
    for (size_t i = 0; i < count; ++i) {
        shared_->names.push_back(std::string(prefix) + std::to_string(i));
    }
}

uint32_t PreviewPainter::visibleControls() const {
    return shared_->visible.load(std::memory_order_relaxed);
}

size_t PreviewPainter::posts() const {
    return shared_->posts.load();
}

void PreviewPainter::show(const lighting::PreviewFrame& frame) {
    Shared& s = *shared_;
    uint32_t touched = frame.touched;
    if (s.maskHidden) {
        touched &= s.visible.load(std::memory_order_relaxed);
    }
    const auto now = lighting::Clock::now();
    {
        std::lock_guard lock(s.mutex);
        for (size_t i = 0; i < s.names.size(); ++i) {
            if ((touched >> i & 1u) != 0) {
                s.pending.colour[i] = frame.colour[i];
                s.pending.alpha[i] = frame.alpha[i];
            }
        }
        s.pending.touched |= touched;
        if (s.queued ||
            now - s.lastPost < (s.pending.touched == 0 ? kPreviewIdleRecheck : kPreviewFramePace)) {
            return;
        }
        s.queued = true;
        s.lastPost = now;
    }
    s.posts.fetch_add(1, std::memory_order_relaxed);
    std::weak_ptr<Shared> weak = shared_;
    s.ui->post([weak] {
        if (std::shared_ptr<Shared> alive = weak.lock()) {
            apply(*alive);
        }
    });
}

void PreviewPainter::apply(Shared& s) {
    lighting::PreviewFrame frame;
    {
        std::lock_guard lock(s.mutex);
        frame = s.pending;
        s.pending.touched = 0;
        s.queued = false;
    }
    for (size_t i = 0; i < s.names.size(); ++i) {
        if (frame.has(i)) {
            s.ui->setTintColor(s.names[i], frame.colour[i]);
            s.ui->setTintAlpha(s.names[i], frame.alpha[i]);
        }
    }
    refreshVisible(s);
}

void PreviewPainter::refreshVisible(Shared& s) {
    uint32_t mask = 0;
    if (s.ui->windowVisible() && !s.ui->windowMinimized()) {
        for (size_t i = 0; i < s.names.size(); ++i) {
            if (s.ui->visible(s.names[i])) {
                mask |= 1u << i;
            }
        }
    }
    s.visible.store(mask, std::memory_order_relaxed);
}

void PreviewPainter::updateVisible() {
    refreshVisible(*shared_);
}

}  // namespace rxt
