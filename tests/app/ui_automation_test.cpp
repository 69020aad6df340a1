// The automation protocol against the in-memory UI: each request acts as the
// user would, answers come one a line in request order, and bad requests get
// an error rather than anything else.

#include <gtest/gtest.h>

#include "app/ui/automation_session.h"
#include "app/ui/memory_ui.h"
#include "support/ui_test_handler.h"

using namespace rxt::ui;
using rxt::test::UiTestHandler;
using Lines = std::vector<std::string>;

namespace {

const std::string kSkin = std::string(RXT_TESTDATA_DIR) + "/skin-basic";

class FakeHook : public AutomationHook {
  public:
    AutomationReply image(std::string_view kind, std::string_view area) override {
        if (kind == "mouse" && area == "info") {
            return AutomationReply::success("0102");
        }
        return AutomationReply::failure("no image " + std::string(kind) + " " + std::string(area));
    }
    void quit() override { ++quits; }
    int quits = 0;
};

class AutomationTest : public ::testing::Test {
  protected:
    void SetUp() override {
        handler.useTestSkinClasses();
        ASSERT_TRUE(ui.loadIndex("res.xml"));
        ASSERT_TRUE(ui.loadLanguage("lan_en.xml"));
        ASSERT_TRUE(ui.createMainWindow(handler, "XML_MAIN", "t", 800, 572));
    }

    // Feeds one line and returns the answers written for it.
    Lines ask(std::string_view line) {
        out.clear();
        session.feed(std::string(line) + "\n");
        return out;
    }
    std::string one(std::string_view line) {
        const Lines r = ask(line);
        return r.size() == 1 ? r[0] : "<" + std::to_string(r.size()) + " answers>";
    }

