#include "sim/device_memory.h"

#include <array>
#include <utility>

namespace rxt::sim {
namespace {

constexpr std::array<std::string_view, 7> kAreaNames{
    "info", "keytable", "banks", "records", "macro", "cursor", "frame",
};

}  // namespace

std::vector<uint8_t>& DeviceMemory::area(MemoryArea a) {
    return const_cast<std::vector<uint8_t>&>(std::as_const(*this).area(a));
}

const std::vector<uint8_t>& DeviceMemory::area(MemoryArea a) const {
    switch (a) {
        case MemoryArea::Info:
            return info;
        case MemoryArea::KeyTable:
            return keyTable;
        case MemoryArea::Banks:
            return banks;
        case MemoryArea::Records:
            return records;
        case MemoryArea::Macro:
            return macro;
        case MemoryArea::Cursor:
            return cursor;
        case MemoryArea::Frame:
            break;
    }
    return frame;
}

std::string_view areaName(MemoryArea a) {
    return kAreaNames[static_cast<size_t>(a)];
}

std::optional<MemoryArea> areaFromName(std::string_view name) {
    for (MemoryArea a : kAllMemoryAreas) {
        if (areaName(a) == name) {
            return a;
        }
    }
    return std::nullopt;
}

}  // namespace rxt::sim
