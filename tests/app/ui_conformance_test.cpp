// What every UI implementation must do alike, run against the in-memory tree
// and the widget toolkit (off screen) with the same skin: the page logic is
// tested on the first and runs on the second.

#include <gtest/gtest.h>

#include <future>
#include <thread>

#include "app/qt/qt_ui.h"
#include "app/ui/memory_ui.h"
#include "support/qt_test_app.h"
#include "support/ui_test_handler.h"

using namespace rxt::ui;
using rxt::test::UiTestHandler;
using Lines = std::vector<std::string>;

namespace {

const std::string kSkin = std::string(RXT_TESTDATA_DIR) + "/skin-basic";

struct MemoryKind {
    static std::unique_ptr<SkinUi> make() { return std::make_unique<MemoryUi>(kSkin); }
};
struct QtKind {
    static std::unique_ptr<SkinUi> make() {
        rxt::test::qtTestApp();
        return std::make_unique<QtUi>(kSkin);
    }
};

template <typename Kind>
class UiConformance : public ::testing::Test {
  protected:
    void SetUp() override {
        handler.useTestSkinClasses();
        ASSERT_TRUE(ui.loadIndex("res.xml")) << ui.lastError();
        ASSERT_TRUE(ui.loadLanguage("lan_en.xml")) << ui.lastError();
        ASSERT_TRUE(ui.createMainWindow(handler, "XML_MAIN", "RX-T7100 GamingMouse", 800, 572))
            << ui.lastError();
    }

