#include "app/pages/settings/settings_pages.h"

#include <string>

#include "app/pages/settings/settings_page_names.h"
#include "app/ui/skin_ui.h"

namespace rxt {

void SettingsPages::onEvent(const WindowEvent& event) {
    if (ui_ == nullptr) {
        return;
    }
    std::visit(Overloaded{
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
