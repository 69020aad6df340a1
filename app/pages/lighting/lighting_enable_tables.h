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

// The keyboard's full-colour list: groups enabled on selection and on
// refresh; nullopt leaves the speed group as it is. Which modes reset their
// effect is the engine's (lighting::hasReset).
struct KeyboardFullEnableRow {
    bool fx, colour, sevenColour;
    std::optional<bool> speedOnSelect, speedOnRefresh;
    bool sameMode;
};

// clang-format off
inline constexpr std::array<KeyboardFullEnableRow, 17> kKeyboardFullEnableTable{{
    {true,  true,  true,  true,         true,         true},
    {false, false, false, true,         true,         true},
    {false, true,  true,  true,         true,         true},
    {false, true,  false, false,        false,        true},
    {false, false, false, true,         true,         false},
    {false, true,  true,  true,         true,         false},
    {false, true,  true,  true,         true,         false},
    {true,  true,  true,  true,         true,         false},
    {false, true,  true,  false,        false,        false},  // custom
    {false, true,  true,  true,         std::nullopt, false},
    {true,  false, false, true,         true,         false},
    {false, true,  true,  true,         true,         false},
    {true,  true,  true,  true,         true,         false},
    {true,  false, false, true,         true,         false},
    {true,  true,  true,  true,         true,         false},
    {false, true,  true,  true,         true,         false},
    {false, true,  true,  std::nullopt, std::nullopt, false},
}};
// clang-format on

// The single-colour list: its colour, seven-colour and same-mode groups are
// always disabled.
struct KeyboardSingleEnableRow {
    bool fx, speed;
};

// clang-format off
inline constexpr std::array<KeyboardSingleEnableRow, 17> kKeyboardSingleEnableTable{{
    {true, true},  {false, true}, {false, true}, {false, false}, {false, true},
    {true, true},  {false, false} /* custom */,  {true, true},   {false, true},
    {false, true}, {true, true},  {false, true}, {false, true},  {true, true},
    {true, true},  {false, true}, {false, true},
}};
// clang-format on

}  // namespace rxt
