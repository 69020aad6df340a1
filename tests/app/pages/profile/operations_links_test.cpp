// Program links: the link check box, the browse and cancel buttons.

#include "operations_fixture.h"

namespace rxt::test {
namespace {

using ::testing::ElementsAre;

class LinksTest : public OperationsTest {
  protected:
    // Programs to link, as files in the test's account.
    std::string program(const std::string& name) {
        const auto dir = env.home() / "bin";
        std::filesystem::create_directories(dir);
        writeRaw(dir / name, "#!/bin/sh\n");
        return (dir / name).string();
    }

    void check(const ProfileCatalogue& cat, bool on) {
        // The box toggles before its notification arrives.
        ui.setChecked(profileControls(cat).linkCheck, on);
        LinkCheckChanged(ctx, cat, on);
    }
};

TEST_F(LinksTest, CheckingTheBoxLinksTheChosenProgram) {
    const auto cat = catalogueOf(DeviceKind::Mouse, ProfileKind::Device);
    seed(cat, {"a", "b"});
    pick(cat, 1);
    const std::string game = program("racer");
    ui.answer(ui::DialogAnswer::open(game));
    check(cat, true);

    const ProfileControls& c = profileControls(cat);
    EXPECT_EQ(cat.ReadLinkFlag(1), 1);
    EXPECT_EQ(cat.ReadProgramPath(1), game);
    EXPECT_EQ(cat.ReadLinkFlag(0), 0);
    EXPECT_TRUE(ui.checked(c.linkCheck));
    EXPECT_EQ(ui.text(c.linkEdit), "racer");
    EXPECT_TRUE(ui.visible(c.linkRow));

    // Clearing the box unlinks.
    check(cat, false);
    EXPECT_EQ(cat.ReadLinkFlag(1), 0);
    EXPECT_EQ(cat.ReadProgramPath(1), " ");
    EXPECT_EQ(ui.text(c.linkEdit), " ");
}

TEST_F(LinksTest, ACancelledOrUnusableChoiceUnlinksAndHidesTheRow) {
    const auto cat = catalogueOf(DeviceKind::Mousepad, ProfileKind::Lighting);
    seed(cat, {"a"});
    cat.WriteLinkFlag(0, true);
    cat.WriteProgramPath(0, "/usr/bin/old");
    pick(cat, 0);
    const ProfileControls& c = profileControls(cat);
    for (const ui::DialogAnswer& answer :
         {ui::DialogAnswer::cancel(ui::DialogAnswer::Kind::Open),
          ui::DialogAnswer::open("relative/game"), ui::DialogAnswer::open("/opt/two\nlines")}) {
        ui.setVisible(c.linkRow, true);
        cat.WriteLinkFlag(0, true);
        ui.answer(answer);
        check(cat, true);
        EXPECT_EQ(cat.ReadLinkFlag(0), 0) << answer.path;
        EXPECT_EQ(cat.ReadProgramPath(0), " ");
        EXPECT_FALSE(ui.checked(c.linkCheck));
        EXPECT_FALSE(ui.visible(c.linkRow));
        EXPECT_EQ(ui.text(c.linkEdit), " ");
    }
    EXPECT_TRUE(ui.takeShownMessages().empty());
}

TEST_F(LinksTest, AProgramLinkedAlreadyIsRefusedWhateverItsLetterCase) {
    const auto cat = catalogueOf(DeviceKind::Keyboard, ProfileKind::Lighting);
    seed(cat, {"a", "b"});
    const std::string game = program("Racer");
    cat.WriteLinkFlag(0, true);
    cat.WriteProgramPath(0, game);
    pick(cat, 1);
    std::string other = game;
    other.back() = 'R';  // ".../RaceR": the same program to the test
    program("RaceR");
    ui.answer(ui::DialogAnswer::open(other));
    check(cat, true);
    EXPECT_THAT(ui.takeShownMessages(), ElementsAre(kMessageAlreadyLinked));
    EXPECT_FALSE(ui.checked(profileControls(cat).linkCheck));
    EXPECT_EQ(cat.ReadLinkFlag(1), 0);
    EXPECT_EQ(cat.ReadProgramPath(0), game);
}

TEST_F(LinksTest, BrowsingTestsDuplicatesOnlyForTheDeviceCataloguesSelectedEntryIncluded) {
    const auto device = catalogueOf(DeviceKind::Mouse, ProfileKind::Device);
    seed(device, {"a"});
    const std::string game = program("racer");
    device.WriteLinkFlag(0, true);
    device.WriteProgramPath(0, game);
    pick(device, 0);
    ui.answer(ui::DialogAnswer::open(game));
    BrowseLink(ctx, device);
    EXPECT_THAT(ui.takeShownMessages(), ElementsAre(kMessageAlreadyLinked));
    EXPECT_FALSE(ui.checked(profileControls(device).linkCheck));

    // The key catalogue links a program twice: the lower entry will win.
    const auto keys = catalogueOf(DeviceKind::Mouse, ProfileKind::Key);
    seed(keys, {"a", "b"});
    keys.WriteLinkFlag(0, true);
    keys.WriteProgramPath(0, game);
    pick(keys, 1);
    ui.answer(ui::DialogAnswer::open(game));
    BrowseLink(ctx, keys);
    EXPECT_TRUE(ui.takeShownMessages().empty());
    EXPECT_EQ(keys.ReadLinkFlag(1), 1);
    EXPECT_EQ(keys.ReadProgramPath(1), game);
    EXPECT_TRUE(ui.checked(profileControls(keys).linkCheck));

    // Cancel or a relative path changes nothing.
    ui.answer(ui::DialogAnswer::open("racer"));
    BrowseLink(ctx, keys);
    ui.answer(ui::DialogAnswer::cancel(ui::DialogAnswer::Kind::Open));
    BrowseLink(ctx, keys);
    EXPECT_EQ(keys.ReadProgramPath(1), game);
}

TEST_F(LinksTest, ALinkThroughASymbolicLinkStoresTheProgramItLeadsTo) {
    const auto cat = catalogueOf(DeviceKind::Mouse, ProfileKind::Device);
    seed(cat, {"a"});
    pick(cat, 0);
    const std::string real = program("game-1.2");
    const auto alias = env.home() / "bin" / "game";
    std::filesystem::create_symlink(real, alias);
    ui.answer(ui::DialogAnswer::open(alias.string()));
    BrowseLink(ctx, cat);
    EXPECT_EQ(cat.ReadProgramPath(0), real);
    EXPECT_EQ(ui.text(profileControls(cat).linkEdit), "game-1.2");
}

TEST_F(LinksTest, KeyboardDeviceAndKeyCataloguesShareTheirProgramPaths) {
    const auto device = catalogueOf(DeviceKind::Keyboard, ProfileKind::Device);
    const auto keys = catalogueOf(DeviceKind::Keyboard, ProfileKind::Key);
    seed(device, {"d"});
    seed(keys, {"k"});
    pick(device, 0);
    pick(keys, 0);
    const std::string first = program("first");
    const std::string second = program("second");
    ui.answer(ui::DialogAnswer::open(first));
    BrowseLink(ctx, device);
    ui.answer(ui::DialogAnswer::open(second));
    BrowseLink(ctx, keys);
    EXPECT_EQ(iniValue(device, "PROCESS", 0), second);
    EXPECT_EQ(device.ReadProgramPath(0), second);

    // The device catalogue's cancel clears the one shared path.
    CancelLink(ctx, device);
    EXPECT_EQ(iniValue(device, "PROCESS", 0), " ");
    EXPECT_EQ(device.ReadLinkFlag(0), 0);
    EXPECT_EQ(keys.ReadLinkFlag(0), 1);
    EXPECT_FALSE(ui.checked(profileControls(device).linkCheck));
}

TEST_F(LinksTest, LinkOperationsWithoutASelectionLinkNothing) {
    const auto cat = catalogueOf(DeviceKind::Mouse, ProfileKind::Lighting);
    seed(cat, {"a"});
    ui.answer(ui::DialogAnswer::open(program("x")));
    check(cat, true);
    BrowseLink(ctx, cat);
    EXPECT_EQ(cat.ReadLinkFlag(0), 0);
    EXPECT_FALSE(ui.checked(profileControls(cat).linkCheck));
}

TEST_F(LinksTest, AHandStoredPathWithoutAFolderIsShownWhole) {
    const auto cat = catalogueOf(DeviceKind::Mouse, ProfileKind::Key);
    seed(cat, {"a"});
    cat.WriteLinkFlag(0, true);
    cat.WriteProgramPath(0, "game.exe");
    pick(cat, 0);
    EXPECT_EQ(ui.text(profileControls(cat).linkEdit), "game.exe");
    EXPECT_EQ(cat.ReadSelect(), 0);
}

}  // namespace
}  // namespace rxt::test
