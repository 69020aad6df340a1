// Factory contents of the mouse.

#include <algorithm>
#include <array>

#include "sim/factory_contents.h"

namespace rxt::sim {
namespace {

constexpr auto kMouseInfo = std::to_array<uint8_t>({
    0x01,        // 0: layout version of this record
    0x03, 0x01,  // 1..2: firmware 1.03
    0x01,        // 3: device class: mouse
    0x05,        // 4: on-board profiles
    0x07,        // 5: buttons
    0x20,        // 6: macro memory, 32 x 128 bytes
    0x00, 0x00,  // 7..8
    0x60, 0x33,  // 9..10: sensor 0x3360
    0x64,        // 11: 100 DPI per slider step
    0x00,        // 12
    0xC8, 0x00,  // 13..14: lowest DPI 200
    0xE0, 0x2E,  // 15..16: highest DPI 12000
    0x04,        // 17: report rates offered
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
});
static_assert(kMouseInfo.size() == kInfoBytes);

// Buttons 0..6: left, wheel, right, forward, back, DPI up, DPI down.
constexpr auto kMouseButtons = std::to_array<uint8_t>({
    0x10, 0x01, 0x00,  // left click
    0x10, 0x04, 0x00,  // middle click
    0x10, 0x02, 0x00,  // right click
    0x10, 0x10, 0x00,  // forward
    0x10, 0x08, 0x00,  // back
    0x13, 0x01, 0x00,  // DPI up
    0x13, 0x02, 0x00,  // DPI down
});

// DPI codes are slider position + 1, position p standing for 200 + 100 p.
constexpr uint8_t dpiCode(int dpi) {
    return static_cast<uint8_t>((dpi - 200) / 100 + 1);
}

struct Lighting {
    uint8_t mode, brightness, speed, direction, colourful, red, green, blue;
};

// Record bytes 1..8 of the five profiles; the mouse runs these itself.
constexpr std::array<Lighting, kRecordCount> kProfileLighting{{
    {2, 3, 2, 1, 1, 255, 0, 0},    // colour cycle
    {5, 4, 0, 1, 0, 0, 160, 255},  // static blue
    {4, 3, 1, 0, 1, 255, 255, 0},  // breathing
    {1, 2, 2, 1, 0, 0, 255, 64},   // group wave, green
    {7, 0, 0, 0, 0, 0, 0, 0},      // off
}};

constexpr std::array<int, kDpiLevels> kDpiSteps{400, 800, 1600, 3200, 4800, 6400, 12000};

constexpr auto kDpiColours = std::to_array<uint8_t>({
    255, 0,   0,    // level 1 red
    255, 128, 0,    // level 2 orange
    255, 255, 0,    // level 3 yellow
    0,   255, 0,    // level 4 green
    0,   255, 255,  // level 5 cyan
    0,   0,   255,  // level 6 blue
    255, 0,   255,  // level 7 magenta
});

constexpr std::array<uint8_t, kRecordBytes> mouseRecord(size_t profile) {
    std::array<uint8_t, kRecordBytes> r{};
    r[kRecordIndexByte] = static_cast<uint8_t>(profile);
    const Lighting& l = kProfileLighting[profile];
    r[1] = l.mode;
    r[2] = l.brightness;
    r[3] = l.speed;
    r[4] = l.direction;
    r[5] = l.colourful;
    r[6] = l.red;
    r[7] = l.green;
    r[8] = l.blue;
    r[14] = 3;  // report rate: the fourth entry, 1000 Hz
    r[15] = dpiCode(kDpiSteps[0]);
    r[16] = dpiCode(kDpiSteps[1]);
    r[17] = dpiCode(kDpiSteps[2]);
    r[18] = dpiCode(kDpiSteps[3]);
    r[kActiveDpiByte] = 1;  // 800 DPI
    r[20] = dpiCode(kDpiSteps[4]);
    r[21] = dpiCode(kDpiSteps[5]);
    r[22] = dpiCode(kDpiSteps[6]);
    for (size_t i = 0; i < kDpiColours.size(); ++i) {
        r[23 + i] = kDpiColours[i];
    }
    r[44] = 8;  // debounce 4 ms
    r[48] = 0;  // lift-off adjustment off
    r[49] = 2;  // lift-off 2 mm
    return r;
}

constexpr auto kMouseRecords = [] {
    std::array<uint8_t, kRecordBytes * kRecordCount> all{};
    for (size_t p = 0; p < kRecordCount; ++p) {
        const auto r = mouseRecord(p);
        std::copy(r.begin(), r.end(), all.begin() + p * kRecordBytes);
    }
    return all;
}();

static_assert(dpiCode(12000) == 119);
static_assert(kMouseRecords[kActiveDpiByte] == 1);

}  // namespace

DeviceMemory mouseFactoryMemory() {
    DeviceMemory m;
    m.info.assign(kMouseInfo.begin(), kMouseInfo.end());
    m.keyTable.assign(kKeyTableBytes, 0);
    std::copy(kMouseButtons.begin(), kMouseButtons.end(), m.keyTable.begin());
    m.banks.assign(kBankMemoryBytes, 0);
    for (size_t b = 0; b < kRecordCount; ++b) {
        std::copy(kMouseButtons.begin(), kMouseButtons.end(),
                  m.banks.begin() + static_cast<std::ptrdiff_t>(b * kBankStrideBytes));
    }
    m.records.assign(kMouseRecords.begin(), kMouseRecords.end());
    m.macro.assign(size_t{kMouseInfo[kInfoMacroCapacityByte]} * kMacroUnitBytes, 0);
    m.cursor.assign(kMouseCursorBytes, 0);
    return m;
}

}  // namespace rxt::sim
