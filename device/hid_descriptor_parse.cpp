// Report descriptor parsing: the global/local item state machine and the
// capabilities of each top-level collection.

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "device/hid_descriptor.h"
#include "device/hid_descriptor_items.h"

namespace rxt {
namespace {

constexpr uint32_t kConstantBit = 0x01;
constexpr uint32_t kVariableBit = 0x02;
constexpr uint32_t kNullStateBit = 0x40;

struct GlobalState {
    uint16_t usagePage = 0;
    int32_t logicalMin = 0;
    HidItem logicalMax;  // kept raw: read as signed only when logicalMin < 0
    int32_t physicalMin = 0;
    HidItem physicalMax;
    int32_t unitExponent = 0;
    uint32_t unit = 0;
    uint32_t reportSize = 0;
    uint32_t reportCount = 0;
    uint8_t reportId = 0;
};

// Devices often write an unsigned maximum in as few bytes as the value needs
// (0xFF for 255 in one byte); it is negative only beside a negative minimum.
int32_t resolveMaximum(int32_t minimum, const HidItem& maximum) {
    return minimum < 0 ? maximum.signedData() : static_cast<int32_t>(maximum.data);
}

struct UsageEntry {
    uint16_t page = 0;
    uint16_t min = 0;
    uint16_t max = 0;
    bool extended = false;  // declared with its page (4-byte usage)
    bool isRange = false;
    uint32_t count() const { return static_cast<uint32_t>(max) - min + 1; }
};

struct PendingBound {
    uint16_t page = 0;
    uint16_t usage = 0;
    bool extended = false;
};

struct LocalState {
    std::vector<UsageEntry> usages;
    std::optional<PendingBound> pendingMin;
    std::optional<PendingBound> pendingMax;
    uint32_t delimiterDepth = 0;
    uint32_t delimiterBranch = 0;

    void clear() {
        usages.clear();
        pendingMin.reset();
        pendingMax.reset();
        delimiterDepth = 0;
        delimiterBranch = 0;
    }

    // Only the first of a set of delimited alternatives is used.
    bool ignoring() const { return delimiterDepth > 0 && delimiterBranch > 1; }

    void addSingle(const PendingBound& b) {
        usages.push_back({b.page, b.usage, b.usage, b.extended, false});
    }

    void addRange(const PendingBound& lo, const PendingBound& hi) {
        UsageEntry e{lo.page, lo.usage, hi.usage, lo.extended, true};
        if (e.min > e.max) {
            std::swap(e.min, e.max);
        }
        usages.push_back(e);
    }

    // A minimum or maximum left without its partner counts as one usage.
    void flushBounds() {
        if (pendingMin) {
            addSingle(*pendingMin);
        }
        if (pendingMax) {
            addSingle(*pendingMax);
        }
        pendingMin.reset();
        pendingMax.reset();
    }
};

struct CollectionFrame {
    uint16_t usagePage = 0;
    uint16_t usage = 0;
};

constexpr size_t kTypeCount = 3;
constexpr size_t kIdCount = 256;

class Parser {
  public:
    bool run(std::span<const uint8_t> bytes, HidDescriptorInfo& out, std::string& error);

  private:
    bool fail(std::string& error, const HidItem& item, const std::string& what) {
        error = what + " at byte " + std::to_string(item.offset);
        return false;
    }
    bool onGlobal(const HidItem& item, std::string& error);
    void onLocal(const HidItem& item);
    bool onMain(const HidItem& item, std::string& error);
    bool onField(const HidItem& item, HidReportType type, std::string& error);
    void concatenateUsagePage();
    void addButtonCaps(HidReportCaps& caps, const HidButtonCaps& base, uint32_t fieldCount);
    void addValueCaps(HidReportCaps& caps, const HidValueCaps& base, uint32_t fieldCount);
    bool finish(HidDescriptorInfo& out, std::string& error);

