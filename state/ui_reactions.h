#pragma once
// Everything the device state asks of the user interface, in one interface:
// the main window implements it, tests record the calls, `rxtctl watch`
// prints them. Calls come from the discovery and listener threads as well as
// from the UI thread; an implementation marshals them to its UI thread.
// Discovery threads never call it while holding a transfer lock, so an
// implementation may wait for work that talks to the devices.

#include <cstdint>
#include <span>
#include <string_view>

#include "device/device_kind.h"

namespace rxt {

// The three kinds of profile each catalogue holds.
enum class ProfileKind : uint8_t { Device = 0, Lighting = 1, Key = 2 };

// Pages that show image contents and are refreshed after a read.
enum class Page : uint8_t {
    MouseMain,  // mouse lighting and DPI pages
    MouseKeys,  // mouse key labels
    MousepadLighting,
    KeyboardLighting,
    KeyboardKeys,
};

std::string_view pageName(Page page);
std::string_view profileKindName(ProfileKind kind);

class UiReactions {
  public:
    virtual ~UiReactions() = default;

    // Controls by name: tabs ("ms_tab"), panels, the same-mode buttons.
    virtual void showControl(std::string_view name, bool visible) = 0;
    virtual void selectTab(std::string_view name) = 0;
    virtual void setSliderValue(std::string_view name, int value) = 0;
    virtual void setEditText(std::string_view name, std::string_view text) = 0;
    virtual void showWindow(bool visible) = 0;

    // Timer id, period; the timer's handler stops one-shot timers.
    virtual void startTimer(int id, int periodMs) = 0;
    // Posted: returns at once. Sent: returns once the UI has handled it.
    virtual void postMessage(int message) = 0;
    virtual void sendMessage(int message) = 0;
    // The single-instance activation message.
    virtual void postActivation() = 0;

    // Selects entry [index] of a profile list ("ms_device_profile_combo").
    virtual void selectProfileEntry(std::string_view list, int index) = 0;
    // Loads keyboard device profile [index] into the keyboard images.
    virtual void loadKeyboardDeviceProfile(int index) = 0;
    // Writes the selected entry's profile file of that catalogue from the images.
    virtual void saveSelectedProfile(DeviceKind kind, ProfileKind profile) = 0;
    // Writes the keyboard's default device file for this variant.
    virtual void writeKeyboardDefaultFile(int variant, std::span<const uint8_t> keyTable) = 0;

    virtual void showMessageBox(std::string_view textKey) = 0;
    virtual void refreshPage(Page page) = 0;

    // A device asked for its light effect to be set off (mouse usage 1027).
    virtual void triggerLightEffects() = 0;
};

}  // namespace rxt
