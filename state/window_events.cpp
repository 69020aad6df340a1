#include "state/window_events.h"

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

std::string describe(const WindowEvent& event) {
    auto kind = [](DeviceKind k) { return std::string(kindName(k)); };
    auto shown = [](bool visible) { return std::string(visible ? "show " : "hide "); };
    auto entry = [&](DeviceKind k, ProfileKind p) {
        return kind(k) + " " + std::string(profileKindName(p));
    };
    return std::visit(
        Overloaded{
            [&](const event::TabShown& e) { return shown(e.visible) + kind(e.device) + " tab"; },
            [&](const event::TabSelected& e) { return "select " + kind(e.device) + " tab"; },
            [&](const event::PanelShown& e) { return "show " + kind(e.device) + " panel"; },
            [&](const event::SameModeShown& e) {
                return shown(e.visible) + kind(e.device) + " same mode";
            },
            [&](const event::FunctionPanelHidden& e) {
                return "hide " + kind(e.device) + " function panel" +
                       (e.disable ? " disabled" : "");
            },
            [](const event::PointerSliderShown& e) {
                return "pointer slider " + std::to_string(e.position);
            },
            [](const event::WheelLinesShown& e) {
                return "wheel lines " + std::to_string(e.lines);
            },
            [](const event::PageRefresh& e) { return "refresh " + std::string(pageName(e.page)); },
            [&](const event::ProfileEntrySelect& e) {
                return "profile " + entry(e.device, e.profile) + " " + std::to_string(e.index);
            },
            [&](const event::ProfileLoad& e) {
                return "load " + entry(e.device, e.profile) + " " + std::to_string(e.index);
            },
            [&](const event::ProfileSave& e) { return "save " + entry(e.device, e.profile); },
            [](const event::KeyboardDefaultFile& e) {
                return "default file " + std::to_string(e.variant) + " " +
                       std::to_string(e.keyTable.size());
            },
            [&](const event::LightTrigger& e) { return "effects " + kind(e.device); },
            [](const event::PagesInit&) { return std::string("pages init"); },
            [](const event::InputHook& e) {
                return "hook " + std::to_string(e.message) + " " + std::to_string(e.wParam) + " " +
                       std::to_string(e.lParam);
            },
            [&](const event::MacroNamesChanged& e) { return "macro names " + kind(e.device); },
            [&](const event::KeyClicked& e) {
                return "key " + kind(e.device) + " " + std::to_string(e.control);
            },
        },
        event);
}

}  // namespace rxt
