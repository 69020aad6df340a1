#include "app/ui/skin_ui.h"

namespace rxt::ui {

std::string_view controlKindName(ControlKind kind) {
    switch (kind) {
        case ControlKind::Missing:
            return "missing";
        case ControlKind::Container:
            return "container";
        case ControlKind::Label:
            return "label";
        case ControlKind::Button:
            return "button";
        case ControlKind::Option:
            return "option";
        case ControlKind::Edit:
            return "edit";
        case ControlKind::Combo:
            return "combo";
        case ControlKind::List:
            return "list";
        case ControlKind::Slider:
            return "slider";
        case ControlKind::Progress:
            return "progress";
        case ControlKind::Tabs:
            return "tabs";
        case ControlKind::Palette:
            return "palette";
        case ControlKind::Custom:
            return "custom";
    }
    return "unknown";
}

}  // namespace rxt::ui
