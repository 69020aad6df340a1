#include "state/write_back.h"

#include <thread>

#include "platform/debug_log.h"
#include "platform/system_pointer.h"
#include "state/window_messages.h"

namespace rxt {

WriteBack::WriteBack(DeviceLinks& links, DeviceImageSet& images, UiReactions& ui)
    : links_(links), images_(images), ui_(ui) {}

int WriteBack::writeCurrentRecord(DeviceKind kind) {
    const DeviceImages& images = images_.of(kind);
    std::array<uint8_t, kRecordTransferSize> buffer{};
    images.current.copyOut(0, std::span(buffer).first(images.currentSize()));
    const int result = links_[kind].WriteRecord(buffer.data(), kRecordTransferSize, 0);
    if (onRecordWritten_) {
        onRecordWritten_(kind, result);
    }
    return result;
}

void WriteBack::tick() {
    for (DeviceKind kind : {DeviceKind::Keyboard, DeviceKind::Mouse, DeviceKind::Mousepad}) {
        // Cleared before the write, so that a change made while it runs is
        // written on the next tick rather than lost.
        if (pending_[index(kind)].exchange(false)) {
            writeCurrentRecord(kind);
        }
    }
}

void WriteBack::setActiveDpiLevel(int level) {
    if (level < 1 || level > 7) {
        return;
    }
    images_.mouse.current.set(rec::kActiveDpiLevel, static_cast<uint8_t>(level - 1));
    ui_.report(event::ProfileSave{DeviceKind::Mouse, ProfileKind::Device});
    links_[DeviceKind::Mouse].setInLightSync(false);
    writeCurrentRecord(DeviceKind::Mouse);
}

void WriteBack::switchOnDeviceProfile(DeviceKind kind, int n) {
    if (kind == DeviceKind::Keyboard || n < 0 || n >= static_cast<int>(kRecordCount)) {
        return;
    }
    DeviceLink& link = links_[kind];
    DeviceImages& images = images_.of(kind);
    uint8_t current = images.currentIndex();
    link.ReadRecord(&current, 1, 0);
    if (current == n) {
        return;
    }
    // An index the table has no record for leaves the table alone.
    images.storeCurrentRecordAt(current);
    const uint8_t value = static_cast<uint8_t>(n);
    link.WriteRecord(&value, 1, 0);
    std::array<uint8_t, kRecordStride> buffer = images.record(static_cast<size_t>(n));
    link.ReadRecord(buffer.data(), kRecordTransferSize,
                    static_cast<uint16_t>(static_cast<size_t>(n) * kRecordStride));
    images.setRecord(static_cast<size_t>(n),
                     std::span<const uint8_t>(buffer).first(kRecordTransferSize));
    images.loadCurrentRecord(static_cast<size_t>(n));
    if (kind == DeviceKind::Mouse) {
        ui_.report(event::FunctionPanelHidden{DeviceKind::Mouse, false});
        ui_.report(event::PageRefresh{Page::MouseMain});
    } else {
        ui_.report(event::PageRefresh{Page::MousepadLighting});
    }
}

int WriteBack::uploadSequence(DeviceKind kind) {
    ui_.sendMessage(kMsgProgressShow);
    if (uploads_ != nullptr) {
        if (kind == DeviceKind::Keyboard) {
            uploads_->uploadKeyboard();
        } else if (kind == DeviceKind::Mouse) {
            if (uploads_->uploadMouseCursors()) {
                uploads_->uploadMouse();
            }
        }
    }
    ui_.sendMessage(kMsgProgressDone);
    return -1;
}

bool WriteBack::sameMode(DeviceKind source) {
    if (source != DeviceKind::Mouse && source != DeviceKind::Mousepad &&
        source != DeviceKind::Keyboard) {
        debugLog("同步失败");
        return false;
    }
    const DeviceImages& from = images_.of(source);
    std::array<DeviceImages*, 2> to{};
    size_t n = 0;
    for (DeviceKind kind : kAllDeviceKinds) {
        if (kind != source) {
            to[n++] = &images_.of(kind);
        }
    }
    for (size_t b = rec::kLightMode; b < rec::kLightMode + kLightingHeadSize; ++b) {
        const uint8_t value = from.current.get(b);
        to[0]->current.set(b, value);
        to[1]->current.set(b, value);
        images_.sharedLightingHead.set(b - rec::kLightMode, value);
    }
    switch (source) {
        case DeviceKind::Keyboard:
            ui_.report(event::PageRefresh{Page::MouseMain});
            ui_.report(event::PageRefresh{Page::MousepadLighting});
            ui_.report(event::ProfileSave{DeviceKind::Mouse, ProfileKind::Lighting});
            ui_.report(event::ProfileSave{DeviceKind::Mouse, ProfileKind::Device});
            ui_.report(event::ProfileSave{DeviceKind::Mousepad, ProfileKind::Lighting});
            break;
        case DeviceKind::Mouse:
            ui_.report(event::PageRefresh{Page::MousepadLighting});
            ui_.report(event::PageRefresh{Page::KeyboardLighting});
            ui_.report(event::ProfileSave{DeviceKind::Keyboard, ProfileKind::Lighting});
            ui_.report(event::ProfileSave{DeviceKind::Keyboard, ProfileKind::Device});
            ui_.report(event::ProfileSave{DeviceKind::Mousepad, ProfileKind::Lighting});
            break;
        case DeviceKind::Mousepad:
            ui_.report(event::PageRefresh{Page::MouseMain});
            ui_.report(event::PageRefresh{Page::KeyboardLighting});
            ui_.report(event::ProfileSave{DeviceKind::Keyboard, ProfileKind::Lighting});
            ui_.report(event::ProfileSave{DeviceKind::Keyboard, ProfileKind::Device});
            ui_.report(event::ProfileSave{DeviceKind::Mouse, ProfileKind::Lighting});
            ui_.report(event::ProfileSave{DeviceKind::Mouse, ProfileKind::Device});
            break;
    }
    for (DeviceKind kind : kAllDeviceKinds) {
        links_[kind].setInLightSync(true);
    }
    return true;
}

void WriteBack::restoreDefaults(DeviceKind kind) {
    if (kind == DeviceKind::Mouse) {
        // The settings-change broadcast that followed has no counterpart here.
        ui_.report(event::PointerSliderShown{kMouseDefaultPointerSlider});
        if (pointer_ != nullptr) {
            pointer_->setPointerSpeed(kMouseDefaultPointerSpeed);
        }
        ui_.report(event::WheelLinesShown{kMouseDefaultWheelLines});
        if (pointer_ != nullptr) {
            pointer_->setWheelScrollLines(kMouseDefaultWheelLines);
        }
        links_[DeviceKind::Mouse].ResetDevice();
    } else if (kind == DeviceKind::Mousepad) {
        links_[DeviceKind::Mousepad].ResetDevice();
        std::this_thread::sleep_for(resetSettle_);
        ui_.sendMessage(kMsgMousepadReadAll);
    }
}

int WriteBack::streamFrame(DeviceKind kind, std::span<const uint8_t> frame) {
    if (frame.size() > 0xFFFF) {
        return kResultBadArgument;
    }
    return links_[kind].StreamFrame(frame.data(), static_cast<uint16_t>(frame.size()));
}

}  // namespace rxt
