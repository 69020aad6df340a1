// The images' own bookkeeping: record table and current record, and the
// bounds every offset is held to.

#include <gtest/gtest.h>

#include <numeric>
#include <thread>
#include <vector>

#include "state/device_images.h"

namespace rxt {
namespace {

std::vector<uint8_t> ramp(size_t n, uint8_t start) {
    std::vector<uint8_t> v(n);
    std::iota(v.begin(), v.end(), start);
    return v;
}

TEST(ByteImage, CopiesAreClippedToTheImage) {
    ByteImage<8> image;
    const std::vector<uint8_t> in = ramp(6, 1);
    EXPECT_EQ(image.copyIn(5, in), 3u);
    EXPECT_EQ(image.copyIn(8, in), 0u);
    EXPECT_EQ(image.copyIn(100, in), 0u);
    std::vector<uint8_t> out(6, 0xAA);
    EXPECT_EQ(image.copyOut(4, out), 4u);
    EXPECT_EQ(out, (std::vector<uint8_t>{0, 1, 2, 3, 0xAA, 0xAA}));
    image.set(8, 9);  // dropped
    EXPECT_EQ(image.get(8), 0);
    EXPECT_EQ(image.get(7), 3);
}

TEST(ByteImage, ConcurrentWritersAndReadersSeeWholeBytes) {
    // Run under the thread sanitizer this shows no race; here it checks that
    // every byte read is one that was written.
    ByteImage<64> image;
    std::thread writer([&] {
        for (int round = 0; round < 2000; ++round) {
            image.fill(static_cast<uint8_t>(round % 2 ? 0x0F : 0xF0));
        }
    });
    bool onlyWritten = true;
    for (int i = 0; i < 2000; ++i) {
        const uint8_t b = image.get(static_cast<size_t>(i % 64));
        onlyWritten = onlyWritten && (b == 0 || b == 0x0F || b == 0xF0);
    }
    writer.join();
    EXPECT_TRUE(onlyWritten);
}

TEST(CurrentRecord, LoadCopiesTheKindsRecordSizeAndSetsTheIndex) {
    DeviceImages mouse(DeviceKind::Mouse);
    mouse.setRecord(2, ramp(kRecordStride, 1));
    mouse.current.fill(0xCC);
    ASSERT_TRUE(mouse.loadCurrentRecord(2));
    EXPECT_EQ(mouse.current.get(0), 2);
    EXPECT_EQ(mouse.current.get(51), 52);

    DeviceImages keyboard(DeviceKind::Keyboard);
    keyboard.setRecord(4, ramp(kRecordStride, 1));
    keyboard.current.fill(0xCC);
    ASSERT_TRUE(keyboard.loadCurrentRecord(4));
    EXPECT_EQ(keyboard.current.get(0), 4);
    EXPECT_EQ(keyboard.current.get(20), 21);
    EXPECT_EQ(keyboard.current.get(21), 0xCC);  // past the keyboard's 21 bytes
}

TEST(CurrentRecord, StoreGoesToTheRecordItsIndexNames) {
    DeviceImages pad(DeviceKind::Mousepad);
    pad.records.fill(0x55);
    pad.current.copyIn(0, ramp(kMouseCurrentRecordSize, 0));
    pad.current.set(0, 3);
    ASSERT_TRUE(pad.storeCurrentRecord());
    const auto record = pad.record(3);
    EXPECT_EQ(record[0], 3);
    EXPECT_EQ(record[20], 20);
    EXPECT_EQ(record[21], 0x55);  // only 21 bytes belong to the mousepad
    EXPECT_EQ(pad.record(2)[0], 0x55);
}

TEST(CurrentRecord, AnIndexOutsideTheTableTouchesNothing) {
    DeviceImages pad(DeviceKind::Mousepad);
    pad.records.fill(0x55);
    pad.current.fill(0x01);
    pad.current.set(0, 5);
    EXPECT_FALSE(pad.storeCurrentRecord());
    pad.current.set(0, 255);
    EXPECT_FALSE(pad.storeCurrentRecord());
    EXPECT_FALSE(pad.loadCurrentRecord(5));
    std::array<uint8_t, kRecordTableSize> untouched{};
    untouched.fill(0x55);
    EXPECT_EQ(pad.records.snapshot(), untouched);
    EXPECT_EQ(pad.current.get(1), 0x01);
}

TEST(CurrentRecord, LightingHeadIsBytesOneToEight) {
    DeviceImages keyboard(DeviceKind::Keyboard);
    keyboard.current.copyIn(0, ramp(21, 0));
    const auto head = keyboard.lightingHead();
    EXPECT_EQ(std::vector<uint8_t>(head.begin(), head.end()), ramp(8, 1));
}

}  // namespace
}  // namespace rxt
