// Cost of one call of each mouse and mousepad frame routine, with the bytes
// the mousepad thread streams; the light threads run one every few ms.

#include <benchmark/benchmark.h>

#include "lighting/mouse_frames.h"
#include "lighting/mousepad_frames.h"

namespace {

using namespace rxt::lighting;

LightSettings settingsFor(int mode, bool colourful) {
    LightSettings s;
    s.mode = static_cast<uint8_t>(mode);
    s.brightness = 3;
    s.speed = 0;
    s.up = true;
    s.colourful = colourful;
    s.colour = {200, 100, 50};
    return s;
}

void mouseRoutine(benchmark::State& state) {
    const LightSettings settings = settingsFor(static_cast<int>(state.range(0)), true);
    EffectState effect;
    armTrail(effect, settings.up);
    Clock::time_point at = Clock::now();
    for (auto _ : state) {
        // Keeps mode 6's flash going instead of timing a dark frame.
        if (!effect.flash.active) {
            effect.startFlash(at);
        }
        PreviewFrame frame = mouseFrame(effect, settings, ~0u);
        benchmark::DoNotOptimize(frame);
    }
}
BENCHMARK(mouseRoutine)->DenseRange(0, kMouseModes - 1);

void mousepadRoutine(benchmark::State& state) {
    const LightSettings settings = settingsFor(static_cast<int>(state.range(0)), true);
    EffectState effect;
    if (settings.mode == 5) {
        armRipple(effect);
    }
    for (auto _ : state) {
        const Clock::time_point now = Clock::now();
        if (!effect.flash.active) {
            effect.startFlash(now);
        }
        MousepadFrame frame = mousepadFrame(effect, settings, now);
        auto bytes = frame.bytes();
        benchmark::DoNotOptimize(bytes);
    }
}
BENCHMARK(mousepadRoutine)->DenseRange(0, kMousepadModes - 1);

}  // namespace
