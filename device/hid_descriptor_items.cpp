#include "device/hid_descriptor_items.h"

namespace rxt {

namespace {
constexpr uint8_t kLongItemPrefix = 0xFE;
constexpr size_t kLongItemHeader = 3;  // prefix, data size, tag
}  // namespace

int32_t HidItem::signedData() const {
    switch (size) {
        case 1:
            return static_cast<int8_t>(data);
        case 2:
            return static_cast<int16_t>(data);
        default:
            return static_cast<int32_t>(data);
    }
}

HidItemReader::Result HidItemReader::next(HidItem& item) {
    while (pos_ < bytes_.size()) {
        const size_t left = bytes_.size() - pos_;
        const uint8_t prefix = bytes_[pos_];
        if (prefix == kLongItemPrefix) {
            if (left < kLongItemHeader || left - kLongItemHeader < bytes_[pos_ + 1]) {
                truncatedAt_ = pos_;
                return Result::Truncated;
            }
            pos_ += kLongItemHeader + bytes_[pos_ + 1];
            continue;
        }
        static constexpr uint8_t kSizes[4] = {0, 1, 2, 4};
        const uint8_t size = kSizes[prefix & 0x03];
        if (left - 1 < size) {
            truncatedAt_ = pos_;
            return Result::Truncated;
        }
        item.offset = pos_;
        item.size = size;
        item.type = (prefix >> 2) & 0x03;
        item.tag = prefix >> 4;
        item.data = 0;
        for (uint8_t i = 0; i < size; ++i) {
            item.data |= static_cast<uint32_t>(bytes_[pos_ + 1 + i]) << (8 * i);
        }
        pos_ += 1 + size;
        return Result::Item;
    }
    return Result::End;
}

}  // namespace rxt
