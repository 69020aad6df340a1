#pragma once
// What the frame routines keep between frames, the two steps they share, and
// the lighting bytes of a current record they read. The state belongs to its
// light thread; the UI and listener threads ask for a reset or a flash
// through EffectRequests, which the thread takes up before its next frame.

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>

#include "lighting/light_tables.h"
#include "state/device_images.h"

namespace rxt::lighting {

using Clock = std::chrono::steady_clock;

// Bytes 1..9 of a current record, read once per frame.
struct LightSettings {
    uint8_t mode = 0;
    uint8_t brightness = 0;  // index into the brightness curve
    uint8_t speed = 0;       // 0 fastest .. 4
    bool up = false;         // direction byte nonzero: positions step upward
    bool colourful = false;
    Rgb colour;
    uint8_t cycle = 0;  // mousepad mode 2's cycle byte

    static LightSettings of(const DeviceImages& images);
    // The brightness curve at the brightness byte; bytes past the curve
    // (from a bad file or device) count as the brightest.
    uint8_t factor() const;
};

struct EffectState {
    uint8_t position = 0;
    uint8_t subPosition = 0;
    uint8_t colourIndex = 0;
    std::array<uint8_t, kMouseTrailLeds> levels{};
    Rgb working;
    struct Flash {
        uint8_t level = 0;
        bool active = false;
        uint8_t wheelPosition = 0;
        Clock::time_point start{};
    } flash;
    // The mousepad matrix routine has written its bad-entry line once.
    bool matrixFaultLogged = false;

    // Positions to 0, levels and the working colour cleared.
    void reset();
    // A flash begins: level 128, the wheel position 14 on (back to 0 past
    // the wheel's end).
    void startFlash(Clock::time_point at);
};

// position + 1 (up) or - 1 modulo 256 (down); a result of n or more becomes
// 0 going up, n - 1 going down. Returns the new position.
uint8_t step(uint8_t& position, bool up, unsigned n);
// Each byte becomes (s + 1) x byte / 256.
Rgb scale(Rgb c, unsigned s);

// Asked of a light thread from the other threads; any thread.
class EffectRequests {
  public:
    void requestReset() { resets_.fetch_add(1, std::memory_order_release); }
    void trigger(Clock::time_point at = Clock::now()) {
        flashAt_.store(at.time_since_epoch().count(), std::memory_order_relaxed);
        flashes_.fetch_add(1, std::memory_order_release);
    }

    // Light thread: what arrived since the last call.
    struct Taken {
        bool reset = false;
        bool flash = false;
        Clock::time_point flashAt{};
    };
    Taken take();

  private:
    std::atomic<uint32_t> resets_{0};
    std::atomic<uint32_t> flashes_{0};
    std::atomic<Clock::rep> flashAt_{0};
    uint32_t seenResets_ = 0;
    uint32_t seenFlashes_ = 0;
};

}  // namespace rxt::lighting
