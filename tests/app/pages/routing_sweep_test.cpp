// Every control the window's routing table names, against the project's skin
// and the routes the pages register once all of them are there: a named
// control missing from the skin or left without its route fails, and so
// does a route to a control that no skin file holds.

#include <gtest/gtest.h>

#include <set>

#include "app/pages/lighting/lighting_pages.h"
#include "app/pages/macro/macro_pages.h"
#include "app/pages/profile/profile_pages.h"
#include "app/pages/settings/settings_pages.h"
#include "app/shell/feature_set.h"
#include "platform/system_pointer.h"
#include "support/shell_fixture.h"

namespace rxt::test {
namespace {

namespace n = ui::notify;

// One row of the routing tables: a notification type and the controls it
// names, written whole or as a prefix with its numbers.
struct Row {
    std::string_view type;
    std::vector<std::string> names;
};

std::vector<std::string> numbered(std::string_view prefix, int first, int last) {
    std::vector<std::string> out;
    for (int i = first; i <= last; ++i) {
        out.push_back(std::string(prefix) + std::to_string(i));
    }
    return out;
}

std::vector<std::string> join(std::initializer_list<std::vector<std::string>> parts) {
    std::vector<std::string> out;
    for (const auto& p : parts) {
        out.insert(out.end(), p.begin(), p.end());
    }
    return out;
}

std::vector<std::string> twins(std::initializer_list<std::string_view> msNames) {
    std::vector<std::string> out;
    for (std::string_view name : msNames) {
        out.emplace_back(name);
        out.push_back("kb" + std::string(name.substr(2)));
    }
    return out;
}

// The profile operations: per device prefix, its catalogues.
std::vector<std::string> profileButtons() {
    std::vector<std::string> out;
    const std::pair<std::string_view, std::vector<std::string_view>> devices[] = {
        {"kb", {"deng", "device", "key"}}, {"ms", {"deng", "device", "key"}}, {"mp", {"deng"}}};
    for (const auto& [p, catalogues] : devices) {
        for (std::string_view cat : catalogues) {
            for (std::string_view op :
                 {"add", "sub", "import", "export", "copy", "reset", "edit"}) {
                // The device catalogues have no edit of their own.
                if (op == "edit" && cat == "device") {
                    continue;
                }
                out.push_back(std::string(p) + "_pro_" + std::string(cat) + "_" + std::string(op) +
                              "_btn");
            }
        }
    }
    return out;
}

// The profile lists with an application link, by the stem of their names.
const std::vector<std::string> kLinkNames{
    "kb_deng_profile", "kb_key_profile", "kb_device_profile", "ms_device_profile",
    "ms_deng_profile", "ms_key_profile", "mp_deng_profile"};

std::vector<std::string> withSuffix(const std::vector<std::string>& names, std::string_view s) {
    std::vector<std::string> out;
    for (const auto& name : names) {
        out.push_back(name + std::string(s));
    }
    return out;
}

std::vector<Row> routingTable() {
    std::vector<std::string> macroButtons;
    for (std::string_view p : {"ms", "kb"}) {
        for (std::string_view b :
             {"redio", "name_add", "name_sub", "down", "up", "uptop", "downbottom", "delete",
              "deleteall", "cancel", "save", "import", "export", "savemacroname"}) {
            macroButtons.push_back(std::string(p) + "_macro_btn_" + std::string(b));
        }
        for (std::string_view b : {"leftkey", "rightkey", "moudlekey", "forwardkey", "backkey"}) {
            for (std::string_view part : {"", "down", "up"}) {
                macroButtons.push_back(std::string(p) + "_macro_inset_" + std::string(b) +
                                       std::string(part) + "_btn");
            }
        }
        for (std::string_view b : {"moveleftkey", "moverightkey", "moveupkey", "movedownkey"}) {
            macroButtons.push_back(std::string(p) + "_macro_inset_" + std::string(b) + "_btn");
        }
    }
    std::vector<std::string> fctEdits;
    for (std::string_view p : {"ms", "kb"}) {
        for (int i : {11, 12, 15, 16, 17, 18, 19, 20, 25}) {
            fctEdits.push_back(std::string(p) + "_key_fct_edit_" + std::to_string(i));
        }
    }
    std::vector<std::string> fctCombos;
    for (std::string_view p : {"ms", "kb"}) {
        fctCombos.push_back(std::string(p) + "_key_fct_combo");
        for (int i : {11, 12, 13, 14, 21, 22, 23, 24, 26}) {
            fctCombos.push_back(std::string(p) + "_key_fct_combo_" + std::to_string(i));
        }
    }
    std::vector<std::string> lightingChecks;
    for (std::string_view p : {"ms", "mp", "kb"}) {
        for (std::string_view c : {"7color", "FXL", "FXR"}) {
            lightingChecks.push_back(std::string(p) + "_Deng_" + std::string(c) + "_check");
        }
    }
    const std::vector<std::string> sliders{
        "ms_deng_light_slider", "ms_deng_speed_slider",   "mp_deng_light_slider",
        "mp_deng_speed_slider", "kb_deng_light_slider",   "kb_deng_speed_slider",
        "ms_DPI1_slider",       "ms_DPI2_slider",         "ms_DPI3_slider",
        "ms_DPI4_slider",       "ms_DPI5_slider",         "ms_DPI6_slider",
        "ms_DPI7_slider",       "ms_debouncetime_slider", "ms_point_speed_slider"};
    return {
        {n::kColorChanged,
         {"ms_deng_Color_Pallet", "mp_deng_Color_Pallet", "kb_deng_Color_Pallet"}},
        // The mouse button pictures.
        {n::kMouseEnter,
         {"ms_key_0_0", "ms_key_1_0", "ms_key_2_0", "ms_key_3_0", "ms_key_4_0", "ms_key_5_0",
          "ms_key_6_0"}},
        {n::kMouseLeave,
         {"ms_key_0_0", "ms_key_1_0", "ms_key_2_0", "ms_key_3_0", "ms_key_4_0", "ms_key_5_0",
          "ms_key_6_0"}},
        // The click table's "kb_dkey_" row paints a key of the custom layout:
        // this skin paints on the keyboard's one set of key controls, the
        // "kb_key_" row (with the lighting option selected), and has no second set.
        {n::kClick, join({numbered("kb_key_", 0, 103),
                          numbered("ms_DPIcolor_btn_", 1, 7),
                          numbered("ms_Deng_color_btn_", 0, 29),
                          numbered("mp_Deng_color_btn_", 0, 29),
                          numbered("kb_Deng_color_btn_", 0, 29),
                          numbered("ms_profile_", 0, 4),
                          {"ms_bulletdate_save_btn",
                           "ms_bulletdate_reset_btn",
                           "bullet_selected_prev",
                           "bullet_selected_next",
                           "ms_bulletdate_import_btn",
                           "ms_bulletdate_export_btn",
                           "ms_key_butt_keysave",
                           "ms_key_butt_keydefalut",
                           "kb_key_butt_keydefalut",
                           "ms_key_butt_prosave",
                           "kb_key_butt_prosave",
                           "ms_gunlun_speed_up_btn",
                           "ms_gunlun_speed_down_btn",
                           "ms_one_profile_default",
                           "mp_one_profile_default",
                           "ms_Deng_FXL_btn",
                           "ms_Deng_FXR_btn",
                           "kb_deng_same_mode",
                           "ms_deng_same_mode",
                           "mp_deng_same_mode",
                           "kb_profile_fun_spread_btn",
                           "ms_profile_fun_spread_btn",
                           "mp_profile_fun_spread_btn",
                           "ms_device_cancle_link_btn",
                           "kb_deng_cancle_link_btn",
                           "kb_device_cancle_link_btn",
                           "renew_device"},
                          macroButtons,
                          profileButtons(),
                          withSuffix(kLinkNames, "_link_btn"),
                          withSuffix(kLinkNames, "_edit_save_btn")})},
        // The click table's "ms_bullet_op_" row (a click on the selected
        // bullet takes it back) arrives as its selection change here.
        {n::kSelectChanged, join({{"ms_line_adjust",
                                   "height2mm",
                                   "height3mm",
                                   "ms_cursor_x_check",
                                   "ms_cursor_y_check",
                                   "kb_Deng_all_kill_check",
                                   "kb_Deng_all_bright_check",
                                   "kb_tab",
                                   "ms_tab",
                                   "mp_tab",
                                   "ani_tab",
                                   "split_tab",
                                   "kb_deng_Op_tab",
                                   "kb_key_Op_tab",
                                   "kb_macro_Op_tab",
                                   "kb_cursor_Op_tab",
                                   "ms_deng_Op_tab",
                                   "ms_macro_Op_tab",
                                   "ms_key_Op_tab",
                                   "ms_rich_Op_tab",
                                   "ms_cursor_Op_tab"},
                                  numbered("ms_bullet_op_", 0, 29),
                                  numbered("dpi_check_", 1, 7),
                                  numbered("ms_key_", 0, 6),
                                  numbered("ms_gun_op_", 0, 3),
                                  lightingChecks,
                                  withSuffix(kLinkNames, "_link_check")})},
        {n::kValueChanged, sliders},
        // The pointer speed has no value shown to follow a drag.
        {n::kMoveValueChanged, std::vector<std::string>(sliders.begin(), sliders.end() - 1)},
        {n::kItemSelect,
         join({{"ms_deng_combo_modeSelect0", "mp_deng_combo_modeSelect", "kb_deng_combo_modeSelect",
                "kb_deng_onecolor_combo_modeSelect", "kb_deng_combo_curtom_count",
                "ms_report_fct_combo", "ms_height_fct_combo", "mp_deng_combo_profile",
                "kb_deng_profile_combo", "kb_key_profile_combo", "mp_deng_profile_combo",
                "kb_device_profile_combo", "ms_device_profile_combo", "ms_deng_profile_combo",
                "ms_key_profile_combo"},
               twins({"ms_MacroName_list", "ms_Macro_list", "ms_macro_combo_keyselect",
                      "ms_macro_combo_mouselect", "ms_macro_combo_upordown"}),
               fctCombos})},
        // The list table's "ms_macro_action": the list of the macro's actions,
        // which this skin names "ms_Macro_list".
        {n::kItemClick, {"ms_Macro_list", "kb_Macro_list"}},
        {n::kKillFocus,
         {"ms_macro_edit_macroname", "kb_macro_edit_macroname", "ms_gunlun_speed_edit"}},
        {n::kTextChanged,
         join({fctEdits,
               {"ms_gunlun_speed_edit", "ms_cursor_x_eidt", "ms_cursor_y_eidt",
                "ms_cursor_delay_eidt"},
               twins({"ms__macro_edit_ActionDelay", "ms__macro_edit_mou_action_delay",
                      "ms_macro_edit_mou_pointer_skewing", "ms_mouse_x_left_edit",
                      "ms_mouse_x_right_edit", "ms_mouse_y_up_edit", "ms_mouse_y_down_edit"})})},
        {n::kSetFocus,
         {"ms_deng_Op_tab", "ms_key_Op_tab", "ms_rich_Op_tab", "ms_macro_Op_tab",
          "ms_cursor_Op_tab"}},
    };
}

class RoutingSweepTest : public ShellWindowTest {
  protected:
    void SetUp() override {
        features.add(profiles);
        features.add(settings);
        features.add(lighting);
        features.add(macros);
        shell::MainWndOptions options;
        options.features = &features;
        open(options);
    }

