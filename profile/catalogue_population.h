#pragma once
// Filling the seven ProfileLists at start-up from their catalogues, and the
// first run that gives an empty catalogue its "profile1" entry from the
// catalogue's default file.

#include "profile/profile_catalogue.h"
#include "profile/profile_data.h"

namespace rxt {

inline constexpr std::string_view kFirstProfileName = "profile1";
inline constexpr std::string_view kMessageFileMissing = "message_text_8";
inline constexpr std::string_view kMessageFileBadFormat = "message_text_9";

enum class PopulateResult {
    Listed,       // the catalogue's entries were added to its list
    Created,      // first run: "profile1" created from the default file
    NoDefault,    // first run, default file missing ("message_text_8" shown)
    BadDefault,   // first run, default file malformed ("message_text_9" shown)
    WriteFailed,  // first run, the data file or the catalogue could not be written
};

// One catalogue: appends an item (text and user data the name) per entry,
// selecting none. With no entries, reads the default file (keyboard: of the
// current keyboard variant), writes it as "profile1" + extension, appends
// the item and writes count 1, link flag 0, name "profile1" and select 0 in
// one atomic change of the ini file.
PopulateResult PopulateCatalogue(const ProfileContext& ctx, const ProfileCatalogue& catalogue);

// All seven, each on its own (a failure of one leaves the others alone).
void PopulateCatalogues(const ProfileContext& ctx);

}  // namespace rxt
