// A virtual device as the bus sees it: its interfaces and descriptors, the
// faults it can be told to show, its notifications and its log.

#include "sim/virtual_device.h"

#include <gtest/gtest.h>

#include <set>

#include "device/hid_descriptor.h"
#include "device/hid_path.h"
#include "sim/report_descriptors.h"

namespace rxt::sim {
namespace {

std::vector<uint8_t> request(Command code, uint8_t length, uint16_t offset,
                             std::vector<uint8_t> data = {}) {
    const Report r = buildCommandReport(static_cast<uint8_t>(code), length, offset, data);
    return {r.begin(), r.end()};
}

size_t configIndex(const VirtualDevice& d) {
    for (size_t i = 0; i < d.interfaces().size(); ++i) {
        if (d.interfaces()[i].commands) {
            return i;
        }
    }
    ADD_FAILURE() << "no configuration interface";
    return 0;
}

HidDescriptorInfo parse(const SimInterface& itf) {
    HidDescriptorInfo info;
    std::string error;
    EXPECT_TRUE(parseReportDescriptor(itf.descriptor, info, &error)) << itf.path << ": " << error;
    return info;
}

const HidCollectionInfo* findCollection(const HidDescriptorInfo& info, uint16_t page,
                                        uint16_t usage) {
    for (const auto& c : info.collections) {
        if (c.usagePage == page && c.usage == usage) {
            return &c;
        }
    }
    return nullptr;
}

// The first usage of the first input data item, as the host's listener reads it.
uint16_t firstUsage(const HidCollectionInfo& c, std::vector<uint8_t> report, bool numbered) {
    if (!numbered) {
        report.insert(report.begin(), 0);
    }
    auto items = makeDataItems(c, HidReportType::Input);
    EXPECT_FALSE(items.empty());
    EXPECT_TRUE(unpackReport(c, HidReportType::Input, report, items));
    return items.empty() || items[0].usages.empty() ? 0 : items[0].usages[0];
}

TEST(VirtualDeviceInterfaces, DescriptorsParseToTheExpectedCollections) {
    VirtualDevice mouse(DeviceKind::Mouse);
    mouse.plug(0x2002, 1);
    ASSERT_EQ(mouse.interfaces().size(), 3u);
    const auto boot = parse(mouse.interfaces()[0]);
    ASSERT_EQ(boot.collections.size(), 1u);
    EXPECT_EQ(boot.collections[0].usagePage, 0x01);
    EXPECT_EQ(boot.collections[0].usage, 0x02);

    const auto config = parse(mouse.interfaces()[1]);
    ASSERT_EQ(config.collections.size(), 1u);
    const HidCollectionInfo& cfg = config.collections[0];
    EXPECT_EQ(cfg.usagePage, kConfigUsagePage);
    EXPECT_EQ(cfg.usage, kConfigUsage);
    EXPECT_EQ(cfg.of(HidReportType::Input).length, 64);
    EXPECT_EQ(cfg.of(HidReportType::Output).length, 64);
    EXPECT_TRUE(cfg.ownsInputReport(kCommandReportId));

    const auto consumer = parse(mouse.interfaces()[2]);
    ASSERT_EQ(consumer.collections.size(), 1u);
    EXPECT_EQ(consumer.collections[0].usagePage, kConsumerUsagePage);
    EXPECT_EQ(consumer.collections[0].usage, kConsumerUsage);
    EXPECT_FALSE(consumer.collections[0].numbered);
    EXPECT_EQ(consumer.collections[0].of(HidReportType::Input).length, 3);

    VirtualDevice kb(DeviceKind::Keyboard);
    kb.plug(0x0800, 2);
    ASSERT_EQ(kb.interfaces().size(), 2u);
    const auto bootKb = parse(kb.interfaces()[0]);
    ASSERT_EQ(bootKb.collections.size(), 1u);
    EXPECT_EQ(bootKb.collections[0].usage, 0x06);
    EXPECT_EQ(bootKb.collections[0].of(HidReportType::Output).length, 2) << "the LED report";

    // Configuration, consumer and system control share one interface.
    const auto combo = parse(kb.interfaces()[1]);
    ASSERT_EQ(combo.collections.size(), 3u);
    const auto* kbCfg = findCollection(combo, kConfigUsagePage, kConfigUsage);
    const auto* kbConsumer = findCollection(combo, kConsumerUsagePage, kConsumerUsage);
    ASSERT_NE(kbCfg, nullptr);
    ASSERT_NE(kbConsumer, nullptr);
    EXPECT_NE(findCollection(combo, 0x01, 0x80), nullptr);
    EXPECT_EQ(kbCfg->of(HidReportType::Output).length, 64);
    EXPECT_EQ(kbConsumer->of(HidReportType::Output).length, 0);
    EXPECT_TRUE(kbConsumer->ownsInputReport(kConsumerReportId));
    EXPECT_FALSE(kbConsumer->ownsInputReport(kCommandReportId));

    VirtualDevice pad(DeviceKind::Mousepad);
    pad.plug(0x5004, 3);
    ASSERT_EQ(pad.interfaces().size(), 1u);
    EXPECT_EQ(parse(pad.interfaces()[0]).collections[0].usagePage, kConfigUsagePage);
}

TEST(VirtualDeviceInterfaces, PathsAreUniquePerPlugAndCarryIdsWhereWindowsStyle) {
    VirtualDevice kb(DeviceKind::Keyboard);
    kb.plug(0x7200, 7);
    std::set<std::string> first;
    for (const auto& itf : kb.interfaces()) {
        first.insert(itf.path);
        EXPECT_EQ(vendorFromPath(itf.path), 0x0C45);
        EXPECT_EQ(productFromPath(itf.path), 0x7200);
        EXPECT_EQ(interfaceFromPath(itf.path), itf.number);
        EXPECT_EQ(itf.path.find_first_of("\t\n"), std::string::npos);
    }
    EXPECT_EQ(first.size(), kb.interfaces().size());
    kb.unplug();
    EXPECT_TRUE(kb.interfaces().empty());
    kb.plug(0x7200, 8);
    for (const auto& itf : kb.interfaces()) {
        EXPECT_EQ(first.count(itf.path), 0u) << "a new plug gets new paths";
    }
}

TEST(VirtualDeviceNotifications, PressThenReleaseDecodeToTheUsage) {
    VirtualDevice mouse(DeviceKind::Mouse);
    mouse.plug(0x2002, 1);
    const auto reports = mouse.notification(kNotifyRecordChanged);
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[0].interfaceIndex, 2u);
    EXPECT_EQ(reports[0].bytes, (std::vector<uint8_t>{0x01, 0x04}));
    EXPECT_EQ(reports[1].bytes, (std::vector<uint8_t>{0x00, 0x00}));
    const auto info = parse(mouse.interfaces()[2]);
    const auto& consumer = info.collections[0];
    EXPECT_EQ(firstUsage(consumer, reports[0].bytes, false), 1025);
    EXPECT_EQ(firstUsage(consumer, reports[1].bytes, false), 0) << "release: nothing pressed";

