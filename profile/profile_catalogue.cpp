#include "profile/profile_catalogue.h"

#include <string>

#include "platform/file_names.h"
#include "platform/folders.h"
#include "platform/ini_file.h"
#include "profile/profile_payload.h"

namespace rxt {

struct ProfileCatalogue::Description {
    DeviceKind device;
    ProfileKind kind;
    CatalogueSections sections;
    size_t payloadSize;
    std::string_view defaultFile;          // keyboard variant 0, mouse, mousepad
    std::string_view defaultFileVariant1;  // keyboard variant 1; empty: the same
};

namespace {

using D = ProfileCatalogue::Description;

// In "kbProfile.ini" the device and key catalogues share the program-path
// section PROCESS: key i belongs to entry i of both.
constexpr std::array<D, 7> kDescriptions{{
    {DeviceKind::Mouse,
     ProfileKind::Device,
     {"PROFILEDEVICECOUNT", "PROFILEDEVICESELECT", "PROFILEDEVICENAME", "PROFILELIKEDEVICEEXE",
      "DEVICEPROCESS"},
     payload::kMouseDeviceBytes,
     "msdevicedefault.config",
     {}},
    {DeviceKind::Mouse,
     ProfileKind::Lighting,
     {"PROFILEDENGCOUNT", "PROFILEDENGSELECT", "PROFILEDENGNAME", "PROFILELIKEDENGEXE",
      "DENGPROCESS"},
     payload::kMouseLightingBytes,
     "msdengdefault.led",
     {}},
    {DeviceKind::Mouse,
     ProfileKind::Key,
     {"PROFILECOUNT", "PROFILESELECT", "PROFILENAME", "PROFILELIKEEXE", "PROCESS"},
     payload::kKeyBytes,
     "mskeydefault.pro",
     {}},
    {DeviceKind::Keyboard,
     ProfileKind::Device,
     {"PROFILEDEVICECOUNT", "PROFILEDEVICESELECT", "PROFILEDEVICENAME", "PROFILELIKEDEVICEEXE",
      "PROCESS"},
     payload::kKeyboardDeviceBytes,
     "kbdevicedefault.config",
     "kbdevice15default.config"},
    {DeviceKind::Keyboard,
     ProfileKind::Lighting,
     {"PROFILEDENGCOUNT", "PROFILEDENGSELECT", "PROFILEDENGNAME", "PROFILELIKEDENGEXE",
      "DENGPROCESS"},
     payload::kKeyboardLightingBytes,
     "kbdengdefault.led",
     "kb15dengdefault.led"},
    {DeviceKind::Keyboard,
     ProfileKind::Key,
     {"PROFILECOUNT", "PROFILESELECT", "PROFILENAME", "PROFILELIKEEXE", "PROCESS"},
     payload::kKeyBytes,
     "kbkeydefault.pro",
     "kbkey15default.pro"},
    {DeviceKind::Mousepad,
     ProfileKind::Lighting,
     {"PROFILEDENGCOUNT", "PROFILEDENGSELECT", "PROFILEDENGNAME", "PROFILELIKEDENGEXE",
      "DENGPROCESS"},
     payload::kMousepadLightingBytes,
     "mpdengdefault.led",
     {}},
}};

std::string indexKey(int index) {
    return std::to_string(index);
}

}  // namespace

std::string_view profileExtension(ProfileKind kind) {
    switch (kind) {
        case ProfileKind::Device:
            return ".config";
        case ProfileKind::Lighting:
            return ".led";
        case ProfileKind::Key:
            return ".pro";
    }
    return ".config";
}

uint16_t profileKindCode(DeviceKind kind) {
    switch (kind) {
        case DeviceKind::Keyboard:
            return 1;
        case DeviceKind::Mouse:
            return 2;
        case DeviceKind::Mousepad:
            return 3;
    }
    return 0;
}

std::string_view catalogueFileName(DeviceKind kind) {
    switch (kind) {
        case DeviceKind::Mouse:
            return "msProfile.ini";
        case DeviceKind::Mousepad:
            return "mpProfile.ini";
        case DeviceKind::Keyboard:
            return "kbProfile.ini";
    }
    return "msProfile.ini";
}

std::filesystem::path CataloguePath(DeviceKind kind) {
    const std::filesystem::path folder = profileFolderPath(kindPrefix(kind));
    // A catalogue carried over from Windows may be spelt in another case.
    return fileInFolder(folder, catalogueFileName(kind));
}

const std::array<ProfileCatalogue, 7>& ProfileCatalogue::all() {
    static const std::array<ProfileCatalogue, 7> catalogues{
        ProfileCatalogue(&kDescriptions[0]), ProfileCatalogue(&kDescriptions[1]),
        ProfileCatalogue(&kDescriptions[2]), ProfileCatalogue(&kDescriptions[3]),
        ProfileCatalogue(&kDescriptions[4]), ProfileCatalogue(&kDescriptions[5]),
        ProfileCatalogue(&kDescriptions[6]),
    };
    return catalogues;
}

std::optional<ProfileCatalogue> ProfileCatalogue::find(DeviceKind device, ProfileKind kind) {
    for (const ProfileCatalogue& c : all()) {
        if (c.device() == device && c.kind() == kind) {
            return c;
        }
    }
    return std::nullopt;
}

DeviceKind ProfileCatalogue::device() const {
    return d_->device;
}

ProfileKind ProfileCatalogue::kind() const {
    return d_->kind;
}

const CatalogueSections& ProfileCatalogue::sections() const {
    return d_->sections;
}

size_t ProfileCatalogue::payloadSize() const {
    return d_->payloadSize;
}

std::string_view ProfileCatalogue::defaultFileName(int keyboardVariant) const {
    if (keyboardVariant == 1 && !d_->defaultFileVariant1.empty()) {
        return d_->defaultFileVariant1;
    }
    return d_->defaultFile;
}

std::string ProfileCatalogue::displayName() const {
    return std::string(kindName(device())) + " " + std::string(profileKindName(kind()));
}

std::filesystem::path ProfileCatalogue::folder() const {
    return profileFolderPath(kindPrefix(device()));
}

std::filesystem::path ProfileCatalogue::path() const {
    return CataloguePath(device());
}

int ProfileCatalogue::ReadCount() const {
    return leadingDecimal(iniRead(path(), d_->sections.count, kCountKey, kIniDefault));
}

int ProfileCatalogue::ReadSelect() const {
    return leadingDecimal(iniRead(path(), d_->sections.select, kSelectKey, kIniDefault));
}

std::string ProfileCatalogue::ReadName(int index) const {
    return iniRead(path(), d_->sections.name, indexKey(index), kIniDefault);
}

int ProfileCatalogue::ReadLinkFlag(int index) const {
    return leadingDecimal(iniRead(path(), d_->sections.linkFlag, indexKey(index), kIniDefault));
}

std::string ProfileCatalogue::ReadProgramPath(int index) const {
    return iniRead(path(), d_->sections.programPath, indexKey(index), kIniDefault);
}

bool ProfileCatalogue::WriteCount(int n) const {
    return iniWrite(path(), d_->sections.count, kCountKey, std::to_string(n));
}

bool ProfileCatalogue::WriteSelect(int index) const {
    return iniWrite(path(), d_->sections.select, kSelectKey, std::to_string(index));
}

bool ProfileCatalogue::WriteName(int index, std::string_view name) const {
    return iniWrite(path(), d_->sections.name, indexKey(index), name);
}

bool ProfileCatalogue::WriteLinkFlag(int index, bool linked) const {
    return iniWrite(path(), d_->sections.linkFlag, indexKey(index), linked ? "1" : "0");
}

bool ProfileCatalogue::WriteProgramPath(int index, std::string_view programPath) const {
    return iniWrite(path(), d_->sections.programPath, indexKey(index), programPath);
}

std::optional<std::string_view> ProfileCatalogue::nameProblem(std::string_view name) const {
    if (checkFileName(name, extension()) != FileNameProblem::None) {
        return kMessageProfileNameInvalid;
    }
    return std::nullopt;
}

std::optional<std::filesystem::path> ProfileCatalogue::dataFile(std::string_view name) const {
    if (nameProblem(name)) {
        return std::nullopt;
    }
    return fileInFolder(folder(), std::string(name) + std::string(extension()));
}

}  // namespace rxt
