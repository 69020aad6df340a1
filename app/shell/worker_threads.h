#pragma once
// The main window's fourteen worker threads, each with its manual-reset stop
// event, kept in fixed slots. Shutdown signals every event and waits for all
// of them together within a bound.

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <string_view>
#include <thread>

#include "platform/stop_event.h"

namespace rxt::shell {

enum class WorkerSlot : size_t {
    KeyboardDetection = 0,
    MouseDetection = 1,
    MousepadDetection = 2,
    MouseListener = 3,
    KeyboardListener = 4,
    KeyboardLight = 5,
    MouseLight = 6,
    MousepadLight = 7,
    LightSync = 8,
    KeyboardDeviceFollowsApp = 9,
    KeyboardKeyFollowsApp = 10,
    MouseDeviceFollowsApp = 11,
    MouseKeyFollowsApp = 12,
    MousepadLightingFollowsApp = 13,
};
inline constexpr size_t kWorkerSlots = 14;

// The debug line a thread of that slot writes when it ends.
std::string_view workerExitText(WorkerSlot slot);
// The name the slot's thread carries (at most 15 bytes).
std::string_view workerThreadName(WorkerSlot slot);

// The shutdown wait's result and its debug line.
enum class WaitResult { AllEnded, TimedOut };
std::string_view waitResultText(WaitResult result);

class WorkerThreads {
  public:
    using Body = std::function<void(StopEvent& stop)>;

    WorkerThreads() = default;
    // Signals and joins whatever still runs.
    ~WorkerThreads();
    WorkerThreads(const WorkerThreads&) = delete;
    WorkerThreads& operator=(const WorkerThreads&) = delete;

    // Resets the slot's event and starts body on a new thread. A slot runs
    // one thread at a time: false when it is taken.
    bool start(WorkerSlot slot, Body body);
    // A thread that only waits for its stop event, then writes its exit text.
    bool startIdle(WorkerSlot slot);

    void signalAll();
    // Waits for every started thread together, at most `bound`.
    WaitResult waitAll(std::chrono::milliseconds bound);
    // Joins the ended threads; threads still running are let go (the process
    // is ending and will not wait for them). Frees every slot.
    void close();

    StopEvent& stopEvent(WorkerSlot slot) { return shared_->stops[index(slot)]; }
    bool started(WorkerSlot slot) const;
    size_t running() const;
    // Threads let go by close() while still running.
    size_t abandoned() const { return abandoned_; }

  private:
    static size_t index(WorkerSlot slot) { return static_cast<size_t>(slot); }

    // Shared with the threads, so that one let go by close() never touches
    // a freed object.
    struct Shared {
        std::array<StopEvent, kWorkerSlots> stops;
        std::array<bool, kWorkerSlots> ended{};
        std::mutex mutex;
        std::condition_variable changed;
    };

    std::shared_ptr<Shared> shared_ = std::make_shared<Shared>();
    std::array<std::thread, kWorkerSlots> threads_;
    size_t abandoned_ = 0;
};

}  // namespace rxt::shell
