#include "state/device_events.h"

#include "state/read_sequences.h"
#include "state/window_messages.h"

namespace rxt {

DeviceEvents::DeviceEvents(DeviceLinks& links, DeviceImageSet& images, UiReactions& ui,
                           WriteBack& writeBack)
    : links_(links), images_(images), ui_(ui), writeBack_(writeBack) {}

void DeviceEvents::readAllAndRefresh(DeviceKind kind, std::initializer_list<Page> pages) {
    if (onRead_) {
        onRead_(kind, true);
    }
    readAll(links_[kind], images_.of(kind), ui_);
    for (Page page : pages) {
        ui_.report(event::PageRefresh{page});
    }
}

void DeviceEvents::refreshAndShow(DeviceKind kind, Page page) {
    if (onRead_) {
        onRead_(kind, false);
    }
    refreshCurrentRecord(links_[kind], images_.of(kind), ui_);
    ui_.report(event::PageRefresh{page});
}

bool DeviceEvents::onMessage(int message) {
    switch (message) {
        case kMsgMouseReadAll:
            readAllAndRefresh(DeviceKind::Mouse, {Page::MouseMain});
            return true;
        case kMsgMouseRefresh:
            refreshAndShow(DeviceKind::Mouse, Page::MouseMain);
            return true;
        case kMsgMousepadReadAll:
            readAllAndRefresh(DeviceKind::Mousepad, {Page::MousepadLighting});
            return true;
        case kMsgMousepadRefresh:
            refreshAndShow(DeviceKind::Mousepad, Page::MousepadLighting);
            return true;
        case kMsgKeyboardReadAll:
            readAllAndRefresh(DeviceKind::Keyboard, {Page::KeyboardLighting});
            return true;
        case kMsgKeyboardRefresh:
            refreshAndShow(DeviceKind::Keyboard, Page::KeyboardLighting);
            return true;
        case kMsgKeyboardExportDefaults:
            exportDefaultKeyTable(links_[DeviceKind::Keyboard], images_, ui_);
            return true;
        default:
            return false;
    }
}

bool DeviceEvents::onTimer(int id) {
    switch (id) {
        case kTimerWriteBack:
            writeBack_.tick();
            return true;
        case kTimerMouseRead:
            readAllAndRefresh(DeviceKind::Mouse, {Page::MouseMain, Page::MouseKeys});
            return true;
        case kTimerKeyboardRead:
            readAllAndRefresh(DeviceKind::Keyboard, {Page::KeyboardLighting});
            return true;
        case kTimerMousepadRead:
            readAllAndRefresh(DeviceKind::Mousepad, {Page::MousepadLighting});
            return true;
        default:
            return false;
    }
}

}  // namespace rxt
