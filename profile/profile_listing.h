#pragma once
// The catalogues as rxtctl names them: the profiles of a device kind line by
// line, a profile kind by its word and an entry by its name.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "profile/profile_catalogue.h"

namespace rxt {

// "device", "lighting", "key".
std::optional<ProfileKind> profileKindFromName(std::string_view name);

// Every entry of the device kind's catalogues, one line each:
// "device 0 profile1 (selected)" (the catalogue's word, the index, the name).
std::vector<std::string> profileListing(DeviceKind device);

// The index of the entry called `name`: the same text first, else the same
// in another letter case; nullopt when none.
std::optional<int> findProfileEntry(const ProfileCatalogue& catalogue, std::string_view name);

}  // namespace rxt
