// The keyboard's light tables against their figures, and the shapes and
// ranges of the entries chosen here.

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

#include "lighting/keyboard_tables.h"

namespace rxt::lighting {
namespace {

std::vector<int> range(int from, int to) {
    std::vector<int> out;
    for (int k = from;; k += from <= to ? 1 : -1) {
        out.push_back(k);
        if (k == to) {
            break;
        }
    }
    return out;
}

void append(std::vector<int>& out, const std::vector<int>& more) {
    out.insert(out.end(), more.begin(), more.end());
}

TEST(KeyboardTables, MatrixByColumnsFromItsRows) {
    // A few cells of each row, column c row r at 6 c + r.
    EXPECT_EQ(kKeyMatrix[6 * 2 + 0], 0);
    EXPECT_EQ(kKeyMatrix[6 * 18 + 0], 15);
    EXPECT_EQ(kKeyMatrix[6 * 22 + 1], 41);
    EXPECT_EQ(kKeyMatrix[6 * 21 + 2], 61);
    EXPECT_EQ(kKeyMatrix[6 * 22 + 3], 119);
    EXPECT_EQ(kKeyMatrix[6 * 22 + 4], 118);
    EXPECT_EQ(kKeyMatrix[6 * 0 + 5], 105);
    EXPECT_EQ(kKeyMatrix[6 * 21 + 5], 117);
    EXPECT_EQ(matrixKey(7, 0), kNoKey);
    // Every key appears at most once; 104 cells hold keys.
    std::set<int> keys;
    for (uint8_t k : kKeyMatrix) {
        if (k != kNoKey) {
            EXPECT_TRUE(keys.insert(k).second) << int(k);
            EXPECT_LT(k, kKeyCount);
        }
    }
    EXPECT_EQ(keys.size(), 104u);
    size_t c = 0;
    size_t r = 0;
    ASSERT_TRUE(cellOf(52, c, r));
    EXPECT_EQ(c, 11u);
    EXPECT_EQ(r, 2u);
    EXPECT_FALSE(cellOf(16, c, r));
    EXPECT_FALSE(cellOf(kNoKey, c, r));
}

TEST(KeyboardTables, SnakeAndCometPaths) {
    std::vector<int> snake = range(15, 0);
    append(snake, {21, 42, 63, 84});
    append(snake, range(105, 119));
    append(snake, range(41, 22));
    append(snake, {43, 64});
    append(snake, range(85, 99));
    snake.push_back(78);
    append(snake, range(61, 44));
    append(snake, range(65, 77));
    ASSERT_EQ(snake.size(), kSnakeKeys);
    for (size_t i = 0; i < kSnakePath.size(); ++i) {
        EXPECT_EQ(kSnakePath[i], i < snake.size() ? snake[i] : kNoKey) << i;
    }

    std::vector<int> comet = range(0, 15);
    append(comet, range(41, 21));
    append(comet, range(42, 61));
    comet.push_back(119);
    append(comet, range(78, 75));
    comet.push_back(126);
    append(comet, range(74, 63));
    append(comet, {84, 126});
    append(comet, range(85, 99));
    append(comet, range(118, 105));
    ASSERT_EQ(comet.size(), kCometPath.size());
    for (size_t i = 0; i < comet.size(); ++i) {
        EXPECT_EQ(kCometPath[i], comet[i]) << i;
    }
}

TEST(KeyboardTables, RandomOrderIsAPermutationWithItsGivenEnds) {
    const std::vector<int> head{88, 24, 101, 57, 49, 20, 5, 14, 16, 69};
    const std::vector<int> tail{85, 76, 100, 82, 11, 63};
    for (size_t i = 0; i < head.size(); ++i) {
        EXPECT_EQ(kRandomOrder[i], head[i]);
    }
    for (size_t i = 0; i < tail.size(); ++i) {
        EXPECT_EQ(kRandomOrder[kRandomOrder.size() - tail.size() + i], tail[i]);
    }
    std::vector<int> sorted(kRandomOrder.begin(), kRandomOrder.end());
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, range(0, 103));
}

TEST(KeyboardTables, NamedColoursColumnLevelsAndSharpFade) {
    EXPECT_EQ(kNamedColours[1], (Rgb{255, 96, 0}));
    EXPECT_EQ(kNamedColours[9], (Rgb{0, 0, 160}));
    EXPECT_EQ(kNamedColours[13], (Rgb{192, 192, 192}));
    EXPECT_EQ(kNamedColours[25], (Rgb{64, 128, 128}));
    EXPECT_EQ(namedColour(26), kNamedColours[0]);

    const std::array<uint8_t, 6> first{72, 52, 32, 12, 182, 162};
    for (size_t r = 0; r < 6; ++r) {
        EXPECT_EQ(kColumnLevels[r], first[r]);
    }
    for (uint8_t v : kColumnLevels) {
        EXPECT_LE(v, 192);
    }

    const std::array<uint8_t, 19> rise{0,   4,   8,   14,  22,  33,  45,  61,  77, 94,
                                       114, 134, 158, 182, 206, 234, 255, 248, 241};
    for (size_t i = 0; i < rise.size(); ++i) {
        EXPECT_EQ(kSharpFade[i], rise[i]) << i;
    }
    for (size_t i = 17; i < 80; ++i) {
        EXPECT_GT(kSharpFade[i], kSharpFade[i + 1]) << i;  // falls all the way
    }
    for (size_t i = 80; i < kSharpFade.size(); ++i) {
        EXPECT_EQ(kSharpFade[i], 0) << i;
    }
}

TEST(KeyboardTables, KeyMaps) {
    // Runs of the full-colour map as given.
    EXPECT_EQ(kFullColourKeyMap[12], 12);
    EXPECT_EQ(kFullColourKeyMap[13], 14);
    EXPECT_EQ(kFullColourKeyMap[16], kNoKey);
    EXPECT_EQ(kFullColourKeyMap[75], 76);
    EXPECT_EQ(kFullColourKeyMap[76], 80);
    EXPECT_EQ(kFullColourKeyMap[118], 104);
    EXPECT_EQ(kFullColourKeyMap[119], 62);
    EXPECT_EQ(kFullColourKeyMap[120], kNoKey);
    for (size_t k = 0; k < 16; ++k) {
        EXPECT_EQ(kSingleColourKeyMap[k], k);
    }
    EXPECT_EQ(kSingleColourKeyMap[21], 18);
    EXPECT_EQ(kSingleColourKeyMap[38], 53);
    EXPECT_EQ(kSingleColourKeyMap[41], 89);
    EXPECT_EQ(kSingleColourKeyMap[105], 90);
    EXPECT_EQ(kSingleColourKeyMap[119], 107);
    EXPECT_EQ(kSingleColourKeyMap[120], kNoKey);
    // Both maps are one to one, inside their frames.
    for (const auto* map : {&kFullColourKeyMap, &kSingleColourKeyMap}) {
        std::set<int> seen;
        for (uint8_t p : *map) {
            if (p != kNoKey) {
                EXPECT_TRUE(seen.insert(p).second) << int(p);
                EXPECT_LT(p, kKeyCount);
            }
        }
    }
}

TEST(KeyboardTables, KeyLevelRule) {
    struct Case {
        uint8_t v, mode5, other;
    };
    const Case cases[] = {
        {255, 215, 225}, {128, 88, 98}, {127, 97, 107}, {64, 34, 44}, {96, 66, 76},
        {63, 53, 53},    {32, 22, 22},  {31, 23, 26},   {17, 9, 12},  {16, 16, 12},
        {9, 9, 5},       {8, 0, 0},     {1, 0, 0},      {0, 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(nextKeyLevel(c.v, true), c.mode5) << int(c.v);
        EXPECT_EQ(nextKeyLevel(c.v, false), c.other) << int(c.v);
    }
}

TEST(KeyboardTables, ChosenShapes) {
    for (size_t y = 0; y < kRingGridSide; ++y) {
        for (size_t x = 0; x < kRingGridSide; ++x) {
            EXPECT_LT(ringOf(x, y), kRings);
        }
    }
    for (const auto& step : kShowSweep) {
        for (uint8_t k : step) {
            EXPECT_TRUE(k == kNoKey || k < kKeyCount);
        }
    }
    for (const auto& pair : kShowPairs) {
        EXPECT_NE(pair[0], kNoKey);
        EXPECT_NE(pair[1], kNoKey);
    }
}

}  // namespace
}  // namespace rxt::lighting
