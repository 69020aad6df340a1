// Pointer speed and wheel lines: the slider and button arithmetic on the
// edge values a user reaches, and the workers that apply them beside the UI
// thread, which must leave the last change in the system.

#include "settings/pointer_settings.h"

#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include "settings/host_pointer.h"

namespace rxt::perf {
namespace {

TEST(PointerSlider, MapsPositionsOntoEvenSpeeds) {
    EXPECT_EQ(pointerSpeedOfSlider(0), 2);
    EXPECT_EQ(pointerSpeedOfSlider(4), 10);
    EXPECT_EQ(pointerSpeedOfSlider(9), 20);
    EXPECT_EQ(pointerSpeedOfSlider(-5), 2);
    EXPECT_EQ(sliderOfPointerSpeed(20), 9);
    EXPECT_EQ(sliderOfPointerSpeed(10), 4);
    EXPECT_EQ(sliderOfPointerSpeed(11), 4);
    EXPECT_EQ(sliderOfPointerSpeed(1), -1);  // the slider clamps it to 0
}

TEST(WheelButtons, StayWithinOneToHundred) {
    EXPECT_EQ(wheelDown(1), 1);
    EXPECT_EQ(wheelUp(100), 100);
    EXPECT_EQ(wheelUp(3), 4);
    EXPECT_EQ(wheelDown(3), 2);
    // An empty edit counts as 0, so up gives 2.
    EXPECT_EQ(wheelUp(wheelEditValue("")), 2);
    EXPECT_EQ(wheelUp(-7), 2);
    EXPECT_EQ(wheelDown(250), 99);
    EXPECT_EQ(wheelDown(0), 1);
}

TEST(WheelEdit, ReadsTheLeadingNumberAndNeverOverflows) {
    EXPECT_EQ(wheelEditValue("12"), 12);
    EXPECT_EQ(wheelEditValue("  7 lines"), 7);
    EXPECT_EQ(wheelEditValue("-4"), -4);
    EXPECT_EQ(wheelEditValue("abc"), 0);
    EXPECT_EQ(wheelEditValue("99999999999999999999"), 2147483647);
    EXPECT_EQ(wheelDown(wheelEditValue("99999999999999999999")), 99);
}

// Remembers what was set, slowly enough for workers to overlap.
class SlowPointer : public SystemPointer {
  public:
    int pointerSpeed() override { return speed_; }
    int wheelScrollLines() override { return lines_; }
    bool setPointerSpeed(int speed) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        std::lock_guard lock(m_);
        speeds.push_back(speed);
        speed_ = speed;
        return true;
    }
    bool setWheelScrollLines(int lines) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        std::lock_guard lock(m_);
        lines_ = lines;
        return true;
    }
    std::string_view backendName() const override { return "slow"; }
    std::vector<int> speeds;

  private:
    std::mutex m_;
    int speed_ = 10;
    int lines_ = 3;
};

TEST(PointerWorker, ClampsStoresAndApplies) {
    SlowPointer system;
    std::atomic<int> stored{5};
    EXPECT_EQ(applyPointerSpeed(system, stored, 0), 1);
    EXPECT_EQ(stored.load(), 1);
    EXPECT_EQ(applyPointerSpeed(system, stored, 35), 20);
    EXPECT_EQ(stored.load(), 20);
    EXPECT_EQ(system.speeds, (std::vector<int>{1, 20}));
}

TEST(PointerWorkers, LeaveTheLastChangeInTheSystem) {
    SlowPointer system;
    std::atomic<int> stored{10};
    {
        PointerWorkers workers(system);
        for (int position = 0; position <= 9; ++position) {
            workers.setPointerSpeed(pointerSpeedOfSlider(position), stored);
            workers.setWheelLines(position + 1);
        }
        workers.setPointerSpeed(pointerSpeedOfSlider(2), stored);
        workers.wait();
        EXPECT_EQ(system.pointerSpeed(), 6);
        EXPECT_EQ(stored.load(), 6);
        EXPECT_EQ(system.wheelScrollLines(), 10);
        workers.setWheelLines(42);
        // The destructor waits for the one still running.
    }
    EXPECT_EQ(system.wheelScrollLines(), 42);
}

TEST(HostPointer, LoadedValuesClampIntoTheirRanges) {
    EXPECT_EQ(clampPointerSpeed(0), 1);
    EXPECT_EQ(clampPointerSpeed(21), 20);
    EXPECT_EQ(clampWheelLines(0), 1);
    EXPECT_EQ(clampWheelLines(255), 100);
}

}  // namespace
}  // namespace rxt::perf