    VirtualDevice kb(DeviceKind::Keyboard);
    kb.plug(0x6553, 2);
    const auto kbReports = kb.notification(kNotifyProfileChanged);
    ASSERT_EQ(kbReports.size(), 2u);
    EXPECT_EQ(kbReports[0].interfaceIndex, 1u);
    EXPECT_EQ(kbReports[0].bytes, (std::vector<uint8_t>{kConsumerReportId, 0x02, 0x04}));
    const auto combo = parse(kb.interfaces()[1]);
    const auto* kbConsumer = findCollection(combo, kConsumerUsagePage, kConsumerUsage);
    ASSERT_NE(kbConsumer, nullptr);
    EXPECT_EQ(firstUsage(*kbConsumer, kbReports[0].bytes, true), 1026);
    EXPECT_EQ(firstUsage(*kbConsumer, kbReports[1].bytes, true), 0);

    VirtualDevice pad(DeviceKind::Mousepad);
    pad.plug(0x5004, 3);
    EXPECT_TRUE(pad.notification(kNotifyReactiveFlash).empty());
}

class VirtualDeviceFaults : public ::testing::Test {
  protected:
    void SetUp() override { mouse.plug(0x2002, 1); }

    DeviceReaction send(std::vector<uint8_t> report) {
        return mouse.receive(configIndex(mouse), report, 0.0);
    }
    static uint8_t statusOf(const DeviceReaction& r) {
        return r.reports.empty() ? 0xAA : r.reports[0].bytes[7];
    }

