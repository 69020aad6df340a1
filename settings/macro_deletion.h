#pragma once
// Keys refer to macros by their position in the catalogue, so deleting macro
// m moves every later macro down one place. The macro editor runs
// PrepareMacroDeletion before it deletes: entries that play m fall back to
// their defaults (after the user agreed) and entries that play a later macro
// follow it down.

#include <cstddef>
#include <functional>
#include <string_view>

#include "state/device_images.h"

namespace rxt {

inline constexpr std::string_view kMessageMacroInUse = "message_text_2";

struct MacroDeletionResult {
    bool proceed = true;  // false: the user declined, nothing changed
    size_t replaced = 0;  // entries that played m, now their defaults
    size_t shifted = 0;   // entries that played a later macro
    bool changed() const { return replaced + shifted > 0; }
};

// Whether an entry of kind 0x70 or 0x71 in any of the five banks, over the
// keys the device's page shows, plays macro m.
bool MacroInUse(DeviceImages& images, int macroPosition);

// Every entry of kind 0x70 or 0x71 in all five banks of the device, over
// the keys its page shows (mouse: buttons 0..6; keyboard: all its keys), is
// examined. When one plays macro m, `confirm` is asked (the page shows
// kMessageMacroInUse) and a "no" changes nothing and stops the delete.
// Afterwards the caller saves the key profile when changed() and refreshes
// the labels.
MacroDeletionResult PrepareMacroDeletion(DeviceImages& images, int macroPosition,
                                         const std::function<bool()>& confirm);

}  // namespace rxt
