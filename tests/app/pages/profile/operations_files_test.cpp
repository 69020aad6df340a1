// Import, Export, Reset and Select: what reaches the files, the images and
// the desktop's pointer settings.

#include <set>

#include "app/pages/profile/program_link.h"
#include "app/ui/skin_resources.h"
#include "operations_fixture.h"
#include "platform/folders.h"
#include "profile/profile_payload.h"

namespace rxt::test {
namespace {

using ::testing::ElementsAre;

class FilesTest : public OperationsTest {
  protected:
    std::filesystem::path outside(const std::string& name) {
        std::filesystem::create_directories(env.home() / "exchange");
        return env.home() / "exchange" / name;
    }

    std::vector<uint8_t> mouseRecord0() {
        const auto records = env.images.mouse.records.snapshot();
        return {records.begin(), records.begin() + 64};
    }
};

TEST_F(FilesTest, ImportIntoADeviceCatalogueAddsAnEntryAndAcceptsAnotherKindsCode) {
    const auto cat = catalogueOf(DeviceKind::Mouse, ProfileKind::Device);
    seed(cat, {"profile1"});
    pick(cat, 0);
    const auto payload = patternPayload(cat, 42);
    const auto chosen = outside("friend.config");
    ASSERT_TRUE(WriteProfileFile(chosen, payload, profileKindCode(DeviceKind::Keyboard)));
    ui.answer(ui::DialogAnswer::open(chosen.string()));
    ImportProfile(ctx, cat);

    EXPECT_TRUE(ui.takeShownMessages().empty());
    EXPECT_THAT(catalogued(cat), ElementsAre("profile1", "profile2"));
    EXPECT_EQ(content(cat, "profile2"), payload);
    EXPECT_EQ(ui.currentIndex(profileControls(cat).list), 1);
    EXPECT_EQ(cat.ReadSelect(), 1);
    // The imported record is in the images.
    EXPECT_EQ(mouseRecord0(), std::vector<uint8_t>(payload.begin() + 512, payload.end()));
    // The dialog offered the catalogue's files.
    ASSERT_TRUE(ui.lastFileDialog());
    EXPECT_EQ(ui.lastFileDialog()->title, "dialog_import_profile_title");
    EXPECT_EQ(ui.lastFileDialog()->folder, dataFolderPath().string());
    EXPECT_EQ(ui.lastFileDialog()->fileName, "");
    EXPECT_EQ(ui.lastFileDialog()->defaultExtension, "config");
    ASSERT_EQ(ui.lastFileDialog()->filters.size(), 2u);
    EXPECT_EQ(ui.lastFileDialog()->filters[0].label, "filter_mouse_device_profile");
    EXPECT_EQ(ui.lastFileDialog()->filters[0].pattern, "*.config");
}

TEST_F(FilesTest, ImportIntoALightingCatalogueReplacesTheSelectedEntry) {
    const auto cat = catalogueOf(DeviceKind::Mouse, ProfileKind::Lighting);
    seed(cat, {"calm", "loud", "dark"});
    pick(cat, 1);
    const auto calm = content(cat, "calm");
    const auto payload = patternPayload(cat, 200);
    const auto chosen = outside("party.led");
    ASSERT_TRUE(WriteProfileFile(chosen, payload, cat.kindCode()));
    ui.answer(ui::DialogAnswer::open(chosen.string()));
    ImportProfile(ctx, cat);

    EXPECT_THAT(catalogued(cat), ElementsAre("calm", "loud", "dark"));
    EXPECT_EQ(content(cat, "loud"), payload);
    EXPECT_EQ(content(cat, "calm"), calm);
    // Back on the target, which is applied last.
    EXPECT_EQ(ui.currentIndex(profileControls(cat).list), 1);
    EXPECT_EQ(cat.ReadSelect(), 1);
    EXPECT_EQ(mouseRecord0(), payload);
}

TEST_F(FilesTest, ImportOfTheFirstEntryAppliesIt) {
    const auto cat = catalogueOf(DeviceKind::Mousepad, ProfileKind::Lighting);
    seed(cat, {"only"});
    pick(cat, 0);
    const auto payload = patternPayload(cat, 9);
    const auto chosen = outside("pad.led");
    ASSERT_TRUE(WriteProfileFile(chosen, payload, cat.kindCode()));
    ui.answer(ui::DialogAnswer::open(chosen.string()));
    ImportProfile(ctx, cat);
    EXPECT_EQ(ui.currentIndex(profileControls(cat).list), 0);
    const auto records = env.images.mousepad.records.snapshot();
    EXPECT_TRUE(std::equal(payload.begin(), payload.end(), records.begin()));
}

TEST_F(FilesTest, ImportOfAMissingOrMalformedFileKeepsTheTargetsContent) {
    const auto device = catalogueOf(DeviceKind::Keyboard, ProfileKind::Device);
    seed(device, {"profile1"});
    pick(device, 0);
    const auto bad = outside("bad.config");
    writeRaw(bad, std::string("\x55\xAA") + std::string(100, '\x03'));  // magic stored big-endian
    ui.answer(ui::DialogAnswer::open(bad.string()));
    ImportProfile(ctx, device);
    EXPECT_THAT(ui.takeShownMessages(), ElementsAre(kMessageFileBadFormat));
    // The new entry stays, with the default content.
    EXPECT_THAT(catalogued(device), ElementsAre("profile1", "profile2"));
    EXPECT_EQ(content(device, "profile2"), defaultContent(device));

    const auto lighting = catalogueOf(DeviceKind::Keyboard, ProfileKind::Lighting);
    seed(lighting, {"mine"});
    pick(lighting, 0);
    const auto mine = content(lighting, "mine");
    ui.answer(ui::DialogAnswer::open(outside("nowhere.led").string()));
    ImportProfile(ctx, lighting);
    EXPECT_THAT(ui.takeShownMessages(), ElementsAre(kMessageFileMissing));
    EXPECT_EQ(content(lighting, "mine"), mine);

    // Cancelling the dialog does nothing at all.
    ui.answer(ui::DialogAnswer::cancel(ui::DialogAnswer::Kind::Open));
    ImportProfile(ctx, device);
    EXPECT_EQ(device.ReadCount(), 2);
}

TEST_F(FilesTest, ImportIntoADeviceCatalogueWithoutItsDefaultStillFillsTheNewEntry) {
    const auto cat = catalogueOf(DeviceKind::Mouse, ProfileKind::Device);
    seed(cat, {"precious"});
    pick(cat, 0);
    const auto precious = content(cat, "precious");
    std::filesystem::remove(DefaultProfileFile(cat, 0, env.defaults()));
    const auto payload = patternPayload(cat, 77);
    const auto chosen = outside("in.config");
    ASSERT_TRUE(WriteProfileFile(chosen, payload, cat.kindCode()));
    ui.answer(ui::DialogAnswer::open(chosen.string()));
    ImportProfile(ctx, cat);
    EXPECT_THAT(ui.takeShownMessages(), ElementsAre(kMessageFileMissing));
    // The selected entry is left alone; the import went to the new one.
    EXPECT_EQ(content(cat, "precious"), precious);
    EXPECT_EQ(content(cat, "profile1"), payload);
    EXPECT_EQ(ui.currentIndex(profileControls(cat).list), 1);
}

TEST_F(FilesTest, ExportWritesTheSelectedContentAndNothingWhenItsFileIsMissing) {
    const auto cat = catalogueOf(DeviceKind::Mouse, ProfileKind::Key);
    seed(cat, {"keys", "lost"});
    pick(cat, 0);
    const auto target = outside("keys.pro");
    ui.answer(ui::DialogAnswer::save(target.string()));
    ExportProfile(ctx, cat);
    EXPECT_TRUE(ui.takeShownMessages().empty());
    EXPECT_EQ(fileBytes(target), fileBytes(*cat.dataFile("keys")));
    const auto header = fileBytes(target);
    ASSERT_GE(header.size(), 6u);
    EXPECT_EQ(header[4], profileKindCode(DeviceKind::Mouse));
    // The dialog suggested the entry's own name.
    ASSERT_TRUE(ui.lastFileDialog());
    EXPECT_EQ(ui.lastFileDialog()->title, "dialog_export_profile_title");
    EXPECT_EQ(ui.lastFileDialog()->fileName, "keys.pro");
    EXPECT_EQ(ui.lastFileDialog()->filters.at(0).label, "filter_mouse_key_profile");

    pick(cat, 1);
    std::filesystem::remove(*cat.dataFile("lost"));
    const auto nothing = outside("lost.pro");
    ui.answer(ui::DialogAnswer::save(nothing.string()));
    ExportProfile(ctx, cat);
    EXPECT_THAT(ui.takeShownMessages(), ElementsAre(kMessageFileMissing));
    EXPECT_FALSE(std::filesystem::exists(nothing));
}

TEST_F(FilesTest, ExportWritesTheChosenNameAndLeavesAFileInAnotherCaseAlone) {
    // The save dialog asked about the chosen name only; another file that
    // differs from it in letter case is not the user's target.
    const auto cat = catalogueOf(DeviceKind::Mouse, ProfileKind::Key);
    seed(cat, {"keys"});
    pick(cat, 0);
    const auto other = outside("KEYS.PRO");
    writeRaw(other, "someone else's file");
    const auto target = outside("keys.pro");
    ui.answer(ui::DialogAnswer::save(target.string()));
    ExportProfile(ctx, cat);
    EXPECT_TRUE(ui.takeShownMessages().empty());
    EXPECT_EQ(readRaw(other), "someone else's file");
    EXPECT_EQ(fileBytes(target), fileBytes(*cat.dataFile("keys")));
}

TEST_F(FilesTest, MouseDeviceResetKeepsThePointerValuesOfBeforeInTheFileAndSetsTheDesktops) {
    const auto cat = catalogueOf(DeviceKind::Mouse, ProfileKind::Device);
    seed(cat, {"tuned"});
    pick(cat, 0);
    env.host.pointerSpeed = 14;
    env.host.wheelLines = 9;
    reported.clear();
    ResetProfile(ctx, cat);

    const auto def = defaultContent(cat);
    const auto saved = content(cat, "tuned");
    ASSERT_EQ(saved.size(), def.size());
    // Key bank and the record's device bytes come from the default ...
    EXPECT_TRUE(std::equal(def.begin(), def.begin() + 512, saved.begin()));
    EXPECT_TRUE(std::equal(def.begin() + 512, def.begin() + 512 + 52, saved.begin() + 512));
    // ... the pointer bytes are the values held before the reset.
    EXPECT_EQ(saved[512 + 52], 14);
    EXPECT_EQ(saved[512 + 53], 9);
    // The desktop gets the reset values, the controls show them.
    EXPECT_EQ(env.pointer().pointerSpeed(), 10);
    EXPECT_EQ(env.pointer().wheelScrollLines(), 6);
    EXPECT_EQ(env.host.pointerSpeed.load(), 10);
    EXPECT_EQ(reported,
              (std::vector<std::string>{"pointer slider 3", "pointer slider 4", "wheel lines 6"}));
}

TEST_F(FilesTest, MouseLightingResetSavesBothMouseCataloguesAndSetsOneWheelLine) {
    const auto lighting = catalogueOf(DeviceKind::Mouse, ProfileKind::Lighting);
    const auto device = catalogueOf(DeviceKind::Mouse, ProfileKind::Device);
    seed(lighting, {"glow"});
    seed(device, {"dev"});
    pick(lighting, 0);
    env.host.pointerSpeed = 6;
    env.host.wheelLines = 2;
    reported.clear();
    ResetProfile(ctx, lighting);
    const auto def = defaultContent(lighting);
    const auto glow = content(lighting, "glow");
    EXPECT_TRUE(std::equal(def.begin(), def.begin() + 52, glow.begin()));
    EXPECT_EQ(glow[52], 6);
    EXPECT_EQ(glow[53], 2);
    // The device entry got the same record.
    const auto dev = content(device, "dev");
    EXPECT_TRUE(std::equal(def.begin(), def.begin() + 52, dev.begin() + 512));
    EXPECT_EQ(env.pointer().pointerSpeed(), 10);
    EXPECT_EQ(env.pointer().wheelScrollLines(), 1);
    EXPECT_EQ(reported,
              (std::vector<std::string>{"pointer slider 4", "pointer slider 5", "wheel lines 1"}));
}

TEST_F(FilesTest, ResetWithoutItsDefaultChangesNothing) {
    const auto cat = catalogueOf(DeviceKind::Keyboard, ProfileKind::Key);
    seed(cat, {"mine"});
    pick(cat, 0);
    const auto mine = content(cat, "mine");
    const auto bank = env.images.keyboard.banks[0].snapshot();
    std::filesystem::remove(DefaultProfileFile(cat, 0, env.defaults()));
    ResetProfile(ctx, cat);
    EXPECT_THAT(ui.takeShownMessages(), ElementsAre(kMessageFileMissing));
    EXPECT_EQ(content(cat, "mine"), mine);
    EXPECT_EQ(env.images.keyboard.banks[0].snapshot(), bank);
}

TEST_F(FilesTest, ResetOfTheMousepadGoesToTheRememberedEntryEvenWithoutASelection) {
    const auto cat = catalogueOf(DeviceKind::Mousepad, ProfileKind::Lighting);
    seed(cat, {"a", "b"});
    cat.WriteSelect(1);
    ResetProfile(ctx, cat);
    EXPECT_EQ(content(cat, "b"), defaultContent(cat));
    EXPECT_NE(content(cat, "a"), defaultContent(cat));
    EXPECT_THAT(refreshed, ::testing::Contains(Page::MousepadLighting));
}

TEST_F(FilesTest, SelectShowsTheLinkRemembersTheEntryAndLoadsIt) {
    const auto cat = catalogueOf(DeviceKind::Mousepad, ProfileKind::Lighting);
    seed(cat, {"plain", "linked"});
    cat.WriteLinkFlag(1, true);
    cat.WriteProgramPath(1, "/opt/games/racer");
    const ProfileControls& c = profileControls(cat);

    pick(cat, 1);
    EXPECT_EQ(cat.ReadSelect(), 1);
    EXPECT_EQ(ui.text(c.nameEdit), "linked");
    EXPECT_TRUE(ui.checked(c.linkCheck));
    EXPECT_EQ(ui.text(c.linkEdit), "racer");
    EXPECT_TRUE(ui.visible(c.linkRow));
    const auto records = env.images.mousepad.records.snapshot();
    const auto linked = content(cat, "linked");
    EXPECT_TRUE(std::equal(linked.begin(), linked.end(), records.begin()));

    pick(cat, 0);
    EXPECT_EQ(cat.ReadSelect(), 0);
    EXPECT_FALSE(ui.checked(c.linkCheck));
    EXPECT_EQ(ui.text(c.linkEdit), " ");
}

TEST_F(FilesTest, SelectingTheShownEntryAgainDoesNotReapplyIt) {
    const auto cat = catalogueOf(DeviceKind::Mousepad, ProfileKind::Lighting);
    seed(cat, {"a", "b"});
    EXPECT_TRUE(SelectProfileEntry(ctx, cat, 1));
    EXPECT_EQ(refreshed.size(), 1u);
    EXPECT_TRUE(SelectProfileEntry(ctx, cat, 1));
    EXPECT_EQ(refreshed.size(), 1u);
    EXPECT_FALSE(SelectProfileEntry(ctx, cat, 2));
    EXPECT_EQ(ui.currentIndex(profileControls(cat).list), 1);
}

TEST_F(FilesTest, SavingWithSelectPastTheEndWritesTheDefaultName) {
    const auto cat = catalogueOf(DeviceKind::Mouse, ProfileKind::Lighting);
    seed(cat, {"only"});
    cat.WriteSelect(5);
    const auto only = content(cat, "only");
    EXPECT_TRUE(SaveSelectedProfile(ctx, cat));
    EXPECT_TRUE(std::filesystem::exists(cat.folder() / "0.led"));
    EXPECT_EQ(content(cat, "only"), only);
}

}  // namespace
}  // namespace rxt::test

