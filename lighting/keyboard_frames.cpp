#include "lighting/keyboard_frames.h"

#include <algorithm>
#include <span>

namespace rxt::lighting {
namespace {

using std::chrono::milliseconds;

constexpr size_t kFallEntriesFull = 111;
constexpr size_t kFallEntriesSingle = 106;
constexpr uint8_t kShowRippleFrames = 24;

Rgb wheel(unsigned position) {
    return kColourWheel[position % kColourWheel.size()];
}

uint8_t levelOf(unsigned factor, unsigned level) {
    return static_cast<uint8_t>(factor * level / 256);
}

// Every key of the matrix, with its column.
template <class F>
void forMatrix(F f) {
    for (size_t c = 0; c < kMatrixColumns; ++c) {
        for (size_t r = 0; r < kMatrixRows; ++r) {
            const uint8_t key = matrixKey(c, r);
            if (key < kKeyCount) {
                f(key, c, r);
            }
        }
    }
}

// The first n entries of the snake path that are keys, with their step.
template <class F>
void forSnake(size_t n, F f) {
    for (size_t i = 0; i < n && i < kSnakePath.size(); ++i) {
        const uint8_t key = kSnakePath[i];
        if (key < kKeyCount) {
            f(key, i);
        }
    }
}

void setAll(KeyboardEffectState& s, Rgb c, uint8_t level) {
    for (KeyLight& l : s.lights) {
        l = {c, level};
    }
}

void setLevels(KeyboardEffectState& s, uint8_t level) {
    for (KeyLight& l : s.lights) {
        l.level = level;
    }
}

uint8_t nextColour(KeyboardEffectState& s, unsigned by) {
    s.colourCounter = static_cast<uint8_t>(s.colourCounter + by);
    return s.colourCounter;
}

void applyKeyLevelRule(KeyboardEffectState& s, bool mode5) {
    for (uint8_t& h : s.heat) {
        h = nextKeyLevel(h, mode5);
    }
}

// Each key's heat as its level, coloured from the wheel at its colour index
// or with the single colour.
void showHeat(KeyboardEffectState& s, const LightSettings& set) {
    const unsigned factor = set.factor();
    for (size_t k = 0; k < kKeyCount; ++k) {
        const Rgb c = set.colourful ? wheel(s.colourIndex[k]) : set.colour;
        s.lights[k] = {c, levelOf(factor, s.heat[k])};
    }
}

void showHeatLevels(KeyboardEffectState& s, const LightSettings& set) {
    const unsigned factor = set.factor();
    for (size_t k = 0; k < kKeyCount; ++k) {
        s.lights[k].level = levelOf(factor, s.heat[k]);
    }
}

bool cellLit(const RipplePlanes& planes, size_t c, size_t r) {
    return (rippleColumn(planes, c) >> r & 1u) != 0;
}

// Full-colour ripple lighting: lit cells to 255 and, colourful, the next
// colour index.
void lightRipple(KeyboardEffectState& s, bool colourful) {
    forMatrix([&](uint8_t key, size_t c, size_t r) {
        if (cellLit(s.planes, c, r)) {
            s.heat[key] = 255;
            if (colourful) {
                s.colourIndex[key] = nextColour(s, 11);
            }
        }
    });
}

// Single-colour ripple lighting: lit cells 254, every other key 0.
void lightRippleLevels(KeyboardEffectState& s) {
    s.heat.fill(0);
    forMatrix([&](uint8_t key, size_t c, size_t r) {
        if (cellLit(s.planes, c, r)) {
            s.heat[key] = 254;
        }
    });
}

void seedColumn(RipplePlanes& planes, size_t column, uint8_t bits) {
    for (auto& plane : planes) {
        plane[column] |= bits;
    }
}

void startRipple(KeyboardEffectState& s, size_t column, uint8_t bits) {
    for (auto& plane : s.planes) {
        plane.fill(0);
    }
    seedColumn(s.planes, column, bits);
}

// A wave across the columns: colourful, the wheel from `colourPosition`,
// `colourStep` a column; else the colour at the levels of `fade`, `fadeStep`
// a column.
void columnWave(KeyboardEffectState& s, const LightSettings& set, uint8_t& colourPosition,
                size_t colourStep, std::span<const uint8_t> fade, size_t fadeStep) {
    const unsigned factor = set.factor();
    if (set.colourful) {
        const uint8_t p = step(colourPosition, set.up, 192);
        forMatrix([&](uint8_t key, size_t c, size_t) {
            s.lights[key] = {wheel(p + colourStep * c), static_cast<uint8_t>(factor)};
        });
        return;
    }
    const uint8_t p = step(s.globalPosition, set.up, 96);
    forMatrix([&](uint8_t key, size_t c, size_t) {
        s.lights[key] = {set.colour, levelOf(factor, fade[(p + fadeStep * c) % 96])};
    });
}

// Full-colour 0: a wave across the columns.
void wave(KeyboardEffectState& s, const LightSettings& set) {
    columnWave(s, set, s.globalPosition, 7, kBreathCurve, 10);
}

KeyboardFrameResult pulse(KeyboardEffectState& s, const LightSettings& set) {
    KeyboardFrameResult result;
    const uint8_t p = step(s.globalPosition, set.up, 128);
    if (p == 0) {
        result.cycleAdvanced = true;
        result.cycle = static_cast<uint8_t>(set.cycle >= 2 ? 0 : set.cycle + 1);
    }
    const Rgb c = set.colourful ? wheel(p + 50u) : set.colour;
    setAll(s, c, levelOf(set.factor(), kFadeCurve[p]));
    return result;
}

void rainbowPerKey(KeyboardEffectState& s, const LightSettings& set) {
    for (size_t k = 0; k < kKeyCount; ++k) {
        uint8_t& p = s.position[k];
        p = static_cast<uint8_t>(p >= 191 ? 0 : p + 1);
        s.lights[k] = {wheel(p), set.factor()};
    }
}

void ripple(KeyboardEffectState& s, const LightSettings& set) {
    const uint8_t start = rippleColumn(s.planes, 9);
    if (start == 1 || start == 64) {
        seedColumn(s.planes, 9, 0x40);
    }
    advanceRipple(s.planes);
    lightRipple(s, set.colourful);
    applyKeyLevelRule(s, true);
    showHeat(s, set);
}

// The show's step: lights one sweep step, one pair or one ripple frame.
// `levelsOnly` adds the single-colour list's two ripple replays.
void show(KeyboardEffectState& s, const LightSettings& set, bool levelsOnly) {
    auto light = [&](uint8_t key) {
        if (key < kKeyCount) {
            s.heat[key] = 255;
            if (set.colourful && !levelsOnly) {
                s.colourIndex[key] = nextColour(s, 11);
            }
        }
    };
    auto rippleFrame = [&] {
        advanceRipple(s.planes);
        if (levelsOnly) {
            forMatrix([&](uint8_t key, size_t c, size_t r) {
                if (cellLit(s.planes, c, r)) {
                    s.heat[key] = 254;
                }
            });
        } else {
            lightRipple(s, set.colourful);
        }
    };
    auto next = [&](uint8_t steps, uint8_t nextPhase) {
        if (++s.showStep >= steps) {
            s.showStep = 0;
            s.showPhase = nextPhase;
        }
    };
    switch (s.showPhase) {
        case 0:
            for (uint8_t key : kShowSweep[s.showStep % kSweepSteps]) {
                light(key);
            }
            next(kSweepSteps, 1);
            break;
        case 1:
            for (uint8_t key : kShowPairs[s.showStep % kPairSteps]) {
                light(key);
            }
            next(kPairSteps, 2);
            break;
        case 2:
            if (s.showStep == 0) {
                for (auto& plane : s.planes) {
                    plane.fill(0);
                }
                handOffKey(s, kShowRippleKey);
            }
            rippleFrame();
            next(kShowRippleFrames, levelsOnly ? 3 : 0);
            break;
        case 3:
        case 4:
            if (s.showStep == 0) {
                startRipple(s, s.showPhase == 3 ? 9 : 1, s.showPhase == 3 ? 0x40 : 0x01);
            }
            rippleFrame();
            next(kShowRippleFrames, s.showPhase == 3 ? 4 : 0);
            break;
        default:
            s.showPhase = 0;
            s.showStep = 0;
            break;
    }
    applyKeyLevelRule(s, false);
    if (levelsOnly) {
        showHeatLevels(s, set);
    } else {
        showHeat(s, set);
    }
}

void snake(KeyboardEffectState& s, const LightSettings& set) {
    const unsigned factor = set.factor();
    if (set.colourful) {
        const uint8_t p = step(s.globalPosition, set.up, 192);
        forSnake(kSnakeKeys, [&](uint8_t key, size_t i) {
            s.lights[key] = {wheel(p + 5 * i), static_cast<uint8_t>(factor)};
        });
        return;
    }
    const uint8_t p = step(s.globalPosition, set.up, 96);
    forSnake(kSnakeKeys, [&](uint8_t key, size_t i) {
        s.lights[key] = {set.colour, levelOf(factor, kBreathCurve[(p + 5 * i) % 96])};
    });
}

uint8_t layoutByte(std::span<const uint8_t> layout, size_t i) {
    return i < layout.size() ? layout[i] : 0;
}

void custom(KeyboardEffectState& s, const LightSettings& set, std::span<const uint8_t> layout) {
    const auto& map = kFullColourKeyMap;
    for (size_t k = 0; k < kKeyCount; ++k) {
        const size_t at = 3u * map[k];
        const Rgb c{layoutByte(layout, at), layoutByte(layout, at + 1), layoutByte(layout, at + 2)};
        s.lights[k] = {map[k] == kNoKey ? Rgb{} : c, set.factor()};
    }
}

// Three new snake keys a frame in the random order; with the hand-off's
// ripples in the full-colour list.
void rain(KeyboardEffectState& s, const LightSettings& set, bool levelsOnly) {
    if (!levelsOnly) {
        advanceRipple(s.planes);
        lightRipple(s, set.colourful);
    }
    for (int n = 0; n < 3; ++n) {
        const uint8_t key = kSnakePath[kRandomOrder[s.rainIndex % kSnakeKeys]];
        s.rainIndex = static_cast<uint8_t>((s.rainIndex + 1) % kSnakeKeys);
        if (key < kKeyCount) {
            s.heat[key] = 255;
            s.colourIndex[key] = nextColour(s, 10);
        }
    }
    applyKeyLevelRule(s, false);
    if (levelsOnly) {
        showHeatLevels(s, set);
    } else {
        showHeat(s, set);
    }
}

void rowWave(KeyboardEffectState& s, const LightSettings& set) {
    const uint8_t p = step(s.subPosition, set.up, 192);
    // Each row 16 wheel steps on from the one above.
    forMatrix([&](uint8_t key, size_t, size_t r) {
        s.lights[key] = {wheel(p + 16 * r), set.factor()};
    });
}

// The falls: each key's level byte runs up the sharp fade; `bytes` is the
// byte the fall advances, `colourStep` how far a wrap moves the colour.
void fall(KeyboardEffectState& s, const LightSettings& set, size_t entries,
          std::array<uint8_t, kKeyCount>& bytes, unsigned colourStep, bool named, bool levelsOnly) {
    const unsigned factor = set.factor();
    forSnake(entries, [&](uint8_t key, size_t) {
        uint8_t& b = bytes[key];
        if (b >= 191) {
            b = 0;
            s.colourIndex[key] = static_cast<uint8_t>(s.colourIndex[key] + colourStep);
        } else {
            ++b;
        }
        const uint8_t level = levelOf(factor, kSharpFade[b]);
        if (levelsOnly) {
            s.lights[key].level = level;
            return;
        }
        Rgb c = set.colour;
        if (set.colourful) {
            c = named ? namedColour(s.colourIndex[key]) : wheel(s.colourIndex[key]);
        }
        s.lights[key] = {c, level};
    });
}

void comet(KeyboardEffectState& s, const LightSettings& set, bool levelsOnly) {
    constexpr uint8_t last = kCometPath.size() - 1;  // 105
    if (set.up) {
        s.cometHead = static_cast<uint8_t>(s.cometHead >= last ? 0 : s.cometHead + 1);
    } else {
        // Down from 0 the head goes to the empty entry past the end.
        s.cometHead = static_cast<uint8_t>(s.cometHead == 0 ? last + 1 : s.cometHead - 1);
    }
    const uint8_t key = s.cometHead < kCometPath.size() ? kCometPath[s.cometHead] : kNoKey;
    if (key < kKeyCount) {
        s.heat[key] = 254;
        s.colourIndex[key] = nextColour(s, 13);
    }
    applyKeyLevelRule(s, false);
    if (levelsOnly) {
        showHeatLevels(s, set);
    } else {
        showHeat(s, set);
    }
}

void rings(KeyboardEffectState& s, const LightSettings& set) {
    s.globalPosition = static_cast<uint8_t>((s.globalPosition % 192 + (set.up ? 4 : 190)) % 192);
    for (size_t y = 0; y < kRingGridSide; ++y) {
        for (size_t x = 0; x < kRingGridSide; ++x) {
            const uint8_t key = kSnakePath[kRingGridSide * y + x];
            if (key >= kKeyCount) {
                continue;
            }
            const size_t ring = ringOf(x, y);
            s.lights[key] = {wheel(s.globalPosition + 21 * ring),
                             levelOf(set.factor(), kRingLevels[ring])};
        }
    }
}

void narrowWave(KeyboardEffectState& s, const LightSettings& set) {
    columnWave(s, set, s.subPosition, 2, kSharpFade, 5);
}

void singleRipple(KeyboardEffectState& s, const LightSettings& set) {
    if (!s.singleRippleStarted) {
        startRipple(s, 1, 0x01);
        s.singleRippleStarted = true;
    }
    if (rippleColumn(s.planes, 1) == 1) {
        seedColumn(s.planes, 1, 0x01);
    }
    if (rippleColumn(s.planes, 22) == 1) {
        seedColumn(s.planes, 22, 0x40);
    }
    advanceRipple(s.planes);
    lightRipple(s, set.colourful);
    applyKeyLevelRule(s, false);
    showHeat(s, set);
}

KeyboardFrameResult fullColourFrame(KeyboardEffectState& s, const LightSettings& set,
                                    std::span<const uint8_t> layout) {
    switch (set.mode) {
        case 0:
            wave(s, set);
            break;
        case 1:
            setAll(s, wheel(step(s.globalPosition, set.up, 192)), set.factor());
            break;
        case 2:
            return pulse(s, set);
        case 3:
            setAll(s, set.colour, set.factor());
            break;
        case 4:
            rainbowPerKey(s, set);
            break;
        case 5:
            ripple(s, set);
            break;
        case 6:
            show(s, set, false);
            break;
        case 7:
            snake(s, set);
            break;
        case 8:
            custom(s, set, layout);
            break;
        case 9:
            rain(s, set, false);
            break;
        case 10:
            rowWave(s, set);
            break;
        case 11:
            fall(s, set, kFallEntriesFull, s.position, 5, true, false);
            break;
        case 12:
            comet(s, set, false);
            break;
        case 13:
            rings(s, set);
            break;
        case 14:
            narrowWave(s, set);
            break;
        case 15:
            singleRipple(s, set);
            break;
        case 16:
            fall(s, set, kFallEntriesFull, s.second, 10, false, false);
            break;
        default:
            break;
    }
    return {};
}

void singleColourFrame(KeyboardEffectState& s, const LightSettings& set,
                       std::span<const uint8_t> layout) {
    const unsigned factor = set.factor();
    switch (set.mode) {
        case 0: {
            const uint8_t p = step(s.globalPosition, set.up, 96);
            forMatrix([&](uint8_t key, size_t c, size_t) {
                s.lights[key].level = levelOf(factor, kBreathCurve[(p + 7 * c) % 96]);
            });
            break;
        }
        case 1:
            s.globalPosition =
                static_cast<uint8_t>(s.globalPosition >= 127 ? 0 : s.globalPosition + 1);
            setLevels(s, levelOf(factor, kFadeCurve[s.globalPosition]));
            break;
        case 2:
            setLevels(s, static_cast<uint8_t>(factor));
            break;
        case 3: {
            const uint8_t start = rippleColumn(s.planes, 9);
            if (start == 1 || start == 96) {
                seedColumn(s.planes, 9, 0x40);
            }
            advanceRipple(s.planes);
            lightRippleLevels(s);
            applyKeyLevelRule(s, false);
            showHeatLevels(s, set);
            break;
        }
        case 4:
            show(s, set, true);
            break;
        case 5: {
            const uint8_t p = step(s.globalPosition, set.up, 96);
            forSnake(kSnakeKeys, [&](uint8_t key, size_t i) {
                s.lights[key].level = levelOf(factor, kBreathCurve[(p + 5 * i) % 96]);
            });
            break;
        }
        case 6: {
            const auto& map = kSingleColourKeyMap;
            for (size_t k = 0; k < kKeyCount; ++k) {
                s.lights[k].level = map[k] == kNoKey ? 0 : layoutByte(layout, map[k]);
            }
            break;
        }
        case 7:
            rain(s, set, true);
            break;
        case 8:
        case 9:
            fall(s, set, kFallEntriesSingle, s.position, 0, false, true);
            break;
        case 10:
            comet(s, set, true);
            break;
        default:
            break;  // 11 to 16: the sender alone, on the levels left
    }
}

void columnLevels(KeyboardEffectState& s) {
    forMatrix([&](uint8_t key, size_t c, size_t r) {
        s.position[key] = kColumnLevels[kMatrixRows * c + r];
        s.colourIndex[key] = static_cast<uint8_t>(7 * c);
    });
}

// Column c starts at 192 - 8 c; each row 35 lower, or 98 lower where 35
// would pass below 0.
void columnOffsets(KeyboardEffectState& s, std::array<uint8_t, kKeyCount>& bytes) {
    for (size_t c = 0; c < kMatrixColumns; ++c) {
        uint8_t a = static_cast<uint8_t>(192 - 8 * c);
        for (size_t r = 0; r < kMatrixRows; ++r) {
            uint8_t b = static_cast<uint8_t>(a - 35);
            if (b >= 192) {
                b = static_cast<uint8_t>(a - 98);
            }
            const uint8_t key = matrixKey(c, r);
            if (key < kKeyCount) {
                bytes[key] = b;
                s.colourIndex[key] = static_cast<uint8_t>(7 * c);
            }
            a = b;
        }
    }
}

void rainbowStart(KeyboardEffectState& s) {
    uint8_t sum = 0;
    for (uint8_t& p : s.position) {
        p = sum;
        sum = static_cast<uint8_t>(sum + (sum >= 160 && sum <= 222 ? 97 : 33));
    }
}

void showStart(KeyboardEffectState& s) {
    s.showPhase = 0;
    s.showStep = 0;
    s.heat.fill(0);
}

}  // namespace

const std::array<uint8_t, kKeyCount>& keyMapFor(KeyboardKind kind) {
    return kind == KeyboardKind::FullColour ? kFullColourKeyMap : kSingleColourKeyMap;
}

KeyboardFrameResult keyboardFrame(KeyboardKind kind, KeyboardEffectState& state,
                                  const LightSettings& settings, std::span<const uint8_t> layout) {
    if (kind == KeyboardKind::FullColour) {
        return fullColourFrame(state, settings, layout);
    }
    singleColourFrame(state, settings, layout);
    return {};
}

bool hasReset(KeyboardKind kind, uint8_t mode) {
    if (kind == KeyboardKind::FullColour) {
        return mode == 4 || mode == 5 || mode == 11 || mode == 15 || mode == 16;
    }
    switch (mode) {
        case 3:
        case 4:
        case 5:
        case 8:
        case 9:
        case 11:
        case 15:
        case 16:
            return true;
        default:
            return false;
    }
}

void keyboardReset(KeyboardKind kind, uint8_t mode, KeyboardEffectState& state) {
    if (kind == KeyboardKind::FullColour) {
        switch (mode) {
            case 4:
                rainbowStart(state);
                break;
            case 5:
                startRipple(state, 9, 0x40);
                break;
            case 11:
                columnLevels(state);
                break;
            case 15:
                startRipple(state, 1, 0x01);
                state.singleRippleStarted = true;
                break;
            case 16:
                columnOffsets(state, state.second);
                break;
            default:
                break;
        }
        return;
    }
    switch (mode) {
        case 3:
            startRipple(state, 9, 0x40);
            break;
        case 4:
            showStart(state);
            break;
        case 5:
            state.globalPosition = 0;
            break;
        case 8:
            columnLevels(state);
            break;
        case 9:
            columnOffsets(state, state.position);
            break;
        // 11, 15 and 16 have no routine on this keyboard: their starts are
        // kept for a later mode and the levels shown stay as they are.
        case 11:
            columnLevels(state);
            break;
        case 15:
            startRipple(state, 1, 0x01);
            break;
        case 16:
            columnOffsets(state, state.second);
            break;
        default:
            break;
    }
}

void handOffKey(KeyboardEffectState& state, uint8_t key) {
    size_t column = 0;
    size_t row = 0;
    if (cellOf(key, column, row)) {
        seedColumn(state.planes, column, static_cast<uint8_t>(1u << row));
    }
}

milliseconds keyboardExtraPause(KeyboardKind kind, uint8_t mode) {
    if (kind == KeyboardKind::FullColour) {
        constexpr std::array<uint8_t, kKeyboardModes> pauses{0, 20, 0, 0, 12, 40, 15, 1, 0,
                                                             0, 0,  0, 0, 10, 0,  50, 0};
        return milliseconds(mode < pauses.size() ? pauses[mode] : 0);
    }
    constexpr std::array<uint8_t, kKeyboardModes> pauses{0, 0, 0, 40, 15, 1, 0, 100, 0,
                                                         0, 0, 0, 0,  0,  0, 0, 0};
    return milliseconds(mode < pauses.size() ? pauses[mode] : 0);
}

void advanceRipple(RipplePlanes& planes) {
    auto& p1 = planes[0];
    auto& p2 = planes[1];
    auto& p3 = planes[2];
    auto& p4 = planes[3];
    auto shl = [](uint8_t& v) { v = static_cast<uint8_t>(v << 1); };
    auto shr = [](uint8_t& v) { v = static_cast<uint8_t>(v >> 1); };
    shr(p4[0]);
    for (size_t c = 0; c + 1 < kMatrixColumns; ++c) {
        shl(p1[c]);
        p4[c] |= p4[c + 1];
        shr(p4[c + 1]);
        p1[c] |= p1[c + 1];
    }
    shl(p1[kMatrixColumns - 1]);
    shr(p3[kMatrixColumns - 1]);
    shl(p2[kMatrixColumns - 1]);
    for (size_t c = kMatrixColumns - 1; c-- > 0;) {
        p3[c + 1] |= p3[c];
        shr(p3[c]);
        p2[c + 1] |= p2[c];
        shl(p2[c]);
    }
}

uint8_t rippleColumn(const RipplePlanes& planes, size_t column) {
    return static_cast<uint8_t>(planes[0][column] | planes[1][column] | planes[2][column] |
                                planes[3][column]);
}

std::array<uint8_t, kFullColourFrameBytes> fullColourFrame(const KeyLights& lights) {
    std::array<uint8_t, kFullColourFrameBytes> out{};
    for (size_t k = 0; k < kKeyCount; ++k) {
        const uint8_t at = kFullColourKeyMap[k];
        if (at == kNoKey) {
            continue;
        }
        const KeyLight& l = lights[k];
        out[3u * at] = static_cast<uint8_t>(l.colour.r * l.level / 256);
        out[3u * at + 1] = static_cast<uint8_t>(l.colour.g * l.level / 256);
        out[3u * at + 2] = static_cast<uint8_t>(l.colour.b * l.level / 256);
    }
    return out;
}

std::array<uint8_t, kSingleColourFrameBytes> singleColourFrame(const KeyLights& lights) {
    std::array<uint8_t, kSingleColourFrameBytes> out{};
    for (size_t k = 0; k < kKeyCount; ++k) {
        const uint8_t at = kSingleColourKeyMap[k];
        if (at != kNoKey) {
            out[at] = lights[k].level;
        }
    }
    return out;
}

KeyDisplay keyDisplayOf(KeyboardKind kind, const KeyLights& lights) {
    KeyDisplay d;
    for (size_t k = 0; k < kKeyCount; ++k) {
        const Rgb c = kind == KeyboardKind::FullColour ? lights[k].colour : kSingleColourDisplay;
        d.colour[k] = argbOf(c);
        d.level[k] = lights[k].level;
    }
    return d;
}

}  // namespace rxt::lighting
