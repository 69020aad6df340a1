#pragma once
// Our own reading of HID report descriptors: what the rest of the program
// needs to know about an interface (top-level usage, report lengths, button
// and value capabilities) and the decoding of a received report into data
// items. One HidCollectionInfo per top-level collection: the transport
// presents each one as an interface of its own.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace rxt {

enum class HidReportType : uint8_t { Input = 0, Output = 1, Feature = 2 };

// One button field: a run of 1-bit variable buttons over a usage range, or an
// array (selector) field whose values pick usages from the range.
struct HidButtonCaps {
    uint8_t reportId = 0;  // 0 when the descriptor declares no report ids
    uint16_t usagePage = 0;
    uint16_t usageMin = 0;  // equal to usageMax when not a range
    uint16_t usageMax = 0;
    bool isRange = false;
    bool isArray = false;      // array field: reportCount slots of bitSize bits
    uint16_t bitField = 0;     // the main item's data bits (constant, variable, relative ...)
    uint32_t bitOffset = 0;    // first bit of the field, counted after the report id byte
    uint16_t bitSize = 1;      // report size of one slot
    uint16_t reportCount = 1;  // number of slots
    int32_t logicalMin = 0;
    int32_t logicalMax = 0;
    uint16_t collectionUsagePage = 0;  // innermost enclosing collection
    uint16_t collectionUsage = 0;
    // Array field split over several caps (one per usage or range of its usage
    // list): the selector index, counted from logicalMin, that picks usageMin.
    uint32_t usageIndex = 0;
};

// One value field (or one usage of it when reportCount > 1 without a range).
struct HidValueCaps {
    uint8_t reportId = 0;
    uint16_t usagePage = 0;
    uint16_t usageMin = 0;
    uint16_t usageMax = 0;
    bool isRange = false;
    uint16_t bitField = 0;
    uint32_t bitOffset = 0;    // first bit, counted after the report id byte
    uint16_t bitSize = 0;      // report size
    uint16_t reportCount = 1;  // number of values in the field
    bool hasNull = false;
    int32_t logicalMin = 0;
    int32_t logicalMax = 0;
    int32_t physicalMin = 0;
    int32_t physicalMax = 0;
    uint32_t unit = 0;
    int32_t unitExponent = 0;  // the item's 4-bit two's complement, -8..7
    uint16_t collectionUsagePage = 0;
    uint16_t collectionUsage = 0;
};

struct HidReportCaps {
    // Byte length of the largest report of this type plus one for the report
    // id byte (present even when the descriptor declares no ids); 0 when the
    // collection has no report of this type.
    uint16_t length = 0;
    std::vector<uint8_t> reportIds;  // distinct ids in first-seen order
    std::vector<HidButtonCaps> buttons;
    std::vector<HidValueCaps> values;
};

struct HidCollectionInfo {
    uint16_t usagePage = 0;
    uint16_t usage = 0;
    bool numbered = false;                 // the descriptor declares report ids
    std::array<HidReportCaps, 3> reports;  // indexed by HidReportType

    const HidReportCaps& of(HidReportType t) const { return reports[static_cast<size_t>(t)]; }
    HidReportCaps& of(HidReportType t) { return reports[static_cast<size_t>(t)]; }
    // True when an input report starting with this byte belongs to the collection.
    bool ownsInputReport(uint8_t firstByte) const;
};

struct HidDescriptorInfo {
    std::vector<HidCollectionInfo> collections;  // top-level collections in order
};

// Bounds beyond which a descriptor is refused as absurd.
inline constexpr size_t kHidMaxDescriptorBytes = 65535;  // what a USB descriptor length holds
inline constexpr size_t kHidMaxReportBytes = 8192;       // one report of one id and type
inline constexpr size_t kHidMaxCollectionDepth = 32;
inline constexpr size_t kHidMaxPushDepth = 32;
// Widest array (selector) field; value fields may be wider, but their decode
// into 32 bits fails.
inline constexpr size_t kHidMaxArrayBits = 32;
// Entries of all the usage arrays of one report type's button items together.
inline constexpr size_t kHidMaxUsageEntries = size_t{1} << 20;
// Value items of one report type of a collection.
inline constexpr size_t kHidMaxValueItems = 65536;

// Parses a report descriptor. Refuses (false, reason in *error) an empty,
// truncated or malformed descriptor; never reads outside the given bytes.
bool parseReportDescriptor(std::span<const uint8_t> bytes, HidDescriptorInfo& out,
                           std::string* error = nullptr);

// Decode status of a data item.
inline constexpr int32_t kHidStatusSuccess = 0;
// The report carries another report id: the item holds no data from it.
inline constexpr int32_t kHidStatusIncompatibleReportId = 1;
// The report is too short for the item's field.
inline constexpr int32_t kHidStatusReportTooShort = 2;
// The value field is wider than 32 bits.
inline constexpr int32_t kHidStatusValueTooWide = 3;

// One decoded field of a received report.
struct HidDataItem {
    bool isButton = false;
    uint16_t usagePage = 0;
    int32_t status = 0;  // 0 after a successful decode
    uint8_t reportId = 0;
    // Button item: at least one usage kept. Value item: decoded and not in
    // its null state (outside the logical range of a field with a null state).
    bool isSet = false;
    // Button item: usages found set in the report within [lowest, highest],
    // in order, followed by a 0 entry when shorter than the array.
    uint16_t lowestUsage = 0;
    uint16_t highestUsage = 0;
    std::vector<uint16_t> usages;  // size = maximum usage count
    // Value item.
    uint16_t usage = 0;
    uint32_t rawValue = 0;    // sign-extended to 32 bits when logicalMin < 0
    int32_t scaledValue = 0;  // mapped onto the physical range when it is valid, else rawValue
};

// The items of one report type: one per button capability, then one per
// usage of each value capability. A button item's usage array holds the
// maximum usage list length of its page: the sum over that page's button caps
// of reportCount for arrays and the range size otherwise.
std::vector<HidDataItem> makeDataItems(const HidCollectionInfo& collection, HidReportType type);

// Decodes report (first byte the report id, 0 when unnumbered) into those
// items whose report id matches. Items of other report ids are cleared (usages
// zero, not set, status kHidStatusIncompatibleReportId) so that no stale
// data survives. False when an item cannot be decoded: its field lies past
// the end of the report (kHidStatusReportTooShort), a value is wider than 32
// bits (kHidStatusValueTooWide), or the item is not one of this collection's
// items of that type. Nothing beyond the report is ever read.
bool unpackReport(const HidCollectionInfo& collection, HidReportType type,
                  std::span<const uint8_t> report, std::span<HidDataItem> items);

}  // namespace rxt
