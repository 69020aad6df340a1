// DeviceLink against the simulator over the real socket: the program's
// command exchanges, end to end, with the device's memory checked directly.

#include <gtest/gtest.h>

#include <chrono>
#include <numeric>

#include "device/device_link.h"
#include "device/interface_finder.h"
#include "sim/virtual_bus.h"

namespace rxt::sim {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

std::vector<uint8_t> pattern(size_t n, uint8_t seed) {
    std::vector<uint8_t> v(n);
    for (size_t i = 0; i < n; ++i) {
        v[i] = static_cast<uint8_t>(seed + 3 * i);
    }
    return v;
}

class DeviceLinkE2E : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(bus.ok()) << bus.error();
        for (DeviceKind k : kAllDeviceKinds) {
            auto& link = links[static_cast<size_t>(k)];
            link = std::make_unique<DeviceLink>(bus.backend());
            const DeviceIdentity& id = identityOf(k);
            link->setTargets(id.vendor, id.product, id.usage, id.usagePage);
            const FindReport found = findAndOpen(link->device(), configInterfaceMatch(k), true);
            ASSERT_EQ(found.result, FindResult::Found) << kindName(k) << " " << found.openError;
            link->setConnected(true);
        }
    }

    DeviceLink& link(DeviceKind k) { return *links[static_cast<size_t>(k)]; }
    Simulator& sim() { return bus.simulator(); }
    std::vector<uint8_t> mem(DeviceKind k, MemoryArea a, size_t offset, size_t length) {
        return sim().dump(k, a, offset, length).value_or(std::vector<uint8_t>{});
    }
    size_t count(DeviceKind k, Command code) {
        size_t n = 0;
        for (const LogEntry& e : sim().log(k)) {
            n += e.command && e.code == static_cast<uint8_t>(code);
        }
        return n;
    }

    VirtualBus bus{VirtualBusOptions{true, 0, false, false}};
    std::array<std::unique_ptr<DeviceLink>, 3> links;
};

TEST_F(DeviceLinkE2E, MouseReadAllMatchesTheDeviceMemory) {
    DeviceLink& m = link(DeviceKind::Mouse);
    std::array<uint8_t, kInfoSize> info{};
    std::vector<uint8_t> table(512);
    EXPECT_EQ(m.BeginSession(), kResultDone);
    EXPECT_EQ(m.ReadInfo(info.data()), kResultDone);
    EXPECT_EQ(m.ReadBlock(table.data()), kResultDone);
    for (int b = 0; b <= 4; ++b) {
        std::vector<uint8_t> bank(512);
        EXPECT_EQ(m.ReadBank(bank.data(), b), kResultDone) << "bank " << b;
        EXPECT_EQ(bank, mem(DeviceKind::Mouse, MemoryArea::Banks, b * 126u, 512)) << "bank " << b;
    }
    EXPECT_EQ(m.EndSession(), kResultDone);
    EXPECT_EQ(std::vector<uint8_t>(info.begin(), info.end()),
              mem(DeviceKind::Mouse, MemoryArea::Info, 0, kInfoSize));
    EXPECT_EQ(table, mem(DeviceKind::Mouse, MemoryArea::KeyTable, 0, 512));
    EXPECT_EQ(count(DeviceKind::Mouse, Command::ReadBlock), 10u) << "9 chunks of 56 and one of 8";
}

