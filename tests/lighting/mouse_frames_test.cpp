// The mouse preview routines: what they light, that they leave hidden
// controls alone, and the flash of mode 6.

#include <gtest/gtest.h>

#include "lighting/mouse_frames.h"

namespace rxt::lighting {
namespace {

constexpr uint32_t kAll = (1u << kMouseControls) - 1;

LightSettings settings(uint8_t mode, bool colourful, bool up = true) {
    LightSettings s;
    s.mode = mode;
    s.brightness = 4;  // factor 255
    s.up = up;
    s.colourful = colourful;
    s.colour = {10, 20, 30};
    return s;
}

TEST(MouseFrames, OnlyVisibleControlsAreTouched) {
    for (uint8_t mode : {0, 1, 2, 3, 4, 5, 7}) {
        EffectState st;
        const uint32_t visible = 0b1010'0000'0000'0101;
        const PreviewFrame f = mouseFrame(st, settings(mode, true), visible);
        EXPECT_EQ(f.touched & ~visible, 0u) << int(mode);
        EXPECT_NE(f.touched, 0u) << int(mode);
        EffectState hidden;
        EXPECT_EQ(mouseFrame(hidden, settings(mode, true), 0).touched, 0u) << int(mode);
    }
}

TEST(MouseFrames, StaticAndOff) {
    EffectState st;
    PreviewFrame f = mouseFrame(st, settings(5, false), kAll);
    EXPECT_EQ(f.touched, kAll);
    EXPECT_EQ(f.colour[19], 0xFF0A141Eu);
    EXPECT_EQ(f.alpha[19], 255);
    LightSettings dim = settings(7, false);
    dim.brightness = 1;
    f = mouseFrame(st, dim, kAll);
    EXPECT_EQ(f.colour[3], 0xFF000000u);
    EXPECT_EQ(f.alpha[3], 97);
}

TEST(MouseFrames, ColourCycleStepsTheWheel) {
    EffectState st;
    EXPECT_EQ(mouseFrame(st, settings(2, true), kAll).colour[0], argbOf(kColourWheel[1]));
    EXPECT_EQ(mouseFrame(st, settings(2, true, false), kAll).colour[0], argbOf(kColourWheel[0]));
    EXPECT_EQ(mouseFrame(st, settings(2, true, false), kAll).colour[0], argbOf(kColourWheel[191]));
}

TEST(MouseFrames, GroupWaveColoursEachGroup) {
    EffectState st;
    const PreviewFrame f = mouseFrame(st, settings(1, true), kAll);
    EXPECT_EQ(f.colour[8], argbOf(kColourWheel[1 + 15]));   // group 1
    EXPECT_EQ(f.colour[17], argbOf(kColourWheel[1 + 90]));  // group 6
    // Group 7 is control 0 alone and comes last.
    EXPECT_EQ(f.colour[0], argbOf(kColourWheel[1 + 105]));
    EffectState single;
    const PreviewFrame b = mouseFrame(single, settings(1, false), kAll);
    EXPECT_EQ(b.alpha[1], 255 * kBreathCurve[21] / 256);
}

TEST(MouseFrames, StripesOffsetByTriangularNumbers) {
    EffectState st;
    const PreviewFrame f = mouseFrame(st, settings(3, false), kAll);
    EXPECT_EQ(st.subPosition, 1);
    EXPECT_EQ(f.colour[0], argbOf(kStripeColours[1]));       // group 0: + 0
    EXPECT_EQ(f.colour[3], argbOf(kStripeColours[1 + 3]));   // group 3: + 0 + 1 + 2
    EXPECT_EQ(f.colour[6], argbOf(kStripeColours[1 + 15]));  // group 6: + 15
}

TEST(MouseFrames, TrailRunsAgainstTheDirectionAndDecays) {
    EffectState st;
    armTrail(st, false);  // direction zero: the trail steps upward from LED 0
    PreviewFrame f = mouseFrame(st, settings(0, false, false), kAll);
    EXPECT_EQ(st.position, 0);
    EXPECT_EQ(f.alpha[0], 253);  // 255 x 254 / 256
    f = mouseFrame(st, settings(0, false, false), kAll);
    EXPECT_EQ(st.position, 1);
    EXPECT_EQ(st.levels[1], 254);
    EXPECT_LT(st.levels[0], 254);
    EXPECT_GT(st.levels[0], 0);
    EffectState other;
    armTrail(other, true);
    mouseFrame(other, settings(0, false, true), kAll);
    EXPECT_EQ(other.position, 16);
    // The colourful trail changes colour each time it passes LED 0.
    EffectState colours;
    armTrail(colours, false);
    mouseFrame(colours, settings(0, true, false), kAll);
    EXPECT_EQ(colours.colourIndex, 1);
}

TEST(MouseFrames, BreathingChangesColourAtEachWrap) {
    EffectState st;
    st.position = 127;
    const PreviewFrame f = mouseFrame(st, settings(4, true), kAll);
    EXPECT_EQ(st.colourIndex, 1);
    EXPECT_EQ(f.colour[0], argbOf(kSevenColoursA[1]));
    EXPECT_EQ(f.alpha[0], 0);  // the fade curve starts at 0
}

TEST(MouseFrames, FlashFadesAndClearsEvenWhenHidden) {
    EffectState st;
    const LightSettings s = settings(6, false);
    EXPECT_EQ(mouseFrame(st, s, kAll).touched, 0u);  // nothing until the notification
    st.startFlash(Clock::now());
    EXPECT_EQ(st.flash.wheelPosition, 14);
    PreviewFrame f = mouseFrame(st, s, 0);
    EXPECT_EQ(f.touched, 0x7FFFu);  // the first 15, visible or not
    EXPECT_EQ(st.flash.level, 125);
    int frames = 1;
    while (st.flash.active) {
        f = mouseFrame(st, s, 0);
        ++frames;
    }
    EXPECT_EQ(frames, 42);  // 128 down by 3 to 3 or less
    EXPECT_EQ(f.colour[14] & 0xFFFFFFu, 0u);
    EXPECT_EQ(f.alpha[14], 0);
}

}  // namespace
}  // namespace rxt::lighting
