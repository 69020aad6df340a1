// New, Copy, Rename and Delete on real catalogue and data files.

#include "operations_fixture.h"

namespace rxt::test {
namespace {

using ::testing::ElementsAre;

class EntriesTest : public OperationsTest {};

TEST_F(EntriesTest, NewTakesTheLowestFreeNumberInAnyLetterCaseAndSelectsTheEntry) {
    const auto cat = catalogueOf(DeviceKind::Mouse, ProfileKind::Lighting);
    seed(cat, {"profile1", "Profile2"});
    NewProfile(ctx, cat);

    EXPECT_THAT(listed(cat), ElementsAre("profile1", "Profile2", "profile3"));
    EXPECT_THAT(catalogued(cat), ElementsAre("profile1", "Profile2", "profile3"));
    EXPECT_EQ(cat.ReadLinkFlag(2), 0);
    EXPECT_EQ(content(cat, "profile3"), defaultContent(cat));
    // Selected, remembered and applied.
    EXPECT_EQ(ui.currentIndex(profileControls(cat).list), 2);
    EXPECT_EQ(cat.ReadSelect(), 2);
    EXPECT_EQ(ui.text(profileControls(cat).nameEdit), "profile3");
    EXPECT_FALSE(refreshed.empty());
    EXPECT_TRUE(ui.takeShownMessages().empty());
}

TEST_F(EntriesTest, NewFillsAGapAndClearsALinkLeftBehindAtItsKey) {
    const auto cat = catalogueOf(DeviceKind::Mouse, ProfileKind::Device);
    seed(cat, {"profile2"});
    // A remnant of an earlier delete at key 1, and a stale file of the name.
    cat.WriteLinkFlag(1, true);
    cat.WriteProgramPath(1, "/usr/bin/old");
    ASSERT_TRUE(WriteProfileFile(cat.folder() / "PROFILE1.config", patternPayload(cat, 99),
                                 cat.kindCode()));
    NewProfile(ctx, cat);

    EXPECT_THAT(catalogued(cat), ElementsAre("profile2", "profile1"));
    EXPECT_EQ(cat.ReadLinkFlag(1), 0);
    // The stale file, found in another letter case, gave way to the default.
    EXPECT_EQ(content(cat, "profile1"), defaultContent(cat));
    EXPECT_FALSE(std::filesystem::exists(cat.folder() / "PROFILE1.config"));
}

TEST_F(EntriesTest, NewWithoutItsDefaultFileKeepsTheEntryWithoutDataAndSelectsNothing) {
    const auto cat = catalogueOf(DeviceKind::Mousepad, ProfileKind::Lighting);
    seed(cat, {"profile1"});
    pick(cat, 0);
    std::filesystem::remove(DefaultProfileFile(cat, 0, env.defaults()));
    NewProfile(ctx, cat);
    EXPECT_THAT(ui.takeShownMessages(), ElementsAre(kMessageFileMissing));
    EXPECT_THAT(catalogued(cat), ElementsAre("profile1", "profile2"));
    EXPECT_FALSE(std::filesystem::exists(cat.folder() / "profile2.led"));
    EXPECT_EQ(ui.currentIndex(profileControls(cat).list), 0);
    EXPECT_EQ(cat.ReadSelect(), 0);

    // A default with the wrong magic is reported as malformed.
    writeRaw(DefaultProfileFile(cat, 0, env.defaults()), std::string(80, '\x01'));
    NewProfile(ctx, cat);
    EXPECT_THAT(ui.takeShownMessages(), ElementsAre(kMessageFileBadFormat));
}

TEST_F(EntriesTest, CopyAddsCopyUntilTheNameIsFreeAndCarriesTheContent) {
    const auto cat = catalogueOf(DeviceKind::Keyboard, ProfileKind::Key);
    seed(cat, {"a", "A COPY"});
    pick(cat, 0);
    CopyProfile(ctx, cat);

    EXPECT_THAT(listed(cat), ElementsAre("a", "A COPY", "a copy copy"));
    EXPECT_THAT(catalogued(cat), ElementsAre("a", "A COPY", "a copy copy"));
    EXPECT_EQ(cat.ReadLinkFlag(2), 0);
    EXPECT_EQ(content(cat, "a copy copy"), content(cat, "a"));
    EXPECT_EQ(ui.currentIndex(profileControls(cat).list), 2);
    EXPECT_EQ(cat.ReadSelect(), 2);
}

TEST_F(EntriesTest, CopyOfAnUnreadableEntryAddsNothing) {
    const auto cat = catalogueOf(DeviceKind::Mouse, ProfileKind::Key);
    seed(cat, {"gone", "broken"});
    std::filesystem::remove(*cat.dataFile("gone"));
    writeRaw(*cat.dataFile("broken"), std::string("\x55\xAA") + std::string(30, '\0'));

    pick(cat, 0);
    CopyProfile(ctx, cat);
    EXPECT_THAT(ui.takeShownMessages(), ElementsAre(kMessageFileMissing));
    pick(cat, 1);
    CopyProfile(ctx, cat);
    EXPECT_THAT(ui.takeShownMessages(), ElementsAre(kMessageFileBadFormat));
    EXPECT_THAT(catalogued(cat), ElementsAre("gone", "broken"));
    EXPECT_EQ(ui.itemCount(profileControls(cat).list), 2);
}

TEST_F(EntriesTest, CopyNewRenameDeleteAndFriendsDoNothingWithoutASelection) {
    const auto cat = catalogueOf(DeviceKind::Mouse, ProfileKind::Lighting);
    seed(cat, {"one", "two"});
    ui.answer(ui::DialogAnswer::message(true));
    ui.setText(profileControls(cat).nameEdit, "three");
    CopyProfile(ctx, cat);
    RenameProfile(ctx, cat);
    DeleteProfile(ctx, cat);
    ImportProfile(ctx, cat);
    ExportProfile(ctx, cat);
    EXPECT_THAT(catalogued(cat), ElementsAre("one", "two"));
    EXPECT_TRUE(ui.takeShownMessages().empty());
    EXPECT_FALSE(ui.lastFileDialog().has_value());
}

TEST_F(EntriesTest, CopyWhoseNameWouldBeTooLongForAFileIsRefused) {
    const auto cat = catalogueOf(DeviceKind::Mouse, ProfileKind::Lighting);
    const std::string longName(250, 'x');
    seed(cat, {longName});
    pick(cat, 0);
    CopyProfile(ctx, cat);
    EXPECT_THAT(ui.takeShownMessages(), ElementsAre(kMessageProfileNameInvalid));
    EXPECT_EQ(ui.itemCount(profileControls(cat).list), 1);
    EXPECT_EQ(cat.ReadCount(), 1);
}

TEST_F(EntriesTest, RenameRefusesEmptyTakenAndUnsafeNames) {
    const auto cat = catalogueOf(DeviceKind::Keyboard, ProfileKind::Lighting);
    seed(cat, {"day", "night"});
    pick(cat, 0);
    const std::string edit(profileControls(cat).nameEdit);
    const auto before = fileBytes(*cat.dataFile("day"));

    ui.setText(edit, "");
    RenameProfile(ctx, cat);
    ui.setText(edit, "DAY");  // its own name, in another case
    RenameProfile(ctx, cat);
    ui.setText(edit, "Night");
    RenameProfile(ctx, cat);
    EXPECT_THAT(ui.takeShownMessages(),
                ElementsAre(kMessageRenameEmpty, kMessageRenameTaken, kMessageRenameTaken));

    const std::string tooLong(300, 'n');
    for (const std::string& bad :
         std::vector<std::string>{"../escape", "a/b", "line\nbreak", tooLong}) {
        ui.setText(edit, bad);
        RenameProfile(ctx, cat);
        EXPECT_THAT(ui.takeShownMessages(), ElementsAre(kMessageProfileNameInvalid)) << bad;
    }
    EXPECT_THAT(catalogued(cat), ElementsAre("day", "night"));
    EXPECT_THAT(listed(cat), ElementsAre("day", "night"));
    EXPECT_EQ(fileBytes(*cat.dataFile("day")), before);
    EXPECT_FALSE(std::filesystem::exists(cat.folder().parent_path() / "escape.led"));
}

TEST_F(EntriesTest, RenameMovesTheDataFileAndLeavesSelectionAndDeviceAlone) {
    const auto cat = catalogueOf(DeviceKind::Keyboard, ProfileKind::Lighting);
    seed(cat, {"day", "night"});
    pick(cat, 1);
    pick(cat, 0);
    const auto data = content(cat, "day");
    refreshed.clear();
    ui.setText(profileControls(cat).nameEdit, "Dawn");
    RenameProfile(ctx, cat);

    EXPECT_TRUE(ui.takeShownMessages().empty());
    EXPECT_THAT(listed(cat), ElementsAre("Dawn", "night"));
    EXPECT_THAT(catalogued(cat), ElementsAre("Dawn", "night"));
    EXPECT_EQ(content(cat, "Dawn"), data);
    EXPECT_FALSE(std::filesystem::exists(cat.folder() / "day.led"));
    EXPECT_EQ(ui.currentIndex(profileControls(cat).list), 0);
    EXPECT_EQ(cat.ReadSelect(), 0);
    EXPECT_TRUE(refreshed.empty());
}

TEST_F(EntriesTest, RenameOfAnEntryWithoutItsFileChangesNothing) {
    const auto cat = catalogueOf(DeviceKind::Mouse, ProfileKind::Key);
    seed(cat, {"lost"});
    pick(cat, 0);
    std::filesystem::remove(*cat.dataFile("lost"));
    ui.setText(profileControls(cat).nameEdit, "found");
    RenameProfile(ctx, cat);
    EXPECT_THAT(ui.takeShownMessages(), ElementsAre(kMessageFileMissing));
    EXPECT_THAT(catalogued(cat), ElementsAre("lost"));
}

TEST_F(EntriesTest, RenameThatCannotWriteTheNewFileKeepsTheOldOne) {
    const auto cat = catalogueOf(DeviceKind::Mouse, ProfileKind::Key);
    seed(cat, {"keep"});
    pick(cat, 0);
    const auto data = content(cat, "keep");
    // A folder in the way of the new file.
    std::filesystem::create_directory(cat.folder() / "blocked.pro");
    ui.setText(profileControls(cat).nameEdit, "blocked");
    RenameProfile(ctx, cat);
    EXPECT_THAT(catalogued(cat), ElementsAre("keep"));
    EXPECT_EQ(content(cat, "keep"), data);
    EXPECT_THAT(listed(cat), ElementsAre("keep"));
}

TEST_F(EntriesTest, DeleteOfTheOnlyEntryOrWithoutConfirmationChangesNothing) {
    const auto cat = catalogueOf(DeviceKind::Mousepad, ProfileKind::Lighting);
    seed(cat, {"solo"});
    pick(cat, 0);
    ui.answer(ui::DialogAnswer::message(true));
    DeleteProfile(ctx, cat);
    EXPECT_THAT(ui.takeShownMessages(), ElementsAre(kMessageDeleteLast));
    EXPECT_THAT(catalogued(cat), ElementsAre("solo"));
    EXPECT_TRUE(std::filesystem::exists(*cat.dataFile("solo")));

    NewProfile(ctx, cat);
    pick(cat, 0);
    ui.answer(ui::DialogAnswer::message(false));
    DeleteProfile(ctx, cat);
    EXPECT_THAT(ui.takeShownMessages(), ElementsAre(kMessageDeleteConfirm));
    EXPECT_THAT(catalogued(cat), ElementsAre("solo", "profile1"));
    EXPECT_TRUE(std::filesystem::exists(*cat.dataFile("solo")));
}

TEST_F(EntriesTest, DeleteMovesTheLaterLinksDownAndLeavesTheLastKeyBehind) {
    const auto cat = catalogueOf(DeviceKind::Mouse, ProfileKind::Device);
    seed(cat, {"a", "b", "c"});
    for (int i = 0; i < 3; ++i) {
        cat.WriteLinkFlag(i, true);
        cat.WriteProgramPath(i, "/opt/game" + std::to_string(i));
    }
    pick(cat, 1);
    ui.answer(ui::DialogAnswer::message(true));
    DeleteProfile(ctx, cat);

    EXPECT_THAT(ui.takeShownMessages(), ElementsAre(kMessageDeleteConfirm));
    EXPECT_EQ(cat.ReadCount(), 2);
    EXPECT_THAT(catalogued(cat), ElementsAre("a", "c"));
    EXPECT_THAT(listed(cat), ElementsAre("a", "c"));
    EXPECT_EQ(cat.ReadProgramPath(0), "/opt/game0");
    EXPECT_EQ(cat.ReadLinkFlag(1), 1);
    EXPECT_EQ(cat.ReadProgramPath(1), "/opt/game2");
    // Key 2 keeps what it had; nothing reads it below the count.
    EXPECT_EQ(iniValue(cat, "PROFILELIKEDEVICEEXE", 2), "1");
    EXPECT_EQ(iniValue(cat, "DEVICEPROCESS", 2), "/opt/game2");
    EXPECT_EQ(iniValue(cat, "PROFILEDEVICENAME", 2), "c");
    EXPECT_FALSE(std::filesystem::exists(cat.folder() / "b.config"));
    EXPECT_TRUE(std::filesystem::exists(cat.folder() / "c.config"));
    // The last entry is selected and applied, its link shown.
    EXPECT_EQ(ui.currentIndex(profileControls(cat).list), 1);
    EXPECT_EQ(cat.ReadSelect(), 1);
    const ProfileControls& c = profileControls(cat);
    EXPECT_TRUE(ui.checked(c.linkCheck));
    EXPECT_EQ(ui.text(c.linkEdit), "game2");
}

}  // namespace
}  // namespace rxt::test
