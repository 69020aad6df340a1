#pragma once
// The mouse and mousepad lighting pages as a feature of the main window:
// their controls, their refresh after every read, their on-board profile
// controls, and the two light threads that animate the previews and stream
// the mousepad's frames.

#include <memory>

#include "app/pages/lighting/lighting_page.h"
#include "app/pages/lighting/preview_painter.h"
#include "app/shell/page_feature.h"
#include "lighting/effect_state.h"
#include "lighting/light_threads.h"

namespace rxt {

struct LightingPagesOptions {
    lighting::LightThreadTiming timing;
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
    PreviewPainter* mousePreview() { return mousePreview_.get(); }
    PreviewPainter* mousepadPreview() { return mousepadPreview_.get(); }
    lighting::EffectRequests& requests(DeviceKind kind) {
        return kind == DeviceKind::Mouse ? mouseRequests_ : mousepadRequests_;
    }

  private:
    void showOnboardProfile(DeviceKind kind);
    void switchOnboard(DeviceKind kind, int n);
    lighting::LightThreadContext threadContext(DeviceKind kind);

    LightingPagesOptions options_;
    ui::SkinUi* ui_ = nullptr;
    DeviceLinks* links_ = nullptr;
    DeviceImageSet* images_ = nullptr;
    WriteBack* writeBack_ = nullptr;
    lighting::EffectRequests mouseRequests_;
    lighting::EffectRequests mousepadRequests_;
    std::unique_ptr<LightingPage> mouse_;
    std::unique_ptr<LightingPage> mousepad_;
    std::unique_ptr<PreviewPainter> mousePreview_;
    std::unique_ptr<PreviewPainter> mousepadPreview_;
};

}  // namespace rxt
