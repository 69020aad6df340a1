#pragma once
// What a virtual device keeps in its memory, area by area. An area a device
// does not have is empty, and the commands on it are refused.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace rxt::sim {

enum class MemoryArea : uint8_t {
    Info,      // 33-byte information record (ReadInfo)
    KeyTable,  // factory key assignments (ReadBlock)
    Banks,     // key banks, bank b at b x 126 (ReadBank, WriteBank)
    Records,   // 5 records of 64 bytes; byte 0 is the current profile index
    Macro,     // macro memory, capacity x 128 bytes (WriteMacroData)
    Cursor,    // cursor scheme memory (WriteCursorData)
    Frame,     // the last streamed light frame (StreamFrame)
};

inline constexpr size_t kInfoBytes = 33;
inline constexpr size_t kKeyTableBytes = 512;
inline constexpr size_t kRecordBytes = 64;
inline constexpr size_t kRecordCount = 5;
inline constexpr size_t kBankStrideBytes = 126;
// The host reads a whole block (up to 512 bytes) from every bank's offset, so
// the bank memory reaches past the last bank's own 126 bytes: 4 x 126 + 512.
inline constexpr size_t kBankMemoryBytes = 1024;
inline constexpr size_t kMacroUnitBytes = 128;

// Bytes of the live record (record 0) the device's own actions change.
inline constexpr size_t kRecordIndexByte = 0;
inline constexpr size_t kLightModeByte = 1;
inline constexpr size_t kActiveDpiByte = 19;  // mouse: 0..6
inline constexpr uint8_t kDpiLevels = 7;
// Information record: bytes the host reads.
inline constexpr size_t kInfoKeyCountByte = 5;
inline constexpr size_t kInfoMacroCapacityByte = 6;

struct DeviceMemory {
    std::vector<uint8_t> info = std::vector<uint8_t>(kInfoBytes);
    std::vector<uint8_t> keyTable;
    std::vector<uint8_t> banks;
    std::vector<uint8_t> records = std::vector<uint8_t>(kRecordBytes * kRecordCount);
    std::vector<uint8_t> macro;
    std::vector<uint8_t> cursor;
    std::vector<uint8_t> frame;

    std::vector<uint8_t>& area(MemoryArea a);
    const std::vector<uint8_t>& area(MemoryArea a) const;
};

inline constexpr MemoryArea kAllMemoryAreas[] = {
    MemoryArea::Info,  MemoryArea::KeyTable, MemoryArea::Banks, MemoryArea::Records,
    MemoryArea::Macro, MemoryArea::Cursor,   MemoryArea::Frame,
};

// "info", "keytable", "banks", "records", "macro", "cursor", "frame".
std::string_view areaName(MemoryArea a);
std::optional<MemoryArea> areaFromName(std::string_view name);

}  // namespace rxt::sim
