// Cost of one frame of each keyboard mode of both lists: the frame routine
// and the frame sender's bytes, as the keyboard light thread runs them every
// few ms.

#include <benchmark/benchmark.h>

#include "lighting/keyboard_frames.h"

namespace {

using namespace rxt::lighting;
using rxt::KeyboardKind;

LightSettings settingsFor(int mode, bool colourful) {
    LightSettings s;
    s.mode = static_cast<uint8_t>(mode);
    s.brightness = 3;
    s.up = true;
    s.colourful = colourful;
    s.colour = {200, 100, 50};
    return s;
}

template <KeyboardKind kind>
void keyboardRoutine(benchmark::State& state) {
    const LightSettings settings = settingsFor(static_cast<int>(state.range(0)), true);
    KeyboardEffectState effect;
    keyboardReset(kind, settings.mode, effect);
    std::array<uint8_t, kFullColourFrameBytes> layout{};
    layout.fill(0x80);
    for (auto _ : state) {
        keyboardFrame(kind, effect, settings, layout);
        if constexpr (kind == KeyboardKind::FullColour) {
            auto bytes = fullColourFrame(effect.lights);
            benchmark::DoNotOptimize(bytes);
        } else {
            auto bytes = singleColourFrame(effect.lights);
            benchmark::DoNotOptimize(bytes);
        }
    }
}
BENCHMARK(keyboardRoutine<KeyboardKind::FullColour>)->DenseRange(0, kKeyboardModes - 1);
BENCHMARK(keyboardRoutine<KeyboardKind::SingleColour>)->DenseRange(0, kKeyboardModes - 1);

}  // namespace
