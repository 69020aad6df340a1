#pragma once
// The settings pages as a feature of the main window: the mouse performance
// page's pointer speed and wheel lines, and the key pages' function panels,
// shown as the device state and the profiles report them.

#include "app/shell/page_feature.h"

namespace rxt {

class SettingsPages : public shell::PageFeature {
  public:
    void attach(const shell::PageHost& host) override { ui_ = &host.ui; }
    // Or the controls of the caller's (tests).
    void attach(ui::SkinUi& ui) { ui_ = &ui; }
    void onEvent(const WindowEvent& event) override;

  private:
    ui::SkinUi* ui_ = nullptr;
};

}  // namespace rxt
