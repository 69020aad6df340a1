#include "state/read_sequences.h"

#include <array>

#include "platform/debug_log.h"

namespace rxt {

namespace {

// Reads through a buffer that starts as the image's bytes, so that whatever
// the command does not deliver keeps its old value, then copies it back.
template <size_t N, typename Read>
void readIntoImage(ByteImage<N>& image, Read&& read) {
    std::array<uint8_t, N> buffer = image.snapshot();
    read(buffer.data());
    image.copyIn(0, buffer);
}

void readInfo(DeviceLink& link, DeviceImages& images) {
    readIntoImage(images.info, [&](uint8_t* buffer) { link.ReadInfo(buffer); });
}

// One 56-byte record read into record [index] of the table.
void readRecord(DeviceLink& link, DeviceImages& images, size_t index, bool setIndexByte) {
    std::array<uint8_t, kRecordStride> buffer = images.record(index);
    link.ReadRecord(buffer.data(), kRecordTransferSize,
                    static_cast<uint16_t>(index * kRecordStride));
    if (setIndexByte) {
        buffer[rec::kIndex] = static_cast<uint8_t>(index);
    }
    images.setRecord(index, std::span<const uint8_t>(buffer).first(kRecordTransferSize));
}

// The device's current record index, one byte at offset 0. A failed read
// keeps the index the current record already has.
uint8_t readDeviceIndex(DeviceLink& link, const DeviceImages& images) {
    uint8_t index = images.currentIndex();
    link.ReadRecord(&index, 1, 0);
    return index;
}

}  // namespace

size_t checkedRecordIndex(uint8_t index) {
    if (index < kRecordCount) {
        return index;
    }
    debugLogf("record index %u outside the table, record 0 used", index);
    return 0;
}

void readAllMouse(DeviceLink& link, DeviceImages& images, UiReactions& ui) {
    link.BeginSession();
    readInfo(link, images);
    readIntoImage(images.defaultKeys, [&](uint8_t* buffer) { link.ReadBlock(buffer); });
    for (size_t bank = 0; bank < kKeyBankCount; ++bank) {
        readIntoImage(images.banks[bank],
                      [&](uint8_t* buffer) { link.ReadBank(buffer, static_cast<int>(bank)); });
    }
    images.loadCurrentRecord(0);
    link.EndSession();
    ui.saveSelectedProfile(DeviceKind::Mouse, ProfileKind::Device);
}

void readAllMousepad(DeviceLink& link, DeviceImages& images, UiReactions& ui) {
    link.BeginSession();
    readInfo(link, images);
    for (size_t i = 0; i < kRecordCount; ++i) {
        readRecord(link, images, i, false);
    }
    const size_t index = checkedRecordIndex(readDeviceIndex(link, images));
    images.loadCurrentRecord(index);
    link.EndSession();
    ui.saveSelectedProfile(DeviceKind::Mousepad, ProfileKind::Lighting);
}

bool readAllKeyboard(DeviceLink& link, DeviceImages& images, UiReactions& ui) {
    link.BeginSession();
    readInfo(link, images);
    const int tableSize = 3 * images.info.get(info::kKeyCount);
    if (tableSize > kMaxBlockSize) {
        ui.showMessageBox("message_text_11");
        return false;
    }
    // A key count of 0 is refused by the link and the previous size stays.
    link.setBlockSize(static_cast<uint16_t>(tableSize));
    readIntoImage(images.defaultKeys, [&](uint8_t* buffer) { link.ReadBlock(buffer); });
    readIntoImage(images.banks[0], [&](uint8_t* buffer) { link.ReadBank(buffer, 0); });
    images.loadCurrentRecord(0);
    link.EndSession();
    ui.refreshPage(Page::KeyboardKeys);
    ui.saveSelectedProfile(DeviceKind::Keyboard, ProfileKind::Key);
    ui.saveSelectedProfile(DeviceKind::Keyboard, ProfileKind::Device);
    return true;
}

bool readAll(DeviceLink& link, DeviceImages& images, UiReactions& ui) {
    switch (images.kind()) {
        case DeviceKind::Mouse:
            readAllMouse(link, images, ui);
            return true;
        case DeviceKind::Mousepad:
            readAllMousepad(link, images, ui);
            return true;
        case DeviceKind::Keyboard:
            break;
    }
    return readAllKeyboard(link, images, ui);
}

void refreshCurrentRecord(DeviceLink& link, DeviceImages& images, UiReactions& ui) {
    images.storeCurrentRecord();
    if (images.kind() == DeviceKind::Mousepad) {
        const size_t index = checkedRecordIndex(readDeviceIndex(link, images));
        readRecord(link, images, index, true);
        images.loadCurrentRecord(index);
        ui.saveSelectedProfile(DeviceKind::Mousepad, ProfileKind::Lighting);
        return;
    }
    readDeviceIndex(link, images);  // asked for, as the device expects, but not used
    images.current.set(rec::kIndex, 0);
    readRecord(link, images, 0, true);
    images.loadCurrentRecord(0);
    if (images.kind() == DeviceKind::Mouse) {
        ui.saveSelectedProfile(DeviceKind::Mouse, ProfileKind::Lighting);
        ui.saveSelectedProfile(DeviceKind::Mouse, ProfileKind::Device);
    } else {
        ui.saveSelectedProfile(DeviceKind::Keyboard, ProfileKind::Device);
    }
}

void exportDefaultKeyTable(DeviceLink& link, DeviceImageSet& images, UiReactions& ui) {
    DeviceImages& keyboard = images.keyboard;
    readIntoImage(keyboard.defaultKeys, [&](uint8_t* buffer) { link.ReadBlock(buffer); });
    const auto table = keyboard.defaultKeys.snapshot();
    ui.writeKeyboardDefaultFile(images.keyboardVariant(), table);
    ui.refreshPage(Page::KeyboardKeys);
}

}  // namespace rxt
