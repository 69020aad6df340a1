// The read-all and refresh sequences against a device that serves its
// memory through the real transport and link.

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "state/read_sequences.h"
#include "support/fake_link_rig.h"
#include "support/recording_ui.h"

namespace rxt {
namespace {

using test::FakeLinkRig;
using test::FakeReply;
using test::RecordingUi;

constexpr uint8_t kInfo = 3;
constexpr uint8_t kRecords = 5;
constexpr uint8_t kBlock = 7;
constexpr uint8_t kBanks = 8;

template <size_t N>
std::vector<uint8_t> bytesOf(const ByteImage<N>& image, size_t offset = 0, size_t n = N) {
    std::vector<uint8_t> out(n);
    image.copyOut(offset, out);
    return out;
}

std::vector<uint8_t> codesSent(const test::FakeCommandDevice& device) {
    std::vector<uint8_t> codes;
    for (const auto& r : device.requests()) {
        codes.push_back(r.code);
    }
    return codes;
}

std::vector<uint8_t> ramp(size_t n, uint8_t start) {
    std::vector<uint8_t> v(n);
    std::iota(v.begin(), v.end(), start);
    return v;
}

TEST(MouseReadAll, FillsEveryImageAsTheDeviceHoldsIt) {
    FakeLinkRig rig(DeviceKind::Mouse);
    rig.device.fillPattern();
    ASSERT_TRUE(rig.connect());
    DeviceImages images(DeviceKind::Mouse);
    // Record 0 as a profile file left it: the current record comes from it.
    std::vector<uint8_t> record0 = ramp(kRecordStride, 100);
    images.setRecord(0, record0);
    RecordingUi ui;

    EXPECT_TRUE(readAllMouse(*rig.link, images, ui).ok());

    EXPECT_EQ(bytesOf(images.info), rig.device.memory(kInfo, 0, kInfoRecordSize));
    EXPECT_EQ(bytesOf(images.defaultKeys), rig.device.memory(kBlock, 0, kKeyTableSize));
    for (size_t b = 0; b < kKeyBankCount; ++b) {
        EXPECT_EQ(bytesOf(images.banks[b]), rig.device.memory(kBanks, b * 126, kKeyTableSize))
            << "bank " << b;
    }
    std::vector<uint8_t> expected(record0.begin(), record0.begin() + kMouseCurrentRecordSize);
    expected[0] = 0;
    EXPECT_EQ(bytesOf(images.current), expected);

    const std::vector<uint8_t> codes = codesSent(rig.device);
    ASSERT_FALSE(codes.empty());
    EXPECT_EQ(codes.front(), 1);
    EXPECT_EQ(codes.back(), 2);
    // 1 + 1 + 10 block chunks + 5 x 10 bank chunks + 1
    EXPECT_EQ(codes.size(), 63u);
    EXPECT_EQ(ui.calls(), std::vector<std::string>{"save mouse device"});
}

TEST(MouseReadAll, ARefusedChunkKeepsWhatArrivedBeforeIt) {
    FakeLinkRig rig(DeviceKind::Mouse);
    rig.device.fillPattern();
    ASSERT_TRUE(rig.connect());
    DeviceImages images(DeviceKind::Mouse);
    images.defaultKeys.fill(0xEE);
    // BeginSession, ReadInfo, two block chunks, then a refusal.
    rig.device.script({FakeReply::serve(), FakeReply::serve(), FakeReply::serve(),
                       FakeReply::serve(), FakeReply::withStatus(0xFF)});
    RecordingUi ui;

    EXPECT_EQ(readAllMouse(*rig.link, images, ui).firstFailure, kResultRefused);

    EXPECT_EQ(bytesOf(images.defaultKeys, 0, 112), rig.device.memory(kBlock, 0, 112));
    EXPECT_EQ(bytesOf(images.defaultKeys, 112, 400), std::vector<uint8_t>(400, 0xEE));
    // The banks that followed were still read.
    EXPECT_EQ(bytesOf(images.banks[4]), rig.device.memory(kBanks, 4 * 126, kKeyTableSize));
}

TEST(ReadAll, AnAbsentDeviceKeepsTheKeyTablesAndReloadsTheCurrentRecord) {
    FakeLinkRig rig(DeviceKind::Mouse);  // never connected
    DeviceImages images(DeviceKind::Mouse);
    images.defaultKeys.fill(0x11);
    images.banks[2].fill(0x22);
    images.setRecord(0, ramp(kRecordStride, 1));
    images.current.fill(0x77);
    RecordingUi ui;

    EXPECT_EQ(readAllMouse(*rig.link, images, ui).firstFailure, kResultNoDevice);

    EXPECT_EQ(rig.device.requestCount(), 0u);
    EXPECT_EQ(bytesOf(images.defaultKeys), std::vector<uint8_t>(kKeyTableSize, 0x11));
    EXPECT_EQ(bytesOf(images.banks[2]), std::vector<uint8_t>(kKeyTableSize, 0x22));
    EXPECT_EQ(images.current.get(0), 0);
    EXPECT_EQ(images.current.get(5), 6);  // ramp from 1
}

class KeyboardReadAll : public ::testing::Test {
  protected:
    void SetUp() override {
        rig.device.fillPattern();
        ASSERT_TRUE(rig.connect());
    }
    void setKeyCount(uint8_t count) {
        std::vector<uint8_t> info = rig.device.memory(kInfo, 0, kInfoRecordSize);
        info[info::kKeyCount] = count;
        rig.device.setMemory(kInfo, 0, info);
    }
    FakeLinkRig rig{DeviceKind::Keyboard};
    DeviceImages images{DeviceKind::Keyboard};
    RecordingUi ui;
};

TEST_F(KeyboardReadAll, With170KeysReadsA510ByteTable) {
    setKeyCount(170);
    EXPECT_TRUE(readAllKeyboard(*rig.link, images, ui).ok());
    EXPECT_EQ(rig.link->blockSize(), 510);
    EXPECT_EQ(bytesOf(images.defaultKeys, 0, 510), rig.device.memory(kBlock, 0, 510));
    EXPECT_EQ(bytesOf(images.defaultKeys, 510, 2), std::vector<uint8_t>(2, 0));
    EXPECT_EQ(bytesOf(images.banks[0], 0, 510), rig.device.memory(kBanks, 0, 510));
    // Only bank 0 is read.
    EXPECT_EQ(bytesOf(images.banks[1]), std::vector<uint8_t>(kKeyTableSize, 0));
    const auto requests = rig.device.requests();
    ASSERT_GE(requests.size(), 2u);
    EXPECT_EQ(requests.back().code, 2);
    // The last block chunk carries the 6 bytes past 9 x 56.
    size_t lastBlock = 0;
    for (const auto& r : requests) {
        if (r.code == kBlock) {
            lastBlock = r.length;
        }
    }
    EXPECT_EQ(lastBlock, 6u);
    EXPECT_EQ(ui.calls(), (std::vector<std::string>{"refresh keyboard keys", "save keyboard key",
                                                    "save keyboard device"}));
}

TEST_F(KeyboardReadAll, With171KeysStopsWithTheMessageAndSendsNothingMore) {
    setKeyCount(171);
    const ReadResult result = readAllKeyboard(*rig.link, images, ui);
    EXPECT_FALSE(result.completed);
    EXPECT_EQ(result.firstFailure, kResultDone);
    EXPECT_EQ(codesSent(rig.device), (std::vector<uint8_t>{1, 3}));
    EXPECT_EQ(rig.link->blockSize(), kMaxBlockSize);
    EXPECT_EQ(ui.calls(), std::vector<std::string>{"message message_text_11"});
}

class MousepadReads : public ::testing::Test {
  protected:
    void SetUp() override {
        for (size_t i = 0; i < kRecordCount; ++i) {
            rig.device.setMemory(kRecords, i * kRecordStride,
                                 ramp(kRecordStride, static_cast<uint8_t>(10 * (i + 1))));
        }
        ASSERT_TRUE(rig.connect());
    }
    void setDeviceIndex(uint8_t index) {
        const uint8_t b[1] = {index};
        rig.device.setMemory(kRecords, 0, b);
    }
    FakeLinkRig rig{DeviceKind::Mousepad};
    DeviceImages images{DeviceKind::Mousepad};
    RecordingUi ui;
};

TEST_F(MousepadReads, ReadAllTakesTheDevicesCurrentRecord) {
    setDeviceIndex(3);
    readAllMousepad(*rig.link, images, ui);

    for (size_t i = 0; i < kRecordCount; ++i) {
        EXPECT_EQ(bytesOf(images.records, i * kRecordStride, kRecordTransferSize),
                  rig.device.memory(kRecords, i * kRecordStride, kRecordTransferSize));
    }
    std::vector<uint8_t> expected = rig.device.memory(kRecords, 3 * kRecordStride, 21);
    expected[0] = 3;
    EXPECT_EQ(bytesOf(images.current, 0, 21), expected);
    // The mouse-sized tail of the current record is not the mousepad's.
    EXPECT_EQ(bytesOf(images.current, 21, 31), std::vector<uint8_t>(31, 0));
    EXPECT_EQ(ui.calls(), std::vector<std::string>{"save mousepad lighting"});
}

TEST_F(MousepadReads, AnIndexPastTheTableIsTakenAsRecordZero) {
    setDeviceIndex(7);
    readAllMousepad(*rig.link, images, ui);
    std::vector<uint8_t> expected = rig.device.memory(kRecords, 0, 21);
    expected[0] = 0;
    EXPECT_EQ(bytesOf(images.current, 0, 21), expected);
}

TEST_F(MousepadReads, RefreshStoresTheEditedRecordAndReadsTheCurrentOne) {
    images.current.fill(0);
    images.current.set(0, 1);
    images.current.set(rec::kLightMode, 0x42);
    setDeviceIndex(2);
    rig.device.clearRequests();

    refreshCurrentRecord(*rig.link, images, ui);

    EXPECT_EQ(images.records.get(1 * kRecordStride + rec::kLightMode), 0x42);
    const auto requests = rig.device.requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].length, 1);
    EXPECT_EQ(requests[1].offset, 2 * kRecordStride);
    EXPECT_EQ(requests[1].length, kRecordTransferSize);
    EXPECT_EQ(images.current.get(0), 2);
    EXPECT_EQ(images.current.get(5), rig.device.memory(kRecords, 2 * kRecordStride + 5, 1)[0]);
}

