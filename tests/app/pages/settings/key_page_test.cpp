// The key pages in the window built from the project's skin: a choice in
// the function panel lands in the current bank with its bytes, the labels
// follow, the only left click stays, a key is captured through the hook,
// and an Apply that cannot complete is told and not called done.

#include <gtest/gtest.h>

#include "app/pages/settings/key_page_names.h"
#include "app/pages/settings/settings_pages.h"
#include "app/shell/feature_set.h"
#include "platform/system_pointer.h"
#include "settings/key_assignment.h"
#include "support/shell_fixture.h"

namespace rxt::test {
namespace {

// Remembers what was installed; delivers nothing itself.
class FakeHook : public InputHook {
  public:
    bool Install(int m, bool keyboard, bool mouse) override {
        mode_ = m;
        installed_ = keyboard || mouse;
        ++installs;
        return true;
    }
    void Remove() override { installed_ = false; }
    bool installed() const override { return installed_; }
    int mode() const override { return mode_; }
    bool desktopWide() const override { return true; }
    int installs = 0;

  private:
    int mode_ = 0;
    bool installed_ = false;
};

class KeyPageTest : public ShellWindowTest {
  protected:
    void SetUp() override {
        pages.setKeyboardKeyPosition([](int c) { return c < 104 ? c : 126; });
        features.add(pages);
        shell::MainWndOptions options;
        options.features = &features;
        options.inputHook = &hook;
        open(options);
        ui->setVisible("ms_tab_panel", true);
        ui->setCurrentPage("tab_switch", 1);
        ui->setCurrentPage("ms_tab_switch", 2);
        // Left click on button 0 and on the DPI button, so button 0 may change.
        put(mouse(), 0, kLeftClick);
        put(mouse(), 5, kLeftClick);
    }
    DeviceImages& mouse() { return window->images().mouse; }
    DeviceImages& keyboard() { return window->images().keyboard; }
    static void put(DeviceImages& im, size_t n, KeyAssignment e) { currentBank(im).set(n, e); }
    static KeyAssignment at(DeviceImages& im, size_t n) { return currentBank(im).get(n); }
    void deliverKey(int message, uint16_t vk) {
        HookEvent e;
        e.message = message;
        e.hookMessage = kWmKeyDown;
        e.virtualKey = vk;
        window->host().report(event::InputHook{message, e.hookMessage, packHookRecord(e)});
    }

