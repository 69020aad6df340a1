#pragma once
// A user account of its own for the profile tests: HOME and XDG_CONFIG_HOME
// in a temporary folder (so the data folder is <home>/Documents/RX-T7100
// GamingMouse/), the default profile files written into <home>/defaults, and
// images, layouts and host values that belong to the test alone.

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/system_pointer.h"
#include "support/test_folder.h"
#include "profile/default_profiles.h"
#include "profile/profile_data.h"

namespace rxt::test {

class ProfileTestEnv {
  public:
    ProfileTestEnv()
        : homeEnv_("HOME", home_.path().string()),
          configEnv_("XDG_CONFIG_HOME", (home_.path() / ".config").string()) {
        std::string error;
        if (!writeDefaultProfileFiles(defaults(), error)) {
            throw std::runtime_error(error);
        }
        pointer_ = makeFileSystemPointer(home_.path() / "pointer.ini");
    }

    const std::filesystem::path& home() const { return home_.path(); }
    std::filesystem::path dataFolder() const {
        return home_.path() / "Documents" / "RX-T7100 GamingMouse";
    }
    std::filesystem::path folder(const std::string& kind) const { return dataFolder() / kind; }
    std::filesystem::path defaults() const { return home_.path() / "defaults"; }
    SystemPointer& pointer() { return *pointer_; }

    // The context on this account's state; links, write-back and UI as given.
    ProfileContext context() {
        ProfileContext ctx;
        ctx.images = &images;
        ctx.layouts = &layouts;
        ctx.host = &host;
        ctx.system = pointer_.get();
        ctx.defaultsFolder = defaults();
        return ctx;
    }

    DeviceImageSet images;
    KeyboardCustomLayouts layouts;
    HostPointerSettings host;

  private:
    TempFolder home_;
    ScopedEnv homeEnv_;
    ScopedEnv configEnv_;
    std::unique_ptr<SystemPointer> pointer_;
};

inline std::vector<uint8_t> bytesOf(const std::string& s) {
    return {s.begin(), s.end()};
}

}  // namespace rxt::test
