// Data items of a collection and the decoding of received reports into them.

#include <algorithm>
#include <cstdint>
#include <limits>
#include <map>
#include <vector>

#include "device/hid_descriptor.h"

namespace rxt {
namespace {

uint32_t rangeSize(const HidButtonCaps& c) {
    return uint32_t{c.usageMax} - c.usageMin + 1;
}
uint32_t itemCount(const HidValueCaps& c) {
    return c.isRange ? uint32_t{c.usageMax} - c.usageMin + 1 : 1;
}

// Reads size (1..32) bits at bit, counted after the report id byte, least
// significant bit first. False when the field does not lie wholly inside the report.
bool readField(std::span<const uint8_t> report, uint64_t bit, uint16_t size, uint32_t& value) {
    const uint64_t first = 8 + bit;
    const uint64_t end = first + size;
    if (size == 0 || size > 32 || end > uint64_t{report.size()} * 8) {
        return false;
    }
    uint64_t acc = 0;
    const size_t firstByte = static_cast<size_t>(first / 8);
    const size_t lastByte = static_cast<size_t>((end - 1) / 8);
    for (size_t b = lastByte + 1; b-- > firstByte;) {
        acc = (acc << 8) | report[b];
    }
    acc >>= first % 8;
    value = static_cast<uint32_t>(acc & ((uint64_t{1} << size) - 1));
    return true;
}

// The field's number: two's complement when the logical range reaches below zero.
int64_t fieldNumber(uint32_t raw, uint16_t size, bool isSigned) {
    if (isSigned && size < 32 && (raw >> (size - 1)) & 1) {
        raw |= ~((uint32_t{1} << size) - 1);
    }
    return isSigned ? int64_t{static_cast<int32_t>(raw)} : int64_t{raw};
}

int32_t clampToInt32(int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

int32_t scaledValue(int64_t v, const HidValueCaps& c) {
    if (c.logicalMin >= c.logicalMax || c.physicalMin >= c.physicalMax) {
        return static_cast<int32_t>(v);  // no usable physical range: the raw value
    }
    const __int128 span = __int128{c.physicalMax} - c.physicalMin;
    const __int128 scaled =
        (__int128{v} - c.logicalMin) * span / (int64_t{c.logicalMax} - c.logicalMin) +
        c.physicalMin;
    return clampToInt32(static_cast<int64_t>(std::clamp<__int128>(
        scaled, std::numeric_limits<int64_t>::min(), std::numeric_limits<int64_t>::max())));
}

// Usages set in one report for one usage page, gathered over every button
// cap of that page and report id in cap order.
struct PageUsages {
    uint16_t page = 0;
    std::vector<uint16_t> usages;
    bool complete = true;  // false when a field lay past the end of the report
};

void gatherUsages(const HidReportCaps& caps, uint8_t reportId, std::span<const uint8_t> report,
                  PageUsages& out) {
    for (const HidButtonCaps& c : caps.buttons) {
        if (c.usagePage != out.page || c.reportId != reportId) {
            continue;
        }
        for (uint32_t i = 0; i < c.reportCount; ++i) {
            uint32_t raw = 0;
            if (!readField(report, uint64_t{c.bitOffset} + uint64_t{i} * c.bitSize, c.bitSize,
                           raw)) {
                out.complete = false;
                break;
            }
            uint32_t usage = 0;
            if (!c.isArray) {
                if ((raw & 1) == 0) {
                    continue;
                }
                usage = c.isRange ? std::min<uint32_t>(c.usageMin + i, c.usageMax) : c.usageMin;
            } else {
                const int64_t v = fieldNumber(raw, c.bitSize, c.logicalMin < 0);
                if (v < c.logicalMin || v > c.logicalMax) {
                    continue;
                }
                const int64_t index = v - c.logicalMin;
                if (index < c.usageIndex || index >= int64_t{c.usageIndex} + rangeSize(c)) {
                    continue;
                }
                usage = static_cast<uint32_t>(c.usageMin + (index - c.usageIndex));
            }
            if (usage != 0) {  // usage 0 means no usage
                out.usages.push_back(static_cast<uint16_t>(usage));
            }
        }
    }
}

// The items makeDataItems builds, walked in the same order so that each item
// finds its cap (and field, for values) without a search.
class ItemWalk {
  public:
    explicit ItemWalk(const HidReportCaps& caps) : caps_(&caps) {}

    bool done() const { return button_ >= caps_->buttons.size() && value_ >= caps_->values.size(); }
    bool atButton() const { return button_ < caps_->buttons.size(); }
    const HidButtonCaps& button() const { return caps_->buttons[button_]; }
    const HidValueCaps& value() const { return caps_->values[value_]; }
    uint32_t field() const { return field_; }

    void advance() {
        if (atButton()) {
            ++button_;
        } else if (++field_ >= itemCount(caps_->values[value_])) {
            field_ = 0;
            ++value_;
        }
    }

    bool matches(const HidDataItem& item) const {
        if (done() || item.isButton != atButton()) {
            return false;
        }
        if (atButton()) {
            const HidButtonCaps& c = button();
            return item.usagePage == c.usagePage && item.reportId == c.reportId &&
                   item.lowestUsage == c.usageMin && item.highestUsage == c.usageMax;
        }
        const HidValueCaps& c = value();
        return item.usagePage == c.usagePage && item.reportId == c.reportId &&
               item.usage == c.usageMin + field_;
    }

    // Finds the item's place when the caller's items are not in the built order.
    bool seek(const HidDataItem& item) {
        *this = ItemWalk(*caps_);
        while (!done() && !matches(item)) {
            advance();
        }
        return !done();
    }

  private:
    const HidReportCaps* caps_;
    size_t button_ = 0;
    size_t value_ = 0;
    uint32_t field_ = 0;
};

void clearItem(HidDataItem& item, int32_t status) {
    item.status = status;
    item.isSet = false;
    std::fill(item.usages.begin(), item.usages.end(), uint16_t{0});
    item.rawValue = 0;
    item.scaledValue = 0;
}

}  // namespace

bool HidCollectionInfo::ownsInputReport(uint8_t firstByte) const {
    if (!numbered) {
        return true;
    }
    const std::vector<uint8_t>& ids = of(HidReportType::Input).reportIds;
    return std::find(ids.begin(), ids.end(), firstByte) != ids.end();
}

std::vector<HidDataItem> makeDataItems(const HidCollectionInfo& collection, HidReportType type) {
    const HidReportCaps& caps = collection.of(type);
    std::map<uint16_t, size_t> listLength;
    for (const HidButtonCaps& c : caps.buttons) {
        listLength[c.usagePage] += c.isArray ? c.reportCount : rangeSize(c);
    }
    std::vector<HidDataItem> items;
    for (const HidButtonCaps& c : caps.buttons) {
        HidDataItem item;
        item.isButton = true;
        item.usagePage = c.usagePage;
        item.reportId = c.reportId;
        item.lowestUsage = c.usageMin;
        item.highestUsage = c.usageMax;
        item.usages.assign(listLength[c.usagePage], 0);
        items.push_back(std::move(item));
    }
    for (const HidValueCaps& c : caps.values) {
        for (uint32_t i = 0; i < itemCount(c); ++i) {
            HidDataItem item;
            item.usagePage = c.usagePage;
            item.reportId = c.reportId;
            item.usage = static_cast<uint16_t>(c.usageMin + i);
            items.push_back(std::move(item));
        }
    }
    return items;
}

bool unpackReport(const HidCollectionInfo& collection, HidReportType type,
                  std::span<const uint8_t> report, std::span<HidDataItem> items) {
    const HidReportCaps& caps = collection.of(type);
    bool ok = true;
    if (report.empty()) {
        for (HidDataItem& item : items) {
            clearItem(item, kHidStatusReportTooShort);
        }
        return items.empty();
    }
    const uint8_t reportId = report[0];
    std::vector<PageUsages> pages;  // gathered once per page for this report
    ItemWalk walk(caps);
    for (HidDataItem& item : items) {
        if (!walk.matches(item) && !walk.seek(item)) {
            clearItem(item, kHidStatusIncompatibleReportId);
            ok = false;  // not an item of this collection and report type
            continue;
        }
        if (item.reportId != reportId) {
            clearItem(item, kHidStatusIncompatibleReportId);
            walk.advance();
            continue;
        }
        if (item.isButton) {
            auto it = std::find_if(pages.begin(), pages.end(),
                                   [&](const PageUsages& p) { return p.page == item.usagePage; });
            if (it == pages.end()) {
                PageUsages p;
                p.page = item.usagePage;
                gatherUsages(caps, reportId, report, p);
                pages.push_back(std::move(p));
                it = pages.end() - 1;
            }
            size_t kept = 0;
            for (uint16_t u : it->usages) {
                if (u >= item.lowestUsage && u <= item.highestUsage && kept < item.usages.size()) {
                    item.usages[kept++] = u;
                }
            }
            std::fill(item.usages.begin() + static_cast<ptrdiff_t>(kept), item.usages.end(),
                      uint16_t{0});
            item.isSet = kept > 0;
            item.status = it->complete ? kHidStatusSuccess : kHidStatusReportTooShort;
            ok = ok && it->complete;
        } else {
            const HidValueCaps& c = walk.value();
            uint32_t raw = 0;
            if (c.bitSize > 32) {
                clearItem(item, kHidStatusValueTooWide);
                ok = false;
            } else if (!readField(report,
                                  uint64_t{c.bitOffset} + uint64_t{walk.field()} * c.bitSize,
                                  c.bitSize, raw)) {
                clearItem(item, kHidStatusReportTooShort);
                ok = false;
            } else {
                const int64_t v = fieldNumber(raw, c.bitSize, c.logicalMin < 0);
                item.status = kHidStatusSuccess;
                item.rawValue = static_cast<uint32_t>(v);
                item.scaledValue = scaledValue(v, c);
                item.isSet = !c.hasNull || (v >= c.logicalMin && v <= c.logicalMax);
            }
        }
        walk.advance();
    }
    return ok;
}

}  // namespace rxt
