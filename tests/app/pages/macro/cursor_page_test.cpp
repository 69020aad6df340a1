// The cursor-scheme page in the window built from the project's skin, on the
// in-memory UI, with scheme files in a temporary data folder: which steps a
// bullet's edits reach, the clamps, the bullet choice and its taking back,
// reset, import, export and a failed upload told to the user.

#include <gtest/gtest.h>

#include <fstream>

#include "app/pages/macro/cursor_page_names.h"
#include "app/pages/macro/macro_pages.h"
#include "macro/cursor_schemes.h"
#include "macro/macro_file.h"
#include "platform/ini_file.h"
#include "support/shell_fixture.h"

namespace rxt::test {
namespace {

const CursorPageControls& c = kCursorControls;

// A delivered scheme: bullet b waits 10 + b ms and moves right b, down 2b;
// the first three steps of each bullet are the scheme's own (a key step).
std::vector<MacroAction> deliveredScheme(int scheme) {
    std::vector<MacroAction> steps;
    for (int b = 0; b < kCursorBullets; ++b) {
        for (int i = 0; i < 3; ++i) {
            steps.push_back({static_cast<uint16_t>(scheme), 0x8A, 4, 1, "keyboard_key_A"});
        }
        steps.push_back({static_cast<uint16_t>(10 + b), 0x04, 0, 0, "mouse_move_to_right_text"});
        steps.push_back({0, 0x04, static_cast<uint8_t>(b), 0, "mouse_move_to_right_text"});
        steps.push_back({0, 0x05, static_cast<uint8_t>(2 * b), 0, "mouse_move_to_down_text"});
    }
    return steps;
}

void writeText(const std::filesystem::path& file, const std::string& text) {
    std::ofstream(file, std::ios::binary) << text;
}

std::string readText(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class CursorPageTest : public ShellWindowTest {
  protected:
    void SetUp() override {
        defaults = home.path() / "defaults";
        std::filesystem::create_directories(defaults);
        for (int k = 0; k < kCursorSchemes; ++k) {
            const std::string name = cursorSchemeName(k);
            writeText(defaults / (name + ".cur"), cursorSchemeText(name, deliveredScheme(k)));
        }
        pages.setDefaultsFolder(defaults);
    }
    void start() {
        shell::MainWndOptions options;
        options.features = &pages;
        open(options);
        ui->setVisible("ms_tab", true);
        ui->setVisible("ms_tab_panel", true);
        ASSERT_TRUE(ui->userCheck("ms_tab", true)) << ui->lastError();
        ASSERT_TRUE(ui->userCheck(c.optionTab, true)) << ui->lastError();
    }
    std::filesystem::path scheme(int k) const {
        return home.path() / "Documents" / "RX-T7100 GamingMouse" / "ms" /
               (cursorSchemeName(k) + ".cur");
    }
    std::string step(int k, int i) const {
        return iniRead(scheme(k), "MACROACTION", std::to_string(i), "");
    }
    void type(std::string_view edit, std::string_view text) {
        ASSERT_TRUE(ui->userType(edit, text)) << ui->lastError();
    }

    std::filesystem::path defaults;
    MacroPages pages;
};

TEST_F(CursorPageTest, FirstStartCopiesTheSchemesAndShowsSchemeOneBulletOne) {
    start();
    for (std::string_view name :
         {c.previous, c.next, c.editArea, c.delayEdit, c.xEdit, c.xCheck, c.yEdit, c.yCheck,
          c.saveButton, c.resetButton, c.importButton, c.exportButton}) {
        EXPECT_TRUE(ui->hasControl(name)) << name;
    }
    for (int b = 0; b < kCursorBullets; ++b) {
        EXPECT_TRUE(ui->hasControl(bulletControl(b))) << b;
    }
    for (int k = 0; k < kCursorSchemes; ++k) {
        EXPECT_TRUE(ui->hasControl(c.schemes[static_cast<size_t>(k)]));
        EXPECT_EQ(readText(scheme(k)), readText(defaults / (cursorSchemeName(k) + ".cur")));
    }
    EXPECT_TRUE(ui->checked(c.schemes[0]));
    EXPECT_TRUE(ui->checked(bulletControl(0)));
    EXPECT_TRUE(ui->enabled(c.editArea));
    EXPECT_EQ(ui->text(c.delayEdit), "10");
    EXPECT_EQ(ui->text(c.xEdit), "0");
    EXPECT_EQ(ui->text(c.xCheck), ui->translate(kMoveRightText));
}

TEST_F(CursorPageTest, ABulletsEditsReachItsLastThreeStepsOnly) {
    start();
    const std::string before = readText(scheme(0));
    ASSERT_TRUE(ui->userCheck(bulletControl(29), true));
    EXPECT_FALSE(ui->checked(bulletControl(0)));
    EXPECT_EQ(ui->text(c.delayEdit), "39");
    EXPECT_EQ(ui->text(c.yEdit), "58");
    ASSERT_TRUE(ui->userCheck(c.xCheck, true));
    EXPECT_EQ(ui->text(c.xCheck), ui->translate(kMoveLeftText));
    type(c.xEdit, "7");
    // code 0x84 = 132, value 7, the left move's name.
    EXPECT_EQ(step(0, 178), "0,0,132,7,0,mouse_move_to_left_text");
    type(c.delayEdit, "300");
    EXPECT_EQ(step(0, 177), "44,1,4,0,0,mouse_move_to_right_text");
    // Every other step is what it was.
    for (int i = 0; i < kCursorSchemeSteps - 3; ++i) {
        EXPECT_EQ(step(0, i),
                  iniRead(defaults / "name_1.cur", "MACROACTION", std::to_string(i), ""))
            << i;
    }
    EXPECT_NE(readText(scheme(0)), before);
    // Bullet 0's are steps 3, 4 and 5.
    ASSERT_TRUE(ui->userCheck(bulletControl(0), true));
    ASSERT_TRUE(ui->userCheck(c.yCheck, true));
    EXPECT_EQ(step(0, 5), "0,0,133,0,0,mouse_move_to_up_text");
    EXPECT_EQ(step(0, 2), iniRead(defaults / "name_1.cur", "MACROACTION", "2", ""));
}

TEST_F(CursorPageTest, MovesAbove255AndDelaysAbove65535AreClampedOnScreenToo) {
    start();
    type(c.xEdit, "300");
    EXPECT_EQ(ui->text(c.xEdit), "255");
    EXPECT_EQ(step(0, 4), "0,0,4,255,0,mouse_move_to_right_text");
    type(c.delayEdit, "70000");
    EXPECT_EQ(ui->text(c.delayEdit), "65535");
    EXPECT_EQ(step(0, 3), "255,255,4,0,0,mouse_move_to_right_text");
    // An edit cleared while typing stays empty on screen and stores 0.
    type(c.yEdit, "");
    EXPECT_EQ(ui->text(c.yEdit), "");
    EXPECT_EQ(step(0, 5), "0,0,5,0,0,mouse_move_to_down_text");
}

TEST_F(CursorPageTest, PreviousNextAndTakingTheBulletBack) {
    start();
    ASSERT_TRUE(ui->userClick(c.previous));
    EXPECT_EQ(pages.cursorPage()->bullet(), 0);
    ASSERT_TRUE(ui->userClick(c.next));
    EXPECT_EQ(pages.cursorPage()->bullet(), 1);
    EXPECT_TRUE(ui->checked(bulletControl(1)));
    EXPECT_FALSE(ui->checked(bulletControl(0)));
    EXPECT_EQ(ui->text(c.delayEdit), "11");
    ASSERT_TRUE(ui->userCheck(bulletControl(29), true));
    ASSERT_TRUE(ui->userClick(c.next));
    EXPECT_EQ(pages.cursorPage()->bullet(), 29);
    // A click on the selected bullet takes it back: nothing to edit then.
    ASSERT_TRUE(ui->userClick(bulletControl(29)));
    EXPECT_FALSE(ui->checked(bulletControl(29)));
    EXPECT_EQ(pages.cursorPage()->bullet(), -1);
    EXPECT_FALSE(ui->enabled(c.editArea));
}

TEST_F(CursorPageTest, ASchemeChoiceShowsItsFirstBullet) {
    start();
    ASSERT_TRUE(ui->userCheck(bulletControl(5), true));
    ASSERT_TRUE(ui->userCheck(c.schemes[2], true));
    EXPECT_EQ(pages.cursorPage()->scheme(), 2);
    EXPECT_TRUE(ui->checked(bulletControl(0)));
    EXPECT_FALSE(ui->checked(bulletControl(5)));
    type(c.yEdit, "9");
    EXPECT_EQ(step(2, 5), "0,0,5,9,0,mouse_move_to_down_text");
    EXPECT_EQ(step(0, 5), "0,0,5,0,0,mouse_move_to_down_text");
}

TEST_F(CursorPageTest, ResetImportAndExport) {
    start();
    ASSERT_TRUE(ui->userCheck(bulletControl(3), true));
    type(c.xEdit, "99");
    ASSERT_TRUE(ui->userClick(c.resetButton));
    EXPECT_EQ(readText(scheme(0)), readText(defaults / "name_1.cur"));
    EXPECT_EQ(pages.cursorPage()->bullet(), 0);

    // Export: a byte copy of the scheme's file.
    const auto out = home.path() / "mine.cur";
    ui->answer(ui::DialogAnswer::save(out.string()));
    ASSERT_TRUE(ui->userClick(c.exportButton));
    EXPECT_EQ(readText(out), readText(scheme(0)));

    // Import: too long a file is refused and nothing changes.
    std::vector<MacroAction> tooLong = deliveredScheme(3);
    tooLong.push_back(tooLong.back());
    const auto longFile = home.path() / "long.cur";
    writeText(longFile, cursorSchemeText("x", tooLong));
    ui->answer(ui::DialogAnswer::open(longFile.string()));
    ASSERT_TRUE(ui->userClick(c.importButton));
    EXPECT_EQ(ui->takeShownMessages(),
              (std::vector<std::string>{std::string(kMessageSchemeTooLong)}));
    EXPECT_EQ(readText(scheme(0)), readText(defaults / "name_1.cur"));
    // A fitting one replaces the scheme and the bullet is shown from it.
    ui->answer(ui::DialogAnswer::open((defaults / "name_4.cur").string()));
    ASSERT_TRUE(ui->userClick(c.importButton));
    EXPECT_EQ(readText(scheme(0)), readText(defaults / "name_4.cur"));
    EXPECT_EQ(step(0, 0), "3,0,138,4,1,keyboard_key_A");
}

TEST_F(CursorPageTest, AnUploadWithoutTheMouseIsToldNotDone) {
    start();
    ui->takeShownMessages();
    ASSERT_TRUE(ui->userClick(c.saveButton));
    EXPECT_EQ(ui->takeShownMessages(),
              (std::vector<std::string>{"message_text_upload_not_connected"}));
}

}  // namespace
}  // namespace rxt::test
