#pragma once
// What the device state and the subsystem libraries report to the window:
// what happened, never which control shows it. The shell maps the events it
// owns (tabs, panels, same-mode buttons) to its controls and hands every
// event to each page feature, which acts on the ones of its page.

#include <cstdint>
#include <span>
#include <string>
#include <variant>

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

namespace event {

// The device's tab in the title row shown or hidden.
struct TabShown {
    DeviceKind device;
    bool visible;
};
// The device's tab selected (its page follows).
struct TabSelected {
    DeviceKind device;
};
// The device's page panel shown (mouse, keyboard).
struct PanelShown {
    DeviceKind device;
};
// The device's same-mode button: shown while another device is attached.
struct SameModeShown {
    DeviceKind device;
    bool visible;
};
// The key page's function panel closed; `disable` also disables it.
struct FunctionPanelHidden {
    DeviceKind device;
    bool disable;
};
// The mouse performance page's pointer-speed slider position and wheel lines.
struct PointerSliderShown {
    int position;
};
struct WheelLinesShown {
    int lines;
};
// A page redraws itself from the images.
struct PageRefresh {
    Page page;
};
// The remembered entry [index] of a catalogue is shown in its list; when that
// changes the selection, the entry is selected as the user's choice would be.
struct ProfileEntrySelect {
    DeviceKind device;
    ProfileKind profile;
    int index;
};
// Entry [index]'s data file is loaded into the images.
struct ProfileLoad {
    DeviceKind device;
    ProfileKind profile;
    int index;
};
// The images are saved into the selected entry's profile file.
struct ProfileSave {
    DeviceKind device;
    ProfileKind profile;
};
// The keyboard's default device file for this variant is written.
struct KeyboardDefaultFile {
    int variant;
    std::span<const uint8_t> keyTable;
};
// A device asked for its light effect to be set off (mouse usage 1027).
// Delivered on the thread that saw it, not the UI thread.
struct LightTrigger {
    DeviceKind device;
};
// "windowinit": the pages fill their lists.
struct PagesInit {};
// A message of the input hook: key capture and macro recording.
struct InputHook {
    int message;
    intptr_t wParam;
    intptr_t lParam;
};
// The device's macro list changed (added, deleted, renamed, imported): the
// key page refills its macro chooser from the catalogue and its key labels.
struct MacroNamesChanged {
    DeviceKind device;
};

// A key control clicked while the key page's option is not selected: the
// lighting page paints it or hands it to the effect.
struct KeyClicked {
    DeviceKind device;
    int control;
};

}  // namespace event

using WindowEvent =
    std::variant<event::TabShown, event::TabSelected, event::PanelShown, event::SameModeShown,
                 event::FunctionPanelHidden, event::PointerSliderShown, event::WheelLinesShown,
                 event::PageRefresh, event::ProfileEntrySelect, event::ProfileLoad,
                 event::ProfileSave, event::KeyboardDefaultFile, event::LightTrigger,
                 event::PagesInit, event::InputHook, event::MacroNamesChanged, event::KeyClicked>;

// One short line for the debug log, `rxtctl watch` and the tests:
// "show mouse tab", "save mouse device", "refresh keyboard keys" ...
std::string describe(const WindowEvent& event);

// Lets std::visit take a set of lambdas.
template <class... Fs>
struct Overloaded : Fs... {
    using Fs::operator()...;
};
template <class... Fs>
Overloaded(Fs...) -> Overloaded<Fs...>;

}  // namespace rxt