    GlobalState global_;
    std::vector<GlobalState> pushed_;
    LocalState local_;
    std::vector<CollectionFrame> frames_;
    std::vector<HidCollectionInfo> collections_;
    // Bits declared so far per report type and id, across the whole
    // descriptor: that is where the next field of that report starts.
    std::array<std::array<uint32_t, kIdCount>, kTypeCount> bits_{};
    bool numbered_ = false;
};

bool Parser::onGlobal(const HidItem& item, std::string& error) {
    switch (item.tag) {
        case kUsagePage:
            global_.usagePage = static_cast<uint16_t>(item.data);
            break;
        case kLogicalMin:
            global_.logicalMin = item.signedData();
            break;
        case kLogicalMax:
            global_.logicalMax = item;
            break;
        case kPhysicalMin:
            global_.physicalMin = item.signedData();
            break;
        case kPhysicalMax:
            global_.physicalMax = item;
            break;
        case kUnitExponent:
            // A 4-bit two's complement value; wider data is read as signed.
            global_.unitExponent = item.data <= 0x0F ? static_cast<int32_t>(item.data ^ 0x08) - 0x08
                                                     : item.signedData();
            break;
        case kUnit:
            global_.unit = item.data;
            break;
        case kReportSize:
            global_.reportSize = item.data;
            break;
        case kReportId:
            if (item.data == 0 || item.data >= kIdCount) {
                return fail(error, item, "invalid report id " + std::to_string(item.data));
            }
            global_.reportId = static_cast<uint8_t>(item.data);
            numbered_ = true;
            break;
        case kReportCount:
            global_.reportCount = item.data;
            break;
        case kPush:
            if (pushed_.size() >= kHidMaxPushDepth) {
                return fail(error, item, "push nested too deep");
            }
            pushed_.push_back(global_);
            break;
        case kPop:
            if (pushed_.empty()) {
                return fail(error, item, "pop without push");
            }
            global_ = pushed_.back();
            pushed_.pop_back();
            break;
        default:
            break;  // reserved tags carry nothing we use
    }
    return true;
}

void Parser::onLocal(const HidItem& item) {
    if (item.tag == kDelimiter) {
        if (item.data == 1) {
            if (local_.delimiterDepth++ == 0) {
                ++local_.delimiterBranch;
            }
        } else if (item.data == 0 && local_.delimiterDepth > 0) {
            --local_.delimiterDepth;
        }
        return;
    }
    if (local_.ignoring()) {
        return;
    }
    PendingBound bound;
    bound.extended = item.size == 4;
    bound.page = bound.extended ? static_cast<uint16_t>(item.data >> 16) : global_.usagePage;
    bound.usage = static_cast<uint16_t>(item.data);
    switch (item.tag) {
        case kUsage:
            local_.addSingle(bound);
            break;
        case kUsageMin:
            if (local_.pendingMax) {
                local_.addRange(bound, *local_.pendingMax);
                local_.pendingMax.reset();
            } else {
                if (local_.pendingMin) {
                    local_.addSingle(*local_.pendingMin);
                }
                local_.pendingMin = bound;
            }
            break;
        case kUsageMax:
            if (local_.pendingMin) {
                local_.addRange(*local_.pendingMin, bound);
                local_.pendingMin.reset();
            } else {
                if (local_.pendingMax) {
                    local_.addSingle(*local_.pendingMax);
                }
                local_.pendingMax = bound;
            }
            break;
        default:
            break;  // designators and strings are not used
    }
}

// A usage page declared after usages of the same main item still applies to
// them: walking back from the last usage, short usages take the last declared
// page until one already has it.
void Parser::concatenateUsagePage() {
    for (auto it = local_.usages.rbegin(); it != local_.usages.rend(); ++it) {
        if (it->extended) {
            continue;
        }
        if (it->page == global_.usagePage) {
            break;
        }
        it->page = global_.usagePage;
    }
}

bool Parser::onMain(const HidItem& item, std::string& error) {
    local_.flushBounds();
    concatenateUsagePage();
    bool ok = true;
    switch (item.tag) {
        case kCollection: {
            if (frames_.size() >= kHidMaxCollectionDepth) {
                return fail(error, item, "collections nested too deep");
            }
            CollectionFrame frame;
            if (!local_.usages.empty()) {
                frame.usagePage = local_.usages.front().page;
                frame.usage = local_.usages.front().min;
            }
            if (frames_.empty()) {
                HidCollectionInfo info;
                info.usagePage = frame.usagePage;
                info.usage = frame.usage;
                collections_.push_back(std::move(info));
            }
            frames_.push_back(frame);
            break;
        }
        case kEndCollection:
            if (frames_.empty()) {
                return fail(error, item, "end collection without collection");
            }
            frames_.pop_back();
            break;
        case kInput:
            ok = onField(item, HidReportType::Input, error);
            break;
        case kOutput:
            ok = onField(item, HidReportType::Output, error);
            break;
        case kFeature:
            ok = onField(item, HidReportType::Feature, error);
            break;
        default:
            break;  // reserved main tags (zero padding among them) are skipped
    }
    local_.clear();
    return ok;
}

bool Parser::onField(const HidItem& item, HidReportType type, std::string& error) {
    if (frames_.empty()) {
        return fail(error, item, "main item outside any collection");
    }
    const uint64_t fieldBits = uint64_t{global_.reportSize} * global_.reportCount;
    uint32_t& reportBits = bits_[static_cast<size_t>(type)][global_.reportId];
    if (reportBits + fieldBits > kHidMaxReportBytes * 8) {
        return fail(error, item,
                    "report " + std::to_string(global_.reportId) + " longer than " +
                        std::to_string(kHidMaxReportBytes) + " bytes");
    }
    const uint32_t offset = reportBits;
    reportBits += static_cast<uint32_t>(fieldBits);
    if (fieldBits == 0) {
        return true;
    }

    HidCollectionInfo& collection = collections_.back();
    HidReportCaps& caps = collection.of(type);
    if (std::find(caps.reportIds.begin(), caps.reportIds.end(), global_.reportId) ==
        caps.reportIds.end()) {
        caps.reportIds.push_back(global_.reportId);
    }
    if ((item.data & kConstantBit) != 0) {
        return true;  // padding
    }

    if (global_.reportCount > UINT16_MAX) {
        return fail(
            error, item,
            "report count " + std::to_string(global_.reportCount) + " too large for a data field");
    }
    const bool isArray = (item.data & kVariableBit) == 0;
    const bool isButton = isArray || global_.reportSize == 1;
    // Real devices declare wide values (64-bit serial numbers and the like):
    // they get caps, only their decode into 32 bits fails. A selector that
    // wide is nonsense.
    if ((isArray && global_.reportSize > kHidMaxArrayBits) || global_.reportSize > UINT16_MAX) {
        return fail(
            error, item,
            "report size " + std::to_string(global_.reportSize) + " too large for a data field");
    }
    const int32_t logicalMax = resolveMaximum(global_.logicalMin, global_.logicalMax);
    const CollectionFrame& inner = frames_.back();
    if (isButton) {
        HidButtonCaps base;
        base.reportId = global_.reportId;
        base.isArray = isArray;
        base.bitField = static_cast<uint16_t>(item.data);
        base.bitOffset = offset;
        base.bitSize = static_cast<uint16_t>(global_.reportSize);
        base.reportCount = static_cast<uint16_t>(global_.reportCount);
        base.logicalMin = global_.logicalMin;
        base.logicalMax = logicalMax;
        base.collectionUsagePage = inner.usagePage;
        base.collectionUsage = inner.usage;
        addButtonCaps(caps, base, global_.reportCount);
    } else {
        HidValueCaps base;
        base.reportId = global_.reportId;
        base.bitField = static_cast<uint16_t>(item.data);
        base.bitOffset = offset;
        base.bitSize = static_cast<uint16_t>(global_.reportSize);
        base.hasNull = (item.data & kNullStateBit) != 0;
        base.logicalMin = global_.logicalMin;
        base.logicalMax = logicalMax;
        base.physicalMin = global_.physicalMin;
        base.physicalMax = resolveMaximum(global_.physicalMin, global_.physicalMax);
        base.unit = global_.unit;
        base.unitExponent = global_.unitExponent;
        base.collectionUsagePage = inner.usagePage;
        base.collectionUsage = inner.usage;
        addValueCaps(caps, base, global_.reportCount);
    }
    return true;
}

// Hands the fields of a variable main item to its usages in order: a range
// takes as many fields as it has usages, a single usage one, and the last
// usage also takes every field left over. Calls emit(entry, usageMax,
// firstField, fieldCount) for each cap.
template <typename Emit>
void assignFields(const std::vector<UsageEntry>& usages, uint16_t defaultPage, uint32_t fieldCount,
                  Emit emit) {
    if (usages.empty()) {
        emit(UsageEntry{defaultPage, 0, 0, false, false}, uint16_t{0}, 0u, fieldCount);
        return;
    }
    uint32_t next = 0;
    for (size_t i = 0; i < usages.size() && next < fieldCount; ++i) {
        const UsageEntry& u = usages[i];
        const bool last = i + 1 == usages.size();
        const uint32_t left = fieldCount - next;
        if (!u.isRange) {
            const uint32_t take = last ? left : 1;
            emit(u, u.max, next, take);
            next += take;
            continue;
        }
        const uint32_t take = std::min(u.count(), left);
        emit(u, static_cast<uint16_t>(u.min + take - 1), next, take);
        next += take;
        if (last && next < fieldCount) {
            UsageEntry rest = u;
            rest.min = rest.max = static_cast<uint16_t>(u.min + take - 1);
            rest.isRange = false;
            emit(rest, rest.max, next, fieldCount - next);
            next = fieldCount;
        }
    }
}

void Parser::addButtonCaps(HidReportCaps& caps, const HidButtonCaps& base, uint32_t fieldCount) {
    if (base.isArray) {
        // Every usage entry selects from the same slots; usageIndex says which
        // selector values are its own.
        std::vector<UsageEntry> usages = local_.usages;
        if (usages.empty()) {
            usages.push_back(UsageEntry{global_.usagePage, 0, 0, false, false});
        }
        uint32_t index = 0;
        for (const UsageEntry& u : usages) {
            HidButtonCaps c = base;
            c.usagePage = u.page;
            c.usageMin = u.min;
            c.usageMax = u.max;
            c.isRange = u.isRange;
            c.usageIndex = index;
            index += u.count();
            caps.buttons.push_back(c);
        }
        return;
    }
    assignFields(local_.usages, global_.usagePage, fieldCount,
                 [&](const UsageEntry& u, uint16_t usageMax, uint32_t first, uint32_t count) {
                     HidButtonCaps c = base;
                     c.usagePage = u.page;
                     c.usageMin = u.min;
                     c.usageMax = usageMax;
                     c.isRange = u.isRange;
                     c.bitOffset = base.bitOffset + first * base.bitSize;
                     c.reportCount = static_cast<uint16_t>(count);
                     caps.buttons.push_back(c);
                 });
}

void Parser::addValueCaps(HidReportCaps& caps, const HidValueCaps& base, uint32_t fieldCount) {
    assignFields(local_.usages, global_.usagePage, fieldCount,
                 [&](const UsageEntry& u, uint16_t usageMax, uint32_t first, uint32_t count) {
                     HidValueCaps c = base;
                     c.usagePage = u.page;
                     c.usageMin = u.min;
                     c.usageMax = usageMax;
                     c.isRange = u.isRange;
                     c.bitOffset = base.bitOffset + first * base.bitSize;
                     c.reportCount = static_cast<uint16_t>(count);
                     caps.values.push_back(c);
                 });
}

bool Parser::finish(HidDescriptorInfo& out, std::string& error) {
    if (!frames_.empty()) {
        error = "collection not closed at the end of the descriptor";
        return false;
    }
    if (collections_.empty()) {
        error = "no top-level collection";
        return false;
    }
    for (HidCollectionInfo& c : collections_) {
        c.numbered = numbered_;
        for (size_t t = 0; t < kTypeCount; ++t) {
            HidReportCaps& caps = c.reports[t];
            uint32_t longest = 0;
            for (uint8_t id : caps.reportIds) {
                longest = std::max(longest, bits_[t][id]);
            }
            caps.length = caps.reportIds.empty() ? 0 : static_cast<uint16_t>((longest + 7) / 8 + 1);

            // Each button item of a page carries a usage array as long as the
            // page's usage list can be: bound the memory that costs.
            std::map<uint16_t, std::pair<uint64_t, uint64_t>> pages;  // caps, list length
            for (const HidButtonCaps& b : caps.buttons) {
                auto& [count, length] = pages[b.usagePage];
                ++count;
                length += b.isArray ? b.reportCount : uint32_t{b.usageMax} - b.usageMin + 1;
            }
            uint64_t entries = 0;
            for (const auto& [page, p] : pages) {
                entries += p.first * p.second;
            }
            if (entries > kHidMaxUsageEntries) {
                error = "too many button usages";
                return false;
            }
            uint64_t valueItems = 0;
            for (const HidValueCaps& v : caps.values) {
                valueItems += v.isRange ? uint32_t{v.usageMax} - v.usageMin + 1 : 1;
            }
            if (valueItems > kHidMaxValueItems) {
                error = "too many value usages";
                return false;
            }
        }
    }
    out.collections = std::move(collections_);
    return true;
}

bool Parser::run(std::span<const uint8_t> bytes, HidDescriptorInfo& out, std::string& error) {
    if (bytes.empty()) {
        error = "empty report descriptor";
        return false;
    }
    if (bytes.size() > kHidMaxDescriptorBytes) {
        error =
            "report descriptor longer than " + std::to_string(kHidMaxDescriptorBytes) + " bytes";
        return false;
    }
    HidItemReader reader(bytes);
    HidItem item;
    for (;;) {
        const HidItemReader::Result r = reader.next(item);
        if (r == HidItemReader::Result::End) {
            break;
        }
        if (r == HidItemReader::Result::Truncated) {
            error = "item runs past the end of the descriptor at byte " +
                    std::to_string(reader.truncatedAt());
            return false;
        }
        bool ok = true;
        switch (item.type) {
            case kMain:
                ok = onMain(item, error);
                break;
            case kGlobal:
                ok = onGlobal(item, error);
                break;
            case kLocal:
                onLocal(item);
                break;
            default:
                break;  // reserved item type
        }
        if (!ok) {
            return false;
        }
    }
    return finish(out, error);
}

}  // namespace

bool parseReportDescriptor(std::span<const uint8_t> bytes, HidDescriptorInfo& out,
                           std::string* error) {
    Parser parser;
    std::string reason;
    HidDescriptorInfo info;
    if (!parser.run(bytes, info, reason)) {
        if (error != nullptr) {
            *error = reason;
        }
        return false;
    }
    out = std::move(info);
    return true;
}

}  // namespace rxt
