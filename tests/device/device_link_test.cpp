// Requests on the wire, chunking, status handling and argument checks of the
// command operations, through the real transport to a fake device.

#include "device/device_link.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <numeric>
#include <string>
#include <vector>

#include "support/fake_link_rig.h"

namespace rxt {
namespace {

using test::FakeCommandDevice;
using test::FakeLinkRig;
using test::FakeReply;

std::vector<uint8_t> pattern(uint8_t code, size_t from, size_t n) {
    std::vector<uint8_t> out(n);
    for (size_t i = 0; i < n; ++i) {
        out[i] = FakeCommandDevice::patternByte(code, from + i);
    }
    return out;
}

Report golden(std::initializer_list<uint8_t> head) {
    Report r{};
    std::copy(head.begin(), head.end(), r.begin());
    return r;
}

class DeviceLinkTest : public ::testing::Test {
  protected:
    void SetUp() override {
        rig.device.fillPattern();
        ASSERT_TRUE(rig.connect());
    }

    std::vector<test::ReceivedRequest> sent() const { return rig.device.requests(); }

    FakeLinkRig rig;
    DeviceLink& link = *rig.link;
};

TEST(DeviceLinkState, StartsWithFullBlockNoTargetsAndFlagsClear) {
    DeviceLink link;
    EXPECT_EQ(link.blockSize(), 512);
    EXPECT_EQ(link.targetVendor(), 0);
    EXPECT_EQ(link.targetProduct(), 0);
    EXPECT_EQ(link.targetUsage(), 0);
    EXPECT_EQ(link.targetUsagePage(), 0);
    EXPECT_FALSE(link.connected());
    EXPECT_FALSE(link.inLightSync());
}

TEST(DeviceLinkState, SettingTargetsClearsConnected) {
    DeviceLink link;
    link.setConnected(true);
    link.setInLightSync(true);
    link.setTargets(0x0C45, 0x6553, 0x0092, 0xFF1C);
    EXPECT_FALSE(link.connected());
    EXPECT_TRUE(link.inLightSync());
    EXPECT_EQ(link.targetVendor(), 0x0C45);
    EXPECT_EQ(link.targetProduct(), 0x6553);
    EXPECT_EQ(link.targetUsage(), 0x0092);
    EXPECT_EQ(link.targetUsagePage(), 0xFF1C);
}

TEST(DeviceLinkState, BlockSizeAboveFullOrZeroIsRefusedAndPreviousKept) {
    DeviceLink link;
    EXPECT_TRUE(link.setBlockSize(300));
    EXPECT_FALSE(link.setBlockSize(513));
    EXPECT_EQ(link.blockSize(), 300);
    EXPECT_FALSE(link.setBlockSize(0xFFFF));
    EXPECT_FALSE(link.setBlockSize(0));
    EXPECT_EQ(link.blockSize(), 300);
    EXPECT_TRUE(link.setBlockSize(512));
    EXPECT_EQ(link.blockSize(), 512);
    EXPECT_TRUE(link.setBlockSize(1));
    EXPECT_EQ(link.blockSize(), 1);
}

TEST_F(DeviceLinkTest, RequestsCarryExactBytesAndChecksum) {
    ASSERT_EQ(link.BeginSession(), kResultDone);
    uint8_t info[kInfoSize];
    ASSERT_EQ(link.ReadInfo(info), kResultDone);
    const uint8_t three[] = {0x10, 0x20, 0x30};
    ASSERT_EQ(link.WriteRecord(three, 3, 0x0102), kResultDone);
    // A sum above 255 spills into the high byte.
    std::array<uint8_t, 56> full;
    full.fill(0xFF);
    ASSERT_EQ(link.WriteRecord(full.data(), 56, 0), kResultDone);

    const auto requests = sent();
    ASSERT_EQ(requests.size(), 4u);
    EXPECT_EQ(requests[0].report, golden({0x04, 0x01, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00}));
    EXPECT_EQ(requests[1].report, golden({0x04, 0x24, 0x00, 0x03, 0x21, 0x00, 0x00, 0x00}));
    EXPECT_EQ(requests[2].report,
              golden({0x04, 0x6C, 0x00, 0x06, 0x03, 0x02, 0x01, 0x00, 0x10, 0x20, 0x30}));
    Report big{};
    big[0] = 0x04;
    big[1] = 0x06;  // 6 + 56 + 56 * 255 = 0x3806
    big[2] = 0x38;
    big[3] = 0x06;
    big[4] = 56;
    std::fill(big.begin() + 8, big.end(), 0xFF);
    EXPECT_EQ(requests[3].report, big);
    for (const auto& r : requests) {
        EXPECT_EQ(r.size, kReportSize);
    }
}

TEST_F(DeviceLinkTest, ReadInfoCopiesThirtyThreeBytesFromByteEight) {
    std::array<uint8_t, kInfoSize + 1> info;
    info.fill(0xEE);
    ASSERT_EQ(link.ReadInfo(info.data()), kResultDone);
    const auto expected = pattern(3, 0, kInfoSize);
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), info.begin()));
    EXPECT_EQ(info[kInfoSize], 0xEE) << "wrote past the record";
}

