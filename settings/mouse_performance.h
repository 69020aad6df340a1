#pragma once
// The mouse performance settings as the page shows them and the mouse
// current record holds them: DPI levels and their colours, report rate,
// debounce, lift-off, and the limits the sensor puts on the DPI labels.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "state/device_images.h"

namespace rxt::perf {

inline constexpr int kDpiLevels = 7;

// DPI slider: position p stands for 200 + 100 x p DPI, stored as code p + 1.
inline constexpr int kDpiPositions = 119;
inline constexpr int kDpiMaxPosition = kDpiPositions - 1;
struct DpiStep {
    int dpi;
    uint8_t code;
};
inline constexpr std::array<DpiStep, kDpiPositions> kDpiTable = [] {
    std::array<DpiStep, kDpiPositions> t{};
    for (int p = 0; p < kDpiPositions; ++p) {
        t[static_cast<size_t>(p)] = {200 + 100 * p, static_cast<uint8_t>(p + 1)};
    }
    return t;
}();

// Debounce slider: position p is shown as 2 x p ms and stored as 2 x p + 4.
inline constexpr int kDebouncePositions = 10;
struct DebounceStep {
    int shown;
    uint8_t code;
};
inline constexpr std::array<DebounceStep, kDebouncePositions> kDebounceTable = [] {
    std::array<DebounceStep, kDebouncePositions> t{};
    for (int p = 0; p < kDebouncePositions; ++p) {
        t[static_cast<size_t>(p)] = {2 * p, static_cast<uint8_t>(2 * p + 4)};
    }
    return t;
}();

// What a sensor puts into the lowest DPI (information bytes 13..14) and the
// texts of the fourteen min and max labels.
struct SensorLimits {
    uint16_t sensor;
    uint16_t lowestDpi;
    std::string_view minLabel;
    std::string_view maxLabel;
};
inline constexpr std::array<SensorLimits, 6> kSensorLimits{{
    {0x3325, 200, "200", "5000"},
    {0x3327, 200, "200", "6200"},
    {0x3050, 800, "800", "6200"},
    {0x3330, 200, "50", "7200"},
    {0x3360, 200, "200", "12000"},
    {0x3310, 50, "50", "5000"},
}};

// Byte 49 for the two height options.
inline constexpr uint8_t kHeight2mm = 2;
inline constexpr uint8_t kHeight3mm = 3;

// Clamps a slider position into the table, so that no value indexes past it.
int clampDpiPosition(int position);
int dpiOfPosition(int position);
uint8_t dpiCode(int position);
// The first position whose code equals it; 0 when there is none.
int dpiPosition(uint8_t code);

int clampDebouncePosition(int position);
int debounceShown(int position);
uint8_t debounceCode(int position);
int debouncePosition(uint8_t code);

// Record offsets of level n (1..7): its DPI code and its red byte.
size_t dpiLevelOffset(int level);
size_t dpiColourOffset(int level);

// The level's colour as an opaque ARGB, and an ARGB into its three bytes.
uint32_t dpiColour(const DeviceImages& mouse, int level);
void setDpiColour(DeviceImages& mouse, int level, uint32_t argb);

uint16_t sensorId(const DeviceImages& mouse);
const SensorLimits* findSensorLimits(uint16_t sensor);
// Rewrites the lowest DPI for a known sensor; the limits, or nullopt for an
// unknown sensor (nothing changes then).
std::optional<SensorLimits> applySensorLimits(DeviceImages& mouse);

// The label while a DPI slider is dragged: lowest DPI + increment x position.
int dragDpi(const DeviceImages& mouse, int position);

}  // namespace rxt::perf
