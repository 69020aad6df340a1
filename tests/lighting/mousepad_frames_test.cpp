// Golden frames of every mousepad mode from a known state and settings, and
// the edge cases of the shared steps.

#include <gtest/gtest.h>

#include <string>

#include "lighting/mousepad_frames.h"

namespace rxt::lighting {
namespace {

using namespace std::chrono_literals;

std::string hex(const MousepadFrame& f) {
    static const char digits[] = "0123456789abcdef";
    const auto bytes = f.bytes();
    std::string out;
    for (size_t i = 0; i < f.sendSize; ++i) {
        out += digits[bytes[i] >> 4];
        out += digits[bytes[i] & 15];
    }
    return out;
}

// Brightness 3 (factor 201), direction up, the colour (200, 100, 50).
LightSettings settings(uint8_t mode, bool colourful, bool up = true) {
    LightSettings s;
    s.mode = mode;
    s.brightness = 3;
    s.up = up;
    s.colourful = colourful;
    s.colour = {200, 100, 50};
    return s;
}

TEST(SharedSteps, StepWrapsBothWays) {
    uint8_t p = 190;
    EXPECT_EQ(step(p, true, 192), 191);
    EXPECT_EQ(step(p, true, 192), 0);
    EXPECT_EQ(step(p, false, 192), 191);
    p = 200;  // past the end, as a reset of another mode may leave it
    EXPECT_EQ(step(p, true, 17), 0);
    p = 200;
    EXPECT_EQ(step(p, false, 17), 16);
}

TEST(SharedSteps, ScaleRoundsDown) {
    EXPECT_EQ(scale({255, 128, 1}, 255), (Rgb{255, 128, 1}));
    EXPECT_EQ(scale({255, 128, 1}, 0), (Rgb{0, 0, 0}));
    EXPECT_EQ(scale({200, 100, 50}, 201), (Rgb{157, 78, 39}));
}

TEST(SharedSteps, BrightnessPastTheCurveIsTheBrightest) {
    LightSettings s;
    s.brightness = 9;
    EXPECT_EQ(s.factor(), 255);
}

TEST(MousepadGolden, WaveColourfulAndSingle) {
    EffectState st;
    const LightSettings s = settings(0, true);
    MousepadFrame f = mousepadFrame(st, s, {});
    EXPECT_EQ(f.sendSize, 45u);
    EXPECT_EQ(hex(f),
              "c90200c91400c93900c96e00c9b30099c90059c90029c9000cc90000c90000c91100c93300c96500c9a8"
              "00a2c9");
    EXPECT_EQ(hex(mousepadFrame(st, s, {})),
              "c90300c91900c93f00c97700c9be008fc90052c90025c90009c90000c90200c91400c93900c96e00c9b3"
              "0099c9");
    EffectState down;
    EXPECT_EQ(hex(mousepadFrame(down, settings(0, true, false), {})),
              "c90000c90e00c92c00c95d00c99d00adc90069c90036c90012c90001c90000c90b00c92700c95600c994"
              "00b8c9");
    EffectState single;
    const LightSettings one = settings(0, false);
    EXPECT_EQ(hex(mousepadFrame(single, one, {})),
              "0f07032311083d1e0f5d2e1783412090472368341a4623112a150a140a05160b052d160b4924126c351a"
              "944924");
    EXPECT_EQ(hex(mousepadFrame(single, one, {})),
              "110804261209401f0f6130188743218b452265321943211028140a130904180c062f170b4c261370371b"
              "984b25");
}

TEST(MousepadGolden, ColourCycle) {
    EffectState st;
    const LightSettings s = settings(1, true);
    EXPECT_EQ(hex(mousepadFrame(st, s, {})),
              "c90200c90200c90200c90200c90200c90200c90200c90200c90200c90200c90200c90200c90200c90200"
              "c90200");
    EXPECT_EQ(hex(mousepadFrame(st, s, {})),
              "c90300c90300c90300c90300c90300c90300c90300c90300c90300c90300c90300c90300c90300c90300"
              "c90300");
}

TEST(MousepadGolden, StaticSendsSixtyBytesEndingInZeros) {
    EffectState st;
    const MousepadFrame f = mousepadFrame(st, settings(3, false), {});
    EXPECT_EQ(f.sendSize, 60u);
    EXPECT_EQ(
        hex(f),
        "9d4e279d4e279d4e279d4e279d4e279d4e279d4e279d4e279d4e279d4e279d4e279d4e279d4e279d4e279d4e27"
        "000000000000000000000000000000");
}

TEST(MousepadGolden, ScannerBothDirections) {
    EffectState up;
    const LightSettings s = settings(4, false);
    EXPECT_EQ(hex(mousepadFrame(up, s, {})),
              "0000009d4e279d4e279d4e279d4e279d4e279d4e279d4e279d4e279d4e279d4e279d4e279d4e279d4e27"
              "9d4e27");
    EXPECT_EQ(hex(mousepadFrame(up, s, {})),
              "0000000000009d4e279d4e279d4e279d4e279d4e279d4e279d4e279d4e279d4e279d4e279d4e279d4e27"
              "9d4e27");
    EffectState down;
    const LightSettings d = settings(4, false, false);
    EXPECT_EQ(hex(mousepadFrame(down, d, {})), std::string(90, '0'));
    EXPECT_EQ(hex(mousepadFrame(down, d, {})), "9d4e27" + std::string(84, '0'));
    // The counter runs 0..15 and starts again.
    for (int i = 2; i < 16; ++i) {
        mousepadFrame(down, d, {});
    }
    EXPECT_EQ(hex(mousepadFrame(down, d, {})), std::string(90, '0'));
}

TEST(MousepadGolden, RippleFromItsStart) {
    EffectState st;
    armRipple(st);
    const LightSettings s = settings(5, false);
    EXPECT_EQ(hex(mousepadFrame(st, s, {})),
              "140a043a1d0e70381b8c46224f27132311080703010200000703012311084f27138c462270381b3a1d0e"
              "140a04");
    EXPECT_EQ(hex(mousepadFrame(st, s, {})),
              "1b0d064622117f3f1f7b3d1e4321101a0c060402000502000402001a0c064321107b3d1e7f3f1f462211"
              "1b0d06");
}

TEST(MousepadGolden, SweepOverTheMatrix) {
    EffectState st;
    const LightSettings s = settings(6, false);
    EXPECT_EQ(hex(mousepadFrame(st, s, {})),
              "c90200c90200c94600c94600b8c90030c90000c90200c90200c94600c94600b8c900b8c900b8c900b8c9"
              "00b8c9");
    EXPECT_EQ(hex(mousepadFrame(st, s, {})),
              "c90300c90300c94e00c94e00adc90029c90000c90300c90300c94e00c94e00adc900adc900adc900adc9"
              "00adc9");
}

TEST(MousepadGolden, ShutterFillsEmptiesAndPausesAtEachTurn) {
    EffectState st;
    const LightSettings s = settings(7, false);
    MousepadFrame f = mousepadFrame(st, s, {});
    EXPECT_EQ(hex(f),
              "0000000000000000000000000000000000009d4e279d4e279d4e279d4e279d4e279d4e279d4e279d4e27"
              "9d4e27");
    EXPECT_EQ(f.pause, 0ms);
    EXPECT_EQ(hex(mousepadFrame(st, s, {})),
              "0000000000000000000000000000000000000000000000009d4e279d4e279d4e279d4e279d4e279d4e27"
              "9d4e27");
    for (int k = 2; k < 14; ++k) {
        EXPECT_EQ(mousepadFrame(st, s, {}).pause, 0ms) << k;
    }
    f = mousepadFrame(st, s, {});  // the 15th frame of filling
    EXPECT_EQ(hex(f), std::string(90, '0'));
    EXPECT_EQ(f.pause, 1000ms);
    EXPECT_EQ(hex(mousepadFrame(st, s, {})),
              "9d4e279d4e279d4e279d4e279d4e279d4e27000000000000000000000000000000000000000000000000"
              "000000");
    for (int k = 1; k < 14; ++k) {
        mousepadFrame(st, s, {});
    }
    EXPECT_EQ(mousepadFrame(st, s, {}).pause, 1000ms);
}

TEST(MousepadGolden, FlashLastsAHundredMilliseconds) {
    EffectState st;
    const LightSettings s = settings(8, false);
    const Clock::time_point t0 = Clock::now();
    EXPECT_EQ(hex(mousepadFrame(st, s, t0)), std::string(120, '0'));  // no flash yet
    st.startFlash(t0);
    const MousepadFrame lit = mousepadFrame(st, s, t0 + 99ms);
    EXPECT_EQ(lit.sendSize, 60u);
    EXPECT_EQ(
        hex(lit),
        "9d4e279d4e279d4e279d4e279d4e279d4e279d4e279d4e279d4e279d4e279d4e279d4e279d4e279d4e279d4e27"
        "000000000000000000000000000000");
    EXPECT_EQ(hex(mousepadFrame(st, s, t0 + 100ms)), std::string(120, '0'));
    EXPECT_FALSE(st.flash.active);
    EffectState wheel;
    wheel.startFlash(t0);
    EXPECT_EQ(
        hex(mousepadFrame(wheel, settings(8, true), t0)),
        "c93300c93300c93300c93300c93300c93300c93300c93300c93300c93300c93300c93300c93300c93300c93300"
        "000000000000000000000000000000");
}

TEST(MousepadGolden, FlashWheelPositionWrapsToZeroPastTheEnd) {
    EffectState st;
    st.flash.wheelPosition = 177;
    st.startFlash(Clock::now());
    EXPECT_EQ(st.flash.wheelPosition, 191);
    st.startFlash(Clock::now());
    EXPECT_EQ(st.flash.wheelPosition, 0);
}

TEST(MousepadGolden, PulseAndNoneSendNothing) {
    EffectState st;
    LightSettings s = settings(2, false);
    MousepadFrame f = mousepadFrame(st, s, {});
    EXPECT_EQ(f.sendSize, 0u);
    EXPECT_EQ(f.lit, 0xFF);  // lights 0..7 on the preview
    EXPECT_EQ(f.leds[0], scale(scale(s.colour, kFadeCurve[1]), 201));
    EXPECT_EQ(mousepadFrame(st, settings(9, false), {}).sendSize, 0u);
    EXPECT_EQ(mousepadFrame(st, settings(9, false), {}).lit, 0);
}

TEST(MousepadGolden, PulseAdvancesTheCycleByteAtEachWrap) {
    EffectState st;
    LightSettings s = settings(2, true);
    s.cycle = 2;
    st.position = 126;
    EXPECT_FALSE(mousepadFrame(st, s, {}).cycleAdvanced);    // 127
    const MousepadFrame wrapped = mousepadFrame(st, s, {});  // 0
    EXPECT_TRUE(wrapped.cycleAdvanced);
    EXPECT_EQ(wrapped.cycle, 0);
    EXPECT_EQ(wrapped.leds[3], scale(scale(kColourWheel[48], kFadeCurve[0]), 201));
    s.cycle = 0;
    st.position = 127;
    EXPECT_EQ(mousepadFrame(st, s, {}).cycle, 1);
}

TEST(MousepadGolden, PreviewIsTheFrameOpaque) {
    EffectState st;
    const MousepadFrame f = mousepadFrame(st, settings(3, false), {});
    const PreviewFrame p = f.preview();
    EXPECT_EQ(p.touched, 0x7FFFu);
    EXPECT_EQ(p.colour[14], 0xFF9D4E27u);
    EXPECT_EQ(p.alpha[14], 255);
}

}  // namespace
}  // namespace rxt::lighting
