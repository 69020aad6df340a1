// Factory contents of the keyboard: 126 key positions, each assigned its own
// key (kind 0x20, modifier mask, keyboard usage), and a lighting record per
// profile. Positions without a key (and Fn) hold zeros.

#include <algorithm>
#include <array>

#include "sim/factory_contents.h"

namespace rxt::sim {
namespace {

constexpr size_t kKeyCount = 126;
constexpr uint8_t kKeyFunction = 0x20;

constexpr auto kKeyboardInfo = std::to_array<uint8_t>({
    0x01,             // 0: layout version of this record
    0x05,      0x02,  // 1..2: firmware 2.05
    0x03,             // 3: device class: keyboard
    0x05,             // 4: on-board profiles
    kKeyCount,        // 5: keys
    0x40,             // 6: macro memory, 64 x 128 bytes
    0x00,      0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00,      0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
});
static_assert(kKeyboardInfo.size() == kInfoBytes);
static_assert(kKeyCount * 3 <= kKeyTableBytes);

struct KeyDefault {
    uint8_t position;
    uint8_t modifiers;
    uint8_t usage;
};

// Position, modifier mask, usage; rows of the board from the top.
constexpr KeyDefault kKeys[] = {
    // Esc, F1..F12, Print Screen, Scroll Lock, Pause.
    {0, 0, 0x29},
    {1, 0, 0x3A},
    {2, 0, 0x3B},
    {3, 0, 0x3C},
    {4, 0, 0x3D},
    {5, 0, 0x3E},
    {6, 0, 0x3F},
    {7, 0, 0x40},
    {8, 0, 0x41},
    {9, 0, 0x42},
    {10, 0, 0x43},
    {11, 0, 0x44},
    {12, 0, 0x45},
    {13, 0, 0x46},
    {14, 0, 0x47},
    {15, 0, 0x48},
    // ` 1..9 0 - = Backspace, Insert, Home, Page Up, Num Lock, / * - (keypad).
    {21, 0, 0x35},
    {22, 0, 0x1E},
    {23, 0, 0x1F},
    {24, 0, 0x20},
    {25, 0, 0x21},
    {26, 0, 0x22},
    {27, 0, 0x23},
    {28, 0, 0x24},
    {29, 0, 0x25},
    {30, 0, 0x26},
    {31, 0, 0x27},
    {32, 0, 0x2D},
    {33, 0, 0x2E},
    {34, 0, 0x2A},
    {35, 0, 0x49},
    {36, 0, 0x4A},
    {37, 0, 0x4B},
    {38, 0, 0x53},
    {39, 0, 0x54},
    {40, 0, 0x55},
    {41, 0, 0x56},
    // Tab Q W E R T Y U I O P [ ] \, Delete, End, Page Down, keypad 7 8 9.
    {42, 0, 0x2B},
    {43, 0, 0x14},
    {44, 0, 0x1A},
    {45, 0, 0x08},
    {46, 0, 0x15},
    {47, 0, 0x17},
    {48, 0, 0x1C},
    {49, 0, 0x18},
    {50, 0, 0x0C},
    {51, 0, 0x12},
    {52, 0, 0x13},
    {53, 0, 0x2F},
    {54, 0, 0x30},
    {55, 0, 0x31},
    {56, 0, 0x4C},
    {57, 0, 0x4D},
    {58, 0, 0x4E},
    {59, 0, 0x5F},
    {60, 0, 0x60},
    {61, 0, 0x61},
    {62, 0, 0x32},
    // Caps Lock A S D F G H J K L ; ' Enter, keypad 4 5 6 +.
    {63, 0, 0x39},
    {64, 0, 0x04},
    {65, 0, 0x16},
    {66, 0, 0x07},
    {67, 0, 0x09},
    {68, 0, 0x0A},
    {69, 0, 0x0B},
    {70, 0, 0x0D},
    {71, 0, 0x0E},
    {72, 0, 0x0F},
    {73, 0, 0x33},
    {74, 0, 0x34},
    {75, 0, 0x28},
    {76, 0, 0x5C},
    {77, 0, 0x5D},
    {78, 0, 0x5E},
    {119, 0, 0x57},
    // Left Shift Z X C V B N M , . / Right Shift, Up, keypad 1 2 3 Enter.
    {84, 0x02, 0x00},
    {85, 0, 0x1D},
    {86, 0, 0x1B},
    {87, 0, 0x06},
    {88, 0, 0x19},
    {89, 0, 0x05},
    {90, 0, 0x11},
    {91, 0, 0x10},
    {92, 0, 0x36},
    {93, 0, 0x37},
    {94, 0, 0x38},
    {95, 0x20, 0x00},
    {96, 0, 0x52},
    {97, 0, 0x59},
    {98, 0, 0x5A},
    {99, 0, 0x5B},
    {118, 0, 0x58},
    // Left Ctrl, Left GUI, Left Alt, Space, Right Alt, Menu, Right Ctrl, arrows, keypad 0 and .
    {105, 0x01, 0x00},
    {106, 0x08, 0x00},
    {107, 0x04, 0x00},
    {108, 0, 0x2C},
    {109, 0x40, 0x00},
    {111, 0, 0x65},
    {112, 0x10, 0x00},
    {113, 0, 0x50},
    {114, 0, 0x51},
    {115, 0, 0x4F},
    {116, 0, 0x62},
    {117, 0, 0x63},
};

constexpr auto kKeyboardKeyTable = [] {
    std::array<uint8_t, kKeyTableBytes> t{};
    for (const KeyDefault& k : kKeys) {
        t[3 * k.position] = kKeyFunction;
        t[3 * k.position + 1] = k.modifiers;
        t[3 * k.position + 2] = k.usage;
    }
    return t;
}();

static_assert(kKeyboardKeyTable[3 * 64 + 2] == 0x04, "A sits at position 64");

// Bytes 1..9 of each profile's record: mode, brightness, speed, direction,
// colourful, red, green, blue, mode-2 cycle.
constexpr std::array<std::array<uint8_t, 9>, kRecordCount> kRecordHeads{{
    {0, 4, 2, 1, 1, 0, 128, 255, 0},    // wave
    {3, 3, 0, 0, 0, 255, 255, 255, 0},  // static white
    {5, 4, 1, 1, 1, 255, 0, 0, 0},      // ripple
    {1, 2, 2, 0, 1, 0, 255, 0, 0},      // colour cycle
    {12, 4, 0, 1, 0, 255, 0, 128, 0},   // comet
}};

constexpr auto kKeyboardRecords = [] {
    std::array<uint8_t, kRecordBytes * kRecordCount> all{};
    for (size_t i = 0; i < kRecordCount; ++i) {
        all[i * kRecordBytes + kRecordIndexByte] = static_cast<uint8_t>(i);
        std::copy(kRecordHeads[i].begin(), kRecordHeads[i].end(),
                  all.begin() + i * kRecordBytes + 1);
    }
    return all;
}();

}  // namespace

DeviceMemory keyboardFactoryMemory() {
    DeviceMemory m;
    m.info.assign(kKeyboardInfo.begin(), kKeyboardInfo.end());
    m.keyTable.assign(kKeyboardKeyTable.begin(), kKeyboardKeyTable.end());
    // Only bank 0 is in use; it starts as the factory table.
    m.banks.assign(kBankMemoryBytes, 0);
    std::copy_n(kKeyboardKeyTable.begin(), kKeyCount * 3, m.banks.begin());
    m.records.assign(kKeyboardRecords.begin(), kKeyboardRecords.end());
    m.macro.assign(size_t{kKeyboardInfo[kInfoMacroCapacityByte]} * kMacroUnitBytes, 0);
    m.frame.assign(kKeyboardFrameBytes, 0);
    return m;
}

}  // namespace rxt::sim
