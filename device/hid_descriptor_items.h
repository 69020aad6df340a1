#pragma once
// The items a report descriptor is made of: a prefix byte (data size, type,
// tag) and up to four data bytes, little-endian. Long items are skipped.

#include <cstddef>
#include <cstdint>
#include <span>

namespace rxt {

enum HidItemType : uint8_t { kMain = 0, kGlobal = 1, kLocal = 2, kReserved = 3 };

enum HidMainTag : uint8_t {
    kInput = 8,
    kOutput = 9,
    kCollection = 10,
    kFeature = 11,
    kEndCollection = 12,
};

enum HidGlobalTag : uint8_t {
    kUsagePage = 0,
    kLogicalMin = 1,
    kLogicalMax = 2,
    kPhysicalMin = 3,
    kPhysicalMax = 4,
    kUnitExponent = 5,
    kUnit = 6,
    kReportSize = 7,
    kReportId = 8,
    kReportCount = 9,
    kPush = 10,
    kPop = 11,
};

enum HidLocalTag : uint8_t { kUsage = 0, kUsageMin = 1, kUsageMax = 2, kDelimiter = 10 };

struct HidItem {
    size_t offset = 0;  // of the prefix byte, for messages
    uint8_t type = 0;
    uint8_t tag = 0;
    uint8_t size = 0;  // data bytes: 0, 1, 2 or 4
    uint32_t data = 0;

    // The data as a two's complement number of its own size.
    int32_t signedData() const;
};

class HidItemReader {
  public:
    explicit HidItemReader(std::span<const uint8_t> bytes) : bytes_(bytes) {}

    enum class Result { Item, End, Truncated };

    // The next short item. Truncated when an item (long ones included) runs
    // past the end of the bytes; truncatedAt() then says where it starts.
    Result next(HidItem& item);
    size_t truncatedAt() const { return truncatedAt_; }

  private:
    std::span<const uint8_t> bytes_;
    size_t pos_ = 0;
    size_t truncatedAt_ = 0;
};

}  // namespace rxt
