#pragma once
// The mouse performance page: what each control stores in the mouse
// current record, the system pointer settings it applies, and its redraw
// from the images.

#include <functional>
#include <memory>

#include "app/shell/notify_router.h"
#include "app/ui/skin_ui.h"
#include "settings/host_pointer.h"
#include "settings/performance_edit.h"
#include "settings/pointer_settings.h"
#include "state/device_images.h"
#include "state/device_links.h"
#include "state/window_events.h"
#include "state/write_back.h"

namespace rxt {

struct MousePerformanceContext {
    ui::SkinUi* ui = nullptr;
    DeviceImageSet* images = nullptr;
    WriteBack* writeBack = nullptr;
    HostPointerSettings* host = &hostPointerSettings();
    SystemPointer* system = nullptr;
    std::function<void(const WindowEvent&)> report;
};

class MousePerformancePage {
  public:
    // The context's system pointer must outlive the page.
    explicit MousePerformancePage(const MousePerformanceContext& ctx);

    void addRoutes(shell::NotifyRouter& router);
    // From the images: report rate, sensor limits, levels, debounce,
    // colours, active level, lift-off.
    void refresh();
    // One change asked through the control socket: shown on the controls,
    // then the same operation as the control's own.
    void applyEdit(const perf::PerformanceEdit& edit);
    // The wheel-lines note, shown where the desktop keeps no such setting.
    void showWheelNote();
    // Until the pointer and wheel workers started so far have ended (tests).
    void waitForWorkers() { workers_.wait(); }

  private:
    DeviceImages& mouse() { return ctx_.images->mouse; }
    // Marks the record for write-back and saves the profiles a change saves.
    void changed(bool lightingToo);
    void saveProfiles(bool lightingToo);

    void setDpi(int level, int position);
    void setReportRate(int index);
    void setDebounce(int position);
    void dragDpi(int level, int position);
    void chooseColour(int level);
    void setHeight(uint8_t height);
    void showHeight(uint8_t height);
    void setPointerSlider(int position);
    void setWheelLines(int lines);

    MousePerformanceContext ctx_;
    perf::PointerWorkers workers_;
};

}  // namespace rxt
