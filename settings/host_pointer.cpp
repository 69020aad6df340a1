#include "settings/host_pointer.h"

#include <algorithm>

#include "platform/system_pointer.h"

namespace rxt {

HostPointerSettings& hostPointerSettings() {
    static HostPointerSettings settings;
    return settings;
}

int clampPointerSpeed(int speed) {
    return std::clamp(speed, SystemPointer::kMinSpeed, SystemPointer::kMaxSpeed);
}

int clampWheelLines(int lines) {
    return std::clamp(lines, SystemPointer::kMinWheelLines, SystemPointer::kMaxWheelLines);
}

}  // namespace rxt
