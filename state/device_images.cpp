#include "state/device_images.h"

#include <algorithm>

namespace rxt {

bool DeviceImages::storeCurrentRecord() {
    return storeCurrentRecordAt(currentIndex());
}

bool DeviceImages::storeCurrentRecordAt(size_t index) {
    if (index >= kRecordCount) {
        return false;
    }
    std::array<uint8_t, kMouseCurrentRecordSize> bytes{};
    const size_t n = currentSize();
    current.copyOut(0, std::span(bytes).first(n));
    records.copyIn(index * kRecordStride, std::span<const uint8_t>(bytes).first(n));
    return true;
}

bool DeviceImages::loadCurrentRecord(size_t index) {
    if (index >= kRecordCount) {
        return false;
    }
    std::array<uint8_t, kMouseCurrentRecordSize> bytes{};
    const size_t n = currentSize();
    records.copyOut(index * kRecordStride, std::span(bytes).first(n));
    bytes[rec::kIndex] = static_cast<uint8_t>(index);
    current.copyIn(0, std::span<const uint8_t>(bytes).first(n));
    return true;
}

std::array<uint8_t, kRecordStride> DeviceImages::record(size_t index) const {
    std::array<uint8_t, kRecordStride> out{};
    if (index < kRecordCount) {
        records.copyOut(index * kRecordStride, out);
    }
    return out;
}

void DeviceImages::setRecord(size_t index, std::span<const uint8_t> data) {
    if (index < kRecordCount) {
        records.copyIn(index * kRecordStride, data.first(std::min(data.size(), kRecordStride)));
    }
}

std::array<uint8_t, kLightingHeadSize> DeviceImages::lightingHead() const {
    std::array<uint8_t, kLightingHeadSize> out{};
    current.copyOut(rec::kLightMode, out);
    return out;
}

DeviceImages& DeviceImageSet::of(DeviceKind kind) {
    switch (kind) {
        case DeviceKind::Mouse:
            return mouse;
        case DeviceKind::Mousepad:
            return mousepad;
        case DeviceKind::Keyboard:
            break;
    }
    return keyboard;
}

const DeviceImages& DeviceImageSet::of(DeviceKind kind) const {
    return const_cast<DeviceImageSet*>(this)->of(kind);
}

DeviceImageSet& deviceImages() {
    static DeviceImageSet images;
    return images;
}

}  // namespace rxt
