// rxt-sim: serves the virtual mouse, mousepad and keyboard on the simulated
// HID bus until it is interrupted.

#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "sim/bus_server.h"
#include "sim/simulator.h"

namespace {

constexpr const char* kUsage =
    "usage: rxt-sim --socket PATH [--control PATH] [--plug LIST] [--keyboard-product ID]\n"
    "  --socket PATH            the bus socket (clients use RXT_HID_BUS=sim:PATH)\n"
    "  --control PATH           the control socket (default PATH.ctl)\n"
    "  --plug LIST              devices plugged at start, comma separated, or none\n"
    "                           (default mouse,mousepad,keyboard)\n"
    "  --keyboard-product ID    keyboard product id in hex: 6553 (default), 0800 or 7200\n"
    "The control commands are described in docs/simulator.md.\n";

int usageError(const std::string& why) {
    std::fprintf(stderr, "rxt-sim: %s\n%s", why.c_str(), kUsage);
    return 2;
}

std::vector<std::string_view> splitList(std::string_view s) {
    std::vector<std::string_view> out;
    while (!s.empty()) {
        const size_t comma = s.find(',');
        out.push_back(s.substr(0, comma));
        if (comma == std::string_view::npos) {
            break;
        }
        s.remove_prefix(comma + 1);
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace rxt;
    std::string socketPath;
    std::string controlPath;
    std::string plugList = "mouse,mousepad,keyboard";
    uint16_t keyboardProduct = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (i + 1 >= argc) {
            return usageError("missing value or unknown option: " + std::string(arg));
        }
        const std::string value = argv[++i];
        if (arg == "--socket") {
            socketPath = value;
        } else if (arg == "--control") {
            controlPath = value;
        } else if (arg == "--plug") {
            plugList = value;
        } else if (arg == "--keyboard-product") {
            char* end = nullptr;
            const unsigned long id = std::strtoul(value.c_str(), &end, 16);
            if (value.empty() || *end != '\0' || id == 0 || id > 0xFFFF) {
                return usageError("bad keyboard product id: " + value);
            }
            keyboardProduct = static_cast<uint16_t>(id);
        } else {
            return usageError("unknown option: " + std::string(arg));
        }
    }
    if (socketPath.empty()) {
        return usageError("--socket is required");
    }
    if (controlPath.empty()) {
        controlPath = sim::defaultControlPath(socketPath);
    }

    std::vector<DeviceKind> toPlug;
    if (plugList != "none") {
        for (std::string_view name : splitList(plugList)) {
            const auto kind = kindFromName(name);
            if (!kind) {
                return usageError("unknown device in --plug: " + std::string(name));
            }
            toPlug.push_back(*kind);
        }
    }

    // Signals are taken by sigwait below, not by whichever thread they hit.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    sim::Simulator simulator;
    for (DeviceKind kind : toPlug) {
        const auto a =
            simulator.plug(kind, kind == DeviceKind::Keyboard ? keyboardProduct : uint16_t{0});
        if (!a) {
            std::fprintf(stderr, "rxt-sim: %s\n", a.text.c_str());
            return 2;
        }
    }
    sim::BusServer server(simulator);
    std::string error;
    if (!server.start(socketPath, controlPath, &error)) {
        std::fprintf(stderr, "rxt-sim: %s\n", error.c_str());
        return 1;
    }
    std::fprintf(stderr, "rxt-sim: serving %s (control %s)\n", socketPath.c_str(),
                 controlPath.c_str());

    int sig = 0;
    sigwait(&signals, &sig);
    server.stop();
    return 0;
}
