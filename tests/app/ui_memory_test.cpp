// What only the in-memory UI does: pages that cannot be built, timers on a
// clock of the test's, its run loop, unanswered dialogs, the menu's entries,
// the record of calls and trees built by hand. What it shares with the widget
// toolkit is in ui_conformance_test.cpp.

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

TEST_F(MemoryUiTest, UnansweredDialogsAreClosedAndRemembered) {
    EXPECT_EQ(ui.messageBox("", "message_text_1", true), 0);
    EXPECT_EQ(ui.paletteDialog(0xFF00FF00).code, 2);
    const FileDialogOptions open{"Import", "", "", {{"(*.pro)", "*.pro"}}, "/tmp"};
    EXPECT_EQ(ui.openFileDialog(open), std::nullopt);
    EXPECT_EQ(ui.lastFileDialog()->title, "Import");
    EXPECT_EQ(ui.lastFileDialog()->filters.at(0).pattern, "*.pro");
    EXPECT_EQ(ui.takeShownMessages(), (Lines{"message_text_1"}));
    ui.aboutBox();
    EXPECT_TRUE(ui.aboutOpen());
}

TEST_F(MemoryUiTest, CallsAreWrittenDown) {
    ui.clearCalls();
    ui.setVisible("setting_progress", true);
    ui.setText("nothing", "x");  // missing controls too: the caller asked
    ui.setBackgroundColor("root", 0xFF000000);
    ui.messageBox("", "message_text_2", true);
    ui.showWindow(SkinUi::Show::Hide);
    EXPECT_EQ(ui.calls(), (Lines{"setVisible setting_progress 1", "setText nothing x",
                                 "setBackgroundColor root FF000000",
                                 "messageBox |message_text_2|key", "showWindow hide"}));
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