TEST_F(DeviceLinkTest, ReadBlockSendsTenChunksAndAssemblesThemInOrder) {
    std::vector<uint8_t> block(512, 0);
    ASSERT_EQ(link.ReadBlock(block.data()), kResultDone);

    const auto requests = sent();
    ASSERT_EQ(requests.size(), 10u);
    for (size_t i = 0; i < requests.size(); ++i) {
        EXPECT_EQ(requests[i].code, 7);
        EXPECT_EQ(requests[i].offset, i * 56) << "chunk " << i;
        EXPECT_EQ(requests[i].length, i < 9 ? 56 : 8) << "chunk " << i;
        EXPECT_TRUE(requests[i].checksumOk);
    }
    EXPECT_EQ(block, pattern(7, 0, 512));
}

TEST_F(DeviceLinkTest, ReadBlockFollowsTheBlockSize) {
    ASSERT_TRUE(link.setBlockSize(100));
    std::vector<uint8_t> block(101, 0xEE);
    ASSERT_EQ(link.ReadBlock(block.data()), kResultDone);
    const auto requests = sent();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[1].offset, 56);
    EXPECT_EQ(requests[1].length, 44);
    EXPECT_TRUE(std::equal(block.begin(), block.begin() + 100, pattern(7, 0, 100).begin()));
    EXPECT_EQ(block[100], 0xEE);
}

TEST_F(DeviceLinkTest, ReadBankStartsAtTheBankOffset) {
    std::vector<uint8_t> bank(512, 0);
    ASSERT_EQ(link.ReadBank(bank.data(), 2), kResultDone);
    const auto requests = sent();
    ASSERT_EQ(requests.size(), 10u);
    for (size_t i = 0; i < requests.size(); ++i) {
        EXPECT_EQ(requests[i].code, 8);
        EXPECT_EQ(requests[i].offset, 252 + i * 56) << "chunk " << i;
    }
    EXPECT_EQ(requests[2].offset, 364);
    EXPECT_EQ(bank, pattern(8, 252, 512));
}

TEST_F(DeviceLinkTest, BankOutsideZeroToFourIsRefusedBeforeSending) {
    std::vector<uint8_t> buffer(512, 0xEE);
    EXPECT_EQ(link.ReadBank(buffer.data(), 5), kResultBadBank);
    EXPECT_EQ(link.ReadBank(buffer.data(), -1), kResultBadBank);
    EXPECT_EQ(link.WriteBank(buffer.data(), 126, 5), kResultBadBank);
    EXPECT_EQ(link.WriteBank(buffer.data(), 126, -3), kResultBadBank);
    EXPECT_EQ(rig.device.requestCount(), 0u);
    EXPECT_EQ(buffer, std::vector<uint8_t>(512, 0xEE));

    ASSERT_EQ(link.ReadBank(buffer.data(), 4), kResultDone);
    EXPECT_EQ(sent().front().offset, 504);
}

TEST_F(DeviceLinkTest, WriteBankOfAMouseBankSendsFiftySixFiftySixFourteen) {
    std::vector<uint8_t> data(126);
    std::iota(data.begin(), data.end(), uint8_t{100});
    ASSERT_EQ(link.WriteBank(data.data(), 126, 1), kResultDone);

    const auto requests = sent();
    ASSERT_EQ(requests.size(), 3u);
    const int lengths[] = {56, 56, 14};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(requests[i].code, 9);
        EXPECT_EQ(requests[i].length, lengths[i]);
        EXPECT_EQ(requests[i].offset, 126 + i * 56);
        EXPECT_TRUE(std::equal(requests[i].data.begin(), requests[i].data.end(),
                               data.begin() + static_cast<ptrdiff_t>(i * 56)));
    }
    // Bytes after the data are zero, not left over from an earlier chunk.
    EXPECT_TRUE(std::all_of(requests[2].report.begin() + 8 + 14, requests[2].report.end(),
                            [](uint8_t b) { return b == 0; }));
    EXPECT_EQ(rig.device.memory(9, 126, 126), data);
}

