#pragma once
// The keyboard's software effects: every frame it shows is computed here and
// streamed to it. One call of keyboardFrame() runs the frame routine of the
// mode for the keyboard's kind and writes the per-key light state; the frame
// senders then turn that state into the bytes of one StreamFrame (378 bytes
// for the full-colour keyboard, 126 for the single-colour one).

#include <array>
#include <chrono>
#include <cstdint>
#include <span>

#include "lighting/effect_state.h"
#include "lighting/keyboard_tables.h"
#include "state/keyboard_kind.h"

namespace rxt::lighting {

inline constexpr uint8_t kKeyboardModes = 17;  // 0..16 in both lists
inline constexpr uint8_t kFullColourCustomMode = 8;
inline constexpr uint8_t kSingleColourCustomMode = 6;
inline constexpr uint8_t kHandOffMode = 9;  // full-colour: clicked keys start ripples
// The single-colour keyboard's keys are shown in this colour.
inline constexpr Rgb kSingleColourDisplay{0xF6, 0xFF, 0x00};

struct KeyLight {
    Rgb colour;
    uint8_t level = 0;

    constexpr bool operator==(const KeyLight&) const = default;
};
using KeyLights = std::array<KeyLight, kKeyCount>;

using RipplePlanes = std::array<std::array<uint8_t, kMatrixColumns>, 4>;

struct KeyboardEffectState {
    KeyLights lights{};
    // Per key: mode 4's wheel position and the falls' level byte.
    std::array<uint8_t, kKeyCount> position{};
    // Per key: mode 16's second level byte.
    std::array<uint8_t, kKeyCount> second{};
    std::array<uint8_t, kKeyCount> colourIndex{};
    // Per key: the key level of the ripples, the rain, the comet and the show
    // before the brightness factor.
    std::array<uint8_t, kKeyCount> heat{};
    uint8_t frameCounter = 0;
    uint8_t globalPosition = 0;
    uint8_t subPosition = 0;
    uint8_t colourCounter = 0;  // the running colour index of lit keys
    uint8_t rainIndex = 0;      // next entry of the random order
    uint8_t cometHead = 0;      // entry of the comet path
    uint8_t showPhase = 0;
    uint8_t showStep = 0;
    // Plane p, column c, bit r: cell (c, r); bit 6 a start point off the board.
    RipplePlanes planes{};
    bool singleRippleStarted = false;  // mode 15 has seeded since it began
};

struct KeyboardFrameResult {
    // Mode 2 advanced the record's cycle byte to `cycle`.
    bool cycleAdvanced = false;
    uint8_t cycle = 0;
};

// One frame of `settings.mode` for the kind. `layout` is the current custom
// layout (378 bytes; missing bytes count as 0). Modes without a routine
// (single-colour 11 to 16, anything past 16) leave the light state as it is.
KeyboardFrameResult keyboardFrame(KeyboardKind kind, KeyboardEffectState& state,
                                  const LightSettings& settings, std::span<const uint8_t> layout);

// The reset routine run when `mode` is entered; modes without one change
// nothing.
void keyboardReset(KeyboardKind kind, uint8_t mode, KeyboardEffectState& state);
bool hasReset(KeyboardKind kind, uint8_t mode);

// A key clicked on the page in full-colour mode 9: a ripple starts at its
// cell. Keys off the matrix are ignored.
void handOffKey(KeyboardEffectState& state, uint8_t key);

// The pause of a mode before its routine, besides the pace of the thread
// (including the rings' 10 ms, mode 15's 50 ms and the rain's 100 ms).
std::chrono::milliseconds keyboardExtraPause(KeyboardKind kind, uint8_t mode);

// Ripple steps, once per frame of the ripple modes.
void advanceRipple(RipplePlanes& planes);
// The four planes' bytes of a column ORed together.
uint8_t rippleColumn(const RipplePlanes& planes, size_t column);

const std::array<uint8_t, kKeyCount>& keyMapFor(KeyboardKind kind);

// Frame bytes of the full-colour keyboard: key k at 3 map(k), each
// component times the level / 256; zero where no key maps.
std::array<uint8_t, kFullColourFrameBytes> fullColourFrame(const KeyLights& lights);
// Frame bytes of the single-colour keyboard: the level of key k at map(k).
std::array<uint8_t, kSingleColourFrameBytes> singleColourFrame(const KeyLights& lights);

// What the key controls show of a frame: colour and level per key.
struct KeyDisplay {
    std::array<uint32_t, kKeyCount> colour{};  // ARGB
    std::array<uint8_t, kKeyCount> level{};
};
KeyDisplay keyDisplayOf(KeyboardKind kind, const KeyLights& lights);

}  // namespace rxt::lighting
