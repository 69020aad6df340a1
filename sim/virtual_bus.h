#pragma once
// The simulator run inside the process (rxtctl --virtual, rxt-config
// --virtual): a private socket in a fresh temporary folder (mode 0700), the
// three devices plugged, and the process's HID bus pointed at it. Everything
// is stopped and removed on destruction.

#include <cstdint>
#include <memory>
#include <string>

#include "device/hid_backend.h"
#include "sim/bus_server.h"
#include "sim/simulator.h"

namespace rxt::sim {

struct VirtualBusOptions {
    bool plugAll = true;           // mouse, mousepad and keyboard
    uint16_t keyboardProduct = 0;  // 0: the usual one
    bool makeDefault = true;       // set as the process's default HID backend
    bool controlSocket = true;     // also serve the text control beside the bus
};

class VirtualBus {
  public:
    explicit VirtualBus(const VirtualBusOptions& options = {});
    ~VirtualBus();
    VirtualBus(const VirtualBus&) = delete;
    VirtualBus& operator=(const VirtualBus&) = delete;

    // False when the bus could not be started; error() says why.
    bool ok() const { return ok_; }
    const std::string& error() const { return error_; }

    Simulator& simulator() { return sim_; }
    const std::string& socketPath() const { return socketPath_; }
    const std::string& controlPath() const { return controlPath_; }
    std::string selector() const { return "sim:" + socketPath_; }
    // A backend for this bus (the default one once made default).
    std::shared_ptr<HidBackend> backend() const { return backend_; }

  private:
    Simulator sim_;
    BusServer server_{sim_};
    std::string dir_;
    std::string socketPath_;
    std::string controlPath_;
    std::shared_ptr<HidBackend> backend_;
    bool madeDefault_ = false;
    bool ok_ = false;
    std::string error_;
};

}  // namespace rxt::sim