TEST_F(DeviceLinkE2E, WritesReadBackAtTheirBankOffsets) {
    DeviceLink& m = link(DeviceKind::Mouse);
    const auto bank3 = pattern(126, 0x40);
    EXPECT_EQ(m.WriteBank(bank3.data(), 126, 3), kResultDone);
    EXPECT_EQ(mem(DeviceKind::Mouse, MemoryArea::Banks, 378, 126), bank3);
    std::vector<uint8_t> back(512);
    EXPECT_EQ(m.ReadBank(back.data(), 3), kResultDone);
    EXPECT_TRUE(std::equal(bank3.begin(), bank3.end(), back.begin()));
    EXPECT_EQ(m.ReadBank(back.data(), 5), kResultBadBank);

    // The keyboard's bank 0 with its key count as block size.
    DeviceLink& k = link(DeviceKind::Keyboard);
    ASSERT_TRUE(k.setBlockSize(378));
    const auto keys = pattern(378, 0x11);
    EXPECT_EQ(k.WriteBank(keys.data(), 378, 0), kResultDone);
    std::vector<uint8_t> kbBack(378);
    EXPECT_EQ(k.ReadBank(kbBack.data(), 0), kResultDone);
    EXPECT_EQ(kbBack, keys);

    // Records: the live record and the profile index.
    const auto rec = pattern(56, 0);
    EXPECT_EQ(m.WriteRecord(rec.data(), 56, 0), kResultDone);
    std::vector<uint8_t> recBack(56);
    EXPECT_EQ(m.ReadRecord(recBack.data(), 56, 0), kResultDone);
    EXPECT_EQ(recBack, rec);
}

TEST_F(DeviceLinkE2E, RefusalsComeBackAsResultCodes) {
    DeviceLink& m = link(DeviceKind::Mouse);
    const size_t capacity = mem(DeviceKind::Mouse, MemoryArea::Info, 6, 1).at(0) * 128u;
    const auto block = pattern(capacity + 1, 1);
    EXPECT_EQ(m.WriteMacroData(block.data(), static_cast<uint16_t>(capacity)), kResultDone);
    EXPECT_EQ(m.WriteMacroData(block.data(), static_cast<uint16_t>(capacity + 1)), kResultRefused);

    uint8_t index = 9;
    EXPECT_EQ(m.WriteRecord(&index, 1, 0), kResultRefused) << "only five profiles";

    ASSERT_TRUE(sim().refuseCommand(DeviceKind::Mouse, 3, 0xFE, 1));
    std::array<uint8_t, kInfoSize> info{};
    info.fill(0x77);
    EXPECT_EQ(m.ReadInfo(info.data()), kResultRefusedOther);
    EXPECT_EQ(info[0], 0x77) << "a refused read leaves the record as it was";

    DeviceLink& pad = link(DeviceKind::Mousepad);
    std::vector<uint8_t> table(512);
    EXPECT_EQ(pad.ReadBlock(table.data()), kResultRefusedOther);
}

TEST_F(DeviceLinkE2E, ADroppedReplyIsRecoveredByTheRetry) {
    ASSERT_TRUE(sim().dropReplies(DeviceKind::Mousepad, 1));
    std::array<uint8_t, kInfoSize> info{};
    EXPECT_EQ(link(DeviceKind::Mousepad).ReadInfo(info.data()), kResultDone);
    EXPECT_EQ(std::vector<uint8_t>(info.begin(), info.end()),
              mem(DeviceKind::Mousepad, MemoryArea::Info, 0, kInfoSize));
    EXPECT_EQ(count(DeviceKind::Mousepad, Command::ReadInfo), 2u);

    // Four lost replies in a row exhaust the attempts.
    ASSERT_TRUE(sim().dropReplies(DeviceKind::Mousepad, 4));
    const auto start = Clock::now();
    EXPECT_EQ(link(DeviceKind::Mousepad).ReadInfo(info.data()), kResultNoDevice);
    EXPECT_LT(Clock::now() - start, 10s);
    EXPECT_EQ(count(DeviceKind::Mousepad, Command::ReadInfo), 6u);
}

TEST_F(DeviceLinkE2E, ResetRestoresTheFactoryContents) {
    DeviceLink& m = link(DeviceKind::Mouse);
    const auto before = mem(DeviceKind::Mouse, MemoryArea::Banks, 0, 126);
    const auto junk = pattern(126, 0x99);
    ASSERT_EQ(m.WriteBank(junk.data(), 126, 0), kResultDone);
    ASSERT_EQ(mem(DeviceKind::Mouse, MemoryArea::Banks, 0, 126), junk);
    EXPECT_EQ(m.ResetDevice(), kResultDone);
    EXPECT_EQ(mem(DeviceKind::Mouse, MemoryArea::Banks, 0, 126), before);
}

