// The performance page's encodings against the figures of the settings they
// stand for: the tables, the reverse lookups of what a device or a profile
// file may hold, the record offsets and the sensor limits.

#include "settings/mouse_performance.h"

#include <gtest/gtest.h>

namespace rxt::perf {
namespace {

TEST(DpiTable, HoldsTheHundredDpiStepsFrom200To12000) {
    EXPECT_EQ(kDpiTable.size(), 119u);
    for (int p = 0; p < kDpiPositions; ++p) {
        EXPECT_EQ(kDpiTable[static_cast<size_t>(p)].dpi, 200 + 100 * p);
        EXPECT_EQ(kDpiTable[static_cast<size_t>(p)].code, p + 1);
    }
    // Positions 20 and 118, the two ends named for the slider.
    EXPECT_EQ(dpiCode(20), 21);
    EXPECT_EQ(dpiOfPosition(20), 2200);
    EXPECT_EQ(dpiCode(118), 119);
    EXPECT_EQ(dpiOfPosition(118), 12000);
    // A slider never indexes past the table.
    EXPECT_EQ(dpiCode(500), 119);
    EXPECT_EQ(dpiCode(-3), 1);
}

TEST(DpiTable, ReverseLookupGivesPositionZeroForCodesItDoesNotHold) {
    EXPECT_EQ(dpiPosition(21), 20);
    EXPECT_EQ(dpiPosition(119), 118);
    EXPECT_EQ(dpiPosition(1), 0);
    EXPECT_EQ(dpiPosition(0), 0);
    EXPECT_EQ(dpiPosition(120), 0);
    EXPECT_EQ(dpiPosition(255), 0);
    for (int p = 0; p < kDpiPositions; ++p) {
        EXPECT_EQ(dpiPosition(dpiCode(p)), p);
    }
}

TEST(DebounceTable, ShowsTwiceThePositionAndStoresFourMore) {
    ASSERT_EQ(kDebounceTable.size(), 10u);
    for (int p = 0; p < kDebouncePositions; ++p) {
        EXPECT_EQ(debounceShown(p), 2 * p);
        EXPECT_EQ(debounceCode(p), 2 * p + 4);
        EXPECT_EQ(debouncePosition(debounceCode(p)), p);
    }
    EXPECT_EQ(debounceShown(0), 0);
    EXPECT_EQ(debounceCode(0), 4);
    EXPECT_EQ(debounceCode(9), 22);
    // Odd and out-of-table codes show the first position.
    EXPECT_EQ(debouncePosition(5), 0);
    EXPECT_EQ(debouncePosition(0), 0);
    EXPECT_EQ(debouncePosition(24), 0);
}

TEST(DpiLevels, SkipTheActiveLevelByteBetweenLevelsFourAndFive) {
    const size_t offsets[] = {15, 16, 17, 18, 20, 21, 22};
    for (int n = 1; n <= kDpiLevels; ++n) {
        EXPECT_EQ(dpiLevelOffset(n), offsets[n - 1]) << n;
        EXPECT_EQ(dpiColourOffset(n), 23 + 3 * static_cast<size_t>(n - 1)) << n;
    }
    EXPECT_EQ(dpiColourOffset(7) + 2, 43u);
}

TEST(DpiLevels, ColoursAreRedGreenBlueFromTheHighByteDown) {
    DeviceImages mouse(DeviceKind::Mouse);
    setDpiColour(mouse, 3, 0x80123456);
    EXPECT_EQ(mouse.current.get(29), 0x12);
    EXPECT_EQ(mouse.current.get(30), 0x34);
    EXPECT_EQ(mouse.current.get(31), 0x56);
    EXPECT_EQ(mouse.current.get(28), 0);  // level 2's blue untouched
    EXPECT_EQ(mouse.current.get(32), 0);  // level 4's red untouched
    // Shown opaque whatever alpha it was chosen with.
    EXPECT_EQ(dpiColour(mouse, 3), 0xFF123456u);
    EXPECT_EQ(dpiColour(mouse, 1), 0xFF000000u);
}

void setSensor(DeviceImages& mouse, uint16_t sensor, uint16_t lowest, uint8_t increment) {
    mouse.info.set(9, static_cast<uint8_t>(sensor));
    mouse.info.set(10, static_cast<uint8_t>(sensor >> 8));
    mouse.info.set(11, increment);
    mouse.info.set(13, static_cast<uint8_t>(lowest));
    mouse.info.set(14, static_cast<uint8_t>(lowest >> 8));
}

TEST(SensorLimits, TableHoldsTheSixSensors) {
    struct Row {
        uint16_t sensor;
        uint16_t lowest;
        const char* min;
        const char* max;
    };
    const Row rows[] = {{0x3325, 200, "200", "5000"},  {0x3327, 200, "200", "6200"},
                        {0x3050, 800, "800", "6200"},  {0x3330, 200, "50", "7200"},
                        {0x3360, 200, "200", "12000"}, {0x3310, 50, "50", "5000"}};
    ASSERT_EQ(kSensorLimits.size(), std::size(rows));
    for (const Row& r : rows) {
        const SensorLimits* s = findSensorLimits(r.sensor);
        ASSERT_NE(s, nullptr) << std::hex << r.sensor;
        EXPECT_EQ(s->lowestDpi, r.lowest);
        EXPECT_EQ(s->minLabel, r.min);
        EXPECT_EQ(s->maxLabel, r.max);
    }
}

TEST(SensorLimits, RewriteTheLowestDpiOfAKnownSensorOnly) {
    DeviceImages mouse(DeviceKind::Mouse);
    setSensor(mouse, 0x3050, 200, 50);
    const auto limits = applySensorLimits(mouse);
    ASSERT_TRUE(limits);
    EXPECT_EQ(limits->minLabel, "800");
    EXPECT_EQ(mouse.info.get(13) | (mouse.info.get(14) << 8), 800);
    EXPECT_EQ(sensorId(mouse), 0x3050);

    // The sensor identifier is little-endian: 0x5030 is no known sensor.
    setSensor(mouse, 0x5030, 300, 50);
    EXPECT_FALSE(applySensorLimits(mouse));
    EXPECT_EQ(mouse.info.get(13) | (mouse.info.get(14) << 8), 300);
}

TEST(DragLabel, IsLowestDpiPlusIncrementTimesPosition) {
    DeviceImages mouse(DeviceKind::Mouse);
    setSensor(mouse, 0x3310, 0, 50);
    applySensorLimits(mouse);
    EXPECT_EQ(dragDpi(mouse, 0), 50);
    EXPECT_EQ(dragDpi(mouse, 10), 550);
    // Two bytes of lowest DPI: 0x3050's 800 needs the high byte.
    setSensor(mouse, 0x3050, 0, 100);
    applySensorLimits(mouse);
    EXPECT_EQ(dragDpi(mouse, 3), 1100);
}

}  // namespace
}  // namespace rxt::perf
