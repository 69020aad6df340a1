// Report descriptor parser and report decoder fed arbitrary bytes: the input
// is the descriptor, and also the data of the reports decoded against it.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "device/hid_descriptor.h"

namespace {

// A report of the given id and length whose data cycles through the input.
std::vector<uint8_t> reportFrom(std::span<const uint8_t> input, uint8_t id, size_t length,
                                size_t shift) {
    std::vector<uint8_t> report(length);
    for (size_t i = 1; i < length; ++i) {
        report[i] = input[(i + shift) % input.size()];
    }
    if (length > 0) {
        report[0] = id;
    }
    return report;
}

// Every field lies inside the report length the collection declares.
template <typename Caps>
void checkInside(const Caps& cap, const rxt::HidReportCaps& caps) {
    const uint64_t end = cap.bitOffset + uint64_t{cap.bitSize} * cap.reportCount;
    if (caps.length == 0 || end > (uint64_t{caps.length} - 1) * 8) {
        __builtin_trap();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> input(data, size);
    rxt::HidDescriptorInfo info;
    if (!rxt::parseReportDescriptor(input, info)) {
        return 0;
    }
    for (const rxt::HidCollectionInfo& c : info.collections) {
        c.ownsInputReport(input[0]);
        for (auto type :
             {rxt::HidReportType::Input, rxt::HidReportType::Output, rxt::HidReportType::Feature}) {
            const rxt::HidReportCaps& caps = c.of(type);
            for (const auto& b : caps.buttons) {
                checkInside(b, caps);
            }
            for (const auto& v : caps.values) {
                checkInside(v, caps);
            }
            std::vector<rxt::HidDataItem> items = rxt::makeDataItems(c, type);
            for (uint8_t id : caps.reportIds) {
                // Full length, one byte short, and a length picked by the input.
                const size_t lengths[] = {caps.length, caps.length - 1u,
                                          input[id % size] % (caps.length + 1u)};
                for (size_t length : lengths) {
                    const std::vector<uint8_t> report = reportFrom(input, id, length, id);
                    rxt::unpackReport(c, type, report, items);
                    // A report of the declared length holds every field.
                    for (const rxt::HidDataItem& item : items) {
                        if (length == caps.length && item.status == rxt::kHidStatusReportTooShort) {
                            __builtin_trap();
                        }
                    }
                }
            }
        }
    }
    return 0;
}
