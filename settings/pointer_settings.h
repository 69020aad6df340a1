#pragma once
// The desktop's pointer speed and wheel scroll lines as the performance page
// edits them, and the short-lived workers that apply them to the system
// beside the UI thread.

#include <atomic>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <string_view>
#include <thread>

#include "platform/system_pointer.h"

namespace rxt::perf {

// Slider position p gives speed 2 x p + 2 (a negative position counts as 0);
// a speed s shows at position s / 2 - 1.
int pointerSpeedOfSlider(int position);
int sliderOfPointerSpeed(int speed);

// The wheel buttons on the number the edit holds: up turns 0 or less into 1,
// adds 1 and caps at 100; down turns above 100 into 100, takes 1 and raises
// to 1.
int wheelUp(int lines);
int wheelDown(int lines);
// The edit's text as a number: leading blanks, an optional sign and digits;
// empty or other text is 0. Huge numbers saturate rather than overflow.
int wheelEditValue(std::string_view text);

// The pointer worker's body: the speed clamped into 1..20, stored, applied.
// Returns the clamped speed.
int applyPointerSpeed(SystemPointer& system, std::atomic<int>& stored, int speed);
// The wheel worker's body (already within 1..100 from the page).
bool applyWheelLines(SystemPointer& system, int lines);

// One thread per change. Changes are applied in the order they were made:
// a worker applies the latest value asked for, under one lock, so that two
// workers racing never leave the older value in the system.
class PointerWorkers {
  public:
    explicit PointerWorkers(SystemPointer& system) : system_(system) {}
    ~PointerWorkers();
    PointerWorkers(const PointerWorkers&) = delete;
    PointerWorkers& operator=(const PointerWorkers&) = delete;

    void setPointerSpeed(int speed, std::atomic<int>& stored);
    void setWheelLines(int lines);
    // Until every worker started so far has ended.
    void wait();

  private:
    struct Worker {
        std::thread thread;
        std::atomic<bool> done{false};
    };
    void launch(std::function<void()> body);

    SystemPointer& system_;
    std::mutex applyMutex_;
    std::atomic<int> latestSpeed_{SystemPointer::kDefaultSpeed};
    std::atomic<int> latestLines_{SystemPointer::kDefaultWheelLines};
    std::mutex workersMutex_;
    std::list<Worker> workers_;
};

}  // namespace rxt::perf
