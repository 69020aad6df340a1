#include "app/pages/settings/settings_pages.h"

#include <string>

#include "app/pages/settings/settings_page_names.h"
#include "app/ui/skin_ui.h"

namespace rxt {

void SettingsPages::attach(const shell::PageHost& host) {
    ui_ = &host.ui;
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
}

void SettingsPages::addRoutes(shell::NotifyRouter& router) {
    if (performance_) {
        performance_->addRoutes(router);
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
                   },
                   [this](const event::PagesInit&) {
                       if (performance_) {
                           performance_->showWheelNote();
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
