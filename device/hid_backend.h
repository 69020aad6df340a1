#pragma once
// The seam between HidDevice and the system: one backend per way of reaching
// HID nodes (hidraw, the simulated bus, test doubles). A node is what the
// system calls one HID interface (a hidraw node, a simulated interface); the
// transport splits it into one entry per top-level collection.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace rxt {

struct HidNodeInfo {
    std::string path;
    uint16_t vendor = 0;
    uint16_t product = 0;
    uint16_t version = 0;
    uint32_t interfaceNumber = 0;
    std::vector<uint8_t> descriptor;  // raw report descriptor
};

class HidBackend {
  public:
    virtual ~HidBackend() = default;

    // Every node present now. False (and an empty list) when enumeration failed.
    virtual bool enumerate(std::vector<HidNodeInfo>& nodes) = 0;

    // Opens a node for transfers. Returns a file descriptor owned by the
    // caller on which one read() yields one input report and one write()
    // sends one output report (hidraw semantics), or -1 with errno set.
    virtual int openNode(const std::string& path, bool read, bool write, bool exclusive) = 0;

    // Why the calling thread's last openNode failed, when the backend knows
    // more than errno says (a simulator's refusal text); empty otherwise.
    virtual std::string lastOpenFailure() const { return {}; }

    // Presence probe: the node still exists and is the same device.
    virtual bool present(const std::string& path) = 0;

    // A descriptor that becomes readable when nodes may have appeared or
    // disappeared, owned by the caller; -1 when the backend offers no such
    // watch (callers then rely on polling). After it becomes readable call
    // drainWatch once.
    virtual int openWatch() = 0;
    virtual void drainWatch(int watchFd) = 0;

    virtual std::string describe() const = 0;  // "hidraw", "sim:PATH" ...
};

// Backend from a bus selector: "" selects hidraw, "sim:PATH" the simulated
// bus at PATH. Null with a reason in *error for anything else.
std::shared_ptr<HidBackend> makeHidBackend(std::string_view selector, std::string* error = nullptr);

// The backend RXT_HID_BUS names, read now: hidraw when unset or empty, and
// hidraw with a message on standard error when it is not understood.
std::shared_ptr<HidBackend> hidBackendFromEnvironment();

// The process-wide backend: the one set with setDefaultHidBackend, else the
// one RXT_HID_BUS names (hidraw when unset or not understood).
std::shared_ptr<HidBackend> defaultHidBackend();
void setDefaultHidBackend(std::shared_ptr<HidBackend> backend);

}  // namespace rxt
