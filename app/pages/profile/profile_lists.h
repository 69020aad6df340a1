#pragma once
// Filling the seven ProfileLists at start-up from their catalogues, with the
// first run's "profile1" entry and its messages ("message_text_8" missing,
// "message_text_9" malformed default file).

#include "app/pages/profile/profile_page_context.h"
#include "profile/catalogue_population.h"

namespace rxt {

// One catalogue: appends an item (text and user data the name) per entry,
// selecting none; on the first run creates "profile1" (ListCatalogue).
PopulateResult PopulateCatalogue(const ProfilePageContext& ctx, const ProfileCatalogue& catalogue);

// All seven, each on its own (a failure of one leaves the others alone).
void PopulateCatalogues(const ProfilePageContext& ctx);

}  // namespace rxt
