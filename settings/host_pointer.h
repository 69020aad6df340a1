#pragma once
// The two system settings the program keeps beside the mouse images: the
// pointer speed (1..20) and the wheel scroll lines (1..100). They belong to
// the desktop, not the mouse, but the mouse profile files carry them in
// bytes 52 and 53 of the stored record.

#include <atomic>

namespace rxt {

struct HostPointerSettings {
    std::atomic<int> pointerSpeed{10};
    std::atomic<int> wheelLines{3};
};

// The process-wide values.
HostPointerSettings& hostPointerSettings();

// A value loaded from a file or the system into the range the setting takes
// (0 counts as 1).
int clampPointerSpeed(int speed);
int clampWheelLines(int lines);

}  // namespace rxt
