// How edits reach the devices: periodic write-back, immediate writes,
// on-device profile switch, same mode, restore defaults, upload framing and
// light frames.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <numeric>
#include <vector>

#include "platform/system_pointer.h"
#include "state/device_events.h"
#include "state/window_messages.h"
#include "state/write_back.h"
#include "support/fake_device_trio.h"
#include "support/recording_ui.h"

namespace rxt {
namespace {

using test::FakeDeviceTrio;
using test::ReceivedRequest;
using test::RecordingUi;

constexpr uint8_t kRecords = 5;

std::vector<uint8_t> ramp(size_t n, uint8_t start) {
    std::vector<uint8_t> v(n);
    std::iota(v.begin(), v.end(), start);
    return v;
}

class WriteBackTest : public ::testing::Test {
  protected:
    void connectAll() {
        for (DeviceKind kind : kAllDeviceKinds) {
            ASSERT_TRUE(trio.connect(kind));
        }
    }
    std::vector<ReceivedRequest> sent(DeviceKind kind) { return trio.device(kind).requests(); }

    FakeDeviceTrio trio;
    DeviceImageSet images;
    RecordingUi ui;
    WriteBack writeBack{*trio.links, images, ui};
};

TEST_F(WriteBackTest, ChangesBetweenTwoTicksGiveOneWriteOfThePaddedRecord) {
    connectAll();
    images.mouse.current.copyIn(0, ramp(kMouseCurrentRecordSize, 1));
    writeBack.markPending(DeviceKind::Mouse);
    images.mouse.current.set(rec::kDpiLevel1, 0x40);
    writeBack.markPending(DeviceKind::Mouse);
    writeBack.markPending(DeviceKind::Mouse);

    writeBack.tick();
    writeBack.tick();

    const auto requests = sent(DeviceKind::Mouse);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].code, 6);
    EXPECT_EQ(requests[0].offset, 0);
    EXPECT_EQ(requests[0].length, kRecordTransferSize);
    std::vector<uint8_t> expected = ramp(kMouseCurrentRecordSize, 1);
    expected[rec::kDpiLevel1] = 0x40;
    expected.resize(kRecordTransferSize, 0);
    EXPECT_EQ(requests[0].data, expected);
    EXPECT_FALSE(writeBack.pending(DeviceKind::Mouse));
}

TEST_F(WriteBackTest, TickWritesKeyboardThenMouseThenMousepadAndOnlyThePendingOnes) {
    connectAll();
    images.keyboard.current.fill(0xAB);
    for (DeviceKind kind : kAllDeviceKinds) {
        writeBack.markPending(kind);
    }
    writeBack.tick();

    const auto keyboard = sent(DeviceKind::Keyboard);
    const auto mouse = sent(DeviceKind::Mouse);
    const auto pad = sent(DeviceKind::Mousepad);
    ASSERT_EQ(keyboard.size(), 1u);
    ASSERT_EQ(mouse.size(), 1u);
    ASSERT_EQ(pad.size(), 1u);
    EXPECT_LE(keyboard[0].at, mouse[0].at);
    EXPECT_LE(mouse[0].at, pad[0].at);
    // 21 bytes of the keyboard record, then zeros, though the image holds more.
    EXPECT_EQ(keyboard[0].data[20], 0xAB);
    EXPECT_EQ(keyboard[0].data[21], 0);

    writeBack.markPending(DeviceKind::Mousepad);
    writeBack.tick();
    EXPECT_EQ(sent(DeviceKind::Keyboard).size(), 1u);
    EXPECT_EQ(sent(DeviceKind::Mousepad).size(), 2u);
}

TEST_F(WriteBackTest, AnEditWhileAbsentIsDroppedNotSentOnReturn) {
    writeBack.markPending(DeviceKind::Keyboard);
    writeBack.tick();
    EXPECT_FALSE(writeBack.pending(DeviceKind::Keyboard));
    ASSERT_TRUE(trio.connect(DeviceKind::Keyboard));
    writeBack.tick();
    EXPECT_EQ(trio.device(DeviceKind::Keyboard).requestCount(), 0u);
}

TEST_F(WriteBackTest, ActiveDpiLevelIsWrittenAtOnceAndLeavesLightSync) {
    connectAll();
    trio.link(DeviceKind::Mouse).setInLightSync(true);
    std::vector<std::pair<DeviceKind, int>> written;
    writeBack.setOnRecordWritten([&](DeviceKind k, int r) { written.emplace_back(k, r); });

    writeBack.setActiveDpiLevel(3);

    EXPECT_EQ(images.mouse.current.get(rec::kActiveDpiLevel), 2);
    EXPECT_FALSE(trio.link(DeviceKind::Mouse).inLightSync());
    const auto requests = sent(DeviceKind::Mouse);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].data[rec::kActiveDpiLevel], 2);
    EXPECT_EQ(ui.calls(), std::vector<std::string>{"save mouse device"});
    EXPECT_EQ(written, (std::vector<std::pair<DeviceKind, int>>{{DeviceKind::Mouse, 1}}));

    writeBack.setActiveDpiLevel(8);
    writeBack.setActiveDpiLevel(0);
    EXPECT_EQ(sent(DeviceKind::Mouse).size(), 1u);
}

