#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/debug_log.h"
#include "platform/system_pointer.h"

namespace rxt {
namespace {

std::string env(const char* name) {
    const char* v = std::getenv(name);
    return v == nullptr ? std::string() : std::string(v);
}

bool gnomeSession() {
    return env("XDG_CURRENT_DESKTOP").find("GNOME") != std::string::npos;
}

}  // namespace

std::unique_ptr<SystemPointer> makeSystemPointer() {
    const std::filesystem::path file = defaultPointerSettingsFile();
    const std::string forced = env("RXT_POINTER_BACKEND");
    std::unique_ptr<SystemPointer> chosen;
    if (forced == "gsettings" || (forced.empty() && gnomeSession())) {
        chosen = makeGSettingsSystemPointer(file);
    }
    if (!chosen && (forced == "x11" || (forced.empty() && !env("DISPLAY").empty() &&
                                        env("WAYLAND_DISPLAY").empty()))) {
        chosen = makeX11SystemPointer(file);
    }
    if (!chosen) {
        chosen = makeFileSystemPointer(file);
    }
    debugLog("pointer settings: " + std::string(chosen->backendName()));
    return chosen;
}

}  // namespace rxt
