#pragma once
// One virtual device: the HID interfaces it presents while plugged, its
// firmware and memory (kept while unplugged, as a real device keeps its
// flash), the faults it is told to show and the log of what it received.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "device/device_kind.h"
#include "sim/fault_injection.h"
#include "sim/firmware.h"
#include "sim/request_log.h"

namespace rxt::sim {

struct SimInterface {
    std::string path;
    uint32_t number = 0;
    std::vector<uint8_t> descriptor;
    bool commands = false;         // holds the configuration collection
    bool consumer = false;         // holds the consumer-control collection
    uint8_t consumerReportId = 0;  // 0 when the interface uses no report ids
};

// An input report the device sends on one of its interfaces.
struct OutgoingReport {
    size_t interfaceIndex = 0;
    uint32_t delayMs = 0;
    std::vector<uint8_t> bytes;
};

struct DeviceReaction {
    std::vector<OutgoingReport> reports;
    bool unplug = false;  // the device leaves the bus after this report
};

// Consumer usages the devices send when their state changed on the device.
inline constexpr uint16_t kNotifyRecordChanged = 1025;   // live record (DPI level, light)
inline constexpr uint16_t kNotifyProfileChanged = 1026;  // on-board profile switched
inline constexpr uint16_t kNotifyReactiveFlash = 1027;   // a click for the reactive lights

class VirtualDevice {
  public:
    explicit VirtualDevice(DeviceKind kind);

    DeviceKind kind() const { return kind_; }
    bool plugged() const { return plugged_; }
    uint16_t vendor() const;
    uint16_t product() const { return product_; }
    uint64_t plugNumber() const { return plugNumber_; }

    // Presents the interfaces; plugNumber goes into the paths so that every
    // plug gets paths of its own.
    void plug(uint16_t product, uint64_t plugNumber);
    void unplug();
    const std::vector<SimInterface>& interfaces() const { return interfaces_; }

    // One output report received on an interface.
    DeviceReaction receive(size_t interfaceIndex, std::span<const uint8_t> report, double nowMs);
    // A consumer key press carrying usage, then its release; empty when the
    // device has no consumer-control interface.
    std::vector<OutgoingReport> notification(uint16_t usage) const;
    bool hasConsumerInterface() const;

    Firmware& firmware() { return firmware_; }
    const Firmware& firmware() const { return firmware_; }
    FaultInjection& faults() { return faults_; }
    const FaultInjection& faults() const { return faults_; }
    RequestLog& log() { return log_; }
    const RequestLog& log() const { return log_; }

  private:
    DeviceKind kind_;
    bool plugged_ = false;
    uint16_t product_ = 0;
    uint64_t plugNumber_ = 0;
    std::vector<SimInterface> interfaces_;
    Firmware firmware_;
    FaultInjection faults_;
    RequestLog log_;
};

}  // namespace rxt::sim
