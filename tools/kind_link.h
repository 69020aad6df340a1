#pragma once
// What the device commands of rxtctl share: the KIND argument and the
// opening of that device's configuration interface on a link.

#include <optional>
#include <string>
#include <string_view>

#include "device/device_kind.h"
#include "device/device_link.h"
#include "state/device_images.h"
#include "state/keyboard_kind.h"
#include "state/ui_reactions.h"
#include "tools/commands.h"

namespace rxt::tools {

// The kind named by text, or a message and no kind.
std::optional<DeviceKind> kindArgument(const Context& ctx, const std::string& text);

// Finds and opens KIND's configuration interface on link, as the discovery
// threads would, and marks the link connected. kExitOk, or kExitUsage after
// a message naming the bus when the device is absent or cannot be opened.
int openKindLink(const Context& ctx, DeviceKind kind, DeviceLink& link);

// Opens KIND and reads what the program keeps of it: the read-all, then
// (mouse and keyboard, whose read-all leaves the current record to the
// profiles) the device's current record. kExitOk with the link left open,
// or a status after a message (the link closed).
int readKind(const Context& ctx, DeviceKind kind, DeviceLink& link, DeviceImages& images);
// Closes what openKindLink opened.
void closeKindLink(DeviceLink& link);

// The kind of the keyboard open on link, as the program's discovery sets it
// when this keyboard is the first it finds.
KeyboardKind openKeyboardKind(DeviceLink& link);

// A window that does nothing: the commands override what they report.
class NullReactions : public UiReactions {
  public:
    void report(const WindowEvent&) override {}
    void showWindow(bool) override {}
    void startTimer(int, int) override {}
    void postMessage(int) override {}
    void sendMessage(int) override {}
    void postActivation() override {}
    void showMessageBox(std::string_view) override {}
};

}  // namespace rxt::tools
