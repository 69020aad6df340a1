// The parser against report descriptors captured from real hardware: every
// one parses, its caps lie inside its reports, and truncated copies and odd
// reports never make it read out of bounds (the test build is sanitized).

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "device/hid_descriptor.h"

namespace rxt {
namespace {

namespace fs = std::filesystem;

struct CorpusFile {
    std::string name;
    std::vector<uint8_t> bytes;
};

const std::vector<CorpusFile>& corpus() {
    static const std::vector<CorpusFile> files = [] {
        std::vector<CorpusFile> out;
        for (const auto& entry :
             fs::directory_iterator(fs::path(RXT_TESTDATA_DIR) / "hid-descriptors")) {
            const std::string ext = entry.path().extension().string();
            if (!entry.is_regular_file() || (ext != ".bin" && ext != ".rdesc")) {
                continue;  // README.md, COPYING
            }
            std::ifstream in(entry.path(), std::ios::binary);
            CorpusFile f{entry.path().filename().string(),
                         std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {})};
            out.push_back(std::move(f));
        }
        std::sort(out.begin(), out.end(),
                  [](const CorpusFile& a, const CorpusFile& b) { return a.name < b.name; });
        return out;
    }();
    return files;
}

// Decodes an all-zero, an all-ones and a one-byte-short report of every
// input report id of the collection.
void unpackSamples(const HidCollectionInfo& c) {
    const HidReportCaps& in = c.of(HidReportType::Input);
    std::vector<HidDataItem> items = makeDataItems(c, HidReportType::Input);
    for (uint8_t id : in.reportIds) {
        for (uint8_t fill : {uint8_t{0x00}, uint8_t{0xFF}}) {
            std::vector<uint8_t> report(in.length, fill);
            report[0] = id;
            unpackReport(c, HidReportType::Input, report, items);
            report.pop_back();
            unpackReport(c, HidReportType::Input, report, items);
        }
    }
}

// Every field must lie inside the declared report length.
template <typename Caps>
void expectInside(const Caps& cap, const HidReportCaps& caps, const std::string& where) {
    const uint64_t end = cap.bitOffset + uint64_t{cap.bitSize} * cap.reportCount;
    EXPECT_LE(end, (uint64_t{caps.length} - 1) * 8) << where;
    EXPECT_NE(std::find(caps.reportIds.begin(), caps.reportIds.end(), cap.reportId),
              caps.reportIds.end())
        << where;
}

TEST(HidDescriptorCorpus, HoldsTheExpectedFiles) {
    const auto& files = corpus();
    EXPECT_EQ(files.size(), 827u);
    const auto nonEmpty = std::count_if(files.begin(), files.end(),
                                        [](const CorpusFile& f) { return !f.bytes.empty(); });
    EXPECT_EQ(nonEmpty, 783);
}

TEST(HidDescriptorCorpus, EveryDescriptorParsesAndEveryEmptyFileIsRefused) {
    size_t collections = 0;
    for (const CorpusFile& f : corpus()) {
        HidDescriptorInfo info;
        std::string error;
        const bool parsed = parseReportDescriptor(f.bytes, info, &error);
        if (f.bytes.empty()) {
            EXPECT_FALSE(parsed) << f.name;
            continue;
        }
        ASSERT_TRUE(parsed) << f.name << ": " << error;
        EXPECT_FALSE(info.collections.empty()) << f.name;
        collections += info.collections.size();
        for (const HidCollectionInfo& c : info.collections) {
            for (const HidReportCaps& caps : c.reports) {
                EXPECT_EQ(caps.length == 0, caps.reportIds.empty()) << f.name;
                for (const HidButtonCaps& b : caps.buttons) {
                    expectInside(b, caps, f.name);
                    EXPECT_LE(b.usageMin, b.usageMax) << f.name;
                }
                for (const HidValueCaps& v : caps.values) {
                    expectInside(v, caps, f.name);
                }
            }
            unpackSamples(c);
        }
    }
    EXPECT_GT(collections, 783u);  // many nodes carry several
}

// Truncated copies are refused or parsed, never overrun. Long descriptors
// are cut at evenly spread points to keep the sanitized run short.
TEST(HidDescriptorCorpus, TruncatedDescriptorsAreHandled) {
    constexpr size_t kCutsPerFile = 128;
    size_t refused = 0;
    size_t cuts = 0;
    for (const CorpusFile& f : corpus()) {
        const size_t n = f.bytes.size();
        const size_t step = std::max<size_t>(1, n / kCutsPerFile);
        for (size_t len = 1; len < n; len += step) {
            HidDescriptorInfo info;
            std::string error;
            // Copied so that the sanitizer sees the exact end of the bytes.
            const std::vector<uint8_t> cut(f.bytes.begin(),
                                           f.bytes.begin() + static_cast<ptrdiff_t>(len));
            ++cuts;
            if (!parseReportDescriptor(cut, info, &error)) {
                EXPECT_FALSE(error.empty()) << f.name << " cut at " << len;
                ++refused;
                continue;
            }
            for (const HidCollectionInfo& c : info.collections) {
                unpackSamples(c);
            }
        }
    }
    // A cut descriptor almost always leaves a collection open.
    EXPECT_GT(refused, cuts / 2);
}

}  // namespace
}  // namespace rxt
