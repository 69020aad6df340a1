#pragma once
// The mouse's four cursor schemes: "name_1" .. "name_4" in the mouse macro
// catalogue, each a "<name>.cur" file in macro file format with 180 steps,
// 30 bullets of 6. The page edits the last three steps of a bullet: its
// delay, its horizontal and its vertical move.

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "macro/macro_action.h"
#include "macro/macro_catalogue.h"

namespace rxt {

inline constexpr int kCursorSchemes = 4;
inline constexpr int kCursorBullets = 30;
inline constexpr int kCursorStepsPerBullet = 6;
inline constexpr int kCursorSchemeSteps = kCursorBullets * kCursorStepsPerBullet;  // 180
inline constexpr std::string_view kCursorExtension = ".cur";
inline constexpr std::string_view kMessageSchemeTooLong = "message_text_18";
// A scheme file to import or export could not be read or written.
inline constexpr std::string_view kMessageSchemeFileFailed = "message_text_scheme_file_failed";

// "name_1" .. "name_4".
std::string cursorSchemeName(int scheme);
// CURSORCOUNT/count and CURSORNAME/<i> of the catalogue (names that cannot
// be file names are left out).
std::vector<std::string> cursorSchemeNames(const MacroCatalogue& catalogue);
// The scheme's file in the mouse folder; nullopt for a name that cannot be
// a file name.
std::optional<std::filesystem::path> cursorSchemeFile(const MacroCatalogue& catalogue,
                                                      std::string_view name);
std::vector<MacroAction> loadCursorScheme(const MacroCatalogue& catalogue, std::string_view name);

// First start: when CURSORCOUNT/count reads 0, the catalogue gets the four
// names and each default file of `defaultsFolder` is copied into the mouse
// folder unless one of that name is there. True when it did so.
bool ensureCursorSchemes(const MacroCatalogue& catalogue,
                         const std::filesystem::path& defaultsFolder);

// What the page shows of bullet b (0..29) of a scheme file.
struct BulletValues {
    uint16_t delay = 0;
    uint8_t x = 0;
    bool left = false;  // the x option: code 0x84 instead of 0x04
    uint8_t y = 0;
    bool up = false;  // the y option: code 0x85 instead of 0x05
    // False when the file is too short to hold the bullet: the values are
    // zeros then.
    bool present = true;

    bool operator==(const BulletValues&) const = default;
};
BulletValues loadBullet(const std::filesystem::path& file, int bullet);
// Writes the bullet's three steps (MACROACTION/<6b+3> .. <6b+5>), each
// record read, changed in the fields the page sets and written again. A
// file too short for the bullet is filled up to it with still steps first.
bool saveBullet(const std::filesystem::path& file, int bullet, const BulletValues& values);

// The edits' clamps: delay at most 65535, moves at most 255.
uint16_t clampBulletDelay(std::string_view text);
uint8_t clampBulletMove(std::string_view text);

struct SchemeResult {
    bool done = false;
    std::string message;  // key of the refusal
};
// Replaces the scheme's file with its default from `defaultsFolder`.
SchemeResult resetCursorScheme(const std::filesystem::path& file,
                               const std::filesystem::path& defaultsFolder);
// Copies `source` over the scheme's file; refused with message_text_18 when
// it holds more than 180 steps.
SchemeResult importCursorScheme(const std::filesystem::path& file,
                                const std::filesystem::path& source);
// A byte copy of the scheme's file to `destination`.
SchemeResult exportCursorScheme(const std::filesystem::path& file,
                                const std::filesystem::path& destination);

// The text of a scheme file holding these steps.
std::string cursorSchemeText(std::string_view name, const std::vector<MacroAction>& steps);

}  // namespace rxt