    TempFolder pointerHome;
    std::unique_ptr<SystemPointer> system = makeFileSystemPointer(pointerHome / "pointer.ini");
    HostPointerSettings host;
    SettingsPages pages{SettingsPagesOptions{system.get(), &host}};
    FakeHook hook;
    shell::FeatureSet features;
};

TEST_F(KeyPageTest, TheSkinHoldsEveryControlOfBothPages) {
    for (const KeyPageNames* n : {&kMouseKeyPage, &kKeyboardKeyPage}) {
        for (std::string_view combo :
             {n->chooser, n->buttonCombo, n->horizontalCombo, n->verticalCombo, n->dpiCombo,
              n->mediaCombo, n->systemCombo, n->macroCombo, n->playModeCombo, n->shortcutCombo}) {
            EXPECT_EQ(ui->controlKind(combo), ui::ControlKind::Combo) << combo;
        }
        for (std::string_view edit :
             {n->fireFirstEdit, n->fireSecondEdit, n->horizontalDistanceEdit,
              n->verticalDistanceEdit, n->horizontalHighEdit, n->verticalHighEdit,
              n->verticalLowEdit, n->horizontalLowEdit, n->captureEdit, n->countEdit}) {
            EXPECT_EQ(ui->controlKind(edit), ui::ControlKind::Edit) << edit;
        }
        for (std::string_view b : {n->saveButton, n->defaultButton, n->applyButton}) {
            EXPECT_EQ(ui->controlKind(b), ui::ControlKind::Button) << b;
        }
        const int rows = static_cast<int>(chooserRows(n->device).size());
        EXPECT_EQ(ui->itemCount(n->chooser), rows);
        for (int r = 0; r < rows; ++r) {
            EXPECT_TRUE(ui->hasControl(std::string(n->rowPanelPrefix) + std::to_string(r)));
        }
    }
    EXPECT_EQ(ui->controlKind(kMouseKeyPage.gunCombo), ui::ControlKind::Combo);
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(ui->controlKind("ms_key_" + std::to_string(i)), ui::ControlKind::Option);
        EXPECT_EQ(ui->backgroundImage(kMouseButtonPictures[static_cast<size_t>(i)].control),
                  kMouseButtonPictures[static_cast<size_t>(i)].normal);
    }
    EXPECT_EQ(ui->itemCount(kMouseKeyPage.mediaCombo), 18);
    EXPECT_EQ(ui->item(kMouseKeyPage.shortcutCombo, 3)->userData, "combo_save");
}

TEST_F(KeyPageTest, AButtonPictureShowsItsPressedImageWhileThePointerIsOverIt) {
    for (const ButtonPicture& pic : kMouseButtonPictures) {
        ASSERT_TRUE(ui->userHover(pic.control, true)) << ui->lastError();
        EXPECT_EQ(ui->backgroundImage(pic.control), pic.hover);
        ASSERT_TRUE(ui->userHover(pic.control, false));
        EXPECT_EQ(ui->backgroundImage(pic.control), pic.normal);
    }
}

TEST_F(KeyPageTest, SwingChosenOnTheMousePageLandsInTheBankAndTheLabel) {
    ASSERT_TRUE(ui->userCheck("ms_key_3", true)) << ui->lastError();
    ASSERT_TRUE(ui->userSelect("ms_key_fct_combo", 2));
    EXPECT_TRUE(ui->visible("ms_tab_function_2"));
    EXPECT_FALSE(ui->visible("ms_tab_function_0"));
    ASSERT_TRUE(ui->userSelect("ms_key_fct_combo_12", 1));
    ASSERT_TRUE(ui->userType("ms_key_fct_edit_15", "5"));
    ASSERT_TRUE(ui->userType("ms_key_fct_edit_17", "3"));
    ASSERT_TRUE(ui->userType("ms_key_fct_edit_20", "2"));
    EXPECT_EQ(at(mouse(), 3), KeyAssignment(0x11, 0x32, 0x85));
    EXPECT_EQ(ui->text("ms_key_3"), ui->translate("mouse_key_right_Swing"));
    // Typed past its limit, an edit shows and keeps the clamped value.
    ASSERT_TRUE(ui->userType("ms_key_fct_edit_17", "99"));
    EXPECT_EQ(ui->text("ms_key_fct_edit_17"), "15");
    EXPECT_EQ(at(mouse(), 3), KeyAssignment(0x11, 0xF2, 0x85));
    // Shown again after another button.
    ui->userCheck("ms_key_4", true);
    ui->userCheck("ms_key_3", true);
    EXPECT_EQ(ui->currentIndex("ms_key_fct_combo"), 2);
    EXPECT_EQ(ui->text("ms_key_fct_edit_15"), "5");
    EXPECT_EQ(ui->currentIndex("ms_key_fct_combo_12"), 1);
}

TEST_F(KeyPageTest, TheOnlyLeftClickIsRefused) {
    put(mouse(), 5, {0x13, 3, 0});
    ASSERT_TRUE(ui->userCheck("ms_key_0", true));
    EXPECT_EQ(ui->takeShownMessages(), (std::vector<std::string>{"message_text_6"}));
    EXPECT_FALSE(ui->enabled("ms_tab_function"));
    EXPECT_EQ(at(mouse(), 0), kLeftClick);
}

TEST_F(KeyPageTest, CtrlCapturedOnTheMousePage) {
    ui->userCheck("ms_key_2", true);
    ASSERT_TRUE(ui->userSelect("ms_key_fct_combo", 6));
    EXPECT_TRUE(hook.installed());
    EXPECT_EQ(hook.mode(), kHookModeMouseSingleKey);
    deliverKey(kMsgHookMouSingleKey, 0xA2);
    EXPECT_EQ(at(mouse(), 2), KeyAssignment(0x20, 0x01, 0x00));
    EXPECT_EQ(ui->text("ms_key_fct_edit_21"), ui->translate("keyboard_key_LCtrl"));
    // A consumer key is not captured; another row removes the hook.
    deliverKey(kMsgHookMouSingleKey, 0xAF);
    EXPECT_EQ(at(mouse(), 2), KeyAssignment(0x20, 0x01, 0x00));
    ui->userSelect("ms_key_fct_combo", 7);
    EXPECT_FALSE(hook.installed());
}

TEST_F(KeyPageTest, KeyboardKeyOpensItsFunctionOnlyOnTheKeyPage) {
    keyboard().info.set(info::kKeyCount, 104);
    ui->setVisible("ms_tab_panel", false);
    ui->setVisible("kb_tab_panel", true);
    ui->setCurrentPage("tab_switch", 0);
    ui->setChecked("kb_key_Op_tab", true);
    ui->setVisible("kb_tab_key_seting", true);
    ui->setVisible("kb_deng_layout", false);
    ASSERT_TRUE(ui->userClick("kb_key_30")) << ui->lastError();
    EXPECT_TRUE(ui->visible("kb_tab_function"));
    ASSERT_TRUE(ui->userSelect("kb_key_fct_combo", 7));
    ASSERT_TRUE(ui->userSelect("kb_key_fct_combo_21", 6));
    EXPECT_EQ(at(keyboard(), 30), KeyAssignment(0x30, 0xE9, 0x00));
    // Its default (an empty entry here) names nothing: the tooltip is the function.
    EXPECT_EQ(ui->attribute("kb_key_30", "toolTip"), ui->translate("media_vol_add"));
    keyboard().defaultKeys.set(30 * 3, 0x20);
    keyboard().defaultKeys.set(30 * 3 + 2, 0x05);
    ui->userSelect("kb_key_fct_combo_21", 7);
    EXPECT_EQ(ui->attribute("kb_key_30", "toolTip"), ui->translate("keyboard_key_B") + " " +
                                                         ui->translate("Key_Set") + " " +
                                                         ui->translate("media_mute"));
    // The capture on the keyboard page uses mode 1.
    ui->userSelect("kb_key_fct_combo", 1);
    EXPECT_EQ(hook.mode(), kHookModeKeyboardSingleKey);
    deliverKey(kMsgHookKeySingleKey, 0x41);
    EXPECT_EQ(at(keyboard(), 30), KeyAssignment(0x20, 0, 0x04));
}

TEST_F(KeyPageTest, TheKeyboardLightingRefreshShowsTheKeysAsTheDeviceHoldsThem) {
    keyboard().info.set(info::kKeyCount, 104);
    // The record read from the keyboard (a read-all) changed key 30.
    put(keyboard(), 30, KeyAssignment(0x30, 0xE9, 0x00));
    window->host().report(event::PageRefresh{Page::KeyboardLighting});
    EXPECT_EQ(ui->attribute("kb_key_30", "toolTip"), ui->translate("media_vol_add"));
}

TEST_F(KeyPageTest, MacroDeletionAsksBothQuestionsBeforeAnyEntryChanges) {
    put(mouse(), 3, {0x70, 2, 1});
    put(mouse(), 4, {0x70, 5, 0});
    int confirms = 0;
    auto confirmDelete = [&](bool answer) {
        return [&confirms, answer] {
            ++confirms;
            return answer;
        };
    };
    // "No" to the macro in use: the delete's own question is not asked.
    ui->answer(ui::DialogAnswer::message(false));
    EXPECT_FALSE(pages.prepareMacroDeletion(DeviceKind::Mouse, 2, confirmDelete(true)));
    EXPECT_EQ(confirms, 0);
    // "Yes" to it, "no" to the delete: the keys still play what they played.
    ui->answer(ui::DialogAnswer::message(true));
    EXPECT_FALSE(pages.prepareMacroDeletion(DeviceKind::Mouse, 2, confirmDelete(false)));
    EXPECT_EQ(at(mouse(), 3), KeyAssignment(0x70, 2, 1));
    EXPECT_EQ(at(mouse(), 4), KeyAssignment(0x70, 5, 0));
    // An unused macro asks only the delete; declined, the later one stays.
    EXPECT_FALSE(pages.prepareMacroDeletion(DeviceKind::Mouse, 0, confirmDelete(false)));
    EXPECT_EQ(at(mouse(), 4), KeyAssignment(0x70, 5, 0));
    EXPECT_EQ(ui->takeShownMessages(),
              (std::vector<std::string>{"message_text_2", "message_text_2"}));
    ui->answer(ui::DialogAnswer::message(true));
    EXPECT_TRUE(pages.prepareMacroDeletion(DeviceKind::Mouse, 2, confirmDelete(true)));
    EXPECT_EQ(at(mouse(), 3), defaultEntry(mouse(), 3));
    EXPECT_EQ(at(mouse(), 4), KeyAssignment(0x70, 4, 0));
    EXPECT_EQ(confirms, 3);
}

TEST_F(KeyPageTest, ApplyWithoutTheDeviceIsToldAndNotDone) {
    ASSERT_TRUE(ui->userClick("ms_key_butt_prosave"));
    const std::vector<std::string> shown = ui->takeShownMessages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0], ui->translate("message_text_upload_not_connected"));
    EXPECT_TRUE(ui->visible("setting_progress"));
}

}  // namespace
}  // namespace rxt::test
