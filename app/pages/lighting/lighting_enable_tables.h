#pragma once
// Which groups of controls each light mode enables and shows: the mouse's
// table sets both (or leaves a cell as it is), the mousepad's only enables.

#include <array>
#include <cstdint>
#include <optional>

namespace rxt {

// enabled / visible; nullopt leaves the control as it is.
struct GroupState {
    std::optional<bool> enabled;
    std::optional<bool> visible;
};

struct MouseEnableRow {
    GroupState fx, palette, light, speed, colour, sevenColour, sameMode;
};

namespace enable_cells {
inline constexpr GroupState kEV{true, true};
inline constexpr GroupState kV{std::nullopt, true};
inline constexpr GroupState kEHidden{true, false};
inline constexpr GroupState kHidden{std::nullopt, false};
inline constexpr GroupState kOff{false, false};  // disabled, hidden
inline constexpr GroupState kDisabledV{false, true};
inline constexpr GroupState kE{true, std::nullopt};
inline constexpr GroupState kDisabled{false, std::nullopt};
}  // namespace enable_cells

// clang-format off
inline constexpr std::array<MouseEnableRow, 8> kMouseEnableTable = [] {
    using namespace enable_cells;
    return std::array<MouseEnableRow, 8>{{
        //  fx        palette  light    speed  colour    7 colours   same mode
        {kEV,      kV,      kV,      kEV,   kEV,      kEV,        kE},
        {kEV,      kV,      kV,      kEV,   kEV,      kEV,        kE},
        {kEHidden, kHidden, kV,      kEV,   kEHidden, kEHidden,   kE},
        {kEV,      kHidden, kV,      kEV,   kEHidden, kEHidden,   kE},
        {kOff,     kV,      kV,      kEV,   kEV,      kEV,        kE},
        {kOff,     kV,      kV,      kEV,   kEV,      kDisabledV, kDisabled},
        {kOff,     kV,      kV,      kEV,   kEV,      kE,         kDisabled},
        {kOff,     kHidden, kHidden, kOff,  kOff,     kDisabled,  kDisabled},
    }};
}();
// clang-format on

struct MousepadEnableRow {
    bool fx, colour, sevenColour;
    std::optional<bool> speed;  // mode 9 leaves it
    bool sameMode;
};

// clang-format off
inline constexpr std::array<MousepadEnableRow, 10> kMousepadEnableTable{{
    {true,  true,  true,  true,         true},
    {false, false, false, true,         true},
    {false, true,  true,  true,         true},
    {false, true,  false, false,        true},
    {true,  true,  true,  true,         false},
    {true,  true,  true,  true,         false},
    {true,  false, false, true,         false},
    {false, true,  true,  true,         false},
    {false, true,  true,  false,        false},
    {false, true,  true,  std::nullopt, false},
}};
// clang-format on

}  // namespace rxt
