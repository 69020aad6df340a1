#pragma once
// The command handling of a virtual device: every request of the protocol
// acted out on the device's memory, with the reply it sends.
//
// Refusals: status 0xFF for a request the device cannot take as it stands
// (bad report id, bad checksum, a length above 56, an offset and length
// outside the memory area, a profile index above 4), status 0xFE for a
// command the device does not have (an unknown code, or a memory this kind of
// device lacks, such as the mousepad's key tables or the mouse's frames).
// A message that is not one 64-byte report is not a request: it is counted
// and gets no reply.

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "device/command_report.h"
#include "device/device_kind.h"
#include "sim/device_memory.h"

namespace rxt::sim {

struct FirmwareCounters {
    uint64_t requests = 0;  // messages received on the configuration interface
    uint64_t accepted = 0;
    uint64_t refused = 0;  // every refusal, injected ones included
    uint64_t badChecksum = 0;
    uint64_t badReportId = 0;
    uint64_t badLength = 0;  // length field above 56
    uint64_t outOfRange = 0;
    uint64_t unsupported = 0;
    uint64_t injected = 0;   // refusals ordered by fault injection
    uint64_t malformed = 0;  // not 64 bytes long; not answered
};

struct FrameStats {
    uint64_t frames = 0;        // StreamFrame chunks at offset 0 start a frame
    uint64_t chunks = 0;        // accepted StreamFrame reports
    size_t lastFrameBytes = 0;  // extent of the latest frame so far
    double firstFrameMs = 0;
    double lastFrameMs = 0;
    double lastChunkMs = 0;
    double inFrameMs = 0;  // summed gaps between the reports of one frame
};

struct FirmwareAnswer {
    bool answered = false;  // false for a malformed message
    Report reply{};
    uint8_t status = kStatusOk;
    uint8_t reportId = 0;
    uint8_t code = 0;
    uint8_t length = 0;
    uint16_t offset = 0;
    std::string note;  // reason of a refusal or of no answer, empty when accepted
};

class Firmware {
  public:
    explicit Firmware(DeviceKind kind);

    DeviceKind kind() const { return kind_; }

    // One output report of the configuration interface. forcedStatus, when
    // given for a well-formed request, refuses it with that status without
    // touching memory (fault injection).
    FirmwareAnswer handle(std::span<const uint8_t> message, double nowMs,
                          std::optional<uint8_t> forcedStatus = std::nullopt);

    DeviceMemory& memory() { return memory_; }
    const DeviceMemory& memory() const { return memory_; }
    void restoreFactory();

    const FirmwareCounters& counters() const { return counters_; }
    const FrameStats& frameStats() const { return frames_; }
    void clearStatistics();
    bool sessionOpen() const { return session_; }

    // The device's own actions on its live record (record 0).
    uint8_t currentProfile() const;
    // Moves the active DPI level on (wrapping after level 7), or sets it.
    uint8_t stepDpiLevel(std::optional<uint8_t> level = std::nullopt);
    // Moves the current profile index on (wrapping after 4), or sets it.
    uint8_t switchProfile(std::optional<uint8_t> index = std::nullopt);
    // Moves the light mode of the live record on, within the kind's modes.
    uint8_t stepLightMode();

  private:
    FirmwareAnswer refuse(FirmwareAnswer a, uint8_t status, std::string note);
    FirmwareAnswer run(FirmwareAnswer a, std::span<const uint8_t> data, double nowMs);
    FirmwareAnswer readArea(FirmwareAnswer a, MemoryArea area);
    FirmwareAnswer writeArea(FirmwareAnswer a, MemoryArea area, std::span<const uint8_t> data);

    DeviceKind kind_;
    DeviceMemory memory_;
    FirmwareCounters counters_;
    FrameStats frames_;
    bool session_ = false;
};

// Number of light modes the kind's firmware offers.
uint8_t lightModeCount(DeviceKind kind);

}  // namespace rxt::sim
