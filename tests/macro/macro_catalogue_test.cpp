// The file effects of the macro catalogues and macro files, on real files in
// a data folder of the test's own.
#include <gtest/gtest.h>

#include "macro/macro_catalogue.h"
#include "macro/macro_file.h"
#include "platform/ini_file.h"
#include "support/test_folder.h"

namespace rxt {
namespace {

using test::readRaw;
using test::writeRaw;

class MacroFiles : public ::testing::Test {
  protected:
    test::TempFolder home;
    test::ScopedEnv homeEnv{"HOME", home.path().string()};
    test::ScopedEnv configEnv{"XDG_CONFIG_HOME", (home.path() / ".config").string()};
    MacroCatalogue mouse{DeviceKind::Mouse};
    MacroCatalogue keyboard{DeviceKind::Keyboard};

    std::filesystem::path folder(const char* kind) const {
        return home.path() / "Documents" / "RX-T7100 GamingMouse" / kind;
    }
    static MacroAction step(uint16_t delay, uint8_t code, uint8_t value, const char* name) {
        return {delay, code, value, static_cast<uint16_t>(code >> 7), name};
    }
};

TEST_F(MacroFiles, MissingCatalogueAndFileReadAsEmpty) {
    EXPECT_TRUE(mouse.LoadCatalogue().empty());
    EXPECT_EQ(mouse.path(), folder("ms") / "msMacro.ini");
    EXPECT_EQ(keyboard.path(), folder("kb") / "kbMacro.ini");
    EXPECT_TRUE(LoadMacro(mouse, "nothing").empty());
}

TEST_F(MacroFiles, AddNamesSkipTakenNumbersWithoutRegardToCase) {
    std::vector<std::string> names{"name_2", "name_3"};
    ASSERT_TRUE(AddMacroName(mouse, names).done);
    EXPECT_EQ(names.back(), "name_4");
    std::vector<std::string> one{"Name_3"};
    EXPECT_EQ(nextMacroName(one), "name_2");
    std::vector<std::string> taken{"NAME_2"};
    EXPECT_EQ(nextMacroName(taken), "name_3");
    // The catalogue gets the count and the new last entry; no macro file yet.
    EXPECT_EQ(iniRead(mouse.path(), "MACROCOUNT", "count", ""), "3");
    EXPECT_EQ(iniRead(mouse.path(), "MACRONAME", "2", ""), "name_4");
    EXPECT_FALSE(std::filesystem::exists(folder("ms") / "name_4.mac"));
}

TEST_F(MacroFiles, AddStopsAtFiftyAndImportThenTouchesNothing) {
    std::vector<std::string> names;
    for (int i = 0; i < kMaxMacros; ++i) {
        ASSERT_TRUE(AddMacroName(keyboard, names).done);
    }
    SaveMacro(keyboard, names, 0, {step(5, 0x8A, 4, "keyboard_key_A")});
    const std::string catalogueBefore = readRaw(keyboard.path());
    const std::string fileBefore = readRaw(folder("kb") / "name_1.mac");
    MacroResult r = AddMacroName(keyboard, names);
    EXPECT_FALSE(r.done);
    EXPECT_EQ(r.message, kMessageMacroLimit);
    EXPECT_EQ(names.size(), 50u);

    writeRaw(home.path() / "in.mac", "[MACROACTIONCOUNT]\ncount=0\n");
    r = ImportMacro(keyboard, names, home.path() / "in.mac");
    EXPECT_FALSE(r.done);
    EXPECT_EQ(r.message, kMessageMacroLimit);
    EXPECT_EQ(readRaw(keyboard.path()), catalogueBefore);
    EXPECT_EQ(readRaw(folder("kb") / "name_1.mac"), fileBefore);
    EXPECT_FALSE(std::filesystem::exists(folder("kb") / "name_51.mac"));
}

TEST_F(MacroFiles, SaveOverALongerFileKeepsItsKeysButReadsTheCount) {
    std::vector<std::string> names;
    AddMacroName(mouse, names);
    std::vector<MacroAction> five;
    for (int i = 0; i < 5; ++i)
        five.push_back(step(10 * i, 0x81, 1, "mouse_key_left"));
    ASSERT_TRUE(SaveMacro(mouse, names, 0, five).done);
    EXPECT_EQ(LoadMacro(mouse, "name_1"), five);
    const std::vector<MacroAction> three(five.begin(), five.begin() + 3);
    ASSERT_TRUE(SaveMacro(mouse, names, 0, three).done);
    const auto file = folder("ms") / "name_1.mac";
    EXPECT_EQ(iniRead(file, "MACROACTIONCOUNT", "count", ""), "3");
    EXPECT_EQ(iniRead(file, "MACROACTION", "3", ""), FormatActionRecord(five[3]));
    EXPECT_EQ(iniRead(file, "MACROACTION", "4", ""), FormatActionRecord(five[4]));
    EXPECT_EQ(iniRead(file, "MACROSELECTNAME", "name", ""), "name_1");
    EXPECT_EQ(LoadMacro(mouse, "name_1"), three);
}

TEST_F(MacroFiles, MalformedRecordsAreSkippedAndTheOthersKept) {
    std::filesystem::create_directories(folder("kb"));
    writeRaw(folder("kb") / "odd.mac",
             "[MACROACTIONCOUNT]\ncount=4\n[MACROACTION]\n0=100,0,138,4,1,keyboard_key_A\n"
             "1=garbage\n3=0,0,10,4,0,keyboard_key_A\n");
    const auto steps = LoadMacro(keyboard, "ODD");  // found in any letter case
    ASSERT_EQ(steps.size(), 2u);
    EXPECT_EQ(steps[0].pressed, 1);
    EXPECT_EQ(steps[1].pressed, 0);
    // A count no file could hold is bounded, not looped over.
    writeRaw(folder("kb") / "huge.mac", "[MACROACTIONCOUNT]\ncount=2147483647\n");
    EXPECT_TRUE(LoadMacro(keyboard, "huge").empty());
    // Files carried over from Windows: UTF-16 with its mark, CRLF.
    writeRaw(
        folder("kb") / "wide.mac",
        test::utf16le(
            "[MACROACTIONCOUNT]\r\ncount=1\r\n[MACROACTION]\r\n0=1,0,1,1,1,mouse_key_left\r\n"));
    ASSERT_EQ(LoadMacro(keyboard, "wide").size(), 1u);
}

TEST_F(MacroFiles, RenameMovesTheFileWithTheCurrentSteps) {
    std::vector<std::string> names;
    AddMacroName(mouse, names);
    AddMacroName(mouse, names);
    SaveMacro(mouse, names, 1, {step(1, 0x81, 1, "mouse_key_left")});
    const std::vector<MacroAction> now{step(2, 0x01, 1, "mouse_key_left"),
                                       step(0, 0x84, 9, "mouse_move_to_left_text")};
    RenameResult r = RenameMacro(mouse, names, 1, "Fire", now);
    ASSERT_EQ(r.outcome, RenameOutcome::Renamed);
    EXPECT_EQ(names[1], "Fire");
    EXPECT_FALSE(std::filesystem::exists(folder("ms") / "name_2.mac"));
    EXPECT_EQ(LoadMacro(mouse, "Fire"), now);
    EXPECT_EQ(iniRead(folder("ms") / "Fire.mac", "MACROSELECTNAME", "name", ""), "Fire");
    EXPECT_EQ(mouse.ReadName(1), "Fire");

    EXPECT_EQ(RenameMacro(mouse, names, 1, "", now).outcome, RenameOutcome::Unchanged);
    EXPECT_EQ(RenameMacro(mouse, names, 1, "Fire", now).outcome, RenameOutcome::Unchanged);
    r = RenameMacro(mouse, names, 1, "NAME_1", now);
    EXPECT_EQ(r.outcome, RenameOutcome::Refused);
    EXPECT_EQ(r.message, kMessageMacroNameTaken);
}

TEST_F(MacroFiles, NamesThatCannotBeFileNamesAreRefusedAndNothingMoves) {
    std::vector<std::string> names;
    AddMacroName(mouse, names);
    SaveMacro(mouse, names, 0, {step(1, 0x81, 1, "mouse_key_left")});
    const std::string catalogue = readRaw(mouse.path());
    const std::string file = readRaw(folder("ms") / "name_1.mac");
    for (std::string bad :
         {std::string("../escape"), std::string("a/b"), std::string(".."), std::string("tab\there"),
          std::string("nul\0x", 5), std::string(300, 'x')}) {
        RenameResult r = RenameMacro(mouse, names, 0, bad, {});
        EXPECT_EQ(r.outcome, RenameOutcome::Refused) << bad;
        EXPECT_EQ(r.message, kMessageMacroNameInvalid);
    }
    EXPECT_EQ(names[0], "name_1");
    EXPECT_EQ(readRaw(mouse.path()), catalogue);
    EXPECT_EQ(readRaw(folder("ms") / "name_1.mac"), file);
    EXPECT_FALSE(std::filesystem::exists(folder("escape.mac")));
    // A catalogue entry edited by hand to leave the folder reads no file and
    // saves none.
    iniWrite(mouse.path(), "MACRONAME", "0", "../../outside");
    names[0] = "../../outside";
    EXPECT_TRUE(LoadMacro(mouse, names[0]).empty());
    EXPECT_FALSE(SaveMacro(mouse, names, 0, {}).done);
    EXPECT_FALSE(std::filesystem::exists(home.path() / "Documents" / "outside.mac"));
}

TEST_F(MacroFiles, DeleteRewritesTheCatalogueKeepingTheCursorEntries) {
    std::vector<std::string> names;
    for (int i = 0; i < 3; ++i)
        AddMacroName(mouse, names);
    for (int i = 0; i < 3; ++i)
        SaveMacro(mouse, names, i, {step(i, 0x81, 1, "mouse_key_left")});
    iniWrite(mouse.path(), "MACRONAME", "7", "stale");
    ASSERT_TRUE(DeleteMacro(mouse, names, 1).done);
    EXPECT_EQ(names, (std::vector<std::string>{"name_1", "name_3"}));
    EXPECT_FALSE(std::filesystem::exists(folder("ms") / "name_2.mac"));
    EXPECT_EQ(mouse.LoadCatalogue(), names);
    EXPECT_EQ(mouse.ReadName(1), "name_3");
    EXPECT_FALSE(iniFind(mouse.path(), "MACRONAME", "7"));
    EXPECT_FALSE(iniFind(mouse.path(), "MACRONAME", "2"));
    EXPECT_EQ(iniRead(mouse.path(), "CURSORCOUNT", "count", ""), "4");
    EXPECT_EQ(iniRead(mouse.path(), "CURSORNAME", "3", ""), "name_4");
    EXPECT_EQ(LoadMacro(mouse, "name_3").front().delay, 2);

    std::vector<std::string> kb;
    AddMacroName(keyboard, kb);
    ASSERT_TRUE(DeleteMacro(keyboard, kb, 0).done);
    EXPECT_TRUE(kb.empty());
    EXPECT_EQ(iniRead(keyboard.path(), "MACROCOUNT", "count", ""), "0");
    EXPECT_FALSE(iniFind(keyboard.path(), "CURSORCOUNT", "count"));
}

TEST_F(MacroFiles, ImportAndExportCopyBytes) {
    std::vector<std::string> names;
    AddMacroName(keyboard, names);
    const std::string source =
        "\xEF\xBB\xBF[MACROACTIONCOUNT]\r\ncount=1\r\n[MACROACTION]\r\n0=50,0,138,4,1,keyboard_key_"
        "A\r\n"
        "[MACROSELECTNAME]\r\nname=theirs\r\n";
    writeRaw(home.path() / "in.mac", source);
    ASSERT_TRUE(ImportMacro(keyboard, names, home.path() / "in.mac").done);
    EXPECT_EQ(names.back(), "name_2");
    EXPECT_EQ(readRaw(folder("kb") / "name_2.mac"), source);
    EXPECT_EQ(LoadMacro(keyboard, "name_2").size(), 1u);

    MacroResult r = ImportMacro(keyboard, names, home.path() / "missing.mac");
    EXPECT_FALSE(r.done);
    EXPECT_EQ(r.message, kMessageMacroFileFailed);
    EXPECT_EQ(names.size(), 2u);

    ASSERT_TRUE(ExportMacro(keyboard, "name_2", home.path() / "out.mac").done);
    EXPECT_EQ(readRaw(home.path() / "out.mac"), source);
    // A macro never saved exports as one with no steps.
    ASSERT_TRUE(ExportMacro(keyboard, "name_1", home.path() / "empty.mac").done);
    EXPECT_EQ(iniRead(home.path() / "empty.mac", "MACROACTIONCOUNT", "count", ""), "0");
    EXPECT_FALSE(ExportMacro(keyboard, "name_2", home.path() / "no" / "such" / "x.mac").done);
}

TEST_F(MacroFiles, HostileNamesThatAreAcceptedKeepTheirStepsAndStayInTheFolder) {
    std::vector<std::string> names;
    AddMacroName(mouse, names);
    const std::vector<MacroAction> steps{step(3, 0x81, 1, "mouse_key_left")};
    for (const std::string& name :
         {std::string("a=b"), std::string("[MACRONAME]"), std::string(";semi"),
          std::string(" lead"), std::string("trail "), std::string("名字 夜"), std::string("..."),
          std::string("$HOME"), std::string("quote\"")}) {
        const RenameResult r = RenameMacro(mouse, names, 0, name, steps);
        if (r.outcome == RenameOutcome::Refused) {
            EXPECT_FALSE(r.message.empty()) << name;
            continue;
        }
        ASSERT_EQ(r.outcome, RenameOutcome::Renamed) << name;
        EXPECT_EQ(mouse.ReadName(0), name);
        EXPECT_EQ(mouse.LoadCatalogue(), names);
        EXPECT_EQ(LoadMacro(mouse, name), steps) << name;
        EXPECT_TRUE(std::filesystem::exists(folder("ms") / (name + ".mac"))) << name;
    }
}

}  // namespace
}  // namespace rxt
