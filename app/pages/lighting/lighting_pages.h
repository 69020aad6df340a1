#pragma once
// The three lighting pages as a feature of the main window: their controls,
// their refresh after every read, the on-board profile controls, the
// same-mode buttons that enter the cross-device sync, the three light
// threads that animate the previews and stream the mousepad's and the
// keyboard's frames, and the sync thread.

#include <memory>

#include "app/pages/lighting/key_light_painter.h"
#include "app/pages/lighting/keyboard_lighting_page.h"
#include "app/pages/lighting/lighting_page.h"
#include "app/pages/lighting/preview_painter.h"
#include "app/shell/page_feature.h"
#include "lighting/effect_state.h"
#include "lighting/keyboard_light_thread.h"
#include "lighting/light_threads.h"

namespace rxt {

struct LightingPagesOptions {
    lighting::LightThreadTiming timing;
    // The keyboard thread's own start (1 s in the program).
    std::chrono::milliseconds keyboardStart{1000};
};

class LightingPages : public shell::PageFeature {
  public:
    explicit LightingPages(LightingPagesOptions options = {}) : options_(options) {}

    void attach(const shell::PageHost& host) override;
    void addRoutes(shell::NotifyRouter& router) override;
    void addControlRoutes(shell::ControlRouter& router) override;
    void claimWorkers(shell::WorkerClaims& claims) override;
    // The light trigger arrives on the listener's thread.
    void onEvent(const WindowEvent& event) override;

    LightingPage* mouse() { return mouse_.get(); }
    LightingPage* mousepad() { return mousepad_.get(); }
    KeyboardLightingPage* keyboard() { return keyboard_.get(); }
    KeyLightPainter* keyPainter() { return keyPainter_.get(); }
    lighting::KeyHandOffs& handOffs() { return handOffs_; }
    PreviewPainter* mousePreview() { return mousePreview_.get(); }
    PreviewPainter* mousepadPreview() { return mousepadPreview_.get(); }
    lighting::EffectRequests& requests(DeviceKind kind) {
        return kind == DeviceKind::Mouse      ? mouseRequests_
               : kind == DeviceKind::Mousepad ? mousepadRequests_
                                              : keyboardRequests_;
    }

  private:
    // "set KIND lighting FIELD VALUE": the page's own operation.
    ControlAnswer setLighting(DeviceKind kind, std::span<const std::string> rest);
    void showOnboardProfile(DeviceKind kind);
    void switchOnboard(DeviceKind kind, int n);
    lighting::LightThreadContext threadContext(DeviceKind kind);
    lighting::KeyboardLightContext keyboardContext();
    lighting::SyncContext syncContext();
    KeyboardKind keyboardKind() const;

    LightingPagesOptions options_;
    ui::SkinUi* ui_ = nullptr;
    DeviceLinks* links_ = nullptr;
    DeviceImageSet* images_ = nullptr;
    WriteBack* writeBack_ = nullptr;
    lighting::EffectRequests mouseRequests_;
    lighting::EffectRequests mousepadRequests_;
    lighting::EffectRequests keyboardRequests_;
    lighting::KeyHandOffs handOffs_;
    std::unique_ptr<LightingPage> mouse_;
    std::unique_ptr<LightingPage> mousepad_;
    std::unique_ptr<KeyboardLightingPage> keyboard_;
    std::unique_ptr<KeyLightPainter> keyPainter_;
    std::unique_ptr<PreviewPainter> mousePreview_;
    std::unique_ptr<PreviewPainter> mousepadPreview_;
};

}  // namespace rxt
