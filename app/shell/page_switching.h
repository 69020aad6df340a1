#pragma once
// The device tabs and the option tabs: which page of which tab layout each
// one shows, what it shows and hides besides, and the guard that keeps a
// macro under edit on its page.

#include <string_view>

#include "app/ui/skin_ui.h"

namespace rxt::shell {

class PageSwitching {
  public:
    explicit PageSwitching(ui::SkinUi& ui) : ui_(ui) {}

    // "selectchanged" of a tab; false when the sender is not a tab.
    bool onSelectChanged(const ui::Notification& n);
    // "setfocus" of the mouse option tabs.
    bool onSetFocus(const ui::Notification& n);

    static bool isTab(std::string_view name);
    // A mouse option tab, whose focus hides the profile functions.
    static bool isMouseOption(std::string_view name);

  private:
    // True when a macro under edit kept its page (and the user was told).
    bool macroGuard(std::string_view name);
    void keyboardOption(std::string_view name);
    void mouseOption(std::string_view name);

    ui::SkinUi& ui_;
};

}  // namespace rxt::shell
