#pragma once
// The bus's change notifications (a udev monitor on hidraw, the WATCH
// connection of the simulated bus), turned into wakes of the discovery and
// listener threads. Where the bus offers none, the threads keep polling.

#include <atomic>
#include <memory>
#include <thread>

#include "device/hid_backend.h"
#include "state/hotplug_waker.h"

namespace rxt {

class HotplugWatch {
  public:
    HotplugWatch(std::shared_ptr<HidBackend> backend, HotplugWaker& waker);
    ~HotplugWatch();
    HotplugWatch(const HotplugWatch&) = delete;
    HotplugWatch& operator=(const HotplugWatch&) = delete;

    // Opens the watch and starts its thread. False when the bus offers no
    // watch (or it is already running).
    bool start();
    void stop();
    bool running() const { return thread_.joinable(); }
    // Changes seen so far.
    uint64_t changes() const { return changes_.load(); }

  private:
    void run(int watchFd);

    std::shared_ptr<HidBackend> backend_;
    HotplugWaker& waker_;
    int stopFd_ = -1;
    std::atomic<uint64_t> changes_{0};
    std::thread thread_;
};

}  // namespace rxt
