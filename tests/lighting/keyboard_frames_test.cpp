// Golden frames of every mode of both keyboard lists from a known state,
// checked byte for byte against frames written here from the tables, and
// the ripple steps, the resets and the senders' edge cases.

#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "lighting/keyboard_frames.h"

namespace rxt::lighting {
namespace {

using Full = std::array<uint8_t, kFullColourFrameBytes>;
using Single = std::array<uint8_t, kSingleColourFrameBytes>;
using Layout = std::array<uint8_t, kFullColourFrameBytes>;

constexpr Rgb kColour{200, 100, 50};
constexpr unsigned kFactor = 201;  // brightness 3

LightSettings settings(uint8_t mode, bool colourful, bool up = true, uint8_t brightness = 3) {
    LightSettings s;
    s.mode = mode;
    s.brightness = brightness;
    s.up = up;
    s.colourful = colourful;
    s.colour = kColour;
    return s;
}

unsigned lv(unsigned factor, unsigned v) {
    return factor * v / 256;
}

// The reference frame: key k's colour at level at 3 map(k).
void put(Full& f, uint8_t key, Rgb c, unsigned level) {
    const uint8_t at = kFullColourKeyMap[key];
    if (at == kNoKey) {
        return;
    }
    f[3u * at] = static_cast<uint8_t>(c.r * level / 256);
    f[3u * at + 1] = static_cast<uint8_t>(c.g * level / 256);
    f[3u * at + 2] = static_cast<uint8_t>(c.b * level / 256);
}
void put(Single& f, uint8_t key, unsigned level) {
    const uint8_t at = kSingleColourKeyMap[key];
    if (at != kNoKey) {
        f[at] = static_cast<uint8_t>(level);
    }
}

Rgb wheel(unsigned i) {
    return kColourWheel[i % 192];
}

struct Engine {
    KeyboardKind kind;
    KeyboardEffectState state;
    Layout layout{};