namespace rxt {
namespace {

TEST(ProfileFileDialogs, EveryCatalogueDescribesItsFilesInTheThreeLanguages) {
    const auto skin = std::filesystem::path(RXT_TESTDATA_DIR) / ".." / ".." / "skin";
    std::set<std::string> keys;
    for (const ProfileCatalogue& cat : ProfileCatalogue::all()) {
        const ui::FileDialogOptions import = profileFileDialog(cat);
        const ui::FileDialogOptions exportTo = profileExportDialog(cat, "mine");
        EXPECT_EQ(import.filters.at(0).label, profileFilterKey(cat));
        EXPECT_EQ(exportTo.fileName, "mine" + std::string(cat.extension()));
        EXPECT_EQ(exportTo.folder, import.folder);
        keys.insert(profileFilterKey(cat));
    }
    EXPECT_EQ(keys.size(), 7u);  // one description per catalogue
    for (const char* file : {"lan_en.xml", "lan_cn.xml", "lan_sn.xml"}) {
        const ui::LanguageTable table = ui::readLanguageFile((skin / file).string());
        for (const auto& key : keys) {
            EXPECT_TRUE(table.texts.count(key)) << key << " missing from " << file;
        }
        EXPECT_TRUE(table.texts.count(programFileDialog().filters.at(0).label)) << file;
    }
    EXPECT_EQ(programFileDialog().folder, kProgramsFolder);
}

}  // namespace
}  // namespace rxt
