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

void readAllMouse(DeviceLink& link, DeviceImages& images, UiReactions& ui);
void readAllMousepad(DeviceLink& link, DeviceImages& images, UiReactions& ui);
// False when the key count stopped the read (the message box was shown).
bool readAllKeyboard(DeviceLink& link, DeviceImages& images, UiReactions& ui);
// The read all of images.kind().
bool readAll(DeviceLink& link, DeviceImages& images, UiReactions& ui);

// Re-reads the current record: record 0 for the mouse and the keyboard, the
// device's current record for the mousepad.
void refreshCurrentRecord(DeviceLink& link, DeviceImages& images, UiReactions& ui);

// Reads the keyboard's default key table and writes it as the default device
// file of the attached variant.
void exportDefaultKeyTable(DeviceLink& link, DeviceImageSet& images, UiReactions& ui);

// The mousepad's current index as read from the device, checked against the
// record table: an index of 5 or more is taken as 0.
size_t checkedRecordIndex(uint8_t index);

}  // namespace rxt
