#pragma once
// The mousepad's frame routines, modes 0 to 9: one call per frame computes
// the fifteen colours from the settings and the effect state and advances
// the state. The mousepad has no effects of its own; these frames are all it
// shows.

#include "lighting/effect_state.h"
#include "lighting/frames.h"

namespace rxt::lighting {

inline constexpr uint8_t kMousepadModes = 10;  // 0..9; 9 has no routine

// The frame of settings.mode at `now` (mode 8 compares it with the flash's
// start). Modes 2 and 9 send nothing.
MousepadFrame mousepadFrame(EffectState& state, const LightSettings& settings,
                            Clock::time_point now);

// Mode 5's start: each light's ripple phase set by its distance from the
// middle light, so the first frames spread outward from it.
void armRipple(EffectState& state);

// How long mode 8 shows a flash.
inline constexpr std::chrono::milliseconds kFlashTime{100};

}  // namespace rxt::lighting
