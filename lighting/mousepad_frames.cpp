#include "lighting/mousepad_frames.h"

#include <cstdlib>

#include "platform/debug_log.h"

namespace rxt::lighting {
namespace {

Rgb wheel(unsigned position) {
    return kColourWheel[position % kColourWheel.size()];
}

// Mode 0: a wave of the wheel (colourful) or of the colour breathing.
void wave(EffectState& s, const LightSettings& set, MousepadFrame& f) {
    const unsigned factor = set.factor();
    if (set.colourful) {
        const uint8_t p = step(s.position, set.up, 192);
        for (size_t i = 0; i < kMousepadLeds; ++i) {
            f.set(i, scale(wheel(p + 7 * i), factor));
        }
        return;
    }
    const uint8_t p = step(s.position, set.up, 96);
    const Rgb base = scale(set.colour, factor);
    for (size_t i = 0; i < kMousepadLeds; ++i) {
        f.set(i, scale(base, kBreathCurve[(p + 10 * i) % kBreathCurve.size()]));
    }
}

void colourCycle(EffectState& s, const LightSettings& set, MousepadFrame& f) {
    const uint8_t p = step(s.position, set.up, 192);
    const Rgb c = scale(wheel(p), set.factor());
    for (size_t i = 0; i < kMousepadLeds; ++i) {
        f.set(i, c);
    }
}

// Mode 2: lights 0..7 pulse on the preview only.
void pulse(EffectState& s, const LightSettings& set, MousepadFrame& f) {
    const uint8_t p = step(s.position, set.up, 128);
    if (p == 0) {
        f.cycleAdvanced = true;
        f.cycle = static_cast<uint8_t>(set.cycle >= 2 ? 0 : set.cycle + 1);
    }
    const Rgb c = set.colourful ? wheel(p + 48u) : set.colour;
    const Rgb lit = scale(scale(c, kFadeCurve[p]), set.factor());
    for (size_t i = 0; i < 8; ++i) {
        f.set(i, lit);
    }
}

void fill(const LightSettings& set, Rgb c, MousepadFrame& f) {
    const Rgb lit = scale(c, set.factor());
    for (size_t i = 0; i < kMousepadLeds; ++i) {
        f.set(i, lit);
    }
}

// Mode 4: a counter 0..15 in the sub position; the lights above it (upward)
// or below it (downward) are lit.
void scanner(EffectState& s, const LightSettings& set, MousepadFrame& f) {
    const unsigned counter = s.subPosition;
    s.subPosition = static_cast<uint8_t>(counter >= 15 ? 0 : counter + 1);
    for (size_t i = 0; i < kMousepadLeds; ++i) {
        const bool on = set.up ? i > counter : i < counter;
        const Rgb c = set.colourful ? wheel(7 * i) : set.colour;
        f.set(i, on ? scale(c, set.factor()) : Rgb{});
    }
}

size_t distanceFromMiddle(size_t i) {
    return static_cast<size_t>(std::abs(static_cast<int>(i) - static_cast<int>(kMousepadLeds / 2)));
}

// Mode 5: each light's level is the fade curve at its own phase; phases
// advance 4 a frame from armRipple's start, the wheel 1 a frame with 7 more
// per light of distance from the middle.
void ripple(EffectState& s, const LightSettings& set, MousepadFrame& f) {
    const uint8_t p = step(s.position, set.up, 192);
    for (size_t i = 0; i < kMousepadLeds; ++i) {
        s.levels[i] = static_cast<uint8_t>((s.levels[i] + 4) % kFadeCurve.size());
        const Rgb c = set.colourful ? wheel(p + 7 * distanceFromMiddle(i)) : set.colour;
        f.set(i, scale(scale(c, kFadeCurve[s.levels[i]]), set.factor()));
    }
}

void matrixFault(EffectState& s) {
    // Once per start of the mode: the grid's empty cells are met every frame.
    if (!s.matrixFaultLogged) {
        s.matrixFaultLogged = true;
        debugLog("按键错误");
    }
}

void lightColumn(EffectState& s, size_t column, Rgb c, MousepadFrame& f) {
    for (const auto& row : kMousepadMatrix) {
        const int led = row[column];
        if (led < 0 || led >= static_cast<int>(kMousepadLeds)) {
            matrixFault(s);
            continue;
        }
        f.set(static_cast<size_t>(led), c);
    }
}

// Mode 6: one wheel colour per column, 16 apart, the wheel stepping a frame.
void sweep(EffectState& s, const LightSettings& set, MousepadFrame& f) {
    const uint8_t p = step(s.position, set.up, 192);
    for (size_t c = 0; c < kMousepadColumns; ++c) {
        lightColumn(s, c, scale(wheel(p + 16 * c), set.factor()), f);
    }
}

// Mode 7: the position counts the frames of a phase (0..14) and the colour
// index is the phase (0 filling, 1 emptying). Column c shows bit c + 4 of
// the pattern: filling moves the lit block off to the right, emptying
// closes the rest towards the left.
void shutter(EffectState& s, const LightSettings& set, MousepadFrame& f) {
    const unsigned k = s.position;
    const bool filling = s.colourIndex == 0;
    const unsigned pattern = filling ? (0x3F00u << k) & 0xFFFFu : 252u >> k;
    for (size_t c = 0; c < kMousepadColumns; ++c) {
        const Rgb colour = set.colourful ? wheel(27 * c) : set.colour;
        const bool on = (pattern >> (c + 4) & 1u) != 0;
        lightColumn(s, c, on ? scale(colour, set.factor()) : Rgb{}, f);
    }
    if (k >= 14) {
        s.position = 0;
        s.colourIndex = filling ? 1 : 0;
        f.pause = std::chrono::milliseconds(1000);
    } else {
        s.position = static_cast<uint8_t>(k + 1);
    }
}

void reactive(EffectState& s, const LightSettings& set, Clock::time_point now, MousepadFrame& f) {
    const bool shown = s.flash.active && now - s.flash.start < kFlashTime;
    if (!shown) {
        s.flash.active = false;
    }
    const Rgb c = set.colourful ? wheel(s.flash.wheelPosition) : set.colour;
    const Rgb lit = shown ? scale(c, set.factor()) : Rgb{};
    for (size_t i = 0; i < kMousepadLeds; ++i) {
        f.set(i, lit);
    }
}

}  // namespace

std::array<uint8_t, kMousepadPaddedFrame> MousepadFrame::bytes() const {
    std::array<uint8_t, kMousepadPaddedFrame> out{};
    for (size_t i = 0; i < kMousepadLeds; ++i) {
        out[3 * i] = leds[i].r;
        out[3 * i + 1] = leds[i].g;
        out[3 * i + 2] = leds[i].b;
    }
    return out;
}

PreviewFrame MousepadFrame::preview() const {
    PreviewFrame p;
    for (size_t i = 0; i < kMousepadLeds; ++i) {
        if ((lit >> i & 1u) != 0) {
            p.set(i, leds[i], 255);
        }
    }
    return p;
}

void armRipple(EffectState& state) {
    for (size_t i = 0; i < kMousepadLeds; ++i) {
        state.levels[i] = static_cast<uint8_t>((128 - 16 * distanceFromMiddle(i)) % 128);
    }
}

MousepadFrame mousepadFrame(EffectState& state, const LightSettings& settings,
                            Clock::time_point now) {
    MousepadFrame f;
    switch (settings.mode) {
        case 0:
            wave(state, settings, f);
            f.sendSize = kMousepadColourBytes;
            break;
        case 1:
            colourCycle(state, settings, f);
            f.sendSize = kMousepadColourBytes;
            break;
        case 2:
            pulse(state, settings, f);
            break;
        case 3:
            fill(settings, settings.colour, f);
            f.sendSize = kMousepadPaddedFrame;
            break;
        case 4:
            scanner(state, settings, f);
            f.sendSize = kMousepadColourBytes;
            break;
        case 5:
            ripple(state, settings, f);
            f.sendSize = kMousepadColourBytes;
            break;
        case 6:
            sweep(state, settings, f);
            f.sendSize = kMousepadColourBytes;
            break;
        case 7:
            shutter(state, settings, f);
            f.sendSize = kMousepadColourBytes;
            break;
        case 8:
            reactive(state, settings, now, f);
            f.sendSize = kMousepadPaddedFrame;
            break;
        default:
            break;
    }
    return f;
}

}  // namespace rxt::lighting