TEST_F(DeviceLinkTest, ChunkedWritesSendTheirCodeFromOffsetZero) {
    struct Case {
        uint8_t code;
        std::function<int(const uint8_t*, uint16_t)> send;
    };
    const Case cases[] = {
        {18, [&](const uint8_t* d, uint16_t n) { return link.StreamFrame(d, n); }},
        {21, [&](const uint8_t* d, uint16_t n) { return link.WriteMacroData(d, n); }},
        {23, [&](const uint8_t* d, uint16_t n) { return link.WriteCursorData(d, n); }},
    };
    std::vector<uint8_t> data(300);
    for (size_t i = 0; i < data.size(); ++i) {
        data[i] = static_cast<uint8_t>(i * 3 + 1);
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(commandName(c.code)));
        rig.device.clearRequests();
        ASSERT_EQ(c.send(data.data(), 300), kResultDone);
        const auto requests = sent();
        ASSERT_EQ(requests.size(), 6u);
        for (size_t i = 0; i < requests.size(); ++i) {
            EXPECT_EQ(requests[i].code, c.code);
            EXPECT_EQ(requests[i].offset, i * 56);
            EXPECT_EQ(requests[i].length, i < 5 ? 56 : 20);
        }
        EXPECT_EQ(rig.device.memory(c.code, 0, 300), data);
    }
}

TEST_F(DeviceLinkTest, LargestChunkedWriteEndsAfterItsLastChunk) {
    // The position passes 65535 on the last step; it must not wrap around.
    std::vector<uint8_t> data(0xFFFF, 0x3C);
    ASSERT_EQ(link.WriteMacroData(data.data(), 0xFFFF), kResultDone);
    const auto requests = sent();
    ASSERT_EQ(requests.size(), 1171u);
    EXPECT_EQ(requests.back().offset, 65520);
    EXPECT_EQ(requests.back().length, 15);
}

TEST_F(DeviceLinkTest, ChunkedWriteOfNothingSendsNothing) {
    EXPECT_EQ(link.StreamFrame(nullptr, 0), kResultDone);
    EXPECT_EQ(link.WriteBank(nullptr, 0, 0), kResultDone);
    EXPECT_EQ(rig.device.requestCount(), 0u);
}

TEST_F(DeviceLinkTest, ReadRecordAndWriteRecordUseOneReport) {
    const uint8_t data[] = {1, 2, 3, 4, 5};
    ASSERT_EQ(link.WriteRecord(data, 5, 0x40), kResultDone);
    uint8_t back[6] = {0, 0, 0, 0, 0, 0xEE};
    ASSERT_EQ(link.ReadRecord(back, 5, 0x40), kResultDone);
    EXPECT_TRUE(std::equal(data, data + 5, back));
    EXPECT_EQ(back[5], 0xEE);

    const auto requests = sent();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[1].code, 5);
    EXPECT_EQ(requests[1].length, 5);
    EXPECT_EQ(requests[1].offset, 0x40);
    // A read request carries its length but no data.
    EXPECT_TRUE(std::all_of(requests[1].report.begin() + 8, requests[1].report.end(),
                            [](uint8_t b) { return b == 0; }));
}

TEST_F(DeviceLinkTest, RecordLongerThanOneReportIsRefusedBeforeSending) {
    std::vector<uint8_t> buffer(100, 0xEE);
    EXPECT_EQ(link.ReadRecord(buffer.data(), 57, 0), kResultBadArgument);
    EXPECT_EQ(link.WriteRecord(buffer.data(), 57, 0), kResultBadArgument);
    EXPECT_EQ(link.ReadRecord(nullptr, 4, 0), kResultBadArgument);
    EXPECT_EQ(link.ReadInfo(nullptr), kResultBadArgument);
    EXPECT_EQ(link.ReadBlock(nullptr), kResultBadArgument);
    EXPECT_EQ(link.StreamFrame(nullptr, 10), kResultBadArgument);
    EXPECT_EQ(rig.device.requestCount(), 0u);
    EXPECT_EQ(buffer, std::vector<uint8_t>(100, 0xEE));
}

TEST_F(DeviceLinkTest, RefusalStatusesGiveTheirCodes) {
    rig.device.script({FakeReply::withStatus(0xFF), FakeReply::withStatus(0xFE),
                       FakeReply::withStatus(0xFD), FakeReply::withStatus(0x01)});
    EXPECT_EQ(link.BeginSession(), kResultRefused);
    EXPECT_EQ(link.BeginSession(), kResultRefusedOther);
    // Any other status is accepted.
    EXPECT_EQ(link.BeginSession(), kResultDone);
    EXPECT_EQ(link.BeginSession(), kResultDone);
}

TEST_F(DeviceLinkTest, RefusedReadLeavesTheCallersBufferUnchanged) {
    rig.device.script({FakeReply::withStatus(0xFE), FakeReply::withStatus(0xFF)});
    std::array<uint8_t, kInfoSize> info;
    info.fill(0xAA);
    EXPECT_EQ(link.ReadInfo(info.data()), kResultRefusedOther);
    EXPECT_TRUE(std::all_of(info.begin(), info.end(), [](uint8_t b) { return b == 0xAA; }));

    uint8_t record[8];
    std::fill(std::begin(record), std::end(record), 0xAA);
    EXPECT_EQ(link.ReadRecord(record, 8, 0), kResultRefused);
    EXPECT_TRUE(
        std::all_of(std::begin(record), std::end(record), [](uint8_t b) { return b == 0xAA; }));
}

