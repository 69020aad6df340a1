#pragma once
// The constant tables of the light effects, shared by the mouse, mousepad and
// keyboard routines. Each is built at compile time from the figures it is
// defined by; tests/lighting/light_tables_test.cpp checks them.

#include <array>
#include <cstddef>
#include <cstdint>

namespace rxt::lighting {

struct Rgb {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;

    constexpr bool operator==(const Rgb&) const = default;
};

// 0xFFRRGGBB, the form the UI's colours take.
constexpr uint32_t argbOf(Rgb c) {
    return 0xFF000000u | (uint32_t{c.r} << 16) | (uint32_t{c.g} << 8) | c.b;
}
constexpr Rgb rgbOf(uint32_t argb) {
    return {static_cast<uint8_t>(argb >> 16), static_cast<uint8_t>(argb >> 8),
            static_cast<uint8_t>(argb)};
}

// Index = the brightness byte of a record (0..4).
inline constexpr std::array<uint8_t, 5> kBrightnessCurve{0, 97, 149, 201, 255};

namespace detail {

inline constexpr std::array<uint8_t, 32> kWheelRise{
    1,  3,  5,  7,   10,  14,  18,  22,  26,  32,  38,  44,  50,  57,  65,  73,
    81, 89, 99, 109, 119, 129, 140, 152, 164, 176, 188, 200, 213, 227, 241, 255};
inline constexpr std::array<uint8_t, 32> kWheelFall{
    248, 234, 220, 206, 194, 182, 170, 158, 146, 134, 124, 114, 104, 94, 85, 77,
    69,  61,  53,  47,  41,  35,  29,  24,  20,  16,  12,  8,   6,   4,  2,  0};
// The rising half shared by the breath and fade curves (27 .. 255).
inline constexpr std::array<uint8_t, 46> kCurveRise{
    27,  30,  33,  36,  39,  42,  45,  49,  53,  57,  61,  65,  69,  73,  77,  81,
    85,  89,  94,  99,  104, 109, 114, 119, 124, 129, 134, 140, 146, 152, 158, 164,
    170, 176, 182, 188, 194, 200, 206, 213, 220, 227, 234, 241, 248, 255};

constexpr std::array<Rgb, 192> makeWheel() {
    std::array<Rgb, 192> w{};
    for (size_t i = 0; i < 32; ++i) {
        w[i] = {255, kWheelRise[i], 0};
        w[i + 32] = {kWheelFall[i], 255, 0};
    }
    // Each third is the one before with (r, g, b) becoming (b, r, g).
    for (size_t i = 0; i < 128; ++i) {
        const Rgb c = w[i];
        w[i + 64] = {c.b, c.r, c.g};
    }
    return w;
}

// A rising half, then the same values falling.
template <size_t N>
constexpr std::array<uint8_t, 2 * N> mirrored(const std::array<uint8_t, N>& rise) {
    std::array<uint8_t, 2 * N> out{};
    for (size_t i = 0; i < N; ++i) {
        out[i] = rise[i];
        out[2 * N - 1 - i] = rise[i];
    }
    return out;
}

constexpr std::array<uint8_t, 48> breathRise() {
    std::array<uint8_t, 48> r{22, 24};
    for (size_t i = 0; i < kCurveRise.size(); ++i) {
        r[i + 2] = kCurveRise[i];
    }
    return r;
}

constexpr std::array<uint8_t, 64> fadeRise() {
    std::array<uint8_t, 64> r{};
    size_t n = 0;
    for (uint8_t v = 0; v <= 10; ++v) {
        r[n++] = v;
    }
    for (uint8_t v = 12; v <= 24; v += 2) {
        r[n++] = v;
    }
    for (uint8_t v : kCurveRise) {
        r[n++] = v;
    }
    return r;
}

constexpr std::array<Rgb, 51> makeStripes() {
    constexpr struct {
        size_t count;
        Rgb colour;
    } runs[] = {{9, {255, 255, 20}}, {8, {255, 128, 20}}, {9, {255, 20, 255}},
                {8, {128, 20, 255}}, {9, {20, 255, 255}}, {8, {20, 128, 255}}};
    std::array<Rgb, 51> out{};
    size_t n = 0;
    for (const auto& run : runs) {
        for (size_t i = 0; i < run.count; ++i) {
            out[n++] = run.colour;
        }
    }
    return out;
}

}  // namespace detail

// 192 colours round the hue circle: red to yellow to green, then rotated.
inline constexpr std::array<Rgb, 192> kColourWheel = detail::makeWheel();
inline constexpr std::array<uint8_t, 96> kBreathCurve = detail::mirrored(detail::breathRise());
inline constexpr std::array<uint8_t, 128> kFadeCurve = detail::mirrored(detail::fadeRise());

inline constexpr std::array<Rgb, 7> kSevenColoursA{{
    {255, 0, 0},
    {0, 255, 0},
    {0, 0, 255},
    {255, 255, 0},
    {255, 0, 255},
    {0, 255, 255},
    {255, 255, 255},
}};
inline constexpr std::array<Rgb, 7> kSevenColoursB{{
    {255, 0, 0},
    {255, 128, 0},
    {255, 255, 0},
    {0, 0, 255},
    {0, 255, 255},
    {0, 0, 255},
    {255, 0, 255},
}};
inline constexpr std::array<Rgb, 51> kStripeColours = detail::makeStripes();

// Preview control indices ("ms_dkey_" n) lit together; the last group is
// only ever control 0.
inline constexpr std::array<std::array<uint8_t, 3>, 8> kMouseLedGroups{{
    {0, 7, 19},
    {1, 8, 18},
    {2, 9, 9},
    {3, 10, 14},
    {4, 11, 15},
    {5, 12, 16},
    {6, 13, 17},
    {0, 0, 0},
}};

// The mousepad's fifteen lights on a 5 x 7 grid, -1 where there is none.
// Lights 0..9 run left to right along the top edge, 10..14 down the right
// edge: the top lights fill columns 0..5 (two rows where a column holds two
// of them) and the right edge is column 6, so each light sits in one cell.
inline constexpr int kMousepadRows = 5;
inline constexpr int kMousepadColumns = 7;
inline constexpr std::array<std::array<int8_t, 7>, 5> kMousepadMatrix{{
    {0, 2, 4, 5, 6, 8, 10},
    {1, 3, -1, -1, 7, 9, 11},
    {-1, -1, -1, -1, -1, -1, 12},
    {-1, -1, -1, -1, -1, -1, 13},
    {-1, -1, -1, -1, -1, -1, 14},
}};

inline constexpr size_t kMouseControls = 20;   // "ms_dkey_0" .. "ms_dkey_19"
inline constexpr size_t kMouseTrailLeds = 17;  // the strip round the body
inline constexpr size_t kMousepadLeds = 15;    // "mp_dkey_0" .. "mp_dkey_14"

}  // namespace rxt::lighting
