#include "platform/foreground_app.h"

#include <unistd.h>

#include <cstdlib>
#include <string>

#include "platform/debug_log.h"

namespace rxt {
namespace {

class UnavailableForegroundApp : public ForegroundApp {
  public:
    explicit UnavailableForegroundApp(std::string reason) : reason_(std::move(reason)) {}
    std::optional<std::string> programPath() override { return std::nullopt; }
    bool available() const override { return false; }
    std::string description() const override { return reason_; }

  private:
    std::string reason_;
};

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

}  // namespace

bool waylandSession() {
    return !environment("WAYLAND_DISPLAY").empty() || environment("XDG_SESSION_TYPE") == "wayland";
}

std::optional<std::string> processExecutable(pid_t pid) {
    if (pid <= 0) {
        return std::nullopt;
    }
    const std::string link = "/proc/" + std::to_string(pid) + "/exe";
    std::string target(4096, '\0');
    const ssize_t n = ::readlink(link.c_str(), target.data(), target.size());
    if (n <= 0 || static_cast<size_t>(n) >= target.size()) {
        return std::nullopt;  // gone, not ours to read, or a kernel thread
    }
    target.resize(static_cast<size_t>(n));
    // A program updated while it runs still is that program.
    constexpr std::string_view kDeleted = " (deleted)";
    if (target.size() > kDeleted.size() &&
        std::string_view(target).substr(target.size() - kDeleted.size()) == kDeleted) {
        target.resize(target.size() - kDeleted.size());
    }
    return target;
}

std::unique_ptr<ForegroundApp> makeUnavailableForegroundApp(std::string reason) {
    return std::make_unique<UnavailableForegroundApp>(std::move(reason));
}

std::unique_ptr<ForegroundApp> makeForegroundApp() {
    if (waylandSession()) {
        const std::string reason =
            "foreground application: not available in a Wayland session; "
            "profiles linked to programs are not switched";
        debugLog(reason);
        return makeUnavailableForegroundApp(reason);
    }
    std::string error;
    if (auto x11 = makeX11ForegroundApp({}, &error)) {
        return x11;
    }
    const std::string reason = "foreground application: not available (" + error +
                               "); profiles linked to programs are not switched";
    debugLog(reason);
    return makeUnavailableForegroundApp(reason);
}

}  // namespace rxt
