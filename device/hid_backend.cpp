#include "device/hid_backend.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>

#include "device/hidraw/hidraw_backend.h"
#include "device/simbus/simbus_backend.h"

namespace rxt {
namespace {

std::mutex defaultMutex;
std::shared_ptr<HidBackend> chosenBackend;   // set by setDefaultHidBackend
std::shared_ptr<HidBackend> environBackend;  // from RXT_HID_BUS, made once

}  // namespace

std::shared_ptr<HidBackend> makeHidBackend(std::string_view selector, std::string* error) {
    if (selector.empty()) {
        return std::make_shared<HidrawBackend>();
    }
    constexpr std::string_view kSim = "sim:";
    if (selector.substr(0, kSim.size()) == kSim) {
        const std::string_view path = selector.substr(kSim.size());
        if (path.empty()) {
            if (error != nullptr) {
                *error = "\"sim:\" needs the path of the simulator's socket";
            }
            return nullptr;
        }
        return std::make_shared<SimBusBackend>(std::string(path));
    }
    if (error != nullptr) {
        *error = "unknown HID bus \"" + std::string(selector) +
                 "\" (expected nothing for hidraw, or sim:PATH)";
    }
    return nullptr;
}

std::shared_ptr<HidBackend> hidBackendFromEnvironment() {
    const char* value = std::getenv("RXT_HID_BUS");
    std::string error;
    std::shared_ptr<HidBackend> backend = makeHidBackend(value != nullptr ? value : "", &error);
    if (!backend) {
        std::fprintf(stderr, "RXT_HID_BUS: %s; using hidraw\n", error.c_str());
        backend = makeHidBackend("");
    }
    return backend;
}

std::shared_ptr<HidBackend> defaultHidBackend() {
    std::lock_guard lock(defaultMutex);
    if (chosenBackend) {
        return chosenBackend;
    }
    if (!environBackend) {
        environBackend = hidBackendFromEnvironment();
    }
    return environBackend;
}

void setDefaultHidBackend(std::shared_ptr<HidBackend> backend) {
    std::lock_guard lock(defaultMutex);
    chosenBackend = std::move(backend);
}

}  // namespace rxt
