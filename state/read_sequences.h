#pragma once
// The sequences that fill the images from a device: read all (on arrival,
// at start and on a device's own request) and the refresh of the current
// record. Read results are not tested: a failed read leaves that part of
// the image as it was, chunks read before the failure included.

#include "device/device_link.h"
#include "state/device_images.h"
#include "state/ui_reactions.h"

namespace rxt {

// The key count the keyboard may report: 3 x 170 = 510 bytes fit the 512-byte
// block; more stops the read with "message_text_11".
inline constexpr int kMaxKeyboardKeys = kMaxBlockSize / 3;

// How a sequence went, for callers that report it (the program itself goes
// on whatever the results).
struct ReadResult {
    bool completed = true;           // false when the key count stopped the keyboard's read
    int firstFailure = kResultDone;  // the first command result other than 1, if any
    bool ok() const { return completed && firstFailure == kResultDone; }
};

ReadResult readAllMouse(DeviceLink& link, DeviceImages& images, UiReactions& ui);
ReadResult readAllMousepad(DeviceLink& link, DeviceImages& images, UiReactions& ui);
// Stops (completed false) with the message box when the key count is too large.
ReadResult readAllKeyboard(DeviceLink& link, DeviceImages& images, UiReactions& ui);
// The read all of images.kind().
ReadResult readAll(DeviceLink& link, DeviceImages& images, UiReactions& ui);

// Re-reads the current record: record 0 for the mouse and the keyboard, the
// device's current record for the mousepad.
ReadResult refreshCurrentRecord(DeviceLink& link, DeviceImages& images, UiReactions& ui);

// Reads the keyboard's default key table and writes it as the default device
// file of the attached variant.
ReadResult exportDefaultKeyTable(DeviceLink& link, DeviceImageSet& images, UiReactions& ui);

// The mousepad's current index as read from the device, checked against the
// record table: an index of 5 or more is taken as 0.
size_t checkedRecordIndex(uint8_t index);

}  // namespace rxt
