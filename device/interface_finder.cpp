#include "device/interface_finder.h"

#include <algorithm>
#include <array>

namespace rxt {
namespace {

constexpr std::array<uint16_t, 1> kMouseProducts{0x2002};
constexpr std::array<uint16_t, 1> kMousepadProducts{0x5004};
// The keyboard listener only knows the first variant.
constexpr std::array<uint16_t, 1> kKeyboardListenerProducts{0x6553};

std::span<const uint16_t> productsOf(DeviceKind kind) {
    switch (kind) {
        case DeviceKind::Mouse:
            return kMouseProducts;
        case DeviceKind::Mousepad:
            return kMousepadProducts;
        case DeviceKind::Keyboard:
            return kKeyboardProducts;
    }
    return {};
}

bool accepts(const InterfaceMatch& m, uint16_t product) {
    return std::find(m.products.begin(), m.products.end(), product) != m.products.end();
}

}  // namespace

InterfaceMatch configInterfaceMatch(DeviceKind kind) {
    return {identityOf(kind).vendor, productsOf(kind), kConfigUsagePage, kConfigUsage};
}

InterfaceMatch consumerInterfaceMatch(DeviceKind kind) {
    std::span<const uint16_t> products = kind == DeviceKind::Keyboard
                                             ? std::span<const uint16_t>(kKeyboardListenerProducts)
                                             : productsOf(kind);
    return {identityOf(kind).vendor, products, kConsumerUsagePage, kConsumerUsage};
}

FindReport findAndOpen(HidDevice& device, const InterfaceMatch& match, bool write) {
    FindReport report;
    if (!device.enumerate()) {
        report.result = FindResult::EnumerationFailed;
        return report;
    }
    while (const HidPathEntry* entry = device.nextPath()) {
        if (entry->vendor != match.vendor || !accepts(match, entry->product)) {
            continue;
        }
        ++report.candidates;
        const std::string path = entry->path;
        if (!device.open(path, true, write, true, false)) {
            report.openError = device.lastErrorText();
            continue;
        }
        const HidAttributes& a = device.attributes();
        const HidCaps& c = device.caps();
        if (a.vendor == match.vendor && accepts(match, a.product) &&
            c.usagePage == match.usagePage && c.usage == match.usage) {
            report.result = FindResult::Found;
            break;
        }
        device.close();
    }
    device.freePathList();
    return report;
}

}  // namespace rxt
