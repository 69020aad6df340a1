#include "settings/mouse_performance.h"

#include <algorithm>

namespace rxt::perf {

int clampDpiPosition(int position) {
    return std::clamp(position, 0, kDpiMaxPosition);
}

int dpiOfPosition(int position) {
    return kDpiTable[static_cast<size_t>(clampDpiPosition(position))].dpi;
}

uint8_t dpiCode(int position) {
    return kDpiTable[static_cast<size_t>(clampDpiPosition(position))].code;
}

int dpiPosition(uint8_t code) {
    for (int p = 0; p < kDpiPositions; ++p) {
        if (kDpiTable[static_cast<size_t>(p)].code == code) {
            return p;
        }
    }
    return 0;
}

int clampDebouncePosition(int position) {
    return std::clamp(position, 0, kDebouncePositions - 1);
}

int debounceShown(int position) {
    return kDebounceTable[static_cast<size_t>(clampDebouncePosition(position))].shown;
}

uint8_t debounceCode(int position) {
    return kDebounceTable[static_cast<size_t>(clampDebouncePosition(position))].code;
}

int debouncePosition(uint8_t code) {
    for (int p = 0; p < kDebouncePositions; ++p) {
        if (kDebounceTable[static_cast<size_t>(p)].code == code) {
            return p;
        }
    }
    return 0;
}

size_t dpiLevelOffset(int level) {
    level = std::clamp(level, 1, kDpiLevels);
    // Byte 19 (the active level) sits between levels 4 and 5.
    return level <= 4 ? rec::kDpiLevel1 + static_cast<size_t>(level - 1)
                      : rec::kDpiLevel5 + static_cast<size_t>(level - 5);
}

size_t dpiColourOffset(int level) {
    level = std::clamp(level, 1, kDpiLevels);
    return rec::kDpiColours + 3 * static_cast<size_t>(level - 1);
}

uint32_t dpiColour(const DeviceImages& mouse, int level) {
    const size_t at = dpiColourOffset(level);
    return 0xFF000000u | (uint32_t{mouse.current.get(at)} << 16) |
           (uint32_t{mouse.current.get(at + 1)} << 8) | uint32_t{mouse.current.get(at + 2)};
}

void setDpiColour(DeviceImages& mouse, int level, uint32_t argb) {
    const size_t at = dpiColourOffset(level);
    mouse.current.set(at, static_cast<uint8_t>(argb >> 16));
    mouse.current.set(at + 1, static_cast<uint8_t>(argb >> 8));
    mouse.current.set(at + 2, static_cast<uint8_t>(argb));
}

uint16_t sensorId(const DeviceImages& mouse) {
    return static_cast<uint16_t>(mouse.info.get(info::kSensorId) |
                                 (mouse.info.get(info::kSensorId + 1) << 8));
}

const SensorLimits* findSensorLimits(uint16_t sensor) {
    const auto it = std::find_if(kSensorLimits.begin(), kSensorLimits.end(),
                                 [sensor](const SensorLimits& s) { return s.sensor == sensor; });
    return it == kSensorLimits.end() ? nullptr : &*it;
}

std::optional<SensorLimits> applySensorLimits(DeviceImages& mouse) {
    const SensorLimits* limits = findSensorLimits(sensorId(mouse));
    if (limits == nullptr) {
        return std::nullopt;
    }
    mouse.info.set(info::kLowestDpi, static_cast<uint8_t>(limits->lowestDpi));
    mouse.info.set(info::kLowestDpi + 1, static_cast<uint8_t>(limits->lowestDpi >> 8));
    return *limits;
}

int dragDpi(const DeviceImages& mouse, int position) {
    const int lowest =
        mouse.info.get(info::kLowestDpi) | (mouse.info.get(info::kLowestDpi + 1) << 8);
    return lowest + mouse.info.get(info::kDpiIncrement) * std::max(position, 0);
}

}  // namespace rxt::perf
