#include "device/command_report.h"

#include <algorithm>

namespace rxt {
namespace {

struct NamedCommand {
    Command command;
    std::string_view name;
};

constexpr std::array<NamedCommand, 12> kCommandNames{{
    {Command::BeginSession, "BeginSession"},
    {Command::EndSession, "EndSession"},
    {Command::ReadInfo, "ReadInfo"},
    {Command::ReadRecord, "ReadRecord"},
    {Command::WriteRecord, "WriteRecord"},
    {Command::ReadBlock, "ReadBlock"},
    {Command::ReadBank, "ReadBank"},
    {Command::WriteBank, "WriteBank"},
    {Command::ResetDevice, "ResetDevice"},
    {Command::StreamFrame, "StreamFrame"},
    {Command::WriteMacroData, "WriteMacroData"},
    {Command::WriteCursorData, "WriteCursorData"},
}};

}  // namespace

uint16_t commandChecksum(const Report& report) {
    uint32_t sum = 0;
    for (size_t i = 3; i < kReportSize; ++i) {
        sum += report[i];
    }
    return static_cast<uint16_t>(sum);
}

Report buildCommandReport(uint8_t code, uint8_t length, uint16_t offset,
                          std::span<const uint8_t> data) {
    Report r{};
    r[0] = kCommandReportId;
    r[3] = code;
    r[4] = length;
    r[5] = static_cast<uint8_t>(offset);
    r[6] = static_cast<uint8_t>(offset >> 8);
    r[7] = 0;
    const size_t n = std::min(data.size(), kMaxChunk);
    std::copy_n(data.begin(), n, r.begin() + kDataOffset);
    const uint16_t sum = commandChecksum(r);
    r[1] = static_cast<uint8_t>(sum);
    r[2] = static_cast<uint8_t>(sum >> 8);
    return r;
}

CommandRequest decodeCommandReport(const Report& report) {
    CommandRequest q;
    q.reportId = report[0];
    q.checksum = static_cast<uint16_t>(report[1] | (report[2] << 8));
    q.checksumOk = q.checksum == commandChecksum(report);
    q.code = report[3];
    q.length = report[4];
    q.offset = static_cast<uint16_t>(report[5] | (report[6] << 8));
    q.data = std::span<const uint8_t>(report).subspan(kDataOffset,
                                                      std::min<size_t>(q.length, kMaxChunk));
    return q;
}

Report buildReply(uint8_t code, uint8_t length, uint16_t offset, uint8_t status,
                  std::span<const uint8_t> data) {
    Report r{};
    r[0] = kCommandReportId;
    r[3] = code;
    r[4] = length;
    r[5] = static_cast<uint8_t>(offset);
    r[6] = static_cast<uint8_t>(offset >> 8);
    r[7] = status;
    const size_t n = std::min(data.size(), kMaxChunk);
    std::copy_n(data.begin(), n, r.begin() + kDataOffset);
    const uint16_t sum = commandChecksum(r);
    r[1] = static_cast<uint8_t>(sum);
    r[2] = static_cast<uint8_t>(sum >> 8);
    return r;
}

std::string_view commandName(uint8_t code) {
    for (const auto& c : kCommandNames) {
        if (static_cast<uint8_t>(c.command) == code) {
            return c.name;
        }
    }
    return "unknown";
}

std::optional<Command> commandFromName(std::string_view name) {
    for (const auto& c : kCommandNames) {
        if (c.name == name) {
            return c.command;
        }
    }
    return std::nullopt;
}

}  // namespace rxt