    VirtualDevice mouse{DeviceKind::Mouse};
};

TEST_F(VirtualDeviceFaults, DroppedRepliesStillTakeEffect) {
    mouse.faults().dropReplies(2);
    EXPECT_TRUE(send(request(Command::WriteRecord, 1, 0, {2})).reports.empty());
    EXPECT_TRUE(send(request(Command::ReadRecord, 1, 0)).reports.empty());
    const auto third = send(request(Command::ReadRecord, 1, 0));
    ASSERT_EQ(third.reports.size(), 1u);
    EXPECT_EQ(third.reports[0].bytes[8], 2) << "the unanswered write was stored";
    EXPECT_EQ(mouse.faults().pendingDrops(), 0u);
}

TEST_F(VirtualDeviceFaults, RefusalHitsOnlyItsCommandAndRunsOut) {
    mouse.faults().refuseCommand(static_cast<uint8_t>(Command::WriteRecord), kStatusRefusedOther,
                                 2);
    const auto before = mouse.firmware().memory().records;
    EXPECT_EQ(statusOf(send(request(Command::WriteRecord, 1, 19, {5}))), kStatusRefusedOther);
    EXPECT_EQ(statusOf(send(request(Command::ReadRecord, 1, 19))), kStatusOk);
    EXPECT_EQ(statusOf(send(request(Command::WriteRecord, 1, 19, {5}))), kStatusRefusedOther);
    EXPECT_EQ(mouse.firmware().memory().records, before);
    EXPECT_EQ(statusOf(send(request(Command::WriteRecord, 1, 19, {5}))), kStatusOk);
    EXPECT_EQ(mouse.firmware().memory().records[19], 5);
    EXPECT_EQ(mouse.firmware().counters().injected, 2u);
}

TEST_F(VirtualDeviceFaults, UnlimitedRefusalLastsUntilCleared) {
    mouse.faults().refuseCommand(static_cast<uint8_t>(Command::ReadInfo), kStatusRefused);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(statusOf(send(request(Command::ReadInfo, 33, 0))), kStatusRefused);
    }
    mouse.faults().clear();
    EXPECT_EQ(statusOf(send(request(Command::ReadInfo, 33, 0))), kStatusOk);
}

TEST_F(VirtualDeviceFaults, RefusalDoesNotMaskAFramingFault) {
    mouse.faults().refuseCommand(static_cast<uint8_t>(Command::ReadInfo), kStatusRefusedOther, 1);
    auto bad = request(Command::ReadInfo, 33, 0);
    bad[2] ^= 0x10;
    EXPECT_EQ(statusOf(send(bad)), kStatusRefused) << "the checksum fault is the device's answer";
    EXPECT_EQ(statusOf(send(request(Command::ReadInfo, 33, 0))), kStatusRefusedOther)
        << "the injected refusal is still pending";
}

TEST_F(VirtualDeviceFaults, DelayAndUnplugAfterAreReported) {
    mouse.faults().delayReplies(25);
    mouse.faults().unplugAfter(2);
    const auto first = send(request(Command::BeginSession, 0, 0));
    ASSERT_EQ(first.reports.size(), 1u);
    EXPECT_EQ(first.reports[0].delayMs, 25u);
    EXPECT_FALSE(first.unplug);
    const auto second = send(request(Command::ReadInfo, 33, 0));
    EXPECT_TRUE(second.unplug);
    EXPECT_EQ(second.reports.size(), 1u) << "the last request is still answered";
    EXPECT_FALSE(mouse.faults().pendingUnplug());
}

TEST(VirtualDeviceLog, RecordsEveryReportDecoded) {
    VirtualDevice kb(DeviceKind::Keyboard);
    kb.plug(0x6553, 1);
    kb.faults().dropReplies(1);
    kb.receive(1, request(Command::ReadBank, 56, 126), 10.5);
    auto bad = request(Command::WriteRecord, 2, 0, {0, 1});
    bad[1] ^= 1;
    kb.receive(1, bad, 11.0);
    kb.receive(0, std::vector<uint8_t>{0x02}, 12.0);  // Caps Lock LED on the boot interface
    kb.receive(1, std::vector<uint8_t>(10, 4), 13.0);

    const auto entries = kb.log().since(0, 100);
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0].seq, 0u);
    EXPECT_TRUE(entries[0].command);
    EXPECT_EQ(entries[0].code, static_cast<uint8_t>(Command::ReadBank));
    EXPECT_EQ(entries[0].offset, 126);
    EXPECT_EQ(entries[0].length, 56);
    EXPECT_EQ(entries[0].interfaceNumber, 1u);
    EXPECT_DOUBLE_EQ(entries[0].timeMs, 10.5);
    EXPECT_NE(entries[0].outcome.find("dropped"), std::string::npos);
    EXPECT_EQ(formatLogEntry(entries[0]),
              "#0 t=10.500 if=1 ReadBank(8) off=126 len=56 -> 00, reply dropped");
    EXPECT_EQ(entries[1].outcome, "ff bad checksum");
    EXPECT_EQ(entries[2].outcome, "ignored");
    EXPECT_EQ(entries[2].interfaceNumber, 0u);
    EXPECT_FALSE(entries[3].command);
    EXPECT_NE(entries[3].outcome.find("malformed"), std::string::npos);

    EXPECT_EQ(kb.log().since(3, 100).size(), 1u);
    EXPECT_EQ(kb.log().since(0, 2).size(), 2u);
}

TEST(VirtualDeviceLog, KeepsTheNewestWhenFull) {
    RequestLog log(3);
    for (int i = 0; i < 5; ++i) {
        log.add(LogEntry{});
    }
    const auto entries = log.since(0, 10);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries.front().seq, 2u);
    EXPECT_EQ(entries.back().seq, 4u);
    EXPECT_EQ(log.nextSeq(), 5u);
}

}  // namespace
}  // namespace rxt::sim
