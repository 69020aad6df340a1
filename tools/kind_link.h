#pragma once
// What the device commands of rxtctl share: the KIND argument and the
// opening of that device's configuration interface on a link.

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "device/device_kind.h"
#include "device/device_link.h"
#include "state/ui_reactions.h"
#include "tools/commands.h"

namespace rxt::tools {

// The kind named by text, or a message and no kind.
std::optional<DeviceKind> kindArgument(const Context& ctx, const std::string& text);

// Finds and opens KIND's configuration interface on link, as the discovery
// threads would, and marks the link connected. kExitOk, or kExitUsage after
// a message naming the bus when the device is absent or cannot be opened.
int openKindLink(const Context& ctx, DeviceKind kind, DeviceLink& link);

// A window that does nothing: the commands override what they report.
class NullReactions : public UiReactions {
  public:
    void showControl(std::string_view, bool) override {}
    void selectTab(std::string_view) override {}
    void setSliderValue(std::string_view, int) override {}
    void setEditText(std::string_view, std::string_view) override {}
    void showWindow(bool) override {}
    void startTimer(int, int) override {}
    void postMessage(int) override {}
    void sendMessage(int) override {}
    void postActivation() override {}
    void selectProfileEntry(std::string_view, int) override {}
    void loadKeyboardDeviceProfile(int) override {}
    void saveSelectedProfile(DeviceKind, ProfileKind) override {}
    void writeKeyboardDefaultFile(int, std::span<const uint8_t>) override {}
    void showMessageBox(std::string_view) override {}
    void refreshPage(Page) override {}
    void triggerLightEffects() override {}
};

}  // namespace rxt::tools