    TempFolder pointerHome;
    std::unique_ptr<SystemPointer> system = makeFileSystemPointer(pointerHome / "pointer.ini");
    HostPointerSettings host;
    ProfilePages profiles;
    SettingsPages settings{SettingsPagesOptions{system.get(), &host}};
    LightingPages lighting{
        LightingPagesOptions{{std::chrono::milliseconds(0), std::chrono::milliseconds(5)}}};
    MacroPages macros;
    shell::FeatureSet features;
};

TEST_F(RoutingSweepTest, EveryNamedControlIsInTheSkinAndRouted) {
    for (const Row& row : routingTable()) {
        for (const std::string& name : row.names) {
            EXPECT_TRUE(ui->hasControl(name)) << name << " is not in the skin";
            EXPECT_TRUE(window->handles(row.type, name))
                << row.type << " " << name << " has no route";
        }
    }
}

TEST_F(RoutingSweepTest, EveryRouteReachesAControlOfTheSkin) {
    // Names in the skin, so that a numbered route is checked against them.
    std::set<std::string> prefixes;
    for (const Row& row : routingTable()) {
        for (const std::string& name : row.names) {
            if (const auto split = shell::splitIndexedName(name)) {
                prefixes.insert(split->first);
            }
        }
    }
    for (const shell::NotifyRouter::Route& route : window->router().routes()) {
        if (!route.numbered) {
            EXPECT_TRUE(ui->hasControl(route.name))
                << route.type << " route to " << route.name << ", which no skin file holds";
            continue;
        }
        // A numbered route: some control of the skin carries the prefix.
        bool found = false;
        for (int i = 0; i < 130 && !found; ++i) {
            found = ui->hasControl(route.name + std::to_string(i));
        }
        EXPECT_TRUE(found) << route.type << " route to numbered " << route.name
                           << ", of which the skin has none";
    }
}

}  // namespace
}  // namespace rxt::test
