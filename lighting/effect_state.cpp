#include "lighting/effect_state.h"

#include <algorithm>

namespace rxt::lighting {

LightSettings LightSettings::of(const DeviceImages& images) {
    const auto& r = images.current;
    LightSettings s;
    s.mode = r.get(rec::kLightMode);
    s.brightness = r.get(rec::kBrightness);
    s.speed = r.get(rec::kSpeed);
    s.up = r.get(rec::kDirection) != 0;
    s.colourful = r.get(rec::kColourful) != 0;
    s.colour = {r.get(rec::kRed), r.get(rec::kGreen), r.get(rec::kBlue)};
    s.cycle = r.get(rec::kPreviewCycle);
    return s;
}

uint8_t LightSettings::factor() const {
    return kBrightnessCurve[std::min<size_t>(brightness, kBrightnessCurve.size() - 1)];
}

void EffectState::reset() {
    position = 0;
    subPosition = 0;
    colourIndex = 0;
    levels.fill(0);
    working = {};
}

void EffectState::startFlash(Clock::time_point at) {
    flash.level = 128;
    flash.active = true;
    const unsigned next = flash.wheelPosition + 14u;
    flash.wheelPosition = next >= kColourWheel.size() ? 0 : static_cast<uint8_t>(next);
    flash.start = at;
}

uint8_t step(uint8_t& position, bool up, unsigned n) {
    const uint8_t next = static_cast<uint8_t>(up ? position + 1 : position - 1);
    position = next < n ? next : static_cast<uint8_t>(up ? 0 : n - 1);
    return position;
}

Rgb scale(Rgb c, unsigned s) {
    auto one = [s](uint8_t v) { return static_cast<uint8_t>((s + 1) * v / 256); };
    return {one(c.r), one(c.g), one(c.b)};
}

EffectRequests::Taken EffectRequests::take() {
    Taken t;
    const uint32_t resets = resets_.load(std::memory_order_acquire);
    t.reset = resets != seenResets_;
    seenResets_ = resets;
    const uint32_t flashes = flashes_.load(std::memory_order_acquire);
    if (flashes != seenFlashes_) {
        seenFlashes_ = flashes;
        t.flash = true;
        t.flashAt = Clock::time_point(Clock::duration(flashAt_.load(std::memory_order_relaxed)));
    }
    return t;
}

}  // namespace rxt::lighting
