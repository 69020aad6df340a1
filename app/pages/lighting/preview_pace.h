#pragma once

#include <chrono>

namespace rxt {

// How often a light thread with nothing on screen to draw asks whether that
// has changed.
inline constexpr std::chrono::milliseconds kPreviewIdleRecheck{250};
// At most one update of a preview every 33 ms (30 a second), however fast
// the effect runs: the keyboard runs some 440 frames a second at its fastest
// speed, and redrawing its 126 keys once per screen refresh (60 a second)
// cost the UI thread about 12% of a core; a preview needs no more than this.
inline constexpr std::chrono::milliseconds kPreviewFramePace{33};

}  // namespace rxt
