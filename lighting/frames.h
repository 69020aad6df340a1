#pragma once
// What one call of a frame routine produces: the preview tints of one device
// (mouse and mousepad), and for the mousepad the bytes streamed to it.

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <span>

#include "lighting/light_tables.h"

namespace rxt::lighting {

// The tints of a device's preview controls; only the ones marked in
// `touched` are changed on screen.
struct PreviewFrame {
    std::array<uint32_t, kMouseControls> colour{};  // ARGB
    std::array<uint8_t, kMouseControls> alpha{};
    uint32_t touched = 0;

    void set(size_t i, Rgb c, unsigned a) {
        colour[i] = argbOf(c);
        alpha[i] = static_cast<uint8_t>(a > 255 ? 255 : a);
        touched |= 1u << i;
    }
    bool has(size_t i) const { return (touched >> i & 1u) != 0; }
};

inline constexpr size_t kMousepadColourBytes = kMousepadLeds * 3;  // 45
inline constexpr size_t kMousepadPaddedFrame = 60;  // modes 3 and 8: 15 zero bytes more

struct MousepadFrame {
    std::array<Rgb, kMousepadLeds> leds{};
    uint16_t lit = 0;  // the LEDs this frame drew (preview)
    // Bytes to stream: 0 (preview only), 45, or 60 with the last 15 zero.
    size_t sendSize = 0;
    // A pause the routine asks for before the next frame (mode 7's turns).
    std::chrono::milliseconds pause{0};
    // Mode 2 advanced the record's cycle byte to this value.
    bool cycleAdvanced = false;
    uint8_t cycle = 0;

    void set(size_t i, Rgb c) {
        leds[i] = c;
        lit = static_cast<uint16_t>(lit | 1u << i);
    }
    // The first sendSize bytes are the frame.
    std::array<uint8_t, kMousepadPaddedFrame> bytes() const;
    // The LEDs as preview tints: the frame's colour, opaque where lit.
    PreviewFrame preview() const;
};

}  // namespace rxt::lighting
