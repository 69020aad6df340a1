#pragma once
// What the seven ProfileLists show at start-up, from their catalogues, and
// the first run that gives an empty catalogue its "profile1" entry from the
// catalogue's default file.

#include <string>
#include <string_view>
#include <vector>

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

struct CatalogueListing {
    PopulateResult result;
    // The entries the list shows (text and user data the name).
    std::vector<std::string> names;
    // Whether the list is filled (and then left without a selection).
    bool listed;
    // The message to show; empty: none.
    std::string_view message;
};

// One catalogue: its entries. With no entries, reads the default file
// (keyboard: of the current keyboard variant), writes it as "profile1" +
// extension and writes count 1, link flag 0, name "profile1" and select 0 in
// one atomic change of the ini file.
CatalogueListing ListCatalogue(const ProfileContext& ctx, const ProfileCatalogue& catalogue);

}  // namespace rxt
