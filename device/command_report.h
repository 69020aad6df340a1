#pragma once
// The 64-byte request/response reports every device speaks. This is the one
// place that knows the framing: the link, the simulator and the tests all
// build and read reports through these functions.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace rxt {

inline constexpr size_t kReportSize = 64;
inline constexpr size_t kMaxChunk = 56;  // data bytes one report carries
inline constexpr uint8_t kCommandReportId = 4;
inline constexpr size_t kDataOffset = 8;

enum class Command : uint8_t {
    BeginSession = 1,
    EndSession = 2,
    ReadInfo = 3,
    ReadRecord = 5,
    WriteRecord = 6,
    ReadBlock = 7,
    ReadBank = 8,
    WriteBank = 9,
    ResetDevice = 13,
    StreamFrame = 18,
    WriteMacroData = 21,
    WriteCursorData = 23,
};

// Reply status bytes the host tells apart; anything else is accepted.
inline constexpr uint8_t kStatusOk = 0x00;
inline constexpr uint8_t kStatusRefused = 0xFF;       // result -102
inline constexpr uint8_t kStatusRefusedOther = 0xFE;  // result -103

using Report = std::array<uint8_t, kReportSize>;

// Sum of bytes 3..63, low 16 bits.
uint16_t commandChecksum(const Report& report);

// A request: report id 4, code, length, offset, then data (at most 56 bytes,
// the rest zero) and the checksum in bytes 1..2, little-endian. length is the
// length field, which read requests set without carrying data.
Report buildCommandReport(uint8_t code, uint8_t length, uint16_t offset,
                          std::span<const uint8_t> data = {});

struct CommandRequest {
    uint8_t reportId = 0;
    uint8_t code = 0;
    uint8_t length = 0;
    uint16_t offset = 0;
    uint16_t checksum = 0;  // as carried in bytes 1..2
    bool checksumOk = false;
    std::span<const uint8_t> data;  // bytes 8..(8+min(length,56)) of the report
};

// Reads the fields of a request; the data span points into report.
CommandRequest decodeCommandReport(const Report& report);

// A reply as the devices send it: report id 4, the command echo in byte 3,
// length in 4, offset in 5..6, status in 7, data from byte 8.
Report buildReply(uint8_t code, uint8_t length, uint16_t offset, uint8_t status,
                  std::span<const uint8_t> data = {});

// "ReadInfo" for Command::ReadInfo and so on; "unknown" for other codes.
std::string_view commandName(uint8_t code);
std::optional<Command> commandFromName(std::string_view name);

}  // namespace rxt
