#pragma once
// Hands a light thread's preview frames to the UI thread: the latest frame
// waits in one slot and at most one call is queued at a time, so a device
// costs the UI one batched update per frame however many controls change.
// The UI thread also tells the thread which controls are worth drawing
// (none while the window is hidden); while nothing is drawn the thread asks
// again only a few times a second.

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "app/ui/skin_ui.h"
#include "lighting/light_threads.h"

namespace rxt {

class PreviewPainter final : public lighting::PreviewSink {
  public:
    // `maskHidden`: drop the tints of hidden controls (the mousepad, whose
    // routines draw every light; the mouse routines do it themselves).
    PreviewPainter(ui::SkinUi& ui, std::string_view prefix, size_t count, bool maskHidden);

    uint32_t visibleControls() const override;
    void show(const lighting::PreviewFrame& frame) override;

    // UI thread: what is visible now (the refresh and the queued call).
    void updateVisible();
    // Calls queued to the UI thread so far (tests, measurements).
    size_t posts() const;

  private:
    struct Shared {
        ui::SkinUi* ui;
        std::vector<std::string> names;
        bool maskHidden;
        std::mutex mutex;
        lighting::PreviewFrame pending;
        bool queued = false;
        lighting::Clock::time_point lastPost{};
        std::atomic<uint32_t> visible{0};
        std::atomic<size_t> posts{0};
    };
    static void apply(Shared& s);
    static void refreshVisible(Shared& s);

    std::shared_ptr<Shared> shared_;
};

}  // namespace rxt
