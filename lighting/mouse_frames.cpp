#include "lighting/mouse_frames.h"

namespace rxt::lighting {
namespace {

Rgb wheel(unsigned position) {
    return kColourWheel[position % kColourWheel.size()];
}

// Sets only what is visible.
struct Painter {
    PreviewFrame& f;
    uint32_t visible;

    void set(size_t i, Rgb c, unsigned alpha) const {
        if ((visible >> i & 1u) != 0) {
            f.set(i, c, alpha);
        }
    }
    void group(size_t g, Rgb c, unsigned alpha) const {
        for (uint8_t i : kMouseLedGroups[g]) {
            set(i, c, alpha);
        }
    }
};

unsigned levelAlpha(unsigned factor, unsigned level) {
    return factor * level / 256;
}

// Mode 0: the head of the trail runs round the 17 strip LEDs against the
// direction; each frame every level but a full one (255) loses a quarter
// (at least 1), then the head is set to 254.
void trail(EffectState& s, const LightSettings& set, const Painter& paint) {
    const uint8_t p = step(s.position, !set.up, kMouseTrailLeds);
    if (p == 0) {
        s.colourIndex = static_cast<uint8_t>((s.colourIndex + 1) % kSevenColoursB.size());
    }
    for (uint8_t& level : s.levels) {
        if (level != 255 && level != 0) {
            level = static_cast<uint8_t>(level - (level / 4 > 0 ? level / 4 : 1));
        }
    }
    s.levels[p] = 254;
    const Rgb c =
        set.colourful ? kSevenColoursB[s.colourIndex % kSevenColoursB.size()] : set.colour;
    for (size_t i = 0; i < kMouseTrailLeds; ++i) {
        paint.set(i, c, levelAlpha(set.factor(), s.levels[i]));
    }
}

void groupWave(EffectState& s, const LightSettings& set, const Painter& paint) {
    if (set.colourful) {
        const uint8_t p = step(s.position, set.up, 192);
        for (size_t g = 0; g < kMouseLedGroups.size(); ++g) {
            paint.group(g, wheel(p + 15 * g), set.factor());
        }
        return;
    }
    const uint8_t p = step(s.position, set.up, 96);
    for (size_t g = 0; g < kMouseLedGroups.size(); ++g) {
        paint.group(g, set.colour,
                    levelAlpha(set.factor(), kBreathCurve[(p + 20 * g) % kBreathCurve.size()]));
    }
}

void all(const Painter& paint, Rgb c, unsigned alpha) {
    for (size_t i = 0; i < kMouseControls; ++i) {
        paint.set(i, c, alpha);
    }
}

void stripes(EffectState& s, const LightSettings& set, const Painter& paint) {
    const uint8_t p = step(s.subPosition, set.up, kStripeColours.size());
    size_t offset = 0;  // 0 + 1 + ... + (g - 1)
    for (size_t g = 0; g < 7; ++g) {
        paint.group(g, kStripeColours[(p + offset) % kStripeColours.size()], set.factor());
        offset += g;
    }
}

void breathing(EffectState& s, const LightSettings& set, const Painter& paint) {
    const uint8_t p = step(s.position, set.up, 128);
    if (p == 0) {
        s.colourIndex = static_cast<uint8_t>((s.colourIndex + 1) % kSevenColoursA.size());
    }
    const Rgb c =
        set.colourful ? kSevenColoursA[s.colourIndex % kSevenColoursA.size()] : set.colour;
    for (size_t g = 0; g < 7; ++g) {
        paint.group(g, c, levelAlpha(set.factor(), kFadeCurve[p]));
    }
}

// Mode 6: the flash's level falls 3 a frame from 128; at 3 or less it is
// over and the 15 controls it lit are cleared, seen or not.
void reactive(EffectState& s, const LightSettings& set, PreviewFrame& f) {
    if (!s.flash.active) {
        return;
    }
    if (s.flash.level > 3) {
        s.flash.level = static_cast<uint8_t>(s.flash.level - 3);
    }
    if (s.flash.level <= 3) {
        s.flash.active = false;
        for (size_t i = 0; i < 15; ++i) {
            f.set(i, Rgb{}, 0);
        }
        return;
    }
    const Rgb c = set.colourful ? wheel(s.flash.wheelPosition) : set.colour;
    const unsigned level = kFadeCurve[s.flash.level < kFadeCurve.size() ? s.flash.level : 127];
    for (size_t i = 0; i < 15; ++i) {
        f.set(i, c, levelAlpha(set.factor(), level));
    }
}

}  // namespace

void armTrail(EffectState& state, bool up) {
    // The trail steps against the direction: with direction zero it steps
    // upward from 16 to LED 0 first, otherwise downward from 0 to LED 16.
    state.position = !up ? static_cast<uint8_t>(kMouseTrailLeds - 1) : 0;
}

PreviewFrame mouseFrame(EffectState& state, const LightSettings& settings, uint32_t visible) {
    PreviewFrame f;
    const Painter paint{f, visible};
    switch (settings.mode) {
        case 0:
            trail(state, settings, paint);
            break;
        case 1:
            groupWave(state, settings, paint);
            break;
        case 2: {
            const uint8_t p = step(state.position, settings.up, 192);
            all(paint, wheel(p), settings.factor());
            break;
        }
        case 3:
            stripes(state, settings, paint);
            break;
        case 4:
            breathing(state, settings, paint);
            break;
        case 5:
            all(paint, settings.colour, settings.factor());
            break;
        case 6:
            reactive(state, settings, f);
            break;
        case 7:
            all(paint, Rgb{}, settings.factor());
            break;
        default:
            break;
    }
    return f;
}

}  // namespace rxt::lighting
