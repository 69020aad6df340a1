#pragma once
// The desktop's pointer speed and wheel scroll lines, which belong to the
// system rather than to the mouse. Backends: the per-user settings file
// (always available, and the only place wheel lines can be kept), the X
// server's pointer control and GNOME's mouse speed, each of the last two
// with the settings file beside it.

#include <filesystem>
#include <memory>
#include <string_view>

namespace rxt {

class SystemPointer {
  public:
    static constexpr int kMinSpeed = 1;
    static constexpr int kMaxSpeed = 20;
    static constexpr int kDefaultSpeed = 10;  // the unchanged pointer speed
    static constexpr int kMinWheelLines = 1;
    static constexpr int kMaxWheelLines = 100;
    static constexpr int kDefaultWheelLines = 3;

    virtual ~SystemPointer() = default;

    // Always within 1..20 and 1..100.
    virtual int pointerSpeed() = 0;
    virtual int wheelScrollLines() = 0;

    // Apply the value and keep it across sessions. A value out of range is
    // refused (false, nothing changes), as is one that cannot be stored;
    // callers clamp first where they mean to.
    virtual bool setPointerSpeed(int speed) = 0;
    virtual bool setWheelScrollLines(int lines) = 0;

    // False where the desktop has no wheel-lines setting: the value is then
    // only kept (the mouse profiles carry it).
    virtual bool appliesWheelLines() const { return false; }
    // "settings file", "X11", "GSettings": for the debug log and tests.
    virtual std::string_view backendName() const = 0;
};

// The settings-file backend on the given file (an ini file with both values
// in section "POINTER"). A missing file or value reads as the default; a
// stored value out of range reads clamped into it.
std::unique_ptr<SystemPointer> makeFileSystemPointer(std::filesystem::path file);

// $XDG_CONFIG_HOME/rx-t7100/pointer.ini
std::filesystem::path defaultPointerSettingsFile();

// The X server's pointer acceleration (pointer speed) on the display named
// (empty: $DISPLAY), both values also kept in `file`; nullptr when the
// display cannot be opened or X11 was not built in.
std::unique_ptr<SystemPointer> makeX11SystemPointer(std::filesystem::path file,
                                                    const std::string& display = {});
// GNOME's mouse speed ("org.gnome.desktop.peripherals.mouse" "speed"), both
// values also kept in `file`; nullptr when the schema is not installed or
// GIO was not built in.
std::unique_ptr<SystemPointer> makeGSettingsSystemPointer(std::filesystem::path file);

// The backend for this session: GNOME's setting where its schema is
// installed and the session is GNOME (under Wayland the only way), else the
// X server's where a display opens, else the settings file alone.
// RXT_POINTER_BACKEND ("file", "x11", "gsettings") forces one; a forced
// backend that cannot start gives the settings file.
std::unique_ptr<SystemPointer> makeSystemPointer();

}  // namespace rxt
