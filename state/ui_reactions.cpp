#include "state/ui_reactions.h"

namespace rxt {

std::string_view pageName(Page page) {
    switch (page) {
        case Page::MouseMain:
            return "mouse";
        case Page::MouseKeys:
            return "mouse keys";
        case Page::MousepadLighting:
            return "mousepad lighting";
        case Page::KeyboardLighting:
            return "keyboard lighting";
        case Page::KeyboardKeys:
            return "keyboard keys";
    }
    return "unknown";
}

std::string_view profileKindName(ProfileKind kind) {
    switch (kind) {
        case ProfileKind::Device:
            return "device";
        case ProfileKind::Lighting:
            return "lighting";
        case ProfileKind::Key:
            return "key";
    }
    return "unknown";
}

}  // namespace rxt
