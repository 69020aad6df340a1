// Factory contents of the mousepad: five lighting records. It has no key
// tables, macros or cursor memory; its lights show the frames it is sent.

#include <algorithm>
#include <array>

#include "sim/factory_contents.h"

namespace rxt::sim {
namespace {

constexpr auto kMousepadInfo = std::to_array<uint8_t>({
    0x01,        // 0: layout version of this record
    0x01, 0x01,  // 1..2: firmware 1.01
    0x02,        // 3: device class: mousepad
    0x05,        // 4: on-board records
    0x0F,        // 5: lights
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
});
static_assert(kMousepadInfo.size() == kInfoBytes);

// Bytes 1..8 of each record: mode, brightness, speed, direction, colourful,
// red, green, blue.
constexpr std::array<std::array<uint8_t, 8>, kRecordCount> kRecordHeads{{
    {0, 4, 2, 1, 1, 255, 0, 0},      // wave, colourful
    {1, 3, 1, 1, 1, 0, 255, 0},      // colour cycle
    {3, 4, 0, 0, 0, 0, 128, 255},    // static
    {4, 3, 2, 1, 0, 255, 64, 0},     // scanner
    {8, 4, 0, 0, 1, 255, 255, 255},  // reactive flash
}};

constexpr auto kMousepadRecords = [] {
    std::array<uint8_t, kRecordBytes * kRecordCount> all{};
    for (size_t i = 0; i < kRecordCount; ++i) {
        all[i * kRecordBytes + kRecordIndexByte] = static_cast<uint8_t>(i);
        std::copy(kRecordHeads[i].begin(), kRecordHeads[i].end(),
                  all.begin() + i * kRecordBytes + 1);
    }
    return all;
}();

}  // namespace

DeviceMemory mousepadFactoryMemory() {
    DeviceMemory m;
    m.info.assign(kMousepadInfo.begin(), kMousepadInfo.end());
    m.records.assign(kMousepadRecords.begin(), kMousepadRecords.end());
    m.frame.assign(kMousepadFrameBytes, 0);
    return m;
}

}  // namespace rxt::sim
