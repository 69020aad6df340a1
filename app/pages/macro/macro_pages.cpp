#include "app/pages/macro/macro_pages.h"

#include "platform/folders.h"

namespace rxt {

void MacroPages::attach(const shell::PageHost& host) {
    auto make = [&](const MacroPageControls& c) {
        MacroPageContext ctx{&host.ui, &host.inputHook, host.report, {}};
        if (deletionCheck_) {
            ctx.prepareDeletion = [check = deletionCheck_, device = c.device](
                                      int position, const std::function<bool()>& confirm) {
                return check(device, position, confirm);
            };
        }
        return std::make_unique<MacroEditorPage>(c, ctx);
    };
    mouse_ = make(kMouseMacroControls);
    keyboard_ = make(kKeyboardMacroControls);
    cursor_ = std::make_unique<CursorPage>(CursorPageContext{
        &host.ui, &host.links[DeviceKind::Mouse],
        defaultsFolder_.empty() ? programFolder() / "defaults" : defaultsFolder_});
}

MacroEditorPage* MacroPages::page(DeviceKind device) {
    return device == DeviceKind::Mouse      ? mouse_.get()
           : device == DeviceKind::Keyboard ? keyboard_.get()
                                            : nullptr;
}

void MacroPages::addRoutes(shell::NotifyRouter& router) {
    if (mouse_) {
        mouse_->addRoutes(router);
        keyboard_->addRoutes(router);
        cursor_->addRoutes(router);
    }
}

void MacroPages::onEvent(const WindowEvent& event) {
    if (!mouse_) {
        return;
    }
    std::visit(Overloaded{
                   [this](const event::PagesInit&) {
                       mouse_->setUp();
                       keyboard_->setUp();
                       cursor_->setUp();
                   },
                   [this](const event::InputHook& e) {
                       const HookEvent hook = unpackHookEvent(e.message, e.wParam, e.lParam);
                       mouse_->onHook(hook);
                       keyboard_->onHook(hook);
                   },
                   [](const auto&) {},
               },
               event);
}

}  // namespace rxt