class ProfileSwitch : public WriteBackTest {
  protected:
    void SetUp() override {
        connectAll();
        for (size_t i = 0; i < kRecordCount; ++i) {
            trio.device(DeviceKind::Mouse)
                .setMemory(kRecords, i * kRecordStride,
                           ramp(kRecordStride, static_cast<uint8_t>(20 * i)));
        }
        setDeviceIndex(1);
    }
    void setDeviceIndex(uint8_t index) {
        const uint8_t b[1] = {index};
        trio.device(DeviceKind::Mouse).setMemory(kRecords, 0, b);
    }
};

TEST_F(ProfileSwitch, ToTheCurrentProfileOnlyAsksForTheIndex) {
    writeBack.switchOnDeviceProfile(DeviceKind::Mouse, 1);
    const auto requests = sent(DeviceKind::Mouse);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].code, 5);
    EXPECT_EQ(requests[0].length, 1);
    EXPECT_EQ(requests[0].offset, 0);
    EXPECT_TRUE(ui.calls().empty());
}

TEST_F(ProfileSwitch, ToAnotherProfileKeepsTheEditsAndLoadsTheNewRecord) {
    images.mouse.current.fill(0x33);
    writeBack.switchOnDeviceProfile(DeviceKind::Mouse, 3);

    const auto requests = sent(DeviceKind::Mouse);
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[1].code, 6);
    EXPECT_EQ(requests[1].data, std::vector<uint8_t>{3});
    EXPECT_EQ(requests[2].code, 5);
    EXPECT_EQ(requests[2].offset, 3 * kRecordStride);
    EXPECT_EQ(requests[2].length, kRecordTransferSize);
    // The edited record went to the slot the device had current.
    EXPECT_EQ(images.mouse.records.get(1 * kRecordStride + 10), 0x33);
    EXPECT_EQ(images.mouse.current.get(0), 3);
    EXPECT_EQ(images.mouse.current.get(10), 60 + 10);
    EXPECT_EQ(ui.calls(), (std::vector<std::string>{"hide mouse function panel", "refresh mouse"}));
}

TEST_F(ProfileSwitch, IndexesOutsideTheTableAreRefusedOrNotStored) {
    writeBack.switchOnDeviceProfile(DeviceKind::Mouse, 5);
    writeBack.switchOnDeviceProfile(DeviceKind::Mouse, -1);
    EXPECT_EQ(trio.device(DeviceKind::Mouse).requestCount(), 0u);

    // A device claiming index 9: nothing is stored outside the table.
    setDeviceIndex(9);
    images.mouse.records.fill(0x44);
    images.mouse.current.fill(0x33);
    writeBack.switchOnDeviceProfile(DeviceKind::Mouse, 2);
    for (size_t i = 0; i < kRecordCount; ++i) {
        if (i != 2) {
            EXPECT_EQ(images.mouse.records.get(i * kRecordStride + 10), 0x44) << i;
        }
    }
    EXPECT_EQ(images.mouse.current.get(0), 2);
}

TEST_F(WriteBackTest, SameModeCopiesTheLightingHeadOnly) {
    connectAll();
    images.keyboard.current.copyIn(0, ramp(21, 100));
    images.mouse.current.fill(0x01);
    images.mousepad.current.fill(0x02);

    EXPECT_TRUE(writeBack.sameMode(DeviceKind::Keyboard));

    for (size_t b = 1; b <= 8; ++b) {
        EXPECT_EQ(images.mouse.current.get(b), 100 + b);
        EXPECT_EQ(images.mousepad.current.get(b), 100 + b);
        EXPECT_EQ(images.sharedLightingHead.get(b - 1), 100 + b);
    }
    EXPECT_EQ(images.mouse.current.get(0), 0x01);
    EXPECT_EQ(images.mouse.current.get(9), 0x01);
    EXPECT_EQ(images.mousepad.current.get(9), 0x02);
    EXPECT_EQ(images.keyboard.current.get(1), 101);
    for (DeviceKind kind : kAllDeviceKinds) {
        EXPECT_TRUE(trio.link(kind).inLightSync());
    }
    EXPECT_EQ(ui.calls(), (std::vector<std::string>{"refresh mouse", "refresh mousepad lighting",
                                                    "save mouse lighting", "save mouse device",
                                                    "save mousepad lighting"}));
    // Nothing is written by the copy itself.
    EXPECT_EQ(trio.device(DeviceKind::Mouse).requestCount(), 0u);
}

TEST_F(WriteBackTest, SameModeFromAnUnknownSourceDoesNothing) {
    images.keyboard.current.fill(0x09);
    EXPECT_FALSE(writeBack.sameMode(static_cast<DeviceKind>(7)));
    EXPECT_EQ(images.mouse.current.get(1), 0);
    EXPECT_FALSE(trio.link(DeviceKind::Mouse).inLightSync());
    EXPECT_TRUE(ui.calls().empty());
}

