#pragma once
// The program a catalogue entry is linked to: the path a link stores and
// shows, and whether a program is linked already.

#include <optional>
#include <string>
#include <string_view>

#include "profile/profile_catalogue.h"

namespace rxt {

// The path a link stores for a chosen program: the executable it leads to
// (symbolic links resolved, as the running program's path will be);
// nullopt when the choice is no usable program path (not absolute, or with
// characters the catalogue cannot hold).
std::optional<std::string> linkablePath(std::string_view chosen);

// The file name part shown in the link edit.
std::string programFileName(std::string_view path);

// Whether one of the first `entries` entries of the catalogue is linked to
// the program, comparing the whole path without regard to case.
bool programAlreadyLinked(const ProfileCatalogue& catalogue, int entries, std::string_view program);

}  // namespace rxt
