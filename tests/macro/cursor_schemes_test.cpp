// The cursor schemes on real files: the delivered defaults, the first-start
// copy, the bullet edits and their clamps, reset, import and export.

#include "macro/cursor_schemes.h"

#include <gtest/gtest.h>

#include "macro/default_cursor_schemes.h"
#include "platform/ini_file.h"
#include "support/test_folder.h"

namespace rxt {
namespace {

class CursorSchemes : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(writeDefaultCursorSchemes(defaults(), error)) << error;
    }
    std::filesystem::path defaults() const { return home.path() / "defaults"; }
    std::filesystem::path scheme(int k) const {
        return *cursorSchemeFile(mouse, cursorSchemeName(k));
    }
    std::string record(int k, int i) const {
        return iniRead(scheme(k), "MACROACTION", std::to_string(i), "");
    }

    test::TempFolder home;
    test::ScopedEnv homeEnv{"HOME", home.path().string()};
    test::ScopedEnv configEnv{"XDG_CONFIG_HOME", (home.path() / ".config").string()};
    MacroCatalogue mouse{DeviceKind::Mouse};
};

TEST_F(CursorSchemes, DefaultsHold180StepsOfMovesAfterEachBullet) {
    for (const CursorSchemePattern& p : kDefaultCursorPatterns) {
        const std::vector<MacroAction> steps = cursorSchemeSteps(p);
        ASSERT_EQ(steps.size(), 180u) << p.title;
        for (int b = 0; b < kCursorBullets; ++b) {
            EXPECT_EQ(steps[static_cast<size_t>(6 * b + 4)].kind(), kActionMoveHorizontal);
            EXPECT_EQ(steps[static_cast<size_t>(6 * b + 5)].kind(), kActionMoveVertical);
        }
    }
    EXPECT_EQ(iniRead(defaults() / "name_3.cur", "MACROACTIONCOUNT", "count", ""), "180");
    EXPECT_EQ(iniRead(defaults() / "name_1.cur", "MACROSELECTNAME", "name", ""), "name_1");
}

TEST_F(CursorSchemes, FirstStartCopiesOnlyWhatIsMissing) {
    std::filesystem::create_directories(mouse.folder());
    iniWrite(scheme(1), "MACROACTIONCOUNT", "count", "6");
    ASSERT_TRUE(ensureCursorSchemes(mouse, defaults()));
    EXPECT_EQ(cursorSchemeNames(mouse),
              (std::vector<std::string>{"name_1", "name_2", "name_3", "name_4"}));
    EXPECT_EQ(iniReadInt(scheme(0), "MACROACTIONCOUNT", "count", 0), 180);
    EXPECT_EQ(iniReadInt(scheme(1), "MACROACTIONCOUNT", "count", 0), 6);
    // Once the catalogue holds them, nothing is copied again.
    std::filesystem::remove(scheme(3));
    EXPECT_FALSE(ensureCursorSchemes(mouse, defaults()));
    EXPECT_FALSE(std::filesystem::exists(scheme(3)));
}

TEST_F(CursorSchemes, BulletsZeroAndTwentyNineEditTheirLastThreeSteps) {
    ensureCursorSchemes(mouse, defaults());
    const std::string step2 = record(0, 2);
    const std::string step176 = record(0, 176);
    BulletValues v{300, 7, true, 9, false};
    ASSERT_TRUE(saveBullet(scheme(0), 0, v));
    EXPECT_EQ(record(0, 3).substr(0, 6), "44,1,5");  // 300 ms
    EXPECT_EQ(record(0, 4), "0,0,132,7,0,mouse_move_to_left_text");
    EXPECT_EQ(record(0, 5), "0,0,5,9,0,mouse_move_to_down_text");
    EXPECT_EQ(record(0, 2), step2);
    ASSERT_TRUE(saveBullet(scheme(0), 29, {65535, 255, false, 1, true}));
    EXPECT_EQ(record(0, 177).substr(0, 8), "255,255,");
    EXPECT_EQ(record(0, 178), "0,0,4,255,0,mouse_move_to_right_text");
    EXPECT_EQ(record(0, 179), "0,0,133,1,0,mouse_move_to_up_text");
    EXPECT_EQ(record(0, 176), step176);
    BulletValues back = loadBullet(scheme(0), 29);
    EXPECT_EQ(back, (BulletValues{65535, 255, false, 1, true, true}));
    EXPECT_EQ(loadBullet(scheme(0), 0), (BulletValues{300, 7, true, 9, false, true}));
    EXPECT_FALSE(saveBullet(scheme(0), 30, v));
}

