#pragma once
// The device side of the main window without a window: the three links, the
// write-back, the device messages and timers run on an EventLoop, and the
// discovery and listener threads. Reactions that only change what is shown
// go to a view (a printer for `rxtctl watch`, a recorder in tests).

#include <chrono>
#include <memory>

#include "device/hid_backend.h"
#include "state/device_events.h"
#include "state/device_images.h"
#include "state/device_links.h"
#include "state/device_workers.h"
#include "state/event_loop.h"
#include "state/hotplug_waker.h"
#include "state/ui_reactions.h"
#include "state/write_back.h"

namespace rxt {

class HeadlessWindow : public UiReactions {
  public:
    // A null backend means the process-wide one.
    HeadlessWindow(std::shared_ptr<HidBackend> backend, DeviceImageSet& images, UiReactions& view);
    ~HeadlessWindow() override;
    HeadlessWindow(const HeadlessWindow&) = delete;
    HeadlessWindow& operator=(const HeadlessWindow&) = delete;

    // As the window opens: identities, the loop with timer 2 (write-back)
    // and timers 11 and 12 (first reads), then the worker threads.
    void start(bool watchBus = true);
    // Stops the workers (true when they ended within bound), then the loop.
    bool stop(std::chrono::milliseconds bound);

    DeviceLinks& links() { return links_; }
    DeviceImageSet& images() { return images_; }
    WriteBack& writeBack() { return writeBack_; }
    DeviceEvents& events() { return events_; }
    DiscoveryContext& context() { return context_; }
    EventLoop& loop() { return loop_; }
    DeviceWorkers& workers() { return workers_; }

    // UiReactions: timers and device messages act here; everything is also
    // handed to the view.
    void report(const WindowEvent& event) override;
    void showWindow(bool visible) override;
    void startTimer(int id, int periodMs) override;
    void postMessage(int message) override;
    void sendMessage(int message) override;
    void postActivation() override;
    void showMessageBox(std::string_view textKey) override;

  private:
    void onTimer(int id);

    DeviceImageSet& images_;
    UiReactions& view_;
    DeviceLinks links_;
    WriteBack writeBack_;
    DeviceEvents events_;
    EventLoop loop_;
    HotplugWaker waker_;
    DiscoveryContext context_;
    DeviceWorkers workers_;
};

}  // namespace rxt
