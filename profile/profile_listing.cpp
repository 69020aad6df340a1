#include "profile/profile_listing.h"

#include "platform/text_case.h"

namespace rxt {

std::optional<ProfileKind> profileKindFromName(std::string_view name) {
    for (ProfileKind k : {ProfileKind::Device, ProfileKind::Lighting, ProfileKind::Key}) {
        if (profileKindName(k) == name) {
            return k;
        }
    }
    return std::nullopt;
}

std::vector<std::string> profileListing(DeviceKind device) {
    std::vector<std::string> lines;
    for (const ProfileCatalogue& c : ProfileCatalogue::all()) {
        if (c.device() != device) {
            continue;
        }
        const int selected = c.ReadSelect();
        for (int i = 0; i < c.ReadCount(); ++i) {
            lines.push_back(std::string(profileKindName(c.kind())) + " " + std::to_string(i) + " " +
                            c.ReadName(i) + (i == selected ? " (selected)" : ""));
        }
    }
    return lines;
}

std::optional<int> findProfileEntry(const ProfileCatalogue& catalogue, std::string_view name) {
    std::optional<int> other;
    for (int i = 0; i < catalogue.ReadCount(); ++i) {
        const std::string entry = catalogue.ReadName(i);
        if (entry == name) {
            return i;
        }
        if (!other && equalsIgnoreCase(entry, name)) {
            other = i;
        }
    }
    return other;
}

}  // namespace rxt
