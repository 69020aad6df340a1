#include "app/shell/page_switching.h"

#include <array>
#include <utility>

namespace rxt::shell {
namespace {

constexpr std::array<std::pair<std::string_view, int>, 5> kDeviceTabs{{
    {"kb_tab", 0},
    {"ms_tab", 1},
    {"mp_tab", 2},
    {"ani_tab", 3},
    {"split_tab", 4},
}};

constexpr std::array<std::pair<std::string_view, int>, 5> kMouseOptions{{
    {"ms_deng_Op_tab", 0},
    {"ms_macro_Op_tab", 1},
    {"ms_key_Op_tab", 2},
    {"ms_rich_Op_tab", 3},
    {"ms_cursor_Op_tab", 4},
}};

constexpr std::array<std::string_view, 4> kKeyboardOptions{"kb_deng_Op_tab", "kb_macro_Op_tab",
                                                           "kb_key_Op_tab", "kb_cursor_Op_tab"};

template <typename Table>
const int* pageOf(const Table& table, std::string_view name) {
    for (const auto& [tab, page] : table) {
        if (tab == name) {
            return &page;
        }
    }
    return nullptr;
}

bool isKeyboardOption(std::string_view name) {
    for (std::string_view option : kKeyboardOptions) {
        if (option == name) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool PageSwitching::isTab(std::string_view name) {
    return pageOf(kDeviceTabs, name) != nullptr || pageOf(kMouseOptions, name) != nullptr ||
           isKeyboardOption(name);
}

bool PageSwitching::macroGuard(std::string_view name) {
    struct Guard {
        std::string_view panel, option, tab;
    };
    static constexpr Guard kGuards[] = {
        {"ms_macro_tab_saveorcancel", "ms_macro_Op_tab", "ms_tab"},
        {"kb_macro_tab_saveorcancel", "kb_macro_Op_tab", "kb_tab"},
    };
    for (const Guard& guard : kGuards) {
        if (!ui_.visible(guard.panel) || name == guard.option || name == guard.tab) {
            continue;
        }
        ui_.setChecked(guard.option, true);
        ui_.setChecked(guard.tab, true);
        ui_.messageBox("", "message_text_3", true);
        return true;
    }
    return false;
}

bool PageSwitching::onSelectChanged(const ui::Notification& n) {
    if (!isTab(n.sender)) {
        return false;
    }
    // A tab losing its selection to another says nothing new.
    if (n.value == 0) {
        return true;
    }
    if (macroGuard(n.sender)) {
        return true;
    }
    if (const int* page = pageOf(kDeviceTabs, n.sender)) {
        ui_.setCurrentPage("tab_switch", *page);
    } else if (isKeyboardOption(n.sender)) {
        keyboardOption(n.sender);
    } else {
        mouseOption(n.sender);
    }
    return true;
}

void PageSwitching::keyboardOption(std::string_view name) {
    if (name == "kb_deng_Op_tab") {
        ui_.setCurrentPage("kb_tab_switch", 2);
        ui_.setVisible("kb_deng_layout", true);
        ui_.setVisible("kb_tab_key_seting", false);
        ui_.setEnabled("kb_profile_select_tab", true);
        ui_.setEnabled("kb_profile_fun_spead_tab", true);
    } else if (name == "kb_macro_Op_tab") {
        ui_.setCurrentPage("kb_tab_switch", 1);
        ui_.setEnabled("kb_profile_select_tab", false);
        ui_.setEnabled("kb_profile_fun_spead_tab", false);
    } else if (name == "kb_key_Op_tab") {
        ui_.setCurrentPage("kb_tab_switch", 2);
        ui_.setVisible("kb_tab_function", false);
        ui_.setEnabled("kb_tab_function", false);
        ui_.setVisible("kb_deng_layout", false);
        ui_.setVisible("kb_tab_key_seting", true);
        ui_.setEnabled("kb_profile_select_tab", true);
        ui_.setEnabled("kb_profile_fun_spead_tab", true);
    } else {
        ui_.setCurrentPage("kb_tab_switch", 3);
    }
}

void PageSwitching::mouseOption(std::string_view name) {
    const int* page = pageOf(kMouseOptions, name);
    ui_.setCurrentPage("ms_tab_switch", *page);
    if (name == "ms_key_Op_tab") {
        ui_.setVisible("ms_tab_function", true);
    }
}

bool PageSwitching::isMouseOption(std::string_view name) {
    return pageOf(kMouseOptions, name) != nullptr;
}

bool PageSwitching::onSetFocus(const ui::Notification& n) {
    if (!isMouseOption(n.sender)) {
        return false;
    }
    ui_.setVisible("ms_profile_fun_spead_tab", false);
    return true;
}

}  // namespace rxt::shell
