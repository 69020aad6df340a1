#include "app/pages/settings/settings_pages.h"

#include <string>

#include "app/pages/settings/settings_page_names.h"
#include "app/ui/skin_ui.h"
#include "platform/folders.h"

namespace rxt {

void SettingsPages::attach(const shell::PageHost& host) {
    ui_ = &host.ui;
    links_ = &host.links;
    SystemPointer* system = options_.system;
    if (system == nullptr) {
        if (!system_) {
            system_ = makeSystemPointer();
        }
        system = system_.get();
    }
    MousePerformanceContext ctx;
    ctx.ui = &host.ui;
    ctx.images = &host.images;
    ctx.writeBack = &host.writeBack;
    ctx.host = options_.host;
    ctx.system = system;
    ctx.report = host.report;
    performance_ = std::make_unique<MousePerformancePage>(ctx);

    KeyPageContext keys;
    keys.ui = &host.ui;
    keys.images = &host.images;
    keys.links = &host.links;
    keys.writeBack = &host.writeBack;
    keys.hook = &host.inputHook;
    keys.report = host.report;
    keys.keyPosition = keyPosition_;
    keys.defaultsFolder = defaultsFolder_.empty() ? programFolder() / "defaults" : defaultsFolder_;
    mouseKeys_ = std::make_unique<KeyPage>(kMouseKeyPage, keys);
    keyboardKeys_ = std::make_unique<KeyPage>(kKeyboardKeyPage, keys);
    host.writeBack.setUploads(this);
}

bool SettingsPages::uploadKeyboard() {
    return keyboardKeys_ && keyboardKeys_->uploadMacros();
}

bool SettingsPages::uploadMouseCursors() {
    return mouseKeys_ && mouseKeys_->uploadCursorSchemes();
}

bool SettingsPages::uploadMouse() {
    return mouseKeys_ && mouseKeys_->uploadMacros();
}

bool SettingsPages::prepareMacroDeletion(DeviceKind device, int position,
                                         const std::function<bool()>& confirmDelete) {
    KeyPage* page = device == DeviceKind::Mouse      ? mouseKeys_.get()
                    : device == DeviceKind::Keyboard ? keyboardKeys_.get()
                                                     : nullptr;
    if (page == nullptr) {
        return !confirmDelete || confirmDelete();
    }
    return page->prepareMacroDeletion(position, confirmDelete);
}

void SettingsPages::addRoutes(shell::NotifyRouter& router) {
    if (performance_) {
        performance_->addRoutes(router);
    }
    for (KeyPage* page : {mouseKeys_.get(), keyboardKeys_.get()}) {
        if (page != nullptr) {
            page->addRoutes(router);
        }
    }
}

void SettingsPages::addControlRoutes(shell::ControlRouter& router) {
    if (!performance_) {
        return;
    }
    auto keyPage = [this](std::span<const std::string> rest) -> KeyPage* {
        if (rest.size() != 1) {
            return nullptr;
        }
        if (rest[0] == "mouse") {
            return mouseKeys_.get();
        }
        return rest[0] == "keyboard" ? keyboardKeys_.get() : nullptr;
    };
    router.on("macro list", [keyPage](std::span<const std::string> rest) {
        if (keyPage(rest) == nullptr) {
            return ControlAnswer::usage("macro list takes KIND: mouse or keyboard");
        }
        return ControlAnswer::done(macroListing(MacroCatalogue(*kindFromName(rest[0]))));
    });
    router.on("macro upload", [this, keyPage](std::span<const std::string> rest) {
        KeyPage* page = keyPage(rest);
        if (page == nullptr) {
            return ControlAnswer::usage("macro upload takes KIND: mouse or keyboard");
        }
        const DeviceKind kind = *kindFromName(rest[0]);
        if (links_ == nullptr || !links_->connected(kind)) {
            return ControlAnswer::failed("no " + rest[0] + " is attached to rxt-config");
        }
        page->setQuiet(true);
        page->applyUpload();
        const std::string problem = page->problem();
        page->setQuiet(false);
        return problem.empty() ? ControlAnswer::done() : ControlAnswer::failed(problem);
    });
    for (std::string_view field : {"dpi", "active-dpi", "report-rate", "debounce"}) {
        router.on("set mouse " + std::string(field),
                  [this, field](std::span<const std::string> rest) {
                      std::vector<std::string> words{std::string(field)};
                      words.insert(words.end(), rest.begin(), rest.end());
                      std::string error;
                      const auto edit = perf::parsePerformanceEdit(words, error);
                      if (!edit) {
                          return ControlAnswer::usage(error);
                      }
                      if (links_ == nullptr || !links_->connected(DeviceKind::Mouse)) {
                          return ControlAnswer::failed("no mouse is attached to rxt-config");
                      }
                      performance_->applyEdit(*edit);
                      return ControlAnswer::done();
                  });
    }
}

void SettingsPages::onEvent(const WindowEvent& event) {
    if (ui_ == nullptr) {
        return;
    }
    std::visit(Overloaded{
                   [this](const event::PageRefresh& e) {
                       if (e.page == Page::MouseMain && performance_) {
                           performance_->refresh();
                       }
                       if ((e.page == Page::MouseKeys || e.page == Page::MouseMain) && mouseKeys_) {
                           mouseKeys_->refreshMacros();
                       }
                       // The keyboard lighting page's refresh ends with the
                       // key-assignment display, as the mouse's main page's does.
                       if ((e.page == Page::KeyboardKeys || e.page == Page::KeyboardLighting) &&
                           keyboardKeys_) {
                           keyboardKeys_->refreshMacros();
                       }
                   },
                   [this](const event::MacroNamesChanged& e) {
                       KeyPage* page =
                           e.device == DeviceKind::Mouse ? mouseKeys_.get() : keyboardKeys_.get();
                       if (page != nullptr) {
                           page->refreshMacros();
                       }
                   },
                   [this](const event::PagesInit&) {
                       if (performance_) {
                           performance_->showWheelNote();
                       }
                       for (KeyPage* page : {mouseKeys_.get(), keyboardKeys_.get()}) {
                           if (page != nullptr) {
                               page->fillChoosers();
                           }
                       }
                   },
                   [this](const event::InputHook& e) {
                       const HookEvent hook = unpackHookEvent(e.message, e.wParam, e.lParam);
                       for (KeyPage* page : {mouseKeys_.get(), keyboardKeys_.get()}) {
                           if (page != nullptr) {
                               page->onHookEvent(hook);
                           }
                       }
                   },
                   [this](const event::PointerSliderShown& e) {
                       ui_->setValue(kPointerSpeedSlider, e.position);
                   },
                   [this](const event::WheelLinesShown& e) {
                       ui_->setText(kWheelLinesEdit, std::to_string(e.lines));
                   },
                   [this](const event::FunctionPanelHidden& e) {
                       for (const FunctionPanelControl& c : kFunctionPanels) {
                           if (c.device != e.device) {
                               continue;
                           }
                           if (!e.disable) {
                               ui_->setVisible(c.panel, false);
                           } else if (ui_->visible(c.panel)) {
                               // A loaded key profile also takes the panel's
                               // function away until it is opened again.
                               ui_->setVisible(c.panel, false);
                               ui_->setEnabled(c.panel, false);
                           }
                       }
                   },
                   [](const auto&) {},
               },
               event);
}

}  // namespace rxt
