#pragma once
// The four cursor schemes delivered with the program ("name_1.cur" ..
// "name_4.cur" in its defaults folder), made at build time from the named
// recoil tables below. Each bullet is: the button pressed and released, a
// still step, then the bullet's delay step and its horizontal and vertical
// pull.

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "macro/cursor_schemes.h"
#include "macro/macro_action.h"

namespace rxt {

// A run of bullets with the same delay and pull (x > 0 right, y > 0 down).
struct RecoilPhase {
    int bullets;
    uint16_t delay;
    int x;
    int y;
};

struct CursorSchemePattern {
    std::string_view title;             // what the pattern is meant for
    std::array<RecoilPhase, 4> phases;  // 30 bullets in all
};

// clang-format off
inline constexpr std::array<CursorSchemePattern, kCursorSchemes> kDefaultCursorPatterns{{
    // A steady pull straight down for a slow, even rifle.
    {"steady rifle", {{{10, 100, 0, 4}, {10, 100, 0, 3}, {10, 100, 0, 2}, {0, 0, 0, 0}}}},
    // Climbs hard at first, then drifts right.
    {"climbing carbine", {{{5, 90, 0, 7}, {10, 90, 1, 5}, {10, 90, 2, 3}, {5, 90, 1, 2}}}},
    // A fast spray that swings left and right while it climbs.
    {"swinging spray", {{{8, 67, 0, 5}, {7, 67, -3, 3}, {8, 67, 3, 3}, {7, 67, -2, 2}}}},
    // Short bursts: strong pull, long pauses.
    {"burst", {{{3, 60, 0, 8}, {3, 240, 0, 1}, {12, 60, 1, 6}, {12, 240, -1, 1}}}},
}};
// clang-format on

// The 180 steps of a pattern.
std::vector<MacroAction> cursorSchemeSteps(const CursorSchemePattern& pattern);

// Writes the four files into the folder; false with the reason otherwise.
bool writeDefaultCursorSchemes(const std::filesystem::path& folder, std::string& error);

}  // namespace rxt