    std::unique_ptr<SkinUi> owned = Kind::make();
    SkinUi& ui = *owned;
    UiTestHandler handler;
};

using Kinds = ::testing::Types<MemoryKind, QtKind>;
class KindNames {
  public:
    template <typename T>
    static std::string GetName(int) {
        return std::is_same_v<T, MemoryKind> ? "Memory" : "Qt";
    }
};
TYPED_TEST_SUITE(UiConformance, Kinds, KindNames);

TYPED_TEST(UiConformance, SkinPagesAndCustomControls) {
    SkinUi& ui = this->ui;
    EXPECT_EQ(this->handler.initCount, 1);
    const auto& offered = this->handler.offeredClasses;
    EXPECT_NE(std::find(offered.begin(), offered.end(), "MS_DPI_UI"), offered.end());
    EXPECT_NE(std::find(offered.begin(), offered.end(), "QComboBox"), offered.end());
    EXPECT_TRUE(ui.hasControl("ms_dpi_page"));
    EXPECT_EQ(ui.controlKind("ms_DPI2_slider"), ControlKind::Slider);
    EXPECT_EQ(ui.maximum("ms_DPI2_slider"), 50);
    EXPECT_EQ(ui.text("ms_DPIcolor_btn_1"), "Colour");
    EXPECT_EQ(ui.textKey("ms_DPIcolor_btn_1"), "dpi_color_text");
    EXPECT_EQ(ui.controlKind("circle"), ControlKind::Progress);
    EXPECT_EQ(ui.controlKind("kb_key_0"), ControlKind::Button);
    EXPECT_EQ(ui.attribute("kb_key_0", "lightimage"), "keys/light.png");
    EXPECT_EQ(ui.controlKind("ms_deng_Color_Pallet"), ControlKind::Palette);
    EXPECT_EQ(ui.controlKind("kb_tab"), ControlKind::Option);
    EXPECT_EQ(ui.controlKind("ms_gunlun_speed_edit"), ControlKind::Edit);
    EXPECT_EQ(ui.controlKind("tab_switch"), ControlKind::Tabs);
    EXPECT_EQ(ui.controlKind("ms_macro_action"), ControlKind::List);
    EXPECT_EQ(ui.controlKind("nothing"), ControlKind::Missing);
    EXPECT_EQ(ui.value("ms_DPI1_slider"), 10);
    EXPECT_EQ(ui.minimum("ms_DPI1_slider"), 1);
    EXPECT_EQ(ui.currentIndex("ms_report_fct_combo"), 0);
    EXPECT_EQ(ui.itemCount("ms_report_fct_combo"), 4);
    EXPECT_EQ(ui.currentIndex("ms_macro_action"), -1);
    EXPECT_TRUE(ui.checked("height2mm"));
    EXPECT_TRUE(ui.checked("kb_tab"));
    EXPECT_EQ(ui.userData("skinbtn"), "common/bg1.png");
    EXPECT_EQ(ui.text("skinbtn"), "Skin");
    EXPECT_EQ(ui.pageCount("tab_switch"), 2);
    EXPECT_EQ(ui.currentPage("tab_switch"), 0);
}

TYPED_TEST(UiConformance, WindowInitIsPostedOnceOnFirstShow) {
    SkinUi& ui = this->ui;
    ui.processEvents();
    EXPECT_TRUE(this->handler.notes.empty());
    ui.showWindow(SkinUi::Show::Show);
    EXPECT_TRUE(ui.windowVisible());
    EXPECT_TRUE(this->handler.notes.empty());
    ui.processEvents();
    ui.showWindow(SkinUi::Show::Hide);
    EXPECT_FALSE(ui.windowVisible());
    ui.showWindow(SkinUi::Show::Restore);
    ui.processEvents();
    EXPECT_EQ(this->handler.noteLines(), (Lines{"windowinit  0"}));
    ui.showWindow(SkinUi::Show::Hide);
}

TYPED_TEST(UiConformance, ProgramChangesDoNotNotify) {
    SkinUi& ui = this->ui;
    EXPECT_TRUE(ui.setChecked("ms_line_adjust", true));
    EXPECT_TRUE(ui.setChecked("height3mm", true));
    EXPECT_TRUE(ui.setChecked("ms_tab", true));
    EXPECT_TRUE(ui.setCurrentIndex("ms_report_fct_combo", 2));
    EXPECT_TRUE(ui.setCurrentIndex("ms_macro_action", 1));
    EXPECT_TRUE(ui.setValue("ms_DPI1_slider", 50));
    EXPECT_TRUE(ui.setRange("ms_DPI1_slider", 1, 20));  // moves the value
    EXPECT_TRUE(ui.setText("ms_gunlun_speed_edit", "7"));
    EXPECT_TRUE(ui.setPaletteColor("ms_deng_Color_Pallet", 0xFF0199CB));
    EXPECT_TRUE(ui.setCurrentPage("tab_switch", 1));
    EXPECT_TRUE(ui.clearItems("ms_report_fct_combo"));
    EXPECT_TRUE(ui.addItem("ms_report_fct_combo", {"a", "1"}));
    EXPECT_TRUE(ui.setVisible("closebtn", false));
    ui.processEvents();
    EXPECT_TRUE(this->handler.notes.empty()) << this->handler.noteLines().front();
    EXPECT_FALSE(ui.checked("height2mm"));
    EXPECT_FALSE(ui.checked("kb_tab"));
    EXPECT_EQ(ui.value("ms_DPI1_slider"), 20);
    EXPECT_EQ(ui.paletteColor("ms_deng_Color_Pallet"), 0xFF0199CBu);
    EXPECT_EQ(ui.text("ms_gunlun_speed_edit"), "7");
}

TYPED_TEST(UiConformance, UserActionsNotifyWithTypeSenderAndValue) {
    SkinUi& ui = this->ui;
    ASSERT_TRUE(ui.userClick("closebtn"));
    ASSERT_TRUE(ui.userCheck("ms_line_adjust", true));
    ASSERT_TRUE(ui.userCheck("ms_line_adjust", true));  // no change, no notification
    ASSERT_TRUE(ui.userClick("ms_line_adjust"));        // a click toggles a check box
    ASSERT_TRUE(ui.userSelect("ms_report_fct_combo", 3));
    ASSERT_TRUE(ui.userSelect("ms_report_fct_combo", 3));  // same row: nothing
    ASSERT_TRUE(ui.userSlide("ms_DPI1_slider", 500));      // clamped to 100
    ASSERT_TRUE(ui.userDrag("ms_DPI1_slider", 20));
    ASSERT_TRUE(ui.userType("ms_gunlun_speed_edit", "5"));
    ASSERT_TRUE(ui.userColor("ms_deng_Color_Pallet", 0xFF00FF00));
    EXPECT_EQ(this->handler.noteLines(), (Lines{
                                             "click closebtn 0",
                                             "selectchanged ms_line_adjust 1",
                                             "selectchanged ms_line_adjust 0",
                                             "itemselect ms_report_fct_combo 3",
                                             "valuechanged ms_DPI1_slider 100",
                                             "movevaluechanged ms_DPI1_slider 20",
                                             "textchanged ms_gunlun_speed_edit 0",
                                             "colorchanged ms_deng_Color_Pallet 4278255360",
                                         }));
    EXPECT_EQ(ui.value("ms_DPI1_slider"), 20);
    EXPECT_EQ(ui.text("ms_gunlun_speed_edit"), "5");
    EXPECT_EQ(ui.currentIndex("ms_report_fct_combo"), 3);
    EXPECT_EQ(ui.paletteColor("ms_deng_Color_Pallet"), 0xFF00FF00u);
}

TYPED_TEST(UiConformance, ExclusiveOptionsReportTheOldOneFirst) {
    SkinUi& ui = this->ui;
    ASSERT_TRUE(ui.userClick("ms_tab"));
    ASSERT_TRUE(ui.userClick("ms_tab"));  // a checked exclusive option stays checked
    ASSERT_TRUE(ui.userCheck("height3mm", true));
    EXPECT_EQ(this->handler.noteLines(), (Lines{
                                             "selectchanged kb_tab 0",
                                             "selectchanged ms_tab 1",
                                             "selectchanged height2mm 0",
                                             "selectchanged height3mm 1",
                                         }));
    EXPECT_TRUE(ui.checked("ms_tab"));
    EXPECT_FALSE(ui.checked("kb_tab"));
    EXPECT_TRUE(ui.checked("height3mm"));  // other sets are not touched

    // A user cannot clear an exclusive option; the program can.
    EXPECT_FALSE(ui.userCheck("height3mm", false));
    EXPECT_TRUE(ui.setChecked("height3mm", false));
    EXPECT_FALSE(ui.checked("height3mm"));
    EXPECT_FALSE(ui.checked("height2mm"));
    EXPECT_EQ(this->handler.notes.size(), 4u);
}

TYPED_TEST(UiConformance, ListRowChosenThenClicked) {
    SkinUi& ui = this->ui;
    ASSERT_TRUE(ui.userSelect("ms_macro_action", 1));
    ASSERT_TRUE(ui.userSelect("ms_macro_action", 1));
    EXPECT_EQ(this->handler.noteLines(), (Lines{
                                             "itemselect ms_macro_action 1",
                                             "itemclick ms_macro_action 1",
                                             "itemclick ms_macro_action 1",
                                         }));
    EXPECT_FALSE(ui.userSelect("ms_macro_action", 2));
    EXPECT_FALSE(ui.userSelect("ms_macro_action", -1));
}

TYPED_TEST(UiConformance, UsersCannotReachHiddenDisabledOrWrongControls) {
    SkinUi& ui = this->ui;
    EXPECT_TRUE(ui.userClick("kb_key_0"));
    EXPECT_FALSE(ui.userSlide("ms_DPI2_slider", 3));  // on the page not shown
    EXPECT_NE(ui.lastError().find("not visible"), std::string::npos);
    ui.setCurrentPage("tab_switch", 1);
    EXPECT_FALSE(ui.userClick("kb_key_0"));
    EXPECT_TRUE(ui.userSlide("ms_DPI2_slider", 3));

    ui.setEnabled("heights", false);
    EXPECT_FALSE(ui.userCheck("height3mm", true));
    EXPECT_NE(ui.lastError().find("disabled"), std::string::npos);
    EXPECT_TRUE(ui.enabled("height3mm"));  // its own flag is still on
    ui.setVisible("closebtn", false);
    EXPECT_FALSE(ui.visible("closebtn"));
    EXPECT_FALSE(ui.userClick("closebtn"));
    EXPECT_FALSE(ui.userClick("ms_DPI1_slider"));
    EXPECT_FALSE(ui.userType("closebtn", "x"));
    EXPECT_FALSE(ui.userColor("closebtn", 1));
    EXPECT_FALSE(ui.userCheck("skinbtn", true));  // not checkable
    EXPECT_FALSE(ui.userClick("nothing"));
    EXPECT_NE(ui.lastError().find("no control nothing"), std::string::npos);
    EXPECT_EQ(this->handler.noteLines(),
              (Lines{"click kb_key_0 0", "valuechanged ms_DPI2_slider 3"}));
}

TYPED_TEST(UiConformance, MissingControlsAreSkippedQuietly) {
    SkinUi& ui = this->ui;
    EXPECT_FALSE(ui.setVisible("nothing", false));
    EXPECT_FALSE(ui.setText("nothing", "x"));
    EXPECT_FALSE(ui.setTintAlpha("nothing", 3));
    EXPECT_FALSE(ui.addItem("nothing", {"a", ""}));
    EXPECT_EQ(ui.text("nothing"), "");
    EXPECT_EQ(ui.itemCount("nothing"), 0);
    EXPECT_EQ(ui.currentIndex("nothing"), -1);
    EXPECT_FALSE(ui.visible("nothing"));
    EXPECT_EQ(ui.tint("nothing"), Tint{});
    EXPECT_FALSE(ui.addItem("closebtn", {"a", ""}));
    EXPECT_FALSE(ui.setValue("closebtn", 3));
    EXPECT_FALSE(ui.setCurrentPage("closebtn", 0));
    EXPECT_FALSE(ui.setCurrentPage("tab_switch", 2));
    EXPECT_FALSE(ui.setKeyLight("closebtn", {}));
}

TYPED_TEST(UiConformance, ItemsKeepUserDataAndTheCurrentRowFollowsEdits) {
    SkinUi& ui = this->ui;
    const std::string combo = "ms_report_fct_combo";
    ASSERT_TRUE(ui.clearItems(combo));
    EXPECT_EQ(ui.currentIndex(combo), -1);
    ui.addItem(combo, {"one", "1.ini"});
    EXPECT_EQ(ui.currentIndex(combo), 0);  // a combo shows its first row
    ui.addItem(combo, {"two", "2.ini"});
    ui.addItem(combo, {"three", "3.ini"});
    ui.setCurrentIndex(combo, 2);
    ui.insertItem(combo, 0, {"zero", "0.ini"});
    EXPECT_EQ(ui.currentIndex(combo), 3);
    EXPECT_EQ(ui.item(combo, 3)->userData, "3.ini");
    ui.removeItem(combo, 1);
    EXPECT_EQ(ui.currentIndex(combo), 2);
    ui.removeItem(combo, 2);  // the current row goes: the one before takes over
    EXPECT_EQ(ui.currentIndex(combo), 1);
    EXPECT_EQ(ui.items(combo), (std::vector<Item>{{"zero", "0.ini"}, {"two", "2.ini"}}));
    EXPECT_TRUE(ui.setItem(combo, 1, {"deux", "2.ini"}));
    EXPECT_EQ(ui.item(combo, 1)->text, "deux");
    EXPECT_EQ(ui.text(combo), "deux");
    EXPECT_FALSE(ui.item(combo, 2));
    EXPECT_FALSE(ui.removeItem(combo, 5));
    EXPECT_FALSE(ui.insertItem(combo, 9, {"x", ""}));
    EXPECT_FALSE(ui.setCurrentIndex(combo, 2));

    const std::string list = "ms_macro_action";
    ui.addItem(list, {"third", "data"});
    EXPECT_EQ(ui.item(list, 2)->userData, "data");
    ui.setCurrentIndex(list, 1);
    ui.removeItem(list, 1);
    EXPECT_EQ(ui.currentIndex(list), -1);  // a list loses its selection
    ui.processEvents();
    EXPECT_TRUE(this->handler.notes.empty());
}

TYPED_TEST(UiConformance, RangesClampValues) {
    SkinUi& ui = this->ui;
    ui.setRange("setting_progress", 0, 10);
    ui.setValue("setting_progress", 11);
    EXPECT_EQ(ui.value("setting_progress"), 10);
    ui.setRange("setting_progress", 20, 5);  // an inverted range collapses
    EXPECT_EQ(ui.minimum("setting_progress"), 20);
    EXPECT_EQ(ui.maximum("setting_progress"), 20);
    EXPECT_EQ(ui.value("setting_progress"), 20);
    ui.setRange("circle", 0, 50);
    ui.setValue("circle", 60);
    EXPECT_EQ(ui.value("circle"), 50);
}

TYPED_TEST(UiConformance, TintKeyLightColoursAndAttributes) {
    SkinUi& ui = this->ui;
    EXPECT_EQ(ui.tint("ms_dkey_0"), Tint{});
    ui.setTintEnabled("ms_dkey_0", true);
    ui.setTintColor("ms_dkey_0", 0xFF112233);
    ui.setTintAlpha("ms_dkey_0", 300);
    EXPECT_EQ(ui.tint("ms_dkey_0"), (Tint{true, 0xFF112233, 255}));
    ui.setTintAlpha("ms_dkey_0", -4);
    EXPECT_EQ(ui.tint("ms_dkey_0").alpha, 0);
    ui.setKeyLight("kb_key_0", {true, 0xFF00FF00, 999});
    EXPECT_EQ(ui.keyLight("kb_key_0"), (KeyLight{true, 0xFF00FF00, 255}));
    ui.setBackgroundColor("ms_DPIcolor_btn_1", 0xFFFE5400);
    EXPECT_EQ(ui.backgroundColor("ms_DPIcolor_btn_1"), 0xFFFE5400u);
    ui.setBackgroundImage("root", "common/background.png");
    EXPECT_EQ(ui.backgroundImage("root"), "common/background.png");
    ui.setBackgroundImage("root", "");
    EXPECT_EQ(ui.backgroundImage("root"), "");
    EXPECT_TRUE(ui.setAttribute("kb_key_0", "keysetimage", "keys/set.png"));
    EXPECT_EQ(ui.attribute("kb_key_0", "keysetimage"), "keys/set.png");
    EXPECT_TRUE(ui.setUserData("closebtn", "x.png"));
    EXPECT_EQ(ui.userData("closebtn"), "x.png");
}

TYPED_TEST(UiConformance, LanguageSwitchRetranslatesKeyedTexts) {
    SkinUi& ui = this->ui;
    ui.setText("closebtn", "skin_text");  // a plain text that looks like a key stays
    ui.setTextKey("ms_line_adjust", "message_text_1");
    EXPECT_EQ(ui.text("ms_line_adjust"), "Please connect a device & try again");
    // Combo rows keyed by their user data follow; a name that is no key stays.
    ui.clearItems("ms_report_fct_combo");
    ui.addItem("ms_report_fct_combo", {"Skin", "skin_text"});
    ui.addItem("ms_report_fct_combo", {"my macro", "my macro"});
    ASSERT_TRUE(ui.loadLanguage("lan_cn.xml"));
    ui.setLanguage("cn_zh");
    ui.reloadText();
    EXPECT_EQ(ui.language(), "cn_zh");
    EXPECT_EQ(ui.text("skinbtn"), "皮肤");
    EXPECT_EQ(ui.text("ms_DPIcolor_btn_1"), "颜色");
    EXPECT_EQ(ui.text("ms_line_adjust"), "请连接设备");
    EXPECT_EQ(ui.text("closebtn"), "skin_text");
    EXPECT_EQ(ui.items("ms_report_fct_combo"),
              (std::vector<Item>{{"皮肤", "skin_text"}, {"my macro", "my macro"}}));
    EXPECT_FALSE(ui.loadLanguage("lan_bad.xml"));
    EXPECT_EQ(ui.translate("skin_text"), "皮肤");
    this->handler.queryTexts["titletext"] = "mouse";
    EXPECT_EQ(ui.translate("titletext"), "mouse");
    EXPECT_EQ(ui.translate("no_such_key"), "no_such_key");
}

TYPED_TEST(UiConformance, FocusMovesWithKillAndSet) {
    SkinUi& ui = this->ui;
    ASSERT_TRUE(ui.userFocus("ms_gunlun_speed_edit"));
    ASSERT_TRUE(ui.setFocus("closebtn"));  // the program's focus notifies too
    EXPECT_FALSE(ui.userBlur("ms_gunlun_speed_edit"));
    ASSERT_TRUE(ui.userBlur("closebtn"));
    EXPECT_EQ(this->handler.noteLines(), (Lines{
                                             "setfocus ms_gunlun_speed_edit 0",
                                             "killfocus ms_gunlun_speed_edit 0",
                                             "setfocus closebtn 0",
                                             "killfocus closebtn 0",
                                         }));
}

TYPED_TEST(UiConformance, MessagesFromWorkersRunOnTheUiThread) {
    SkinUi& ui = this->ui;
    std::thread::id handledOn;
    this->handler.onMessage = [&](int, intptr_t, intptr_t) {
        handledOn = std::this_thread::get_id();
    };
    std::thread([&] { ui.postMessage(3072, 0, 0); }).join();
    auto sent = std::async(std::launch::async, [&] { return ui.sendMessage(2563, 4, 0xFF00FF00); });
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (this->handler.messages.size() < 2 && std::chrono::steady_clock::now() < deadline) {
        ui.processEvents();
        std::this_thread::yield();
    }
    EXPECT_TRUE(sent.get());
    ASSERT_EQ(this->handler.messages.size(), 2u);
    EXPECT_EQ(this->handler.messages[0].id, 3072);
    EXPECT_EQ(this->handler.messages[1].wParam, 4);
    EXPECT_EQ(this->handler.messages[1].lParam, 0xFF00FF00);
    EXPECT_EQ(handledOn, std::this_thread::get_id());
    EXPECT_TRUE(ui.onUiThread());
    EXPECT_FALSE(std::async(std::launch::async, [&] { return ui.onUiThread(); }).get());

    ui.closeMessages();
    EXPECT_FALSE(std::async(std::launch::async, [&] { return ui.sendMessage(1, 0, 0); }).get());
}

TYPED_TEST(UiConformance, TimersFromAnyThread) {
    SkinUi& ui = this->ui;
    std::thread([&] { ui.startTimer(7, 100); }).join();
    EXPECT_TRUE(ui.timerActive(7));
    ui.stopTimer(7);
    EXPECT_FALSE(ui.timerActive(7));
}

TYPED_TEST(UiConformance, ScriptedAnswersAndShownMessages) {
    SkinUi& ui = this->ui;
    ui.answer(DialogAnswer::palette(0xFF123456));
    ui.answer(DialogAnswer::message(true));
    ui.answer(DialogAnswer::message(false));
    ui.answer(DialogAnswer::cancel(DialogAnswer::Kind::Palette));
    EXPECT_EQ(ui.messageBox("", "message_text_3", true), 1);
    EXPECT_EQ(ui.messageBox("Title", "plain", false), 0);
    EXPECT_EQ(ui.takeShownMessages(), (Lines{"message_text_3", "plain"}));
    EXPECT_TRUE(ui.takeShownMessages().empty());
    EXPECT_EQ(ui.paletteDialog(0xFFFF0000).color, 0xFF123456u);
    const PaletteResult cancelled = ui.paletteDialog(0xFFFF0000);
    EXPECT_EQ(cancelled.code, 2);
    EXPECT_EQ(cancelled.color, 0xFFFF0000u);

    const FileDialogOptions save{"Export", "png", "*.png", {{"(*.png)", "*.png"}}, ""};
    ui.answer(DialogAnswer::save("/tmp/out"));
    ui.answer(DialogAnswer::save("/tmp/dir.d/out.bmp"));
    ui.answer(DialogAnswer::open("/tmp/in.png"));
    ui.answer(DialogAnswer::cancel(DialogAnswer::Kind::Open));
    EXPECT_EQ(ui.saveFileDialog(save), "/tmp/out.png");
    EXPECT_EQ(ui.saveFileDialog(save), "/tmp/dir.d/out.bmp");
    EXPECT_EQ(ui.openFileDialog(save), "/tmp/in.png");
    EXPECT_EQ(ui.openFileDialog(save), std::nullopt);
}

TYPED_TEST(UiConformance, MenuAndTray) {
    SkinUi& ui = this->ui;
    EXPECT_FALSE(ui.userMenu("lan_en"));
    ASSERT_TRUE(ui.openMenu("menu1.xml", {300, 350}, {{"exit", "Close"}})) << ui.lastError();
    EXPECT_TRUE(ui.menuOpen());
    EXPECT_FALSE(ui.userMenu("more"));  // a submenu is not an item
    EXPECT_FALSE(ui.userMenu("nothing"));
    EXPECT_TRUE(ui.userMenu("About_setting"));  // inside the submenu
    EXPECT_FALSE(ui.menuOpen());
    ASSERT_TRUE(ui.openMenu("menu1.xml", {0, 0}, {{"exit", "Close"}}));
    ASSERT_TRUE(ui.openMenu("menu1.xml", {0, 0}, {}));  // replaces the open one
    EXPECT_FALSE(ui.userMenu("exit"));
    EXPECT_TRUE(ui.userMenu("lan_en"));
    EXPECT_FALSE(ui.openMenu("none.xml", {0, 0}, {}));

    EXPECT_FALSE(ui.userTray(true));
    ASSERT_TRUE(ui.createTray("icon.png", "RX-T7100 GamingMouse"));
    EXPECT_TRUE(ui.trayVisible());
    EXPECT_TRUE(ui.userTray(true));
    EXPECT_TRUE(ui.userTray(false));
    ui.removeTray();
    EXPECT_FALSE(ui.trayVisible());
    EXPECT_FALSE(ui.userTray(true));
    EXPECT_EQ(this->handler.noteLines(),
              (Lines{"menu About_setting 0", "menu lan_en 0", "tray tray 514", "tray tray 517"}));
}

}  // namespace
