#pragma once
// Starts and stops the five discovery and listener threads and the hot-plug
// watch that wakes them.

#include <array>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/stop_event.h"
#include "state/discovery_threads.h"
#include "state/hotplug_watch.h"

namespace rxt {

// Slots in start order.
enum class Worker : uint8_t {
    KeyboardDetection = 0,
    MouseDetection = 1,
    MousepadDetection = 2,
    MouseListener = 3,
    KeyboardListener = 4,
};
inline constexpr size_t kWorkerCount = 5;

class DeviceWorkers {
  public:
    explicit DeviceWorkers(DiscoveryContext& context);
    // Stops and waits for every thread, however long that takes.
    ~DeviceWorkers();
    DeviceWorkers(const DeviceWorkers&) = delete;
    DeviceWorkers& operator=(const DeviceWorkers&) = delete;

    // Starts the threads in slot order; with watchBus, also the hot-plug
    // watch where the bus offers one. Once only.
    void start(bool watchBus = true);
    // Sets every stop event and cuts every sleep short.
    void requestStop();
    // Waits at most bound for all threads to end; true when they did.
    bool join(std::chrono::milliseconds bound);
    bool stop(std::chrono::milliseconds bound) {
        requestStop();
        return join(bound);
    }

    StopEvent& stopEvent(Worker worker) { return stops_[static_cast<size_t>(worker)]; }
    bool hotplugWatching() const { return watch_ && watch_->running(); }
    // Threads that have not ended yet.
    size_t running() const;
    // CPU time the threads have used so far (while they run, before join).
    std::chrono::nanoseconds cpuTime();

  private:
    void finished();

    DiscoveryContext& context_;
    std::array<StopEvent, kWorkerCount> stops_;
    std::array<std::thread, kWorkerCount> threads_;
    std::unique_ptr<HotplugWatch> watch_;
    mutable std::mutex mutex_;
    std::condition_variable ended_;
    size_t started_ = 0;
    size_t ended_count_ = 0;
};

}  // namespace rxt
