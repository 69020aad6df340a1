#pragma once
// The seven profile catalogues: for each device kind one ini file in its
// profile folder ("msProfile.ini", "mpProfile.ini", "kbProfile.ini") lists
// the named profiles of each profile kind in order, remembers the selected
// entry and holds each entry's program link.
//
// A ProfileCatalogue is a small handle on the fixed description of one
// catalogue; every read and write goes to the ini file itself (nothing is
// cached), and the folders are created as they are needed.
//
// Reading conventions: a value is read with the default "0"; numbers are the
// value's leading decimal digits (text without one counts as 0), so a missing
// name reads as "0" and a missing count as 0.

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "device/device_kind.h"
#include "state/window_events.h"

namespace rxt {

// Section names of one catalogue in its kind's ini file.
struct CatalogueSections {
    std::string_view count;
    std::string_view select;
    std::string_view name;
    std::string_view linkFlag;
    std::string_view programPath;
};

inline constexpr std::string_view kCountKey = "count";
inline constexpr std::string_view kSelectKey = "select";
// What a missing value reads as.
inline constexpr std::string_view kIniDefault = "0";
// The program path written when a link is removed.
inline constexpr std::string_view kNoProgramPath = " ";

// The profile kind's data file extension: ".config", ".led", ".pro".
std::string_view profileExtension(ProfileKind kind);
// The file format code of a device kind: 1 keyboard, 2 mouse, 3 mousepad.
uint16_t profileKindCode(DeviceKind kind);
// "msProfile.ini", "mpProfile.ini", "kbProfile.ini".
std::string_view catalogueFileName(DeviceKind kind);
// The kind's profile folder + its catalogue file name (folders created).
std::filesystem::path CataloguePath(DeviceKind kind);

// The message key shown when a profile name cannot become a file name.
inline constexpr std::string_view kMessageProfileNameInvalid = "message_text_profile_name_invalid";

class ProfileCatalogue {
  public:
    struct Description;

    // The seven catalogues in table order: mouse device, lighting, key;
    // keyboard device, lighting, key; mousepad lighting.
    static const std::array<ProfileCatalogue, 7>& all();
    // nullopt for the combinations that have no catalogue (mousepad device
    // and key).
    static std::optional<ProfileCatalogue> find(DeviceKind device, ProfileKind kind);

    DeviceKind device() const;
    ProfileKind kind() const;
    const CatalogueSections& sections() const;
    std::string_view extension() const { return profileExtension(kind()); }
    uint16_t kindCode() const { return profileKindCode(device()); }
    // Bytes after the 16-byte header of this catalogue's data files.
    size_t payloadSize() const;
    // The default file shipped with the program for this catalogue; the
    // keyboard variant picks between the two keyboard models.
    std::string_view defaultFileName(int keyboardVariant) const;
    // "mouse device", "keyboard lighting" ... for messages and logs.
    std::string displayName() const;

    // The profile folder of the device kind and the ini file (both created
    // as needed).
    std::filesystem::path folder() const;
    std::filesystem::path path() const;

    int ReadCount() const;
    int ReadSelect() const;
    std::string ReadName(int index) const;
    int ReadLinkFlag(int index) const;
    std::string ReadProgramPath(int index) const;

    // False when the ini file could not be written.
    bool WriteCount(int n) const;
    bool WriteSelect(int index) const;
    bool WriteName(int index, std::string_view name) const;
    bool WriteLinkFlag(int index, bool linked) const;
    bool WriteProgramPath(int index, std::string_view programPath) const;

    // Whether name + extension may be a data file in the profile folder:
    // nullopt when it may, else the message key to show. A name that would
    // leave the folder, holds a separator or control character, or is too
    // long for the file system is refused.
    std::optional<std::string_view> nameProblem(std::string_view name) const;
    // The data file of a profile name (an existing file of that name in
    // another letter case is found); nullopt when the name is refused.
    std::optional<std::filesystem::path> dataFile(std::string_view name) const;

    bool operator==(const ProfileCatalogue& other) const { return d_ == other.d_; }

  private:
    explicit ProfileCatalogue(const Description* d) : d_(d) {}
    const Description* d_;
};

}  // namespace rxt
