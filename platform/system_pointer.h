#pragma once
// The desktop's pointer speed and wheel scroll lines, which belong to the
// system rather than to the mouse. Backends: the per-user settings file
// (always available, and the only place wheel lines can be kept), and later
// the display server's own settings.

#include <filesystem>
#include <memory>

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
};

// The settings-file backend on the given file (an ini file with both values
// in section "POINTER"). A missing file or value reads as the default; a
// stored value out of range reads clamped into it.
std::unique_ptr<SystemPointer> makeFileSystemPointer(std::filesystem::path file);

// $XDG_CONFIG_HOME/rx-t7100/pointer.ini
std::filesystem::path defaultPointerSettingsFile();

// The backend for this session.
std::unique_ptr<SystemPointer> makeSystemPointer();

}  // namespace rxt
