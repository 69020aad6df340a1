#include "state/read_sequences.h"

#include <array>

#include "platform/debug_log.h"

namespace rxt {

namespace {

// Keeps the first failing result of a sequence.
class Results {
  public:
    int operator()(int result) {
        if (out_.firstFailure == kResultDone && result != kResultDone) {
            out_.firstFailure = result;
        }
        return result;
    }
    ReadResult& out() { return out_; }

  private:
    ReadResult out_;
};

// Reads through a buffer that starts as the image's bytes, so that whatever
// the command does not deliver keeps its old value, then copies it back.
template <size_t N, typename Read>
void readIntoImage(ByteImage<N>& image, Read&& read) {
    std::array<uint8_t, N> buffer = image.snapshot();
    read(buffer.data());
    image.copyIn(0, buffer);
}

void readInfo(DeviceLink& link, DeviceImages& images, Results& note) {
    readIntoImage(images.info, [&](uint8_t* buffer) { note(link.ReadInfo(buffer)); });
}

// One 56-byte record read into record [index] of the table.
void readRecord(DeviceLink& link, DeviceImages& images, size_t index, bool setIndexByte,
                Results& note) {
    std::array<uint8_t, kRecordStride> buffer = images.record(index);
    note(link.ReadRecord(buffer.data(), kRecordTransferSize,
                         static_cast<uint16_t>(index * kRecordStride)));
    if (setIndexByte) {
        buffer[rec::kIndex] = static_cast<uint8_t>(index);
    }
    images.setRecord(index, std::span<const uint8_t>(buffer).first(kRecordTransferSize));
}

// The device's current record index, one byte at offset 0. A failed read
// keeps the index the current record already has.
uint8_t readDeviceIndex(DeviceLink& link, const DeviceImages& images, Results& note) {
    uint8_t index = images.currentIndex();
    note(link.ReadRecord(&index, 1, 0));
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

ReadResult readAllMouse(DeviceLink& link, DeviceImages& images, UiReactions& ui) {
    Results note;
    note(link.BeginSession());
    readInfo(link, images, note);
    readIntoImage(images.defaultKeys, [&](uint8_t* buffer) { note(link.ReadBlock(buffer)); });
    for (size_t bank = 0; bank < kKeyBankCount; ++bank) {
        readIntoImage(images.banks[bank], [&](uint8_t* buffer) {
            note(link.ReadBank(buffer, static_cast<int>(bank)));
        });
    }
    images.loadCurrentRecord(0);
    note(link.EndSession());
    ui.report(event::ProfileSave{DeviceKind::Mouse, ProfileKind::Device});
    return note.out();
}

ReadResult readAllMousepad(DeviceLink& link, DeviceImages& images, UiReactions& ui) {
    Results note;
    note(link.BeginSession());
    readInfo(link, images, note);
    for (size_t i = 0; i < kRecordCount; ++i) {
        readRecord(link, images, i, false, note);
    }
    const size_t index = checkedRecordIndex(readDeviceIndex(link, images, note));
    images.loadCurrentRecord(index);
    note(link.EndSession());
    ui.report(event::ProfileSave{DeviceKind::Mousepad, ProfileKind::Lighting});
    return note.out();
}

ReadResult readAllKeyboard(DeviceLink& link, DeviceImages& images, UiReactions& ui) {
    Results note;
    note(link.BeginSession());
    readInfo(link, images, note);
    const int tableSize = 3 * images.info.get(info::kKeyCount);
    if (tableSize > kMaxBlockSize) {
        ui.showMessageBox("message_text_11");
        note.out().completed = false;
        return note.out();
    }
    // A key count of 0 is refused by the link and the previous size stays.
    link.setBlockSize(static_cast<uint16_t>(tableSize));
    readIntoImage(images.defaultKeys, [&](uint8_t* buffer) { note(link.ReadBlock(buffer)); });
    readIntoImage(images.banks[0], [&](uint8_t* buffer) { note(link.ReadBank(buffer, 0)); });
    images.loadCurrentRecord(0);
    note(link.EndSession());
    ui.report(event::PageRefresh{Page::KeyboardKeys});
    ui.report(event::ProfileSave{DeviceKind::Keyboard, ProfileKind::Key});
    ui.report(event::ProfileSave{DeviceKind::Keyboard, ProfileKind::Device});
    return note.out();
}

ReadResult readAll(DeviceLink& link, DeviceImages& images, UiReactions& ui) {
    switch (images.kind()) {
        case DeviceKind::Mouse:
            return readAllMouse(link, images, ui);
        case DeviceKind::Mousepad:
            return readAllMousepad(link, images, ui);
        case DeviceKind::Keyboard:
            break;
    }
    return readAllKeyboard(link, images, ui);
}

ReadResult refreshCurrentRecord(DeviceLink& link, DeviceImages& images, UiReactions& ui) {
    Results note;
    images.storeCurrentRecord();
    if (images.kind() == DeviceKind::Mousepad) {
        const size_t index = checkedRecordIndex(readDeviceIndex(link, images, note));
        readRecord(link, images, index, true, note);
        images.loadCurrentRecord(index);
        ui.report(event::ProfileSave{DeviceKind::Mousepad, ProfileKind::Lighting});
        return note.out();
    }
    readDeviceIndex(link, images, note);  // asked for, as the device expects, but not used
    images.current.set(rec::kIndex, 0);
    readRecord(link, images, 0, true, note);
    images.loadCurrentRecord(0);
    if (images.kind() == DeviceKind::Mouse) {
        ui.report(event::ProfileSave{DeviceKind::Mouse, ProfileKind::Lighting});
        ui.report(event::ProfileSave{DeviceKind::Mouse, ProfileKind::Device});
    } else {
        ui.report(event::ProfileSave{DeviceKind::Keyboard, ProfileKind::Device});
    }
    return note.out();
}

ReadResult exportDefaultKeyTable(DeviceLink& link, DeviceImageSet& images, UiReactions& ui) {
    Results note;
    DeviceImages& keyboard = images.keyboard;
    readIntoImage(keyboard.defaultKeys, [&](uint8_t* buffer) { note(link.ReadBlock(buffer)); });
    const auto table = keyboard.defaultKeys.snapshot();
    ui.report(event::KeyboardDefaultFile{images.keyboardVariant(), table});
    ui.report(event::PageRefresh{Page::KeyboardKeys});
    return note.out();
}

}  // namespace rxt
