#include "sim/firmware.h"

#include <algorithm>

#include "sim/factory_contents.h"

namespace rxt::sim {
namespace {

bool fits(const std::vector<uint8_t>& area, uint16_t offset, size_t length) {
    return size_t{offset} + length <= area.size();
}

}  // namespace

uint8_t lightModeCount(DeviceKind kind) {
    switch (kind) {
        case DeviceKind::Mouse:
            return 8;
        case DeviceKind::Mousepad:
            return 10;
        case DeviceKind::Keyboard:
            break;
    }
    return 17;
}

Firmware::Firmware(DeviceKind kind) : kind_(kind), memory_(factoryMemory(kind)) {}

void Firmware::restoreFactory() {
    memory_ = factoryMemory(kind_);
    session_ = false;
}

void Firmware::clearStatistics() {
    counters_ = {};
    frames_ = {};
}

FirmwareAnswer Firmware::handle(std::span<const uint8_t> message, double nowMs,
                                std::optional<uint8_t> forcedStatus) {
    ++counters_.requests;
    FirmwareAnswer a;
    if (message.size() != kReportSize) {
        ++counters_.malformed;
        a.reportId = message.empty() ? 0 : message[0];
        a.note = "malformed: " + std::to_string(message.size()) + " bytes, not answered";
        return a;
    }
    Report report{};
    std::copy(message.begin(), message.end(), report.begin());
    const CommandRequest q = decodeCommandReport(report);
    a.reportId = q.reportId;
    a.code = q.code;
    a.length = q.length;
    a.offset = q.offset;
    if (q.reportId != kCommandReportId) {
        ++counters_.badReportId;
        return refuse(a, kStatusRefused, "bad report id");
    }
    if (!q.checksumOk) {
        ++counters_.badChecksum;
        return refuse(a, kStatusRefused, "bad checksum");
    }
    if (q.length > kMaxChunk) {
        ++counters_.badLength;
        return refuse(a, kStatusRefused, "length above 56");
    }
    if (forcedStatus) {
        ++counters_.injected;
        return refuse(a, *forcedStatus, "injected refusal");
    }
    return run(a, q.data, nowMs);
}

FirmwareAnswer Firmware::refuse(FirmwareAnswer a, uint8_t status, std::string note) {
    ++counters_.refused;
    a.answered = true;
    a.status = status;
    a.note = std::move(note);
    a.reply = buildReply(a.code, a.length, a.offset, status);
    return a;
}

FirmwareAnswer Firmware::run(FirmwareAnswer a, std::span<const uint8_t> data, double nowMs) {
    switch (static_cast<Command>(a.code)) {
        case Command::BeginSession:
            session_ = true;
            break;
        case Command::EndSession:
            session_ = false;
            break;
        case Command::ReadInfo:
            return readArea(a, MemoryArea::Info);
        case Command::ReadRecord:
            return readArea(a, MemoryArea::Records);
        case Command::WriteRecord:
            // Byte 0 is the profile index: the device has five profiles.
            if (a.offset == kRecordIndexByte && a.length > 0 && data[0] >= kRecordCount) {
                ++counters_.outOfRange;
                return refuse(a, kStatusRefused, "profile index above 4");
            }
            return writeArea(a, MemoryArea::Records, data);
        case Command::ReadBlock:
            return readArea(a, MemoryArea::KeyTable);
        case Command::ReadBank:
            return readArea(a, MemoryArea::Banks);
        case Command::WriteBank:
            return writeArea(a, MemoryArea::Banks, data);
        case Command::ResetDevice:
            restoreFactory();
            break;
        case Command::StreamFrame: {
            const auto& frame = memory_.frame;
            if (!frame.empty() && fits(frame, a.offset, a.length)) {
                if (a.offset == 0) {
                    if (frames_.frames == 0) {
                        frames_.firstFrameMs = nowMs;
                    }
                    ++frames_.frames;
                    frames_.lastFrameMs = nowMs;
                    frames_.lastFrameBytes = 0;
                } else {
                    frames_.inFrameMs += nowMs - frames_.lastChunkMs;
                }
                frames_.lastChunkMs = nowMs;
                ++frames_.chunks;
                frames_.lastFrameBytes =
                    std::max(frames_.lastFrameBytes, size_t{a.offset} + a.length);
            }
            return writeArea(a, MemoryArea::Frame, data);
        }
        case Command::WriteMacroData:
            return writeArea(a, MemoryArea::Macro, data);
        case Command::WriteCursorData:
            return writeArea(a, MemoryArea::Cursor, data);
        default:
            ++counters_.unsupported;
            return refuse(a, kStatusRefusedOther, "unknown command");
    }
    ++counters_.accepted;
    a.answered = true;
    a.reply = buildReply(a.code, a.length, a.offset, kStatusOk);
    return a;
}

FirmwareAnswer Firmware::readArea(FirmwareAnswer a, MemoryArea area) {
    const auto& mem = memory_.area(area);
    if (mem.empty()) {
        ++counters_.unsupported;
        return refuse(a, kStatusRefusedOther, "no " + std::string(areaName(area)) + " memory");
    }
    if (!fits(mem, a.offset, a.length)) {
        ++counters_.outOfRange;
        return refuse(a, kStatusRefused, "outside the " + std::string(areaName(area)) + " memory");
    }
    ++counters_.accepted;
    a.answered = true;
    a.reply = buildReply(a.code, a.length, a.offset, kStatusOk,
                         std::span<const uint8_t>(mem).subspan(a.offset, a.length));
    return a;
}

FirmwareAnswer Firmware::writeArea(FirmwareAnswer a, MemoryArea area,
                                   std::span<const uint8_t> data) {
    auto& mem = memory_.area(area);
    if (mem.empty()) {
        ++counters_.unsupported;
        return refuse(a, kStatusRefusedOther, "no " + std::string(areaName(area)) + " memory");
    }
    if (!fits(mem, a.offset, a.length)) {
        ++counters_.outOfRange;
        return refuse(a, kStatusRefused, "outside the " + std::string(areaName(area)) + " memory");
    }
    std::copy_n(data.begin(), a.length, mem.begin() + a.offset);
    ++counters_.accepted;
    a.answered = true;
    a.reply = buildReply(a.code, a.length, a.offset, kStatusOk);
    return a;
}

uint8_t Firmware::currentProfile() const {
    return memory_.records[kRecordIndexByte];
}

uint8_t Firmware::stepDpiLevel(std::optional<uint8_t> level) {
    uint8_t& active = memory_.records[kActiveDpiByte];
    active = level ? static_cast<uint8_t>(*level % kDpiLevels)
                   : static_cast<uint8_t>((active + 1) % kDpiLevels);
    return active;
}

uint8_t Firmware::switchProfile(std::optional<uint8_t> index) {
    uint8_t& current = memory_.records[kRecordIndexByte];
    current = index ? static_cast<uint8_t>(*index % kRecordCount)
                    : static_cast<uint8_t>((current + 1) % kRecordCount);
    return current;
}

uint8_t Firmware::stepLightMode() {
    uint8_t& mode = memory_.records[kLightModeByte];
    mode = static_cast<uint8_t>((mode + 1) % lightModeCount(kind_));
    return mode;
}

}  // namespace rxt::sim
