#pragma once
// The default profile files shipped in the program folder, one per
// catalogue (the keyboard's for both models). A first run and a New profile
// start from them. Their contents are built here from named settings; the
// build runs rxt-profile-defaults to write them.

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "profile/profile_catalogue.h"

namespace rxt {

struct Rgb {
    uint8_t red, green, blue;
};

// Bytes 1..8 of a stored record.
struct LightingDefaults {
    uint8_t mode;
    uint8_t brightness;  // 0..4
    uint8_t speed;       // 0 fastest .. 4
    uint8_t direction;
    uint8_t colourful;  // 1: colour wheel, 0: the colour below
    Rgb colour;
};

struct MouseDefaults {
    LightingDefaults lighting;
    uint8_t reportRate;  // entry of the report-rate list: 125, 250, 500, 1000 Hz
    std::array<int, 7> dpi;
    uint8_t activeLevel;  // 0..6
    std::array<Rgb, 7> dpiColours;
    uint8_t debounceMs;  // 0, 2, .. 18
    uint8_t liftOffAdjust;
    uint8_t liftOffHeight;  // 2 or 3 mm
    uint8_t pointerSpeed;   // 1..20, 10 unchanged
    uint8_t wheelLines;     // 1..100
};

inline constexpr MouseDefaults kMouseDefaults{
    // A slow colourful group wave.
    {1, 3, 2, 1, 1, {0, 160, 255}},
    3,
    {400, 800, 1200, 1600, 2400, 3200, 4800},
    1,
    {{{255, 0, 0},
      {255, 128, 0},
      {255, 230, 0},
      {0, 255, 0},
      {0, 255, 255},
      {0, 64, 255},
      {200, 0, 255}}},
    4,
    0,
    2,
    10,
    3,
};

// A colourful wave.
inline constexpr LightingDefaults kMousepadLighting{0, 3, 2, 1, 1, {0, 160, 255}};
// Full-colour keyboard: a colourful wave; single-colour keyboard: its
// breathing wave (mode 0 of its list).
inline constexpr LightingDefaults kKeyboardLighting{0, 3, 2, 1, 1, {0, 160, 255}};
inline constexpr LightingDefaults kSingleColourKeyboardLighting{0, 3, 2, 1, 0, {255, 255, 255}};

// A key assignment: function kind and its two parameters.
struct KeyFunction {
    uint8_t kind, p1, p2;
};

inline constexpr uint8_t kFunctionMouseButton = 0x10;
inline constexpr uint8_t kFunctionDpi = 0x13;
inline constexpr uint8_t kFunctionKey = 0x20;

// Buttons 0..6: left, wheel, right, forward, back, DPI, second DPI.
inline constexpr std::array<KeyFunction, 7> kMouseButtonDefaults{{
    {kFunctionMouseButton, 0x01, 0},  // left click
    {kFunctionMouseButton, 0x04, 0},  // middle click
    {kFunctionMouseButton, 0x02, 0},  // right click
    {kFunctionMouseButton, 0x10, 0},  // forward
    {kFunctionMouseButton, 0x08, 0},  // back
    {kFunctionDpi, 1, 0},             // DPI up
    {kFunctionDpi, 2, 0},             // DPI down
}};

// DPI code of the record: 200 + 100 x position, stored as position + 1.
constexpr uint8_t dpiCode(int dpi) {
    return static_cast<uint8_t>((dpi - 200) / 100 + 1);
}
// Debounce code of the record: shown value 2 x position, stored 2 x position + 4.
constexpr uint8_t debounceCode(int ms) {
    return static_cast<uint8_t>(ms + 4);
}

// Payload regions.
std::vector<uint8_t> defaultMouseRecord();   // 64 bytes
std::vector<uint8_t> defaultMouseKeyBank();  // 512 bytes
std::vector<uint8_t> defaultKeyboardKeyBank(int keyboardVariant);
std::vector<uint8_t> defaultKeyboardLighting(int keyboardVariant);  // 1958 bytes
std::vector<uint8_t> defaultMousepadRecord();                       // 64 bytes

// The payload of the catalogue's default file for that keyboard variant.
std::vector<uint8_t> defaultPayload(const ProfileCatalogue& catalogue, int keyboardVariant);

struct DefaultFile {
    std::string_view name;
    ProfileCatalogue catalogue;
    int keyboardVariant;
};
// The ten default files: seven catalogues, the keyboard's three twice.
std::vector<DefaultFile> defaultFiles();

// Writes every default file into folder (created as needed). False with the
// reason in error when one cannot be written.
bool writeDefaultProfileFiles(const std::filesystem::path& folder, std::string& error);

}  // namespace rxt