    KeyboardFrameResult frame(const LightSettings& s) {
        return keyboardFrame(kind, state, s, layout);
    }
    Full full(const LightSettings& s) {
        frame(s);
        return fullColourFrame(state.lights);
    }
    Single single(const LightSettings& s) {
        frame(s);
        return singleColourFrame(state.lights);
    }
    void reset(uint8_t mode) { keyboardReset(kind, mode, state); }
};

Engine fullColour() {
    return {KeyboardKind::FullColour, {}, {}};
}
Engine singleColour() {
    return {KeyboardKind::SingleColour, {}, {}};
}

template <class F>
void eachMatrixKey(F f) {
    for (size_t c = 0; c < kMatrixColumns; ++c) {
        for (size_t r = 0; r < kMatrixRows; ++r) {
            if (matrixKey(c, r) != kNoKey) {
                f(matrixKey(c, r), c, r);
            }
        }
    }
}

TEST(KeyboardGoldenFull, WaveBothWays) {
    Engine e = fullColour();
    Full want{};
    eachMatrixKey([&](uint8_t k, size_t c, size_t) { put(want, k, wheel(1 + 7 * c), kFactor); });
    EXPECT_EQ(e.full(settings(0, true)), want);

    Engine s = fullColour();
    want = {};
    // Downward from 0 the position is 95.
    eachMatrixKey([&](uint8_t k, size_t c, size_t) {
        put(want, k, kColour, lv(kFactor, kBreathCurve[(95 + 10 * c) % 96]));
    });
    EXPECT_EQ(s.full(settings(0, false, false)), want);
}

TEST(KeyboardGoldenFull, CycleStaticAndPulse) {
    Engine e = fullColour();
    Full want{};
    for (uint8_t k = 0; k < kKeyCount; ++k) {
        put(want, k, wheel(1), kFactor);
    }
    EXPECT_EQ(e.full(settings(1, true)), want);

    Engine st = fullColour();
    want = {};
    for (uint8_t k = 0; k < kKeyCount; ++k) {
        put(want, k, kColour, kFactor);
    }
    EXPECT_EQ(st.full(settings(3, false)), want);
    EXPECT_EQ(want[0], 157);  // 200 x 201 / 256
    EXPECT_EQ(want[1], 78);

    Engine p = fullColour();
    want = {};
    for (uint8_t k = 0; k < kKeyCount; ++k) {
        put(want, k, wheel(51), lv(kFactor, kFadeCurve[1]));
    }
    EXPECT_EQ(p.full(settings(2, true)), want);
    // The wrap to 0 advances the cycle byte 0, 1, 2, 0.
    p.state.globalPosition = 127;
    LightSettings s = settings(2, false);
    s.cycle = 2;
    const KeyboardFrameResult r = p.frame(s);
    EXPECT_TRUE(r.cycleAdvanced);
    EXPECT_EQ(r.cycle, 0);
    EXPECT_FALSE(p.frame(s).cycleAdvanced);
}

TEST(KeyboardGoldenFull, RainbowPerKeyFromItsReset) {
    Engine e = fullColour();
    e.reset(4);
    // The running sum: 0, 33, 66, 99, 132, 165, then 165 + 97 = 6 ...
    EXPECT_EQ(e.state.position[5], 165);
    EXPECT_EQ(e.state.position[6], 6);
    Full want{};
    unsigned sum = 0;
    for (uint8_t k = 0; k < kKeyCount; ++k) {
        const unsigned next = sum >= 191 ? 0 : sum + 1;
        put(want, k, wheel(next), kFactor);
        sum = (sum + (sum >= 160 && sum <= 222 ? 97 : 33)) % 256;
    }
    EXPECT_EQ(e.full(settings(4, true)), want);
}

TEST(KeyboardGoldenFull, RippleFromItsStartPoints) {
    Engine e = fullColour();
    e.reset(5);
    for (const auto& plane : e.state.planes) {
        EXPECT_EQ(plane[9], 0x40);
    }
    // One step: the only cell reached on the board is column 9, row 5.
    Full want{};
    put(want, 109, kColour, lv(kFactor, 255 - 40));
    EXPECT_EQ(e.full(settings(5, false)), want);

    Engine c = fullColour();
    c.reset(5);
    c.frame(settings(5, true));
    EXPECT_EQ(c.state.colourIndex[109], 11);
    // It spreads, and the start points are set again once the four
    // column-9 bytes come down to a single row-0 bit: a new start shows as
    // bit 0x40 in plane 1's column 8 after the step.
    std::vector<int> starts{1};
    size_t lit = 0;
    for (int i = 2; i <= 13; ++i) {
        c.frame(settings(5, true));
        if ((c.state.planes[0][8] & 0x40) != 0) {
            starts.push_back(i);
        }
    }
    for (const KeyLight& l : c.state.lights) {
        lit += l.level > 0;
    }
    EXPECT_GT(lit, 6u);
    EXPECT_EQ(starts, (std::vector<int>{1, 7, 13}));
}

TEST(KeyboardGoldenFull, ShowStartsWithTheFirstSweepStep) {
    Engine e = fullColour();
    Full want{};
    unsigned index = 0;
    for (uint8_t k : {21, 42, 63, 84, 106}) {  // matrix column 1
        index += 11;
        put(want, k, wheel(index), lv(kFactor, 255 - 30));
    }
    EXPECT_EQ(e.full(settings(6, true)), want);
    // 20 sweep steps, 31 pairs, then the ripple phase.
    for (int i = 1; i < 51; ++i) {
        e.frame(settings(6, true));
    }
    EXPECT_EQ(e.state.showPhase, 2);
}

TEST(KeyboardGoldenFull, SnakeAndRowWave) {
    Engine e = fullColour();
    Full want{};
    for (size_t i = 0; i < kSnakeKeys; ++i) {
        put(want, kSnakePath[i], wheel(1 + 5 * i), kFactor);
    }
    EXPECT_EQ(e.full(settings(7, true)), want);

    Engine s = fullColour();
    want = {};
    for (size_t i = 0; i < kSnakeKeys; ++i) {
        put(want, kSnakePath[i], kColour, lv(kFactor, kBreathCurve[(1 + 5 * i) % 96]));
    }
    EXPECT_EQ(s.full(settings(7, false)), want);

    Engine r = fullColour();
    want = {};
    eachMatrixKey(
        [&](uint8_t k, size_t, size_t row) { put(want, k, wheel(1 + 16 * row), kFactor); });
    EXPECT_EQ(r.full(settings(10, true)), want);
}

TEST(KeyboardGoldenFull, CustomLayout) {
    Engine e = fullColour();
    EXPECT_EQ(e.full(settings(8, false)), Full{});  // all black
    const uint8_t w = kFullColourKeyMap[44];
    e.layout[3 * w] = 255;
    e.layout[3 * w + 2] = 10;
    Full want{};
    put(want, 44, {255, 0, 10}, kFactor);
    EXPECT_EQ(e.full(settings(8, true)), want);
}

TEST(KeyboardGoldenFull, RainAndTheKeyHandOff) {
    Engine e = fullColour();
    Full want{};
    unsigned index = 0;
    for (size_t i = 0; i < 3; ++i) {
        index += 10;
        put(want, kSnakePath[kRandomOrder[i]], wheel(index), lv(kFactor, 255 - 30));
    }
    EXPECT_EQ(e.full(settings(9, true)), want);
    EXPECT_EQ(e.state.rainIndex, 3);

    // Key 52 (column 11, row 2) seeds a ripple; one step lights its four
    // neighbours.
    Engine h = fullColour();
    h.state.rainIndex = 0;
    handOffKey(h.state, 52);
    for (const auto& plane : h.state.planes) {
        EXPECT_EQ(plane[11], 0x04);
    }
    h.frame(settings(9, false));
    for (uint8_t k : {51, 53, 31, 73}) {
        EXPECT_EQ(h.state.heat[k], 225) << int(k);
    }
    EXPECT_EQ(h.state.heat[52], 0);
    handOffKey(h.state, 16);  // no cell: nothing
    handOffKey(h.state, kNoKey);
}

TEST(KeyboardGoldenFull, ColumnFallFromItsReset) {
    Engine e = fullColour();
    e.reset(11);
    Full want{};
    for (size_t i = 0; i < 111; ++i) {
        const uint8_t k = kSnakePath[i];
        if (k == kNoKey) {
            continue;
        }
        size_t c = 0;
        size_t r = 0;
        ASSERT_TRUE(cellOf(k, c, r));
        const unsigned start = kColumnLevels[6 * c + r];
        put(want, k, namedColour(7 * c), lv(kFactor, kSharpFade[start + 1]));
    }
    EXPECT_EQ(e.full(settings(11, true)), want);
    // Past 191 the byte wraps and the colour moves 5 on.
    e.state.position[0] = 191;
    const uint8_t before = e.state.colourIndex[0];
    e.frame(settings(11, true));
    EXPECT_EQ(e.state.position[0], 0);
    EXPECT_EQ(e.state.colourIndex[0], before + 5);
}

TEST(KeyboardGoldenFull, CometBothWays) {
    Engine e = fullColour();
    Full want{};
    put(want, kCometPath[1], wheel(13), lv(kFactor, 254 - 30));
    EXPECT_EQ(e.full(settings(12, true)), want);
    e.state.cometHead = 105;
    e.frame(settings(12, true));
    EXPECT_EQ(e.state.cometHead, 0);

    Engine d = fullColour();
    EXPECT_EQ(d.full(settings(12, false, false)), Full{});  // the empty entry past the end
    EXPECT_EQ(d.state.cometHead, 106);
    d.frame(settings(12, false, false));
    EXPECT_EQ(d.state.cometHead, 105);
    EXPECT_EQ(d.state.heat[kCometPath[105]], 224);
}

TEST(KeyboardGoldenFull, RingsAndNarrowWave) {
    Engine e = fullColour();
    Full want{};
    for (size_t y = 0; y < 12; ++y) {
        for (size_t x = 0; x < 12; ++x) {
            const uint8_t k = kSnakePath[12 * y + x];
            if (k != kNoKey) {
                const size_t ring = ringOf(x, y);
                put(want, k, wheel(4 + 21 * ring), lv(kFactor, kRingLevels[ring]));
            }
        }
    }
    EXPECT_EQ(e.full(settings(13, true)), want);
    Engine back = fullColour();
    back.frame(settings(13, true, false));
    EXPECT_EQ(back.state.globalPosition, 190);

    Engine n = fullColour();
    want = {};
    eachMatrixKey([&](uint8_t k, size_t c, size_t) { put(want, k, wheel(1 + 2 * c), kFactor); });
    EXPECT_EQ(n.full(settings(14, true)), want);
    Engine ns = fullColour();
    want = {};
    eachMatrixKey([&](uint8_t k, size_t c, size_t) {
        put(want, k, kColour, lv(kFactor, kSharpFade[(1 + 5 * c) % 96]));
    });
    EXPECT_EQ(ns.full(settings(14, false)), want);
}

TEST(KeyboardGoldenFull, SingleRippleFromColumnOne) {
    Engine e = fullColour();
    e.reset(15);
    for (const auto& plane : e.state.planes) {
        EXPECT_EQ(plane[1], 0x01);
    }
    // One step reaches column 1 row 1 (key 21) and column 2 row 0 (key 0).
    Full want{};
    put(want, 21, kColour, lv(kFactor, 225));
    put(want, 0, kColour, lv(kFactor, 225));
    EXPECT_EQ(e.full(settings(15, false)), want);
    // Entered without its reset, the first frame seeds it.
    Engine fresh = fullColour();
    EXPECT_EQ(fresh.full(settings(15, false)), want);
}

TEST(KeyboardGoldenFull, ColumnOffsetFall) {
    Engine e = fullColour();
    e.reset(16);
    // Column 1 starts at 184: rows 149, 114, 79, 44, 9, then 9 - 98.
    EXPECT_EQ(e.state.second[63], 44);
    EXPECT_EQ(e.state.second[84], 9);
    EXPECT_EQ(e.state.second[106], static_cast<uint8_t>(9 - 98));
    EXPECT_EQ(e.state.colourIndex[84], 7);
    const Full got = e.full(settings(16, true));
    Full key84{};
    put(key84, 84, wheel(7), lv(kFactor, kSharpFade[10]));
    const size_t at = 3u * kFullColourKeyMap[84];
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(got[at + i], key84[at + i]);
    }
    Full key63{};
    put(key63, 63, wheel(7), lv(kFactor, kSharpFade[45]));
    EXPECT_EQ(got[3u * kFullColourKeyMap[63]], key63[3u * kFullColourKeyMap[63]]);
}

TEST(KeyboardGoldenSingle, WaveBreathingStaticAndSnake) {
    Engine e = singleColour();
    Single want{};
    eachMatrixKey([&](uint8_t k, size_t c, size_t) {
        put(want, k, lv(kFactor, kBreathCurve[(1 + 7 * c) % 96]));
    });
    EXPECT_EQ(e.single(settings(0, false)), want);

    Engine b = singleColour();
    for (int i = 0; i < 19; ++i) {
        b.frame(settings(1, false));
    }
    want = {};
    for (uint8_t k = 0; k < kKeyCount; ++k) {
        put(want, k, lv(kFactor, kFadeCurve[20]));
    }
    EXPECT_EQ(b.single(settings(1, false)), want);
    b.state.globalPosition = 127;
    b.frame(settings(1, false));
    EXPECT_EQ(b.state.globalPosition, 0);

    Engine s = singleColour();
    want = {};
    for (uint8_t k = 0; k < kKeyCount; ++k) {
        put(want, k, kFactor);
    }
    EXPECT_EQ(s.single(settings(2, false)), want);

    Engine sn = singleColour();
    want = {};
    for (size_t i = 0; i < kSnakeKeys; ++i) {
        put(want, kSnakePath[i], lv(kFactor, kBreathCurve[(1 + 5 * i) % 96]));
    }
    EXPECT_EQ(sn.single(settings(5, false)), want);
}

TEST(KeyboardGoldenSingle, RippleShowRainAndComet) {
    Engine r = singleColour();
    r.reset(3);
    Single want{};
    put(want, 109, lv(kFactor, 254 - 30));
    EXPECT_EQ(r.single(settings(3, false)), want);

    Engine sh = singleColour();
    sh.reset(4);
    want = {};
    for (uint8_t k : {21, 42, 63, 84, 106}) {
        put(want, k, lv(kFactor, 225));
    }
    EXPECT_EQ(sh.single(settings(4, false)), want);
    // Its two further phases replay the ripple, then it starts again.
    for (int i = 1; i < 20 + 31 + 3 * 24; ++i) {
        sh.frame(settings(4, false));
        EXPECT_LE(sh.state.showPhase, 4);
    }
    EXPECT_EQ(sh.state.showPhase, 0);

    Engine rain = singleColour();
    want = {};
    for (size_t i = 0; i < 3; ++i) {
        put(want, kSnakePath[kRandomOrder[i]], lv(kFactor, 225));
    }
    EXPECT_EQ(rain.single(settings(7, false)), want);

    Engine c = singleColour();
    want = {};
    put(want, kCometPath[1], lv(kFactor, 224));
    EXPECT_EQ(c.single(settings(10, false)), want);
}

TEST(KeyboardGoldenSingle, CustomAndFalls) {
    Engine e = singleColour();
    EXPECT_EQ(e.single(settings(6, false)), Single{});
    e.layout[kSingleColourKeyMap[44]] = 255;
    Single want{};
    put(want, 44, 255);
    EXPECT_EQ(e.single(settings(6, false)), want);

    Engine f = singleColour();
    f.reset(8);
    want = {};
    for (size_t i = 0; i < 106; ++i) {
        const uint8_t k = kSnakePath[i];
        if (k == kNoKey) {
            continue;
        }
        size_t c = 0;
        size_t r = 0;
        ASSERT_TRUE(cellOf(k, c, r));
        put(want, k, lv(kFactor, kSharpFade[kColumnLevels[6 * c + r] + 1]));
    }
    EXPECT_EQ(f.single(settings(8, false)), want);

    Engine o = singleColour();
    o.reset(9);
    EXPECT_EQ(o.state.position[84], 9);  // the offsets of full-colour mode 16
    o.frame(settings(9, false));
    EXPECT_EQ(o.state.position[84], 10);
    EXPECT_EQ(o.state.lights[84].level, lv(kFactor, kSharpFade[10]));
}

TEST(KeyboardGoldenSingle, ModesElevenToSixteenKeepTheLevelsLeft) {
    Engine e = singleColour();
    const Single statics = e.single(settings(2, false));
    for (uint8_t m = 11; m <= 16; ++m) {
        e.reset(m);
        EXPECT_EQ(e.single(settings(m, false)), statics) << int(m);
    }
}

TEST(KeyboardFrames, BrightnessZeroGivesZeroFrames) {
    for (uint8_t m = 0; m < kKeyboardModes; ++m) {
        for (bool colourful : {false, true}) {
            Engine f = fullColour();
            f.layout.fill(200);
            f.reset(m);
            Engine s = singleColour();
            s.reset(m);
            for (int i = 0; i < 5; ++i) {
                EXPECT_EQ(f.full(settings(m, colourful, true, 0)), Full{}) << int(m);
                // The single-colour custom layout is its own level.
                if (m != kSingleColourCustomMode) {
                    EXPECT_EQ(s.single(settings(m, colourful, true, 0)), Single{}) << int(m);
                }
            }
        }
    }
}

TEST(KeyboardFrames, UnmappedPositionsStayZero) {
    std::set<size_t> mapped;
    for (uint8_t p : kFullColourKeyMap) {
        if (p != kNoKey) {
            mapped.insert(p);
        }
    }
    for (uint8_t m = 0; m < kKeyboardModes; ++m) {
        Engine e = fullColour();
        e.layout.fill(255);
        e.reset(m);
        for (int i = 0; i < 8; ++i) {
            const Full f = e.full(settings(m, i % 2 == 0, true, 4));
            for (size_t p = 0; p < kKeyCount; ++p) {
                if (!mapped.count(p)) {
                    EXPECT_EQ(f[3 * p] | f[3 * p + 1] | f[3 * p + 2], 0) << int(m) << " " << p;
                }
            }
        }
    }
}

TEST(KeyboardFrames, RippleAdvanceMovesEachPlaneItsWay) {
    RipplePlanes p{};
    for (auto& plane : p) {
        plane[5] = 0x08;
    }
    advanceRipple(p);
    EXPECT_EQ(p[0][4], 0x08);  // plane 1: left, its old cell shifted up a row
    EXPECT_EQ(p[0][5], 0x10);
    EXPECT_EQ(p[3][4], 0x08);  // plane 4: left, down
    EXPECT_EQ(p[3][5], 0x04);
    EXPECT_EQ(p[2][6], 0x08);  // plane 3: right, down
    EXPECT_EQ(p[2][5], 0x04);
    EXPECT_EQ(p[1][6], 0x08);  // plane 2: right, up
    EXPECT_EQ(p[1][5], 0x10);
    EXPECT_EQ(rippleColumn(p, 5), 0x14);

    // Bits shifted out of a byte are lost at the edges.
    RipplePlanes edge{};
    edge[0][22] = 0x80;
    edge[3][0] = 0x01;
    advanceRipple(edge);
    EXPECT_EQ(edge[0][22], 0);
    EXPECT_EQ(edge[3][0], 0);
}

TEST(KeyboardFrames, ResetsAndPausesByList) {
    for (uint8_t m : {4, 5, 11, 15, 16}) {
        EXPECT_TRUE(hasReset(KeyboardKind::FullColour, m));
    }
    EXPECT_FALSE(hasReset(KeyboardKind::FullColour, 6));
    EXPECT_FALSE(hasReset(KeyboardKind::SingleColour, 6));
    EXPECT_TRUE(hasReset(KeyboardKind::SingleColour, 3));
    using std::chrono::milliseconds;
    EXPECT_EQ(keyboardExtraPause(KeyboardKind::FullColour, 5), milliseconds(40));
    EXPECT_EQ(keyboardExtraPause(KeyboardKind::FullColour, 13), milliseconds(10));
    EXPECT_EQ(keyboardExtraPause(KeyboardKind::SingleColour, 7), milliseconds(100));
    EXPECT_EQ(keyboardExtraPause(KeyboardKind::SingleColour, 200), milliseconds(0));
}

TEST(KeyboardFrames, DisplayColours) {
    KeyLights lights{};
    lights[3] = {{1, 2, 3}, 77};
    const KeyDisplay full = keyDisplayOf(KeyboardKind::FullColour, lights);
    EXPECT_EQ(full.colour[3], 0xFF010203u);
    EXPECT_EQ(full.level[3], 77);
    const KeyDisplay single = keyDisplayOf(KeyboardKind::SingleColour, lights);
    EXPECT_EQ(single.colour[3], 0xFFF6FF00u);
}

}  // namespace
}  // namespace rxt::lighting
