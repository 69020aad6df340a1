// The in-memory UI: skins built with the window's createControl, what the
// user's actions notify and what the program's own changes do not, items,
// tabs, language, timers, messages, dialogs, menu and tray.

#include <gtest/gtest.h>

#include <future>
#include <thread>

#include "app/ui/memory_ui.h"
#include "support/ui_test_handler.h"

using namespace rxt::ui;
using rxt::test::UiTestHandler;
using Lines = std::vector<std::string>;

namespace {

const std::string kSkin = std::string(RXT_TESTDATA_DIR) + "/skin-basic";

class MemoryUiTest : public ::testing::Test {
  protected:
    void SetUp() override {
        handler.useTestSkinClasses();
        ASSERT_TRUE(ui.loadIndex("res.xml")) << ui.lastError();
        ASSERT_TRUE(ui.loadLanguage("lan_en.xml")) << ui.lastError();
        ASSERT_TRUE(ui.createMainWindow(handler, "XML_MAIN", "RX-T7100 GamingMouse", 800, 572))
            << ui.lastError();
    }

    MemoryUi ui{kSkin};
    UiTestHandler handler;
};

TEST_F(MemoryUiTest, SkinIsBuiltWithTheWindowsCreateControl) {
    EXPECT_EQ(handler.initCount, 1);
    // Every class is offered, the page placeholder included.
    EXPECT_NE(std::find(handler.offeredClasses.begin(), handler.offeredClasses.end(), "MS_DPI_UI"),
              handler.offeredClasses.end());
    EXPECT_NE(std::find(handler.offeredClasses.begin(), handler.offeredClasses.end(), "QSlider"),
              handler.offeredClasses.end());
    // The page's controls sit under the placeholder's name.
    EXPECT_EQ(ui.controlKind("ms_dpi_page"), ControlKind::Container);
    EXPECT_EQ(ui.controlKind("ms_DPI2_slider"), ControlKind::Slider);
    EXPECT_EQ(ui.maximum("ms_DPI2_slider"), 50);
    EXPECT_EQ(ui.text("ms_DPIcolor_btn_1"), "Colour");
    // The library's own custom classes need no createControl.
    EXPECT_EQ(ui.controlKind("circle"), ControlKind::Progress);
    EXPECT_EQ(ui.controlKind("kb_key_0"), ControlKind::Button);
    EXPECT_EQ(ui.attribute("kb_key_0", "lightimage"), "keys/light.png");
    EXPECT_EQ(ui.controlKind("ms_deng_Color_Pallet"), ControlKind::Palette);
    EXPECT_EQ(ui.controlKind("kb_tab"), ControlKind::Option);
    EXPECT_EQ(ui.controlKind("nothing"), ControlKind::Missing);
    // Skin values.
    EXPECT_EQ(ui.value("ms_DPI1_slider"), 10);
    EXPECT_EQ(ui.minimum("ms_DPI1_slider"), 1);
    EXPECT_EQ(ui.currentIndex("ms_report_fct_combo"), 0);
    EXPECT_EQ(ui.currentIndex("ms_macro_action"), -1);
    EXPECT_TRUE(ui.checked("height2mm"));
    EXPECT_EQ(ui.userData("skinbtn"), "common/bg1.png");
    EXPECT_EQ(ui.pageCount("tab_switch"), 2);
}

TEST_F(MemoryUiTest, PageOfACustomClassCanBeMissing) {
    MemoryUi other(kSkin);
    UiTestHandler h;
    h.creations["MS_DPI_UI"] = ControlCreation::page("missing_page.ui");
    ASSERT_TRUE(other.loadIndex("res.xml"));
    EXPECT_FALSE(other.createMainWindow(h, "XML_MAIN", "t", 800, 572));
    EXPECT_NE(other.lastError().find("missing_page.ui"), std::string::npos);
    // The rest of the tree is still there.
    EXPECT_TRUE(other.hasControl("closebtn"));
    EXPECT_TRUE(other.hasControl("ms_dpi_page"));
}

TEST_F(MemoryUiTest, SelfReferencingPagesStop) {
    MemoryUi other(kSkin);
    UiTestHandler h;
    h.creations["MS_DPI_UI"] = ControlCreation::page("main.ui");  // builds itself again
    EXPECT_FALSE(other.createMainWindow(h, "main.ui", "t", 800, 572));
    EXPECT_NE(other.lastError().find("too deeply"), std::string::npos);
}

TEST_F(MemoryUiTest, WindowInitIsPostedOnceOnFirstShow) {
    ui.processEvents();
    EXPECT_TRUE(handler.notes.empty());
    ui.showWindow(SkinUi::Show::Show);
    EXPECT_TRUE(ui.windowVisible());
    EXPECT_TRUE(handler.notes.empty());  // posted, not delivered inline
    ui.processEvents();
    ui.showWindow(SkinUi::Show::Hide);
    ui.showWindow(SkinUi::Show::Restore);
    ui.processEvents();
    EXPECT_EQ(handler.noteLines(), (Lines{"windowinit  0"}));
}

TEST_F(MemoryUiTest, ProgramChangesDoNotNotify) {
    EXPECT_TRUE(ui.setChecked("ms_line_adjust", true));
    EXPECT_TRUE(ui.setChecked("height3mm", true));
    EXPECT_TRUE(ui.setCurrentIndex("ms_report_fct_combo", 2));
    EXPECT_TRUE(ui.setValue("ms_DPI1_slider", 50));
    EXPECT_TRUE(ui.setText("ms_gunlun_speed_edit", "7"));
    EXPECT_TRUE(ui.setPaletteColor("ms_deng_Color_Pallet", 0xFF0199CB));
    EXPECT_TRUE(ui.setCurrentPage("tab_switch", 1));
    EXPECT_TRUE(handler.notes.empty());
    // Exclusive options still exclude each other.
    EXPECT_FALSE(ui.checked("height2mm"));
    EXPECT_EQ(ui.paletteColor("ms_deng_Color_Pallet"), 0xFF0199CBu);
}

TEST_F(MemoryUiTest, UserActionsNotifyWithTypeSenderAndValue) {
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
    EXPECT_EQ(handler.noteLines(), (Lines{
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
}

TEST_F(MemoryUiTest, ExclusiveOptionsReportTheOldOneFirst) {
    ASSERT_TRUE(ui.userClick("ms_tab"));
    ASSERT_TRUE(ui.userClick("ms_tab"));  // a checked exclusive option stays checked
    ASSERT_TRUE(ui.userCheck("height3mm", true));
    EXPECT_EQ(handler.noteLines(), (Lines{
                                       "selectchanged kb_tab 0",
                                       "selectchanged ms_tab 1",
                                       "selectchanged height2mm 0",
                                       "selectchanged height3mm 1",
                                   }));
    EXPECT_TRUE(ui.checked("ms_tab"));
    EXPECT_FALSE(ui.checked("kb_tab"));
}

TEST_F(MemoryUiTest, ListRowChosenThenClicked) {
    ASSERT_TRUE(ui.userSelect("ms_macro_action", 1));
    ASSERT_TRUE(ui.userSelect("ms_macro_action", 1));
    EXPECT_EQ(handler.noteLines(), (Lines{
                                       "itemselect ms_macro_action 1",
                                       "itemclick ms_macro_action 1",
                                       "itemclick ms_macro_action 1",
                                   }));
    EXPECT_FALSE(ui.userSelect("ms_macro_action", 2));
    EXPECT_FALSE(ui.userSelect("ms_macro_action", -1));
}

TEST_F(MemoryUiTest, UsersCannotReachHiddenDisabledOrWrongControls) {
    // kb_key_0 is on page 0 of tab_switch, the DPI page on page 1.
    EXPECT_TRUE(ui.userClick("kb_key_0"));
    EXPECT_FALSE(ui.userSlide("ms_DPI2_slider", 3));
    EXPECT_NE(ui.lastError().find("not visible"), std::string::npos);
    ui.setCurrentPage("tab_switch", 1);
    EXPECT_FALSE(ui.effectivelyVisible("kb_key_0"));
    EXPECT_TRUE(ui.userSlide("ms_DPI2_slider", 3));

    ui.setEnabled("heights", false);
    EXPECT_FALSE(ui.userCheck("height3mm", true));
    EXPECT_NE(ui.lastError().find("disabled"), std::string::npos);
    ui.setVisible("closebtn", false);
    EXPECT_FALSE(ui.userClick("closebtn"));
    EXPECT_FALSE(ui.userClick("ms_DPI1_slider"));
    EXPECT_FALSE(ui.userType("closebtn", "x"));
    EXPECT_FALSE(ui.userClick("nothing"));
    EXPECT_NE(ui.lastError().find("no control nothing"), std::string::npos);
    EXPECT_EQ(handler.noteLines(), (Lines{"click kb_key_0 0", "valuechanged ms_DPI2_slider 3"}));
}

TEST_F(MemoryUiTest, MissingControlsAreSkippedQuietly) {
    EXPECT_FALSE(ui.setVisible("nothing", false));
    EXPECT_FALSE(ui.setText("nothing", "x"));
    EXPECT_FALSE(ui.addItem("nothing", {"a", ""}));
    EXPECT_EQ(ui.text("nothing"), "");
    EXPECT_EQ(ui.itemCount("nothing"), 0);
    EXPECT_EQ(ui.currentIndex("nothing"), -1);
    EXPECT_FALSE(ui.visible("nothing"));
    EXPECT_EQ(ui.tint("nothing"), Tint{});
    EXPECT_FALSE(ui.addItem("closebtn", {"a", ""}));  // not a combo
    EXPECT_FALSE(ui.setValue("closebtn", 3));
    EXPECT_FALSE(ui.setCurrentPage("closebtn", 0));
}

TEST_F(MemoryUiTest, ItemsKeepUserDataAndTheCurrentRowFollowsEdits) {
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
    EXPECT_FALSE(ui.item(combo, 2));
    EXPECT_FALSE(ui.removeItem(combo, 5));
    EXPECT_FALSE(ui.insertItem(combo, 9, {"x", ""}));
    EXPECT_FALSE(ui.setCurrentIndex(combo, 2));
    EXPECT_TRUE(ui.setCurrentIndex(combo, -1));

    const std::string list = "ms_macro_action";
    ui.setCurrentIndex(list, 1);
    ui.removeItem(list, 1);
    EXPECT_EQ(ui.currentIndex(list), -1);  // a list loses its selection
    EXPECT_TRUE(handler.notes.empty());
}

TEST_F(MemoryUiTest, RangesClampValues) {
    ui.setRange("setting_progress", 0, 10);
    ui.setValue("setting_progress", 11);
    EXPECT_EQ(ui.value("setting_progress"), 10);
    ui.setRange("setting_progress", 20, 5);  // an inverted range collapses
    EXPECT_EQ(ui.minimum("setting_progress"), 20);
    EXPECT_EQ(ui.maximum("setting_progress"), 20);
    EXPECT_EQ(ui.value("setting_progress"), 20);
}

TEST_F(MemoryUiTest, TintAndKeyLight) {
    ui.setTintEnabled("ms_dkey_0", true);
    ui.setTintColor("ms_dkey_0", 0xFF112233);
    ui.setTintAlpha("ms_dkey_0", 300);
    EXPECT_EQ(ui.tint("ms_dkey_0"), (Tint{true, 0xFF112233, 255}));
    ui.setTintAlpha("ms_dkey_0", -4);
    EXPECT_EQ(ui.tint("ms_dkey_0").alpha, 0);
    ui.setKeyLight("kb_key_0", {true, 0xFF00FF00, 999});
    EXPECT_EQ(ui.keyLight("kb_key_0"), (KeyLight{true, 0xFF00FF00, 255}));
}

TEST_F(MemoryUiTest, LanguageSwitchRetranslatesKeyedTexts) {
    ui.setText("closebtn", "skin_text");  // a plain text that looks like a key stays
    ui.setTextKey("ms_line_adjust", "message_text_1");
    EXPECT_EQ(ui.text("skinbtn"), "Skin");
    EXPECT_EQ(ui.text("ms_line_adjust"), "Please connect a device & try again");
    ASSERT_TRUE(ui.loadLanguage("lan_cn.xml"));
    ui.setLanguage("cn_zh");
    EXPECT_EQ(ui.text("skinbtn"), "Skin");  // until reloaded
    ui.reloadText();
    EXPECT_EQ(ui.language(), "cn_zh");
    EXPECT_EQ(ui.text("skinbtn"), "皮肤");
    EXPECT_EQ(ui.text("ms_DPIcolor_btn_1"), "颜色");
    EXPECT_EQ(ui.text("ms_line_adjust"), "请连接设备");
    EXPECT_EQ(ui.text("closebtn"), "skin_text");
    EXPECT_EQ(ui.textKey("skinbtn"), "skin_text");

    // A bad file keeps the table in use.
    EXPECT_FALSE(ui.loadLanguage("lan_bad.xml"));
    EXPECT_FALSE(ui.lastError().empty());
    EXPECT_EQ(ui.translate("skin_text"), "皮肤");
}

TEST_F(MemoryUiTest, TranslateFallsBackToTheWindowThenTheKey) {
    handler.queryTexts["titletext"] = "Duilib Demo v1.1";
    EXPECT_EQ(ui.translate("titletext"), "Duilib Demo v1.1");
    EXPECT_EQ(ui.translate("no_such_key"), "no_such_key");
    EXPECT_EQ(ui.translate("skin_text"), "Skin");
}

TEST_F(MemoryUiTest, TimersFireByHandAndByTheClock) {
    ui.startTimer(2, 100);
    ui.startTimer(8, 500);
    EXPECT_TRUE(ui.timerActive(2));
    EXPECT_EQ(ui.timerPeriod(8), 500);
    ui.advance(99);
    EXPECT_TRUE(handler.timers.empty());
    ui.advance(401);  // t = 500: timer 2 five times, timer 8 once, in time order
    EXPECT_EQ(handler.timers, (std::vector<int>{2, 2, 2, 2, 2, 8}));
    ui.stopTimer(2);
    EXPECT_FALSE(ui.fireTimer(2));
    EXPECT_TRUE(ui.fireTimer(8));
    EXPECT_EQ(handler.timers.back(), 8);
    // A restart starts the period again.
    handler.timers.clear();
    ui.startTimer(8, 300);
    ui.advance(299);
    EXPECT_TRUE(handler.timers.empty());
    ui.advance(1);
    EXPECT_EQ(handler.timers, (std::vector<int>{8}));
}

TEST_F(MemoryUiTest, TimersCanBeStartedFromAWorker) {
    std::thread([&] { ui.startTimer(7, 100); }).join();
    EXPECT_TRUE(ui.timerActive(7));
}

TEST_F(MemoryUiTest, MessagesFromWorkersReachTheHandlerOnTheUiThread) {
    std::thread::id handledOn;
    handler.onMessage = [&](int, intptr_t, intptr_t) { handledOn = std::this_thread::get_id(); };
    std::thread([&] { ui.postMessage(3072, 0, 0); }).join();
    EXPECT_TRUE(handler.messages.empty());
    auto sent = std::async(std::launch::async, [&] { return ui.sendMessage(2563, 4, 0xFF00FF00); });
    while (handler.messages.size() < 2) {
        ui.processEvents();
        std::this_thread::yield();
    }
    EXPECT_TRUE(sent.get());
    ASSERT_EQ(handler.messages.size(), 2u);
    EXPECT_EQ(handler.messages[0].id, 3072);
    EXPECT_EQ(handler.messages[1].id, 2563);
    EXPECT_EQ(handler.messages[1].wParam, 4);
    EXPECT_EQ(handler.messages[1].lParam, 0xFF00FF00);
    EXPECT_EQ(handledOn, std::this_thread::get_id());
    // Sent on the UI thread: handled inline.
    EXPECT_TRUE(ui.sendMessage(3073, 0, 0));
    EXPECT_EQ(handler.messages.back().id, 3073);
}

TEST_F(MemoryUiTest, ClosingMessagesReleasesABlockedSender) {
    auto sent = std::async(std::launch::async, [&] { return ui.sendMessage(2305, 0, 0); });
    ui.closeMessages();
    EXPECT_FALSE(sent.get());
    ui.processEvents();
    EXPECT_TRUE(handler.messages.empty());
}

TEST_F(MemoryUiTest, RunLoopServesWorkersUntilQuit) {
    std::thread worker([&] {
        ui.sendMessage(2305, 0, 0);
        ui.post([&] { ui.quit(3); });
    });
    EXPECT_EQ(ui.run(), 3);
    worker.join();
    EXPECT_EQ(handler.messages.size(), 1u);
    EXPECT_EQ(handler.finalCount, 1);
    // After the loop has ended a sender is not left waiting.
    EXPECT_FALSE(std::async(std::launch::async, [&] { return ui.sendMessage(1, 0, 0); }).get());
}

TEST_F(MemoryUiTest, DialogsTakeScriptedAnswersOfTheirKindInOrder) {
    EXPECT_EQ(ui.messageBox("", "message_text_1", true), 0);  // unanswered: closed
    ui.answer(DialogAnswer::palette(0xFF123456));
    ui.answer(DialogAnswer::message(true));
    ui.answer(DialogAnswer::message(false));
    EXPECT_EQ(ui.messageBox("", "message_text_3", true), 1);
    EXPECT_EQ(ui.messageBox("Title", "plain", false), 0);
    EXPECT_EQ(ui.takeShownMessages(), (Lines{"message_text_1", "message_text_3", "plain"}));
    EXPECT_TRUE(ui.takeShownMessages().empty());

    const PaletteResult chosen = ui.paletteDialog(0xFFFF0000);
    EXPECT_EQ(chosen.code, 1);
    EXPECT_EQ(chosen.color, 0xFF123456u);
    const PaletteResult cancelled = ui.paletteDialog(0xFFFF0000);
    EXPECT_EQ(cancelled.code, 2);
    EXPECT_EQ(cancelled.color, 0xFFFF0000u);

    FileDialogOptions save{"Export", "png", "*.png", {{"(*.png)", "*.png"}}, ""};
    ui.answer(DialogAnswer::save("/tmp/out"));
    ui.answer(DialogAnswer::save("/tmp/dir.d/out.bmp"));
    ui.answer(DialogAnswer::open("/tmp/in.png"));
    ui.answer(DialogAnswer::cancel(DialogAnswer::Kind::Open));
    EXPECT_EQ(ui.saveFileDialog(save), "/tmp/out.png");
    EXPECT_EQ(ui.saveFileDialog(save), "/tmp/dir.d/out.bmp");
    EXPECT_EQ(ui.openFileDialog(save), "/tmp/in.png");
    EXPECT_EQ(ui.openFileDialog(save), std::nullopt);
    EXPECT_EQ(ui.openFileDialog(save), std::nullopt);
    EXPECT_EQ(ui.lastFileDialog()->title, "Export");
}

TEST_F(MemoryUiTest, MenuItemsFromTheFileWithTopItemsFirst) {
    ui.setCursorPosition({300, 400});
    ASSERT_TRUE(ui.openMenu("menu1.xml", {300, 350}, {{"exit", "Close"}})) << ui.lastError();
    ASSERT_TRUE(ui.menuOpen());
    const auto& entries = ui.openMenuEntries();
    ASSERT_EQ(entries.size(), 5u);
    EXPECT_EQ(entries[0].name, "exit");
    EXPECT_EQ(entries[0].text, "Close");
    EXPECT_EQ(entries[1].text, "English");  // from its text key
    EXPECT_EQ(ui.menuPoint().y, 350);
    EXPECT_FALSE(ui.userMenu("more"));  // a submenu is not an item
    EXPECT_FALSE(ui.userMenu("nothing"));
    EXPECT_TRUE(ui.userMenu("About_setting"));
    EXPECT_FALSE(ui.menuOpen());
    EXPECT_FALSE(ui.userMenu("exit"));
    EXPECT_EQ(handler.noteLines(), (Lines{"menu About_setting 0"}));
    EXPECT_FALSE(ui.openMenu("none.xml", {0, 0}, {}));
}

TEST_F(MemoryUiTest, TrayClicksNeedTheIcon) {
    EXPECT_FALSE(ui.userTray(true));
    ASSERT_TRUE(ui.createTray("icon.png", "RX-T7100 GamingMouse"));
    EXPECT_TRUE(ui.userTray(true));
    EXPECT_TRUE(ui.userTray(false));
    ui.removeTray();
    EXPECT_FALSE(ui.userTray(true));
    EXPECT_EQ(handler.noteLines(), (Lines{"tray tray 514", "tray tray 517"}));
}

TEST_F(MemoryUiTest, FocusMovesWithKillAndSet) {
    ASSERT_TRUE(ui.userFocus("ms_gunlun_speed_edit"));
    ASSERT_TRUE(ui.setFocus("closebtn"));  // the program's focus notifies too
    EXPECT_FALSE(ui.userBlur("ms_gunlun_speed_edit"));
    ASSERT_TRUE(ui.userBlur("closebtn"));
    EXPECT_EQ(handler.noteLines(), (Lines{
                                       "setfocus ms_gunlun_speed_edit 0",
                                       "killfocus ms_gunlun_speed_edit 0",
                                       "setfocus closebtn 0",
                                       "killfocus closebtn 0",
                                   }));
}

TEST(MemoryUiBuilt, TestsCanBuildATreeByHand) {
    MemoryUi ui;
    UiTestHandler handler;
    ASSERT_TRUE(ui.createMainWindow(handler, "", "t", 10, 10));
    ASSERT_TRUE(ui.addControl("tabs", ControlKind::Tabs));
    ASSERT_TRUE(ui.addControl("p0", ControlKind::Container, "tabs"));
    ASSERT_TRUE(ui.addControl("p1", ControlKind::Container, "tabs"));
    ASSERT_TRUE(ui.addControl("a", ControlKind::Option, "p0"));
    ASSERT_TRUE(ui.addControl("b", ControlKind::Option, "p0"));
    EXPECT_FALSE(ui.addControl("c", ControlKind::Option, "nope"));
    ui.setExclusive("a", true);
    ui.setExclusive("b", true);
    EXPECT_EQ(ui.pageCount("tabs"), 2);
    EXPECT_EQ(ui.currentPage("tabs"), 0);
    ASSERT_TRUE(ui.userCheck("a", true));
    ASSERT_TRUE(ui.userCheck("b", true));
    EXPECT_FALSE(ui.checked("a"));
    EXPECT_EQ(handler.noteLines(),
              (Lines{"selectchanged a 1", "selectchanged a 0", "selectchanged b 1"}));
    EXPECT_EQ(ui.controlNames(), (Lines{"tabs", "p0", "p1", "a", "b"}));
}

}  // namespace