    MemoryUi ui{kSkin};
    UiTestHandler handler;
    FakeHook hook;
    Lines out;
    AutomationSession session{ui, &hook, [this](std::string line) {
                                  EXPECT_EQ(line.back(), '\n');
                                  line.pop_back();
                                  out.push_back(line);
                              }};
};

TEST_F(AutomationTest, ActionsNotifyAsTheUsersWould) {
    EXPECT_EQ(one("click closebtn"), "ok");
    EXPECT_EQ(one("check ms_line_adjust 1"), "ok");
    EXPECT_EQ(one("select ms_report_fct_combo 2"), "ok");
    EXPECT_EQ(one("slide ms_DPI1_slider 40"), "ok");
    EXPECT_EQ(one("drag ms_DPI1_slider 41"), "ok");
    EXPECT_EQ(one("type ms_gunlun_speed_edit  two  words "), "ok");
    EXPECT_EQ(one("focus ms_gunlun_speed_edit"), "ok");
    EXPECT_EQ(one("blur ms_gunlun_speed_edit"), "ok");
    EXPECT_EQ(one("color ms_deng_Color_Pallet FF0199CB"), "ok");
    EXPECT_EQ(handler.noteLines(), (Lines{
                                       "click closebtn 0",
                                       "selectchanged ms_line_adjust 1",
                                       "itemselect ms_report_fct_combo 2",
                                       "valuechanged ms_DPI1_slider 40",
                                       "movevaluechanged ms_DPI1_slider 41",
                                       "textchanged ms_gunlun_speed_edit 0",
                                       "setfocus ms_gunlun_speed_edit 0",
                                       "killfocus ms_gunlun_speed_edit 0",
                                       "colorchanged ms_deng_Color_Pallet 4278294987",
                                   }));
    // The typed text keeps its blanks (all but the one after the name).
    EXPECT_EQ(ui.text("ms_gunlun_speed_edit"), " two  words ");
}

TEST_F(AutomationTest, GetReadsEveryProperty) {
    ui.setCurrentIndex("ms_report_fct_combo", 1);
    ui.setTintEnabled("ms_dkey_0", true);
    ui.setTintColor("ms_dkey_0", 0xFF00FF00);
    ui.setTintAlpha("ms_dkey_0", 128);
    ui.setBackgroundColor("closebtn", 0xFF102030);
    ui.setPaletteColor("ms_deng_Color_Pallet", 0xFF0199CB);
    ui.setEnabled("closebtn", false);
    ui.setCurrentPage("tab_switch", 1);
    ui.addItem("ms_macro_action", {"tab\there", ""});
    EXPECT_EQ(one("get skinbtn text"), "ok Skin");
    EXPECT_EQ(one("get closebtn visible"), "ok 1");
    EXPECT_EQ(one("get closebtn enabled"), "ok 0");
    EXPECT_EQ(one("get height2mm checked"), "ok 1");
    EXPECT_EQ(one("get ms_DPI1_slider value"), "ok 10");
    EXPECT_EQ(one("get ms_report_fct_combo index"), "ok 1");
    EXPECT_EQ(one("get tab_switch index"), "ok 1");
    EXPECT_EQ(one("get ms_report_fct_combo count"), "ok 4");
    EXPECT_EQ(one("get tab_switch count"), "ok 2");
    EXPECT_EQ(one("get ms_report_fct_combo items"), "ok 125Hz\t250Hz\t500Hz\t1000Hz");
    EXPECT_EQ(one("get ms_macro_action items"), "ok Key A down\tKey A up\ttab\\there");
    EXPECT_EQ(one("get closebtn color"), "ok FF102030");
    EXPECT_EQ(one("get ms_deng_Color_Pallet color"), "ok FF0199CB");
    EXPECT_EQ(one("get ms_dkey_0 tint"), "ok 1 FF00FF00 128");
    EXPECT_EQ(one("get nothing text"), "error no control nothing");
    EXPECT_EQ(one("get closebtn colour"), "error unknown property colour");
    EXPECT_EQ(one("get closebtn"), "error get NAME PROPERTY");
}

TEST_F(AutomationTest, MessagesShownSinceTheLastCall) {
    EXPECT_EQ(one("get - messages"), "ok");
    ui.messageBox("", "message_text_1", true);
    ui.messageBox("", "message_text_3", true);
    EXPECT_EQ(one("get - messages"), "ok message_text_1 message_text_3");
    EXPECT_EQ(one("get - messages"), "ok");
}

TEST_F(AutomationTest, AnswersAreQueuedForTheNextDialog) {
    EXPECT_EQ(one("answer message 1"), "ok");
    EXPECT_EQ(one("answer palette FF00FF00"), "ok");
    EXPECT_EQ(one("answer open /tmp/a file.png"), "ok");
    EXPECT_EQ(one("answer save cancel"), "ok");
    EXPECT_EQ(ui.messageBox("", "k", true), 1);
    EXPECT_EQ(ui.paletteDialog(0).color, 0xFF00FF00u);
    EXPECT_EQ(ui.openFileDialog({}), "/tmp/a file.png");
    EXPECT_EQ(ui.saveFileDialog({}), std::nullopt);

    EXPECT_EQ(one("answer message 2"), "error answer message 1|0");
    EXPECT_EQ(one("answer palette red"), "error answer palette AARRGGBB|cancel");
    EXPECT_EQ(one("answer open"), "error answer open PATH|cancel");
    EXPECT_EQ(one("answer dialog 1"), "error answer message|open|save|palette ...");
}

TEST_F(AutomationTest, AnAnswerReachesTheBoxThatIsOpen) {
    int openAnswer = -1;
    session.setOpenDialogAnswerer([&](const DialogAnswer& a) {
        if (a.kind != DialogAnswer::Kind::Message) {
            return false;
        }
        openAnswer = a.accept ? 1 : 0;
        return true;
    });
    // A click opens a box; while it is open the client sends more lines.
    handler.onNotify = [&](const Notification& n) {
        if (n.sender == "closebtn") {
            session.feed("get skinbtn text\nanswer message 1\n");
            EXPECT_EQ(openAnswer, 1);  // taken at once
            EXPECT_TRUE(out.empty());  // but written after the click's answer
        }
    };
    EXPECT_EQ(ask("click closebtn"), (Lines{"ok", "ok", "ok Skin"}));
}

TEST_F(AutomationTest, SeveralLinesInOneReadAndLinesInPieces) {
    out.clear();
    session.feed("get skinbtn text\r\nget closebtn vis");
    EXPECT_EQ(out, (Lines{"ok Skin"}));
    session.feed("ible\n\n");
    EXPECT_EQ(out, (Lines{"ok Skin", "ok 1", "error empty request"}));
}

TEST_F(AutomationTest, BadRequestsAnswerWithAnError) {
    EXPECT_EQ(one("jump closebtn"), "error unknown request jump");
    EXPECT_EQ(one("click"), "error click needs a control name");
    EXPECT_EQ(one("click nothing"), "error no control nothing");
    EXPECT_EQ(one("check ms_line_adjust yes"), "error check NAME 0|1");
    EXPECT_EQ(one("select ms_report_fct_combo x"), "error select NAME NUMBER");
    EXPECT_EQ(one("select ms_report_fct_combo 99999999999"), "error select NAME NUMBER");
    EXPECT_EQ(one("select ms_report_fct_combo 9"), "error no row 9 in ms_report_fct_combo");
    EXPECT_EQ(one("slide closebtn 3"), "error closebtn is a button, not the right kind of control");
    EXPECT_EQ(one("color ms_deng_Color_Pallet 1FF0199CB"), "error color NAME AARRGGBB");
    EXPECT_EQ(one("tray middle"), "error tray left|right");
    EXPECT_EQ(one("tray left"), "error no tray icon");
    EXPECT_EQ(one("menu lan_en"), "error no menu is open");
    EXPECT_EQ(one("image mouse"), "error image KIND AREA");
    EXPECT_TRUE(handler.notes.empty());
}

TEST_F(AutomationTest, OverlongLinesAreRefusedAndTheStreamGoesOn) {
    out.clear();
    session.feed(std::string(kMaxAutomationLine + 10, 'x'));
    session.feed("yyy\nget skinbtn text\n");
    EXPECT_EQ(out, (Lines{"error line too long", "ok Skin"}));
}

TEST_F(AutomationTest, MenuTrayImageAndQuitGoThroughTheProgram) {
    ui.createTray("icon.png", "t");
    EXPECT_EQ(one("tray right"), "ok");
    ui.openMenu("menu1.xml", {0, 0}, {{"exit", "Close"}});
    EXPECT_EQ(one("menu exit"), "ok");
    EXPECT_EQ(handler.noteLines(), (Lines{"tray tray 517", "menu exit 0"}));
    EXPECT_EQ(one("image mouse info"), "ok 0102");
    EXPECT_EQ(one("image mouse bank9"), "error no image mouse bank9");
    EXPECT_EQ(hook.quits, 0);
    EXPECT_EQ(ask("quit"), (Lines{"ok"}));
    EXPECT_EQ(hook.quits, 1);  // once the answer has gone
}

TEST_F(AutomationTest, IdleRunsWhatWorkersPosted) {
    ui.postMessage(3072, 0, 0);
    EXPECT_EQ(one("idle"), "ok");
    ASSERT_EQ(handler.messages.size(), 1u);
    EXPECT_EQ(handler.messages[0].id, 3072);
}

TEST_F(AutomationTest, WithoutAHookProgramRequestsFail) {
    Lines lines;
    AutomationSession bare(ui, nullptr, [&](std::string l) { lines.push_back(l); });
    bare.feed("quit\nimage mouse info\n");
    EXPECT_EQ(lines, (Lines{"error quit is not available\n", "error image is not available\n"}));
}

TEST(AutomationText, ColoursAndEscapes) {
    EXPECT_EQ(formatColor(0xFF0199CB), "FF0199CB");
    EXPECT_EQ(formatColor(0x5), "00000005");
    EXPECT_EQ(parseColor("ff0199cb"), 0xFF0199CBu);
    EXPECT_EQ(parseColor("#FF0199CB"), 0xFF0199CBu);
    EXPECT_EQ(parseColor("1"), 1u);
    EXPECT_EQ(parseColor(""), std::nullopt);
    EXPECT_EQ(parseColor("FF0199CBA"), std::nullopt);
    EXPECT_EQ(parseColor("GG"), std::nullopt);
    EXPECT_EQ(parseColor("-1"), std::nullopt);
    EXPECT_EQ(escapeReplyText("a\\b\nc\td\r"), "a\\\\b\\nc\\td\\r");
}

}  // namespace
