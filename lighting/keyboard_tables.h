#pragma once
// The keyboard's constant light tables: the key matrix, the walks over it,
// the colour and level tables of its effects, both models' key maps and the
// key level rule. Key indices are the key controls' numbers ("kb_key_" k,
// 0..125); 126 marks an empty cell or a key without a light.
// tests/lighting/keyboard_tables_test.cpp checks them against their figures.
//
// Entries chosen here where only the shape is fixed: the random order
// between its first ten and last six entries, the column levels past the
// first column, the falling half of the sharp fade past its first two
// steps, the ring grid and ring levels, and the show's sweep and pair
// tables.

#include <array>
#include <cstddef>
#include <cstdint>

#include "lighting/light_tables.h"

namespace rxt::lighting {

inline constexpr size_t kKeyCount = 126;
inline constexpr uint8_t kNoKey = 126;
inline constexpr size_t kMatrixColumns = 23;
inline constexpr size_t kMatrixRows = 6;

inline constexpr size_t kFullColourFrameBytes = 3 * kKeyCount;  // 378
inline constexpr size_t kSingleColourFrameBytes = kKeyCount;    // 126

namespace detail {

inline constexpr uint8_t N = kNoKey;
inline constexpr std::array<std::array<uint8_t, kMatrixColumns>, kMatrixRows> kMatrixRowsTable{{
    {N, N, 0, 1, 2, 3, 4, N, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, N, N, N, N},
    {N, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, N, 35, 36, 37, 38, 39, 40, 41},
    {N, 42, 43, 44, 45, 46, 47, 48, 49, 50, 51, 52, 53, 54, 55, N, 56, 57, 58, 59, 60, 61, N},
    {N, 63, 64, 65, 66, 67, 68, 69, 70, 71, 72, 73, 74, N, 75, N, N, N, N, 76, 77, 78, 119},
    {N, 84, 85, 86, 87, 88, 89, 90, 91, 92, 93, 94, N, N, 95, N, N, 96, N, 97, 98, 99, 118},
    {105, 106, 107, N, N, N, 108, N, N, 109, N, 110, N, 111, N, 112, 113, 114, 115, 116, N, 117, N},
}};

constexpr std::array<uint8_t, kMatrixColumns * kMatrixRows> byColumns() {
    std::array<uint8_t, kMatrixColumns * kMatrixRows> m{};
    for (size_t c = 0; c < kMatrixColumns; ++c) {
        for (size_t r = 0; r < kMatrixRows; ++r) {
            m[kMatrixRows * c + r] = kMatrixRowsTable[r][c];
        }
    }
    return m;
}

// Appends the keys from `from` to `to`, counting down when from > to.
template <size_t M>
constexpr void run(std::array<uint8_t, M>& out, size_t& n, int from, int to) {
    const int stepBy = from <= to ? 1 : -1;
    for (int k = from;; k += stepBy) {
        out[n++] = static_cast<uint8_t>(k);
        if (k == to) {
            break;
        }
    }
}

// 104 keys, then empty entries up to the 144 cells of the ring grid.
constexpr std::array<uint8_t, 144> makeSnake() {
    std::array<uint8_t, 144> s{};
    s.fill(kNoKey);
    size_t n = 0;
    run(s, n, 15, 0);
    for (uint8_t k : {21, 42, 63, 84}) {
        s[n++] = k;
    }
    run(s, n, 105, 119);
    run(s, n, 41, 22);
    s[n++] = 43;
    s[n++] = 64;
    run(s, n, 85, 99);
    s[n++] = 78;
    run(s, n, 61, 44);
    run(s, n, 65, 77);
    return s;
}

constexpr std::array<uint8_t, 106> makeComet() {
    std::array<uint8_t, 106> s{};
    size_t n = 0;
    run(s, n, 0, 15);
    run(s, n, 41, 21);
    run(s, n, 42, 61);
    s[n++] = 119;
    run(s, n, 78, 75);
    s[n++] = kNoKey;
    run(s, n, 74, 63);
    s[n++] = 84;
    s[n++] = kNoKey;
    run(s, n, 85, 99);
    run(s, n, 118, 105);
    return s;
}

inline constexpr std::array<uint8_t, 10> kRandomHead{88, 24, 101, 57, 49, 20, 5, 14, 16, 69};
inline constexpr std::array<uint8_t, 6> kRandomTail{85, 76, 100, 82, 11, 63};

// The given head and tail; between them the other positions in the order
// 37 i modulo 104 takes them (37 is prime to 104, so each comes once).
constexpr std::array<uint8_t, 104> makeRandomOrder() {
    std::array<uint8_t, 104> out{};
    std::array<bool, 104> used{};
    size_t n = 0;
    for (uint8_t v : kRandomHead) {
        out[n++] = v;
        used[v] = true;
    }
    for (uint8_t v : kRandomTail) {
        used[v] = true;
    }
    for (size_t i = 0; i < 104; ++i) {
        const size_t v = 37 * i % 104;
        if (!used[v]) {
            out[n++] = static_cast<uint8_t>(v);
            used[v] = true;
        }
    }
    for (uint8_t v : kRandomTail) {
        out[n++] = v;
    }
    return out;
}

// The first column as given; each further column starts 8 lower (modulo
// 192), so the fall runs across the board.
inline constexpr std::array<uint8_t, kMatrixRows> kFirstColumnLevels{72, 52, 32, 12, 182, 162};
constexpr std::array<uint8_t, kMatrixColumns * kMatrixRows> makeColumnLevels() {
    std::array<uint8_t, kMatrixColumns * kMatrixRows> out{};
    for (size_t c = 0; c < kMatrixColumns; ++c) {
        for (size_t r = 0; r < kMatrixRows; ++r) {
            out[kMatrixRows * c + r] =
                static_cast<uint8_t>((kFirstColumnLevels[r] + 192 - 8 * c) % 192);
        }
    }
    return out;
}

inline constexpr std::array<uint8_t, 17> kSharpRise{0,  4,   8,   14,  22,  33,  45,  61, 77,
                                                    94, 114, 134, 158, 182, 206, 234, 255};
// Rise, then 248 and 241, then straight down to 0 at entry 80, 0 after.
constexpr std::array<uint8_t, 192> makeSharpFade() {
    std::array<uint8_t, 192> out{};
    for (size_t i = 0; i < kSharpRise.size(); ++i) {
        out[i] = kSharpRise[i];
    }
    out[17] = 248;
    out[18] = 241;
    for (size_t i = 19; i <= 80; ++i) {
        out[i] = static_cast<uint8_t>(241 * (80 - i) / 62);
    }
    return out;
}

}  // namespace detail

// Column c, row r at kMatrixRows x c + r.
inline constexpr std::array<uint8_t, kMatrixColumns* kMatrixRows> kKeyMatrix = detail::byColumns();
constexpr uint8_t matrixKey(size_t column, size_t row) {
    return kKeyMatrix[kMatrixRows * column + row];
}

// Row by row in alternating directions; 104 keys, then kNoKey.
inline constexpr size_t kSnakeKeys = 104;
inline constexpr std::array<uint8_t, 144> kSnakePath = detail::makeSnake();
// Snake-path positions in a fixed shuffled order.
inline constexpr std::array<uint8_t, kSnakeKeys> kRandomOrder = detail::makeRandomOrder();
inline constexpr std::array<uint8_t, 106> kCometPath = detail::makeComet();

inline constexpr std::array<Rgb, 26> kNamedColours{{
    {255, 0, 0},   {255, 96, 0},    {255, 255, 0}, {0, 255, 0},     {0, 255, 255}, {0, 0, 255},
    {128, 0, 255}, {255, 255, 255}, {0, 0, 0},     {0, 0, 160},     {255, 0, 0},   {255, 255, 255},
    {0, 255, 255}, {192, 192, 192}, {0, 0, 255},   {128, 128, 128}, {255, 0, 128}, {255, 128, 64},
    {128, 0, 128}, {128, 64, 0},    {255, 255, 0}, {128, 0, 0},     {0, 255, 0},   {128, 128, 0},
    {255, 0, 255}, {64, 128, 128},
}};
// Past the table a colour index starts round it again.
constexpr Rgb namedColour(unsigned index) {
    return kNamedColours[index % kNamedColours.size()];
}

// Start levels of the column fall, laid out as the matrix.
inline constexpr std::array<uint8_t, kMatrixColumns* kMatrixRows> kColumnLevels =
    detail::makeColumnLevels();
inline constexpr std::array<uint8_t, 192> kSharpFade = detail::makeSharpFade();

// Control k's position in the frame and the custom layouts, per model.
inline constexpr std::array<uint8_t, kKeyCount> kFullColourKeyMap{
    0,   1,   2,   3,   4,   5,   6,   7,   8,   9,   10,  11,  12,  14,  15,  16,  126, 126,
    126, 126, 126, 21,  22,  23,  24,  25,  26,  27,  28,  29,  30,  31,  32,  33,  34,  35,
    36,  37,  38,  39,  40,  41,  42,  43,  44,  45,  46,  47,  48,  49,  50,  51,  52,  53,
    54,  55,  56,  57,  58,  59,  60,  61,  126, 63,  64,  65,  66,  67,  68,  69,  70,  71,
    72,  73,  74,  76,  80,  81,  82,  126, 126, 126, 126, 126, 84,  86,  87,  88,  89,  90,
    91,  92,  93,  94,  95,  97,  99,  101, 102, 103, 126, 126, 126, 126, 126, 105, 106, 107,
    108, 109, 110, 111, 113, 119, 120, 121, 123, 124, 104, 62,  126, 126, 126, 126, 126, 126,
};
inline constexpr std::array<uint8_t, kKeyCount> kSingleColourKeyMap{
    0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10,  11,  12,  13,  14,  15,  126, 126, 126, 126, 126,
    18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28,  29,  30,  31,  32,  33,  34,  53,  35,  71,  89,
    36, 37, 38, 39, 40, 41, 42, 43, 44, 45, 46,  47,  48,  49,  50,  51,  52,  68,  69,  70,  126,
    54, 55, 56, 57, 58, 59, 60, 61, 62, 63, 64,  65,  67,  86,  87,  88,  126, 126, 126, 126, 126,
    72, 74, 75, 76, 77, 78, 79, 80, 81, 82, 83,  84,  85,  103, 104, 105, 126, 126, 126, 126, 126,
    90, 91, 92, 93, 94, 95, 96, 97, 98, 99, 100, 101, 102, 106, 107, 126, 126, 126, 126, 126, 126,
};

// The key level rule: the first row whose test holds takes its step off the
// level (modulo 256); levels 1 to 8 go out, and mode 5 keeps 9 to 16.
struct KeyLevelStep {
    enum class Test : uint8_t { AtLeast128, Bit40, Bit20, Above16, From9To16, From1To8 } test;
    uint8_t mode5;
    uint8_t other;
};
inline constexpr uint8_t kToZero = 255;  // a step that ends at 0
inline constexpr std::array<KeyLevelStep, 6> kKeyLevelRule{{
    {KeyLevelStep::Test::AtLeast128, 40, 30},
    {KeyLevelStep::Test::Bit40, 30, 20},
    {KeyLevelStep::Test::Bit20, 10, 10},
    {KeyLevelStep::Test::Above16, 8, 5},
    {KeyLevelStep::Test::From9To16, 0, 4},
    {KeyLevelStep::Test::From1To8, kToZero, kToZero},
}};

constexpr bool holds(KeyLevelStep::Test t, uint8_t v) {
    switch (t) {
        case KeyLevelStep::Test::AtLeast128:
            return v >= 128;
        case KeyLevelStep::Test::Bit40:
            return (v & 0x40) != 0;
        case KeyLevelStep::Test::Bit20:
            return (v & 0x20) != 0;
        case KeyLevelStep::Test::Above16:
            return v > 16;
        case KeyLevelStep::Test::From9To16:
            return v >= 9 && v <= 16;
        case KeyLevelStep::Test::From1To8:
            return v >= 1 && v <= 8;
    }
    return false;
}

constexpr uint8_t nextKeyLevel(uint8_t v, bool mode5) {
    for (const KeyLevelStep& s : kKeyLevelRule) {
        if (holds(s.test, v)) {
            const uint8_t by = mode5 ? s.mode5 : s.other;
            return by == kToZero ? 0 : static_cast<uint8_t>(v - by);
        }
    }
    return v;
}

// Mode 13: a 12 x 12 grid over the snake path, cell (x, y) the snake entry
// 12 y + x (entries past the path are empty); its rings are the diagonal
// bands (x + y) / 2, each with a level that falls off from the first.
inline constexpr size_t kRingGridSide = 12;
inline constexpr size_t kRings = 12;
constexpr size_t ringOf(size_t x, size_t y) {
    return (x + y) / 2;
}
inline constexpr std::array<uint8_t, kRings> kRingLevels{255, 240, 224, 208, 192, 176,
                                                         160, 144, 128, 112, 96,  80};

// The show: 20 sweep steps of 6 keys (matrix columns 1 to 20, empty cells
// left out), then 31 pairs of keys lit from both ends of the snake path
// towards its middle, then a ripple from key 52.
inline constexpr size_t kSweepSteps = 20;
inline constexpr size_t kPairSteps = 31;
inline constexpr uint8_t kShowRippleKey = 52;
inline constexpr std::array<std::array<uint8_t, 6>, kSweepSteps> kShowSweep = [] {
    std::array<std::array<uint8_t, 6>, kSweepSteps> t{};
    for (size_t s = 0; s < kSweepSteps; ++s) {
        for (size_t r = 0; r < kMatrixRows; ++r) {
            t[s][r] = matrixKey(s + 1, r);
        }
    }
    return t;
}();
inline constexpr std::array<std::array<uint8_t, 2>, kPairSteps> kShowPairs = [] {
    std::array<std::array<uint8_t, 2>, kPairSteps> t{};
    for (size_t s = 0; s < kPairSteps; ++s) {
        t[s] = {kSnakePath[s], kSnakePath[kSnakeKeys - 1 - s]};
    }
    return t;
}();

// The cell of a key on the matrix; false for a key not on it.
constexpr bool cellOf(uint8_t key, size_t& column, size_t& row) {
    for (size_t i = 0; i < kKeyMatrix.size(); ++i) {
        if (kKeyMatrix[i] == key && key != kNoKey) {
            column = i / kMatrixRows;
            row = i % kMatrixRows;
            return true;
        }
    }
    return false;
}

}  // namespace rxt::lighting