TEST_F(DeviceLinkE2E, KeyboardFrameArrivesWhole) {
    DeviceLink& k = link(DeviceKind::Keyboard);
    const auto frame = pattern(378, 5);
    EXPECT_EQ(k.StreamFrame(frame.data(), 378), kResultDone);
    EXPECT_EQ(mem(DeviceKind::Keyboard, MemoryArea::Frame, 0, 378), frame);
    const FrameStats s = sim().frameStats(DeviceKind::Keyboard);
    EXPECT_EQ(s.frames, 1u);
    EXPECT_EQ(s.chunks, 7u);
}

TEST_F(DeviceLinkE2E, UnplugDuringAChunkedTransferFailsWithinOneTimeOut) {
    DeviceLink& k = link(DeviceKind::Keyboard);
    ASSERT_TRUE(sim().unplugAfter(DeviceKind::Keyboard, 3));
    std::vector<uint8_t> table(512, 0xEE);
    const auto start = Clock::now();
    const int result = k.ReadBlock(table.data());
    const auto elapsed = Clock::now() - start;
    EXPECT_NE(result, kResultDone);
    EXPECT_LT(elapsed, std::chrono::milliseconds(kWriteTimeoutMs + kReadTimeoutMs));
    // The chunks that came before the unplug stay.
    EXPECT_EQ(std::vector<uint8_t>(table.begin(), table.begin() + 168),
              mem(DeviceKind::Keyboard, MemoryArea::KeyTable, 0, 168));
    EXPECT_EQ(table[168], 0xEE);
    EXPECT_FALSE(sim().isPlugged(DeviceKind::Keyboard));
}

TEST_F(DeviceLinkE2E, NotificationsReachTheConsumerCollectionOnly) {
    // The keyboard's consumer collection shares its interface with the
    // configuration collection that the link has open.
    HidDevice listener(bus.backend());
    ASSERT_EQ(findAndOpen(listener, consumerInterfaceMatch(DeviceKind::Keyboard), false).result,
              FindResult::Found);
    ASSERT_TRUE(sim().switchProfile(DeviceKind::Keyboard, 1));

    std::vector<uint8_t> report(listener.caps().inputLength);
    ASSERT_TRUE(listener.read(report.size(), report.data(), 3000));
    std::vector<HidDataItem>& items = listener.items(HidReportType::Input);
    ASSERT_TRUE(listener.unpackReport(items, HidReportType::Input, report.data(), report.size()));
    ASSERT_FALSE(items.empty());
    EXPECT_EQ(items[0].usages.at(0), 1026);

    // The link's next exchange is not confused by the notification.
    uint8_t index = 0xFF;
    EXPECT_EQ(link(DeviceKind::Keyboard).ReadRecord(&index, 1, 0), kResultDone);
    EXPECT_EQ(index, 1);
}

TEST_F(DeviceLinkE2E, MouseDpiButtonNotifiesOnItsUnnumberedInterface) {
    HidDevice listener(bus.backend());
    ASSERT_EQ(findAndOpen(listener, consumerInterfaceMatch(DeviceKind::Mouse), false).result,
              FindResult::Found);
    ASSERT_TRUE(sim().pressDpiButton(4));

    std::vector<uint8_t> report(listener.caps().inputLength);
    ASSERT_TRUE(listener.read(report.size(), report.data(), 3000));
    std::vector<HidDataItem>& items = listener.items(HidReportType::Input);
    ASSERT_TRUE(listener.unpackReport(items, HidReportType::Input, report.data(), report.size()));
    ASSERT_FALSE(items.empty());
    EXPECT_EQ(items[0].usages.at(0), 1025);
    ASSERT_TRUE(listener.read(report.size(), report.data(), 3000));
    ASSERT_TRUE(listener.unpackReport(items, HidReportType::Input, report.data(), report.size()));
    EXPECT_EQ(items[0].usages.at(0), 0) << "the release";

    std::vector<uint8_t> live(56);
    EXPECT_EQ(link(DeviceKind::Mouse).ReadRecord(live.data(), 56, 0), kResultDone);
    EXPECT_EQ(live[19], 4);
}

}  // namespace
}  // namespace rxt::sim
