#pragma once
// The simulator: the three virtual devices, their plugging, their own
// actions, fault injection and inspection. Thread-safe; the bus server
// (bus_server.h) serves it on a socket, the control protocol
// (control_protocol.h) drives it from text, and tests drive it directly.

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "device/device_kind.h"
#include "sim/device_memory.h"
#include "sim/firmware.h"
#include "sim/request_log.h"
#include "sim/virtual_device.h"

namespace rxt::sim {

using SimClock = std::chrono::steady_clock;

// Outcome of a control operation: the text after "ok " or "error ".
struct SimAnswer {
    bool ok = false;
    std::string text;
    explicit operator bool() const { return ok; }
};

// One interface of one plug of a device.
struct InterfaceRef {
    DeviceKind kind = DeviceKind::Mouse;
    uint64_t plug = 0;
    size_t index = 0;
};

struct BusReport {
    InterfaceRef where;
    std::vector<uint8_t> bytes;
};

// What the server has to do after the simulator's state moved on.
struct BusEvents {
    std::vector<BusReport> reports;                     // input reports due now, in order
    std::vector<std::pair<DeviceKind, uint64_t>> gone;  // plugs whose connections close
    uint32_t changes = 0;  // interfaces appeared or disappeared this many times
    std::optional<SimClock::time_point> nextDue;  // a delayed report waits until then
};

class Simulator {
  public:
    Simulator();
    ~Simulator();
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    // ---- the bus side, used by the server
    // The answer to ENUM: one line per interface present.
    std::string enumerationText() const;
    std::optional<InterfaceRef> findInterface(std::string_view path) const;
    // One output report from a connection; false when that plug is gone.
    bool deliver(const InterfaceRef& where, std::span<const uint8_t> report);
    BusEvents takeEvents();
    // Called (from any thread, possibly with the simulator's lock held) when
    // there are events to take.
    void setWakeup(std::function<void()> wake);

    // ---- plugging
    // product 0 picks the kind's usual product id; the keyboard also takes
    // 0x0800 and 0x7200.
    SimAnswer plug(DeviceKind kind, uint16_t product = 0);
    SimAnswer unplug(DeviceKind kind);
    bool isPlugged(DeviceKind kind) const;
    uint16_t product(DeviceKind kind) const;  // 0 when unplugged
    std::vector<std::string> paths(DeviceKind kind) const;

    // ---- the devices' own actions, as a user causes them on the hardware
    // Mouse DPI button: the active level moves on (or is set), then 1025.
    SimAnswer pressDpiButton(std::optional<uint8_t> level = std::nullopt);
    // On-board profile switch: the index moves on (or is set), then 1026.
    SimAnswer switchProfile(DeviceKind kind, std::optional<uint8_t> index = std::nullopt);
    // Light key: the live record's light mode moves on, then 1025.
    SimAnswer pressLightKey(DeviceKind kind);
    // A click that starts the reactive flash: 1027.
    SimAnswer click(DeviceKind kind);
    // Any consumer usage, pressed and released.
    SimAnswer notify(DeviceKind kind, uint16_t usage);

    // ---- fault injection
    SimAnswer dropReplies(DeviceKind kind, uint32_t n);
    SimAnswer refuseCommand(DeviceKind kind, uint8_t code, uint8_t status,
                            std::optional<uint32_t> count = std::nullopt);
    SimAnswer delayReplies(DeviceKind kind, uint32_t ms);
    SimAnswer unplugAfter(DeviceKind kind, uint32_t reports);
    SimAnswer clearFaults(DeviceKind kind);
    std::string faults(DeviceKind kind) const;

    // ---- inspection
    // length none: to the end of the area.
    std::optional<std::vector<uint8_t>> dump(DeviceKind kind, MemoryArea area, size_t offset = 0,
                                             std::optional<size_t> length = std::nullopt,
                                             std::string* error = nullptr) const;
    // Writes into a memory area as if the device held it (for setting up tests).
    SimAnswer poke(DeviceKind kind, MemoryArea area, size_t offset, std::span<const uint8_t> bytes);
    std::vector<LogEntry> log(DeviceKind kind, uint64_t from = 0,
                              size_t max = std::numeric_limits<size_t>::max()) const;
    uint64_t nextLogSeq(DeviceKind kind) const;
    void clearLog(DeviceKind kind);
    FrameStats frameStats(DeviceKind kind) const;
    FirmwareCounters counters(DeviceKind kind) const;
    void clearStatistics(DeviceKind kind);
    // Memory back to the factory contents (faults, log and counters stay).
    SimAnswer restoreFactory(DeviceKind kind);

    double nowMs() const;

  private:
    VirtualDevice& dev(DeviceKind kind) { return *devices_[static_cast<size_t>(kind)]; }
    const VirtualDevice& dev(DeviceKind kind) const { return *devices_[static_cast<size_t>(kind)]; }
    void scheduleLocked(const VirtualDevice& d, const std::vector<OutgoingReport>& reports);
    void unplugLocked(VirtualDevice& d);
    SimAnswer notifyLocked(VirtualDevice& d, uint16_t usage, std::string done);
    void wakeLocked();

    struct Pending {
        SimClock::time_point due;
        BusReport report;
    };

    mutable std::mutex mutex_;
    std::array<std::unique_ptr<VirtualDevice>, 3> devices_;
    uint64_t plugCounter_ = 0;
    std::vector<Pending> pending_;
    std::vector<std::pair<DeviceKind, uint64_t>> gone_;
    uint32_t changes_ = 0;
    std::function<void()> wake_;
    SimClock::time_point start_;
};

}  // namespace rxt::sim
