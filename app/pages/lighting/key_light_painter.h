#pragma once
// Hands the keyboard light thread's key display to the UI thread: the latest
// frame waits in one slot and at most one call is queued at a time, so the
// keyboard costs the UI one batched update per frame (none while the window
// is hidden, a check four times a second instead). The keys show no light
// while the key page's option is selected (display mode off).

#include <array>
#include <chrono>
#include <memory>
#include <mutex>
#include <string>

#include "app/ui/skin_ui.h"
#include "lighting/keyboard_light_thread.h"

namespace rxt {

class KeyLightPainter final : public lighting::KeyboardLightSink {
  public:
    // `keyPrefix` plus 0..125 are the key controls; `keyOption` the option
    // that turns their display off.
    KeyLightPainter(ui::SkinUi& ui, std::string_view keyPrefix, std::string_view keyOption);

    void showKeys(const lighting::KeyDisplay& display) override;
    size_t posts() const;

  private:
    struct Shared {
        ui::SkinUi* ui;
        std::array<std::string, lighting::kKeyCount> names;
        std::string option;
        std::mutex mutex;
        lighting::KeyDisplay pending;
        bool queued = false;
        // What each control shows, so unchanged keys are not set again.
        std::array<ui::KeyLight, lighting::kKeyCount> shown{};
        std::array<bool, lighting::kKeyCount> known{};
        size_t posts = 0;
        // While the window is hidden or minimised nothing is drawn: the
        // thread asks only now and then whether that has changed.
        bool onScreen = true;
        std::chrono::steady_clock::time_point lastPost{};
    };
    static void apply(Shared& s);

    std::shared_ptr<Shared> shared_;
};

}  // namespace rxt
