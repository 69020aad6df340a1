#pragma once
// The mouse's frame routines, modes 0 to 7. The mouse runs its effects in its
// own firmware, so these only animate the window's preview: twenty controls
// ("ms_dkey_0" .. "ms_dkey_19") tinted by a colour and an alpha. Modes 0 to 5
// and 7 touch only the controls marked visible, so a hidden window costs
// nothing; the flash of mode 6 clears what it lit wherever it is.

#include <cstdint>

#include "lighting/effect_state.h"
#include "lighting/frames.h"

namespace rxt::lighting {

inline constexpr uint8_t kMouseModes = 8;

// `visible`: bit i set when control i is shown.
PreviewFrame mouseFrame(EffectState& state, const LightSettings& settings, uint32_t visible);

// The trail's start after a reset: placed so the first frame lights the
// end of the strip the direction begins from.
void armTrail(EffectState& state, bool up);

}  // namespace rxt::lighting