TEST_F(WriteBackTest, MouseRestoreSetsThePointerDefaultsAndResetsTheDevice) {
    connectAll();
    const auto dir = std::filesystem::path(::testing::TempDir()) / "state_pointer";
    std::filesystem::create_directories(dir);
    auto pointer = makeFileSystemPointer(dir / "pointer.ini");
    ASSERT_TRUE(pointer->setPointerSpeed(17));
    ASSERT_TRUE(pointer->setWheelScrollLines(9));
    writeBack.setSystemPointer(pointer.get());

    writeBack.restoreDefaults(DeviceKind::Mouse);

    EXPECT_EQ(pointer->pointerSpeed(), 10);
    EXPECT_EQ(pointer->wheelScrollLines(), 3);
    // Slider 4 shows speed 10 (position x 2 + 2): the two agree.
    EXPECT_EQ(ui.calls(), (std::vector<std::string>{"pointer slider 4", "wheel lines 3"}));
    const auto requests = sent(DeviceKind::Mouse);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].code, 13);
    std::filesystem::remove_all(dir);
}

TEST_F(WriteBackTest, MousepadRestoreIsFollowedASecondLaterByACompleteRead) {
    connectAll();
    DeviceEvents events(*trio.links, images, ui, writeBack);
    ui.onMessage = [&](int message) { events.onMessage(message); };

    writeBack.restoreDefaults(DeviceKind::Mousepad);

    const auto requests = sent(DeviceKind::Mousepad);
    ASSERT_GE(requests.size(), 3u);
    EXPECT_EQ(requests[0].code, 13);
    EXPECT_EQ(requests[1].code, 1);
    EXPECT_EQ(requests.back().code, 2);
    const auto waited = requests[1].at - requests[0].at;
    EXPECT_GE(waited, std::chrono::milliseconds(950));
    EXPECT_LT(waited, std::chrono::milliseconds(5000));
    // Info, five records and the index were read.
    size_t recordReads = 0;
    for (const auto& r : requests) {
        recordReads += r.code == 5 ? 1 : 0;
    }
    EXPECT_EQ(recordReads, 6u);
    EXPECT_TRUE(ui.has("send 2561"));
    EXPECT_TRUE(ui.has("refresh mousepad lighting"));
}

class RecordingUploads : public DeviceUploads {
  public:
    explicit RecordingUploads(RecordingUi& ui) : ui_(ui) {}
    bool uploadKeyboard() override { return said("upload keyboard"); }
    bool uploadMouseCursors() override { return said("upload cursors") && cursorsDone; }
    bool uploadMouse() override { return said("upload mouse"); }
    bool cursorsDone = true;

  private:
    bool said(const char* text) {
        ui_.showMessageBox(text);
        return true;
    }
    RecordingUi& ui_;
};

TEST_F(WriteBackTest, UploadSequenceIsFramedByTheProgressMessages) {
    RecordingUploads uploads(ui);
    writeBack.setUploads(&uploads);
    EXPECT_EQ(writeBack.uploadSequence(DeviceKind::Mouse), -1);
    EXPECT_EQ(ui.calls(),
              (std::vector<std::string>{"send 3072", "sent 3072", "message upload cursors",
                                        "message upload mouse", "send 3073", "sent 3073"}));
    ui.clear();
    EXPECT_EQ(writeBack.uploadSequence(DeviceKind::Keyboard), -1);
    EXPECT_EQ(ui.calls(),
              (std::vector<std::string>{"send 3072", "sent 3072", "message upload keyboard",
                                        "send 3073", "sent 3073"}));
    // A failed cursor upload ends the sequence: the progress still ends.
    ui.clear();
    uploads.cursorsDone = false;
    writeBack.uploadSequence(DeviceKind::Mouse);
    EXPECT_EQ(ui.calls(),
              (std::vector<std::string>{"send 3072", "sent 3072", "message upload cursors",
                                        "send 3073", "sent 3073"}));
}

TEST_F(WriteBackTest, LightFramesAreStreamedInChunksFromOffsetZero) {
    connectAll();
    const std::vector<uint8_t> frame = ramp(kKeyboardColourFrameSize, 0);
    EXPECT_EQ(writeBack.streamFrame(DeviceKind::Keyboard, frame), 1);
    const auto requests = sent(DeviceKind::Keyboard);
    ASSERT_EQ(requests.size(), 7u);
    std::vector<uint8_t> received;
    for (size_t i = 0; i < requests.size(); ++i) {
        EXPECT_EQ(requests[i].code, 18);
        EXPECT_EQ(requests[i].offset, i * 56);
        received.insert(received.end(), requests[i].data.begin(), requests[i].data.end());
    }
    EXPECT_EQ(received, frame);

    EXPECT_EQ(writeBack.streamFrame(DeviceKind::Mousepad, ramp(kMousepadFrameSize, 0)), 1);
    ASSERT_EQ(sent(DeviceKind::Mousepad).size(), 1u);
    EXPECT_EQ(sent(DeviceKind::Mousepad)[0].length, kMousepadFrameSize);
}

}  // namespace
}  // namespace rxt