TEST_F(CursorSchemes, ClampsOfTheEdits) {
    EXPECT_EQ(clampBulletMove("300"), 255);
    EXPECT_EQ(clampBulletMove("7"), 7);
    EXPECT_EQ(clampBulletMove("x"), 0);
    EXPECT_EQ(clampBulletDelay("70000"), 65535);
    EXPECT_EQ(clampBulletDelay("99999999999999"), 65535);
}

TEST_F(CursorSchemes, ShortFileShowsZerosAndIsFilledUpWhenEdited) {
    std::filesystem::create_directories(mouse.folder());
    iniWrite(scheme(2), "MACROACTIONCOUNT", "count", "6");
    const BulletValues missing = loadBullet(scheme(2), 3);
    EXPECT_FALSE(missing.present);
    EXPECT_EQ(missing.x, 0);
    ASSERT_TRUE(saveBullet(scheme(2), 3, {20, 4, false, 2, false}));
    EXPECT_EQ(iniReadInt(scheme(2), "MACROACTIONCOUNT", "count", 0), 24);
    EXPECT_EQ(loadBullet(scheme(2), 3), (BulletValues{20, 4, false, 2, false, true}));
    EXPECT_FALSE(loadCursorScheme(mouse, "name_3").empty());
}

TEST_F(CursorSchemes, ImportRefusesMoreThan180StepsResetAndExportCopy) {
    ensureCursorSchemes(mouse, defaults());
    const auto longFile = home.path() / "long.cur";
    iniWrite(longFile, "MACROACTIONCOUNT", "count", "181");
    const std::string before = record(1, 4);
    const SchemeResult refused = importCursorScheme(scheme(1), longFile);
    EXPECT_FALSE(refused.done);
    EXPECT_EQ(refused.message, "message_text_18");
    EXPECT_EQ(record(1, 4), before);
    const auto okFile = home.path() / "ok.cur";
    iniWrite(okFile, "MACROACTIONCOUNT", "count", "180");
    iniWrite(okFile, "MACROACTION", "4", "0,0,4,99,0,mouse_move_to_right_text");
    ASSERT_TRUE(importCursorScheme(scheme(1), okFile).done);
    EXPECT_EQ(loadBullet(scheme(1), 0).x, 99);
    EXPECT_FALSE(importCursorScheme(scheme(1), home.path() / "none.cur").done);
    ASSERT_TRUE(resetCursorScheme(scheme(1), defaults()).done);
    EXPECT_EQ(record(1, 4), before);
    const auto out = home.path() / "out.cur";
    ASSERT_TRUE(exportCursorScheme(scheme(1), out).done);
    EXPECT_EQ(test::readRaw(out), test::readRaw(scheme(1)));
}

TEST_F(CursorSchemes, NamesThatLeaveTheFolderAreNotSchemes) {
    iniWrite(mouse.path(), "CURSORCOUNT", "count", "2");
    iniWrite(mouse.path(), "CURSORNAME", "0", "../../evil");
    iniWrite(mouse.path(), "CURSORNAME", "1", "name_2");
    EXPECT_EQ(cursorSchemeNames(mouse), (std::vector<std::string>{"name_2"}));
    EXPECT_FALSE(cursorSchemeFile(mouse, ".."));
}

}  // namespace
}  // namespace rxt