TEST(Refresh, MouseAndKeyboardCurrentRecordIndexIsZeroWhateverTheDeviceSays) {
    for (DeviceKind kind : {DeviceKind::Mouse, DeviceKind::Keyboard}) {
        FakeLinkRig rig(kind);
        std::vector<uint8_t> record = ramp(kRecordTransferSize, 50);
        record[0] = 4;  // the device's own index
        rig.device.setMemory(kRecords, 0, record);
        ASSERT_TRUE(rig.connect());
        DeviceImages images(kind);
        images.current.set(0, 3);
        images.current.set(rec::kBrightness, 0x99);
        RecordingUi ui;

        refreshCurrentRecord(*rig.link, images, ui);

        EXPECT_EQ(images.current.get(0), 0) << kindName(kind);
        EXPECT_EQ(images.records.get(0), 0) << kindName(kind);
        EXPECT_EQ(images.current.get(rec::kBrightness), record[rec::kBrightness]);
        // The record being edited went back to its own slot first.
        EXPECT_EQ(images.records.get(3 * kRecordStride + rec::kBrightness), 0x99);
        const auto requests = rig.device.requests();
        ASSERT_EQ(requests.size(), 2u);
        EXPECT_EQ(requests[0].length, 1);
        EXPECT_EQ(requests[1].length, kRecordTransferSize);
        EXPECT_EQ(requests[1].offset, 0);
    }
}

TEST(ExportDefaultKeyTable, WritesTheTableReadForTheAttachedVariant) {
    FakeLinkRig rig(DeviceKind::Keyboard);
    rig.device.fillPattern();
    ASSERT_TRUE(rig.connect());
    DeviceImageSet images;
    images.setKeyboardVariant(1);
    RecordingUi ui;

    exportDefaultKeyTable(*rig.link, images, ui);

    EXPECT_EQ(ui.calls(),
              (std::vector<std::string>{"default file 1 512", "refresh keyboard keys"}));
    EXPECT_EQ(ui.defaultFile(), rig.device.memory(kBlock, 0, kKeyTableSize));
    EXPECT_EQ(bytesOf(images.keyboard.defaultKeys), ui.defaultFile());
}

}  // namespace
}  // namespace rxt