TEST_F(DeviceLinkTest, RefusedChunkStopsTheTransferAndKeepsWhatCameBefore) {
    rig.device.script({FakeReply::serve(), FakeReply::serve(), FakeReply::withStatus(0xFF)});
    std::vector<uint8_t> block(512, 0xAA);
    EXPECT_EQ(link.ReadBlock(block.data()), kResultRefused);
    EXPECT_EQ(rig.device.requestCount(), 3u);
    const auto before = pattern(7, 0, 112);
    EXPECT_TRUE(std::equal(before.begin(), before.end(), block.begin()));
    EXPECT_TRUE(std::all_of(block.begin() + 112, block.end(), [](uint8_t b) { return b == 0xAA; }));

    rig.device.clearRequests();
    rig.device.script({FakeReply::serve(), FakeReply::withStatus(0xFE)});
    std::vector<uint8_t> data(512, 0x11);
    EXPECT_EQ(link.WriteBank(data.data(), 512, 0), kResultRefusedOther);
    EXPECT_EQ(rig.device.requestCount(), 2u);
}

TEST_F(DeviceLinkTest, ShortReplyReadsAsZerosNotAsAnEarlierReply) {
    uint8_t record[8];
    ASSERT_EQ(link.ReadRecord(record, 8, 0), kResultDone);
    // Only the report id and a partial header arrive.
    rig.device.script({FakeReply::raw({0x04, 0x00, 0x00, 0x05})});
    std::fill(std::begin(record), std::end(record), 0xAA);
    EXPECT_EQ(link.ReadRecord(record, 8, 0), kResultDone);
    EXPECT_TRUE(
        std::all_of(std::begin(record), std::end(record), [](uint8_t b) { return b == 0; }));
}

TEST_F(DeviceLinkTest, TransactPadsTheRequestToSixtyFourBytes) {
    const uint8_t request[] = {0x04, 0xAB, 0xCD, 0x05, 0x02};
    Report reply{};
    size_t count = 0;
    ASSERT_EQ(link.transact(request, sizeof request, reply.data(), reply.size(), &count),
              kResultDone);
    EXPECT_EQ(count, kReportSize);
    const auto requests = sent();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].size, kReportSize);
    EXPECT_EQ(requests[0].report, golden({0x04, 0xAB, 0xCD, 0x05, 0x02}));
    EXPECT_EQ(reply[3], 0x05);  // the fake's echo
}

TEST(DeviceLinkOffline, EveryCommandOnALinkNotConnectedReturnsZeroAndSendsNothing) {
    FakeLinkRig rig;
    ASSERT_TRUE(rig.connect());
    // The detection thread clears the flag on removal; the handle may stay open.
    rig.link->setConnected(false);
    DeviceLink& link = *rig.link;
    std::vector<uint8_t> buffer(512, 0xAA);
    const std::vector<std::pair<const char*, std::function<int()>>> commands = {
        {"BeginSession", [&] { return link.BeginSession(); }},
        {"EndSession", [&] { return link.EndSession(); }},
        {"ReadInfo", [&] { return link.ReadInfo(buffer.data()); }},
        {"ReadRecord", [&] { return link.ReadRecord(buffer.data(), 21, 0); }},
        {"WriteRecord", [&] { return link.WriteRecord(buffer.data(), 21, 0); }},
        {"ReadBlock", [&] { return link.ReadBlock(buffer.data()); }},
        {"ReadBank", [&] { return link.ReadBank(buffer.data(), 0); }},
        {"WriteBank", [&] { return link.WriteBank(buffer.data(), 126, 0); }},
        {"ResetDevice", [&] { return link.ResetDevice(); }},
        {"StreamFrame", [&] { return link.StreamFrame(buffer.data(), 200); }},
        {"WriteMacroData", [&] { return link.WriteMacroData(buffer.data(), 200); }},
        {"WriteCursorData", [&] { return link.WriteCursorData(buffer.data(), 200); }},
        {"transact", [&] { return link.transact(buffer.data(), 64, buffer.data() + 64, 64); }},
    };
    for (const auto& [name, run] : commands) {
        EXPECT_EQ(run(), kResultNoDevice) << name;
    }
    EXPECT_EQ(rig.device.requestCount(), 0u);
    EXPECT_EQ(buffer, std::vector<uint8_t>(512, 0xAA));
}

}  // namespace
}  // namespace rxt
