#include "app/pages/profile/profile_page_names.h"

namespace rxt {

const ProfileControls& profileControls(const ProfileCatalogue& catalogue) {
    for (const ProfileControls& c : kProfileControls) {
        if (c.device == catalogue.device() && c.kind == catalogue.kind()) {
            return c;
        }
    }
    return kProfileControls[0];  // every catalogue has its row (tested)
}

std::optional<ProfileCatalogue> catalogueOfList(std::string_view list) {
    for (const ProfileControls& c : kProfileControls) {
        if (c.list == list) {
            return ProfileCatalogue::find(c.device, c.kind);
        }
    }
    return std::nullopt;
}

}  // namespace rxt
