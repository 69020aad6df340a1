// The light tables against the figures they are defined by.

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "lighting/light_tables.h"

namespace rxt::lighting {
namespace {

TEST(LightTables, BrightnessCurve) {
    EXPECT_EQ(kBrightnessCurve, (std::array<uint8_t, 5>{0, 97, 149, 201, 255}));
}

TEST(LightTables, ColourWheelThirdsAndRotation) {
    EXPECT_EQ(kColourWheel[0], (Rgb{255, 1, 0}));
    EXPECT_EQ(kColourWheel[9], (Rgb{255, 32, 0}));
    EXPECT_EQ(kColourWheel[31], (Rgb{255, 255, 0}));
    EXPECT_EQ(kColourWheel[32], (Rgb{248, 255, 0}));
    EXPECT_EQ(kColourWheel[50], (Rgb{53, 255, 0}));
    EXPECT_EQ(kColourWheel[63], (Rgb{0, 255, 0}));
    // (r, g, b) of entry i becomes (b, r, g) at i + 64.
    EXPECT_EQ(kColourWheel[64], (Rgb{0, 255, 1}));
    EXPECT_EQ(kColourWheel[127], (Rgb{0, 0, 255}));
    EXPECT_EQ(kColourWheel[128], (Rgb{1, 0, 255}));
    EXPECT_EQ(kColourWheel[191], (Rgb{255, 0, 0}));
    for (size_t i = 0; i < 128; ++i) {
        const Rgb c = kColourWheel[i];
        EXPECT_EQ(kColourWheel[i + 64], (Rgb{c.b, c.r, c.g})) << i;
    }
}

TEST(LightTables, BreathCurveRisesThenMirrors) {
    EXPECT_EQ(kBreathCurve[0], 22);
    EXPECT_EQ(kBreathCurve[1], 24);
    EXPECT_EQ(kBreathCurve[2], 27);
    EXPECT_EQ(kBreathCurve[20], 94);
    EXPECT_EQ(kBreathCurve[47], 255);
    EXPECT_EQ(kBreathCurve[48], 255);
    EXPECT_EQ(kBreathCurve[95], 22);
    EXPECT_TRUE(std::is_sorted(kBreathCurve.begin(), kBreathCurve.begin() + 48));
    for (size_t i = 0; i < 48; ++i) {
        EXPECT_EQ(kBreathCurve[i], kBreathCurve[95 - i]);
    }
}

TEST(LightTables, FadeCurveRisesThenMirrors) {
    for (uint8_t i = 0; i <= 10; ++i) {
        EXPECT_EQ(kFadeCurve[i], i);
    }
    EXPECT_EQ(kFadeCurve[11], 12);
    EXPECT_EQ(kFadeCurve[17], 24);
    EXPECT_EQ(kFadeCurve[18], 27);
    EXPECT_EQ(kFadeCurve[63], 255);
    EXPECT_EQ(kFadeCurve[64], 255);
    EXPECT_EQ(kFadeCurve[127], 0);
    for (size_t i = 0; i < 64; ++i) {
        EXPECT_EQ(kFadeCurve[i], kFadeCurve[127 - i]);
    }
}

TEST(LightTables, ColourLists) {
    EXPECT_EQ(kSevenColoursA[3], (Rgb{255, 255, 0}));
    EXPECT_EQ(kSevenColoursA[6], (Rgb{255, 255, 255}));
    EXPECT_EQ(kSevenColoursB[1], (Rgb{255, 128, 0}));
    EXPECT_EQ(kSevenColoursB[5], (Rgb{0, 0, 255}));
    EXPECT_EQ(kSevenColoursB[6], (Rgb{255, 0, 255}));
    // Runs of 9, 8, 9, 8, 9, 8.
    EXPECT_EQ(kStripeColours[0], (Rgb{255, 255, 20}));
    EXPECT_EQ(kStripeColours[8], (Rgb{255, 255, 20}));
    EXPECT_EQ(kStripeColours[9], (Rgb{255, 128, 20}));
    EXPECT_EQ(kStripeColours[17], (Rgb{255, 20, 255}));
    EXPECT_EQ(kStripeColours[26], (Rgb{128, 20, 255}));
    EXPECT_EQ(kStripeColours[34], (Rgb{20, 255, 255}));
    EXPECT_EQ(kStripeColours[43], (Rgb{20, 128, 255}));
    EXPECT_EQ(kStripeColours[50], (Rgb{20, 128, 255}));
}

TEST(LightTables, MouseGroupsAndMousepadMatrix) {
    EXPECT_EQ(kMouseLedGroups[2], (std::array<uint8_t, 3>{2, 9, 9}));
    EXPECT_EQ(kMouseLedGroups[7], (std::array<uint8_t, 3>{0, 0, 0}));
    for (const auto& g : kMouseLedGroups) {
        for (uint8_t i : g) {
            EXPECT_LT(i, kMouseControls);
        }
    }
    // Every mousepad light sits in exactly one cell.
    std::multiset<int> seen;
    for (const auto& row : kMousepadMatrix) {
        for (int8_t led : row) {
            if (led >= 0) {
                seen.insert(led);
            }
        }
    }
    ASSERT_EQ(seen.size(), kMousepadLeds);
    for (int i = 0; i < static_cast<int>(kMousepadLeds); ++i) {
        EXPECT_EQ(seen.count(i), 1u) << i;
    }
}

TEST(LightTables, ArgbRoundTrip) {
    EXPECT_EQ(argbOf({0x12, 0x34, 0x56}), 0xFF123456u);
    EXPECT_EQ(rgbOf(0x80ABCDEF), (Rgb{0xAB, 0xCD, 0xEF}));
}

}  // namespace
}  // namespace rxt::lighting
