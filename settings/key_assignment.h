#pragma once
// The function of one mouse button or keyboard key as the device stores it:
// three bytes (kind, p1, p2), entry n of a bank at byte 3n, five banks per
// device and the default key table at the same positions.

#include <cstddef>
#include <cstdint>

#include "state/device_images.h"
#include "state/read_sequences.h"

namespace rxt {

enum class FunctionKind : uint8_t {
    MouseButton = 0x10,
    HorizontalSwing = 0x11,
    VerticalSwing = 0x12,
    DpiStep = 0x13,
    FireKey = 0x14,
    Key = 0x20,  // a key with modifiers, or a shortcut
    Multimedia = 0x30,
    System = 0x40,
    Macro = 0x70,
    MacroCounted = 0x71,
    GunScheme = 0x72,  // mouse only
};

// A bank may hold kinds the pages do not offer; the kind byte is kept raw.
struct KeyAssignment {
    uint8_t kind = 0;
    uint8_t p1 = 0;
    uint8_t p2 = 0;

    constexpr KeyAssignment() = default;
    constexpr KeyAssignment(uint8_t k, uint8_t a, uint8_t b) : kind(k), p1(a), p2(b) {}
    constexpr KeyAssignment(FunctionKind k, uint8_t a, uint8_t b)
        : kind(static_cast<uint8_t>(k)), p1(a), p2(b) {}

    constexpr bool is(FunctionKind k) const { return kind == static_cast<uint8_t>(k); }
    constexpr bool playsMacro() const {
        return is(FunctionKind::Macro) || is(FunctionKind::MacroCounted);
    }
    constexpr bool operator==(const KeyAssignment&) const = default;
};

inline constexpr size_t kAssignmentSize = 3;
// The mouse bank's own part of a 512-byte bank image, and the buttons the
// key page shows of it.
inline constexpr size_t kMouseBankEntries = 42;
inline constexpr size_t kMouseBankSize = kMouseBankEntries * kAssignmentSize;  // 126
inline constexpr int kMouseButtons = 7;
// Left click (0x10, 0x01, 0): at least one of buttons 0..5 keeps it.
inline constexpr KeyAssignment kLeftClick{FunctionKind::MouseButton, 0x01, 0x00};
inline constexpr int kLeftClickGuardButtons = 6;
// kMaxKeyboardKeys (state/read_sequences.h): above it a keyboard's key
// table does not fit its 512-byte image.
static_assert(kMaxKeyboardKeys * kAssignmentSize <= kKeyTableSize);

// One bank of a device image: entries of 3 bytes, reads and writes past the
// bank's entries ignored.
class AssignmentBank {
  public:
    AssignmentBank(ByteImage<kKeyTableSize>& bytes, size_t entries)
        : bytes_(bytes), entries_(entries) {}

    size_t entries() const { return entries_; }
    size_t byteCount() const { return entries_ * kAssignmentSize; }
    KeyAssignment get(size_t n) const;
    // False (nothing written) for n past the entries.
    bool set(size_t n, const KeyAssignment& entry);

  private:
    ByteImage<kKeyTableSize>& bytes_;
    size_t entries_;
};

// Mouse: 42 entries; keyboard: information byte 5, at most 170.
size_t bankEntries(const DeviceImages& images);
// The bank named by byte 0 of the current record (an index above 4, from a
// device or a file, reads as bank 0).
size_t currentBankNumber(const DeviceImages& images);
AssignmentBank currentBank(DeviceImages& images);
AssignmentBank bank(DeviceImages& images, size_t number);
// Entry n of the device's default key table.
KeyAssignment defaultEntry(const DeviceImages& images, size_t n);

}  // namespace rxt
