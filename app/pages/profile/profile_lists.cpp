#include "app/pages/profile/profile_lists.h"

#include "app/pages/profile/profile_page_names.h"
#include "app/ui/skin_ui.h"

namespace rxt {

PopulateResult PopulateCatalogue(const ProfilePageContext& ctx, const ProfileCatalogue& catalogue) {
    const CatalogueListing listing = ListCatalogue(ctx, catalogue);
    if (ctx.ui == nullptr) {
        return listing.result;
    }
    if (!listing.message.empty()) {
        ctx.ui->messageBox("", listing.message, true);
    }
    if (listing.listed) {
        const std::string_view list = profileControls(catalogue).list;
        for (const std::string& name : listing.names) {
            ctx.ui->addItem(list, ui::Item{name, name});
        }
        // A combo box selects its first item as it gets it; the lists start
        // with no selection, which the arrival of the device or the user
        // then makes.
        ctx.ui->setCurrentIndex(list, -1);
    }
    return listing.result;
}

void PopulateCatalogues(const ProfilePageContext& ctx) {
    for (const ProfileCatalogue& catalogue : ProfileCatalogue::all()) {
        PopulateCatalogue(ctx, catalogue);
    }
}

}  // namespace rxt
