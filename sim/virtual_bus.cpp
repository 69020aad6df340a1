#include "sim/virtual_bus.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace rxt::sim {
namespace {

// Socket paths are short (108 bytes): fall back to /tmp when TMPDIR is deep.
std::string privateFolder(std::string* error) {
    std::vector<std::string> bases;
    if (const char* t = std::getenv("TMPDIR"); t != nullptr && *t != '\0' && std::strlen(t) < 60) {
        bases.emplace_back(t);
    }
    bases.emplace_back("/tmp");
    for (const std::string& base : bases) {
        std::string tmpl = base + "/rxt-sim-XXXXXX";
        if (mkdtemp(tmpl.data()) != nullptr) {
            return tmpl;  // mkdtemp makes it 0700
        }
        *error = "cannot create a folder in " + base + ": " + std::strerror(errno);
    }
    return {};
}

}  // namespace

VirtualBus::VirtualBus(const VirtualBusOptions& options) {
    dir_ = privateFolder(&error_);
    if (dir_.empty()) {
        return;
    }
    socketPath_ = dir_ + "/bus";
    controlPath_ = options.controlSocket ? defaultControlPath(socketPath_) : std::string();
    if (!server_.start(socketPath_, controlPath_, &error_)) {
        return;
    }
    if (options.plugAll) {
        for (DeviceKind k : kAllDeviceKinds) {
            const uint16_t product = k == DeviceKind::Keyboard ? options.keyboardProduct : 0;
            const SimAnswer a = sim_.plug(k, product);
            if (!a) {
                error_ = a.text;
                return;
            }
        }
    }
    backend_ = makeHidBackend(selector(), &error_);
    if (!backend_) {
        return;
    }
    if (options.makeDefault) {
        setDefaultHidBackend(backend_);
        madeDefault_ = true;
    }
    ok_ = true;
    error_.clear();
}

VirtualBus::~VirtualBus() {
    if (madeDefault_ && defaultHidBackend() == backend_) {
        setDefaultHidBackend(nullptr);  // back to what RXT_HID_BUS selects
    }
    server_.stop();
    if (!dir_.empty()) {
        rmdir(dir_.c_str());
    }
}

}  // namespace rxt::sim
