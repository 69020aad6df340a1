#include "state/discovery_threads.h"

#include <array>
#include <chrono>
#include <mutex>
#include <string>
#include <vector>

#include "device/interface_finder.h"
#include "platform/debug_log.h"
#include "platform/folders.h"
#include "platform/ini_file.h"
#include "state/keyboard_kind.h"
#include "state/window_messages.h"

namespace rxt {

namespace {

using std::chrono::milliseconds;

constexpr milliseconds kStopPoll{1};
constexpr milliseconds kLongSleep{1000};
constexpr milliseconds kShortSleep{100};
constexpr milliseconds kKeyboardSettle{100};

// The remembered entry of a catalogue, read as every catalogue reader does:
// default "0", decimal prefix.
int readSelect(DeviceKind kind, std::string_view section) {
    const std::string file = std::string(kindPrefix(kind)) + "Profile.ini";
    return iniReadInt(profileFolderPath(kindPrefix(kind)) / file, section, "select", 0);
}

enum class Pass { Nothing, Attached, Removed, StillPresent, EnumerationFailed };

// One pass under the link's transfer lock: probe a connected device, or look
// for an absent one. The page reactions follow once the lock is released.
Pass detectionPass(DeviceKind kind, DiscoveryContext& context, bool& enumerated) {
    DeviceLink& link = context.links[kind];
    std::lock_guard lock(link.transferLock());
    if (link.connected()) {
        if (link.device().present(link.device().devicePath())) {
            return Pass::StillPresent;
        }
        link.setConnected(false);
        link.setInLightSync(false);
        link.device().close();
        return Pass::Removed;
    }
    // The identity comes from the link's targets; the products from the kind.
    InterfaceMatch match = configInterfaceMatch(kind);
    match.vendor = link.targetVendor();
    match.usagePage = link.targetUsagePage();
    match.usage = link.targetUsage();
    const FindReport found = findAndOpen(link.device(), match, true);
    if (found.result == FindResult::EnumerationFailed) {
        return Pass::EnumerationFailed;
    }
    enumerated = true;
    if (found.result != FindResult::Found) {
        return Pass::Nothing;
    }
    if (kind == DeviceKind::Keyboard) {
        // Connected is set after the tab shows and the device settles.
        const uint16_t product = link.device().attributes().product;
        context.images.setKeyboardVariant(
            keyboardVariantFor(product, context.images.keyboardVariant()));
    } else {
        link.setConnected(true);
    }
    return Pass::Attached;
}

void attachReaction(DeviceKind kind, DiscoveryContext& context, const StopEvent& stop) {
    UiReactions& ui = context.ui;
    switch (kind) {
        case DeviceKind::Mouse: {
            ui.report(event::ProfileEntrySelect{kind, ProfileKind::Device,
                                                readSelect(kind, "PROFILEDEVICESELECT")});
            ui.startTimer(kTimerMouseRead, kMouseReadDelayMs);
            ui.report(event::TabShown{kind, true});
            ui.report(event::TabSelected{kind});
            ui.report(event::PanelShown{kind});
            break;
        }
        case DeviceKind::Mousepad: {
            ui.report(event::TabShown{kind, true});
            ui.report(event::TabSelected{kind});
            ui.report(event::ProfileEntrySelect{kind, ProfileKind::Lighting,
                                                readSelect(kind, "PROFILEDENGSELECT")});
            ui.startTimer(kTimerRepaint, kRepaintDelayMs);
            break;
        }
        case DeviceKind::Keyboard: {
            ui.report(event::TabShown{kind, true});
            ui.report(event::TabSelected{kind});
            stop.waitFor(kKeyboardSettle);
            context.links[kind].setConnected(true);
            const int index = readSelect(kind, "PROFILEDEVICESELECT");
            ui.report(event::ProfileLoad{kind, ProfileKind::Device, index});
            ui.report(event::ProfileEntrySelect{kind, ProfileKind::Device, index});
            ui.startTimer(kTimerRepaint, kRepaintDelayMs);
            ui.report(event::PanelShown{kind});
            ui.showWindow(true);
            break;
        }
    }
}

void removalReaction(DeviceKind kind, DiscoveryContext& context) {
    UiReactions& ui = context.ui;
    const DeviceLinks& links = context.links;
    ui.report(event::TabShown{kind, false});
    const bool mouse = links.connected(DeviceKind::Mouse);
    const bool mousepad = links.connected(DeviceKind::Mousepad);
    const bool keyboard = links.connected(DeviceKind::Keyboard);
    switch (kind) {
        case DeviceKind::Mouse:
            if (!keyboard && !mousepad) {
                ui.postMessage(kMsgMouseRemovedLast);
            } else {
                ui.report(
                    event::TabSelected{keyboard ? DeviceKind::Keyboard : DeviceKind::Mousepad});
            }
            break;
        case DeviceKind::Mousepad:
            if (!keyboard && !mouse) {
                ui.showWindow(false);
            } else {
                ui.report(event::TabSelected{keyboard ? DeviceKind::Keyboard : DeviceKind::Mouse});
            }
            break;
        case DeviceKind::Keyboard:
            if (!mouse && !mousepad) {
                ui.showWindow(false);
            } else {
                ui.report(event::TabSelected{mouse ? DeviceKind::Mouse : DeviceKind::Mousepad});
            }
            break;
    }
}

milliseconds detectionSleep(DeviceKind kind, const DeviceLinks& links) {
    if (kind == DeviceKind::Mouse || !links.connected(kind)) {
        return kLongSleep;
    }
    return kShortSleep;
}

}  // namespace

int keyboardVariantFor(uint16_t product, int current) {
    return keyboardVariantOf(keyboardKindFor(product, keyboardKindOf(current)));
}

int listenerMessage(DeviceKind kind, uint16_t usage) {
    const bool mouse = kind == DeviceKind::Mouse;
    if (usage == kNotifyRefresh) {
        return mouse ? kMsgMouseRefresh : kMsgKeyboardRefresh;
    }
    if (usage == kNotifyReadAll) {
        return mouse ? kMsgMouseReadAll : kMsgKeyboardReadAll;
    }
    return 0;
}

std::string_view detectionExitText(DeviceKind kind) {
    switch (kind) {
        case DeviceKind::Mouse:
            return "鼠标设备侦测线程设定退出";
        case DeviceKind::Mousepad:
            return "鼠标垫设备侦测线程设定退出";
        case DeviceKind::Keyboard:
            break;
    }
    return "键盘设备侦测线程设定退出";
}

std::string_view listenerExitText(DeviceKind kind) {
    return kind == DeviceKind::Mouse ? "鼠标同步线程设定测试退出" : "键盘同步线程设定退出";
}

void runDetection(DeviceKind kind, WorkerParam param) {
    DiscoveryContext& context = *param.context;
    StopEvent& stop = *param.stop;
    bool activationChecked = false;
    bool failing = false;
    while (!stop.waitFor(kStopPoll)) {
        const uint64_t seen = context.waker.generation();
        bool enumerated = false;
        const Pass pass = detectionPass(kind, context, enumerated);
        switch (pass) {
            case Pass::EnumerationFailed:
                // The bus may not exist yet (udev, the simulator): keep the
                // pace and find the device once it does. Said once a spell.
                if (!failing) {
                    debugLog("HID enumeration failed, detection goes on");
                }
                failing = true;
                break;
            case Pass::Attached:
                if (context.onPresence) {
                    context.onPresence(kind, true);
                }
                attachReaction(kind, context, stop);
                break;
            case Pass::Removed:
                if (context.onPresence) {
                    context.onPresence(kind, false);
                }
                removalReaction(kind, context);
                break;
            case Pass::StillPresent:
                context.ui.report(
                    event::SameModeShown{kind, context.links.anyOtherConnected(kind)});
                break;
            case Pass::Nothing:
                break;
        }
        if (enumerated) {
            failing = false;
        }
        if (enumerated && !activationChecked) {
            activationChecked = true;
            if (context.links.connected(DeviceKind::Mouse)) {
                context.ui.postActivation();
            }
        }
        context.waker.sleep(detectionSleep(kind, context.links), seen, stop);
    }
    debugLog(detectionExitText(kind));
}

}  // namespace rxt
