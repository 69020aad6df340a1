// Start-up population of the seven ProfileLists, and the first run that
// creates "profile1" from the default file of each catalogue.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/ui/memory_ui.h"
#include "platform/ini_file.h"
#include "app/pages/profile/profile_lists.h"
#include "app/pages/profile/profile_page_names.h"
#include "profile/default_profiles.h"
#include "profile/profile_file.h"
#include "support/profile_test_env.h"

namespace rxt {
namespace {

using test::ProfileTestEnv;
using test::readRaw;
using test::writeRaw;

class CataloguePopulationTest : public ::testing::Test {
  protected:
    CataloguePopulationTest() {
        for (const ProfileCatalogue& c : ProfileCatalogue::all()) {
            ui.addControl(profileControls(c).list, ui::ControlKind::Combo);
        }
        static_cast<ProfileContext&>(ctx) = env.context();
        ctx.ui = &ui;
    }

    std::vector<std::string> texts(const ProfileCatalogue& c) const {
        std::vector<std::string> out;
        for (const ui::Item& item : ui.items(profileControls(c).list)) {
            out.push_back(item.text);
            EXPECT_EQ(item.userData, item.text);
        }
        return out;
    }

    static ProfileCatalogue catalogue(DeviceKind d, ProfileKind k) {
        return *ProfileCatalogue::find(d, k);
    }

    ProfileTestEnv env;
    ui::MemoryUi ui;
    ProfilePageContext ctx;
};

TEST_F(CataloguePopulationTest, FreshAccountGetsFoldersCataloguesAndOneProfilePerCatalogue) {
    ASSERT_FALSE(std::filesystem::exists(env.dataFolder()));
    PopulateCatalogues(ctx);

    for (const char* kind : {"ms", "mp", "kb"}) {
        EXPECT_TRUE(std::filesystem::is_directory(env.folder(kind))) << kind;
        EXPECT_TRUE(std::filesystem::is_regular_file(env.folder(kind) /
                                                     (std::string(kind) + "Profile.ini")))
            << kind;
    }
    for (const ProfileCatalogue& c : ProfileCatalogue::all()) {
        SCOPED_TRACE(c.displayName());
        EXPECT_EQ(texts(c), std::vector<std::string>{"profile1"});
        EXPECT_EQ(ui.currentIndex(profileControls(c).list), -1);
        EXPECT_EQ(c.ReadCount(), 1);
        EXPECT_EQ(c.ReadSelect(), 0);
        EXPECT_EQ(c.ReadName(0), "profile1");
        EXPECT_EQ(c.ReadLinkFlag(0), 0);
        EXPECT_TRUE(iniFind(c.path(), c.sections().linkFlag, "0"));

        // The data file holds the default's payload behind the catalogue's kind code.
        const std::string file = readRaw(c.folder() / ("profile1" + std::string(c.extension())));
        ASSERT_EQ(file.size(), 16 + c.payloadSize());
        EXPECT_EQ(static_cast<uint8_t>(file[4]), c.kindCode());
        const std::vector<uint8_t> expected = defaultPayload(c, 0);
        EXPECT_EQ(file.substr(16), std::string(expected.begin(), expected.end()));
    }
    EXPECT_TRUE(ui.takeShownMessages().empty());
}

TEST_F(CataloguePopulationTest, KeyboardFirstRunReadsTheDefaultsOfTheCurrentVariant) {
    env.images.setKeyboardVariant(1);
    const ProfileCatalogue kbKey = catalogue(DeviceKind::Keyboard, ProfileKind::Key);
    ASSERT_EQ(PopulateCatalogue(ctx, kbKey), PopulateResult::Created);
    const std::vector<uint8_t> variant1 = defaultPayload(kbKey, 1);
    ASSERT_NE(variant1, defaultPayload(kbKey, 0));
    EXPECT_EQ(readRaw(kbKey.folder() / "profile1.pro").substr(16),
              std::string(variant1.begin(), variant1.end()));
}

TEST_F(CataloguePopulationTest, ExistingEntriesAreListedInIndexOrderWithoutSelection) {
    std::filesystem::create_directories(env.folder("ms"));
    writeRaw(env.folder("ms") / "msProfile.ini",
             "[PROFILEDENGCOUNT]\ncount=3\n[PROFILEDENGSELECT]\nselect=2\n"
             "[PROFILEDENGNAME]\n0=calm\n2=party\n5=leftover\n");
    const ProfileCatalogue msLighting = catalogue(DeviceKind::Mouse, ProfileKind::Lighting);
    EXPECT_EQ(PopulateCatalogue(ctx, msLighting), PopulateResult::Listed);
    // The missing name of entry 1 reads as "0"; keys past count are ignored.
    EXPECT_EQ(texts(msLighting), (std::vector<std::string>{"calm", "0", "party"}));
    EXPECT_EQ(ui.currentIndex(profileControls(msLighting).list), -1);
    // Nothing is written for a catalogue that has entries.
    EXPECT_FALSE(std::filesystem::exists(env.folder("ms") / "profile1.led"));
}

TEST_F(CataloguePopulationTest, AHugeCountListsTheStoredNamesWithoutRunningOn) {
    // A damaged count must not keep the start reading made-up entries for ever.
    std::filesystem::create_directories(env.folder("mp"));
    std::string names;
    for (int i = 0; i < 120; ++i) {
        if (i != 7) {  // a gap: the entry reads as "0", the later ones still list
            names += std::to_string(i) + "=p" + std::to_string(i) + "\n";
        }
    }
    writeRaw(env.folder("mp") / "mpProfile.ini",
             "[PROFILEDENGCOUNT]\ncount=2147483647\n[PROFILEDENGNAME]\n" + names);
    const ProfileCatalogue mp = catalogue(DeviceKind::Mousepad, ProfileKind::Lighting);
    EXPECT_EQ(PopulateCatalogue(ctx, mp), PopulateResult::Listed);
    const std::vector<std::string> shown = texts(mp);
    ASSERT_EQ(shown.size(), 120u);
    EXPECT_EQ(shown.front(), "p0");
    EXPECT_EQ(shown[7], "0");
    EXPECT_EQ(shown.back(), "p119");

    // With hardly any names (one of them far out) the made-up entries stop a
    // hundred beyond the names.
    const ProfileCatalogue msKey = catalogue(DeviceKind::Mouse, ProfileKind::Key);
    std::filesystem::create_directories(env.folder("ms"));
    writeRaw(env.folder("ms") / "msProfile.ini",
             "[PROFILECOUNT]\ncount=99999999999\n[PROFILENAME]\n0=keys\n2147483647=far\n");
    EXPECT_EQ(PopulateCatalogue(ctx, msKey), PopulateResult::Listed);
    const std::vector<std::string> few = texts(msKey);
    ASSERT_EQ(few.size(), 102u);
    EXPECT_EQ(few[0], "keys");
    EXPECT_EQ(few[1], "0");
}

TEST_F(CataloguePopulationTest, CountThatIsNotANumberCountsAsFirstRun) {
    const ProfileCatalogue mp = catalogue(DeviceKind::Mousepad, ProfileKind::Lighting);
    std::filesystem::create_directories(env.folder("mp"));
    writeRaw(mp.path(), "[PROFILEDENGCOUNT]\ncount=abc\n[PROFILEDENGNAME]\n0=old\n");
    EXPECT_EQ(PopulateCatalogue(ctx, mp), PopulateResult::Created);
    EXPECT_EQ(iniRead(mp.path(), "PROFILEDENGCOUNT", "count", ""), "1");
    EXPECT_EQ(mp.ReadName(0), "profile1");
    EXPECT_EQ(texts(mp), std::vector<std::string>{"profile1"});
}

TEST_F(CataloguePopulationTest, MissingDefaultShowsMessage8AndLeavesTheCatalogueEmpty) {
    const ProfileCatalogue msKey = catalogue(DeviceKind::Mouse, ProfileKind::Key);
    std::filesystem::remove(env.defaults() / "mskeydefault.pro");
    EXPECT_EQ(PopulateCatalogue(ctx, msKey), PopulateResult::NoDefault);
    EXPECT_EQ(ui.takeShownMessages(), std::vector<std::string>{"message_text_8"});
    EXPECT_TRUE(texts(msKey).empty());
    EXPECT_FALSE(iniFind(msKey.path(), "PROFILECOUNT", "count"));
    EXPECT_FALSE(std::filesystem::exists(env.folder("ms") / "profile1.pro"));

    // The next start tries again.
    std::string error;
    ASSERT_TRUE(writeDefaultProfileFiles(env.defaults(), error));
    EXPECT_EQ(PopulateCatalogue(ctx, msKey), PopulateResult::Created);
}

TEST_F(CataloguePopulationTest, MalformedDefaultShowsMessage9AndTheOthersStillRun) {
    writeRaw(env.defaults() / "mpdengdefault.led", std::string("\x55\xAA", 2) + std::string(78, 0));
    PopulateCatalogues(ctx);
    EXPECT_EQ(ui.takeShownMessages(), std::vector<std::string>{"message_text_9"});
    const ProfileCatalogue mp = catalogue(DeviceKind::Mousepad, ProfileKind::Lighting);
    EXPECT_TRUE(texts(mp).empty());
    EXPECT_EQ(mp.ReadCount(), 0);
    for (const ProfileCatalogue& c : ProfileCatalogue::all()) {
        if (!(c == mp)) {
            EXPECT_EQ(texts(c), std::vector<std::string>{"profile1"}) << c.displayName();
        }
    }
}

TEST_F(CataloguePopulationTest, ShortDefaultMakesAProfileWithZerosForTheRest) {
    // The default device file rewritten by the export of the default key table.
    const std::vector<uint8_t> table(512, 0x20);
    ASSERT_TRUE(WriteKeyboardDefaultDeviceFile(0, table, env.defaults()));
    const ProfileCatalogue kbDevice = catalogue(DeviceKind::Keyboard, ProfileKind::Device);
    ASSERT_EQ(PopulateCatalogue(ctx, kbDevice), PopulateResult::Created);
    const std::string file = readRaw(kbDevice.folder() / "profile1.config");
    ASSERT_EQ(file.size(), 16u + 2470u);
    EXPECT_EQ(file.substr(16, 512), std::string(512, '\x20'));
    EXPECT_EQ(file.substr(16 + 512), std::string(1958, '\0'));
}

TEST_F(CataloguePopulationTest, AnExistingProfile1InAnotherCaseIsOverwritten) {
    const ProfileCatalogue mp = catalogue(DeviceKind::Mousepad, ProfileKind::Lighting);
    std::filesystem::create_directories(env.folder("mp"));
    writeRaw(env.folder("mp") / "PROFILE1.LED", "stale");
    ASSERT_EQ(PopulateCatalogue(ctx, mp), PopulateResult::Created);
    EXPECT_EQ(readRaw(env.folder("mp") / "PROFILE1.LED").size(), 80u);
    std::vector<std::string> files;
    for (const auto& e : std::filesystem::directory_iterator(env.folder("mp"))) {
        files.push_back(e.path().filename().string());
    }
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<std::string>{"PROFILE1.LED", "mpProfile.ini"}));
}

}  // namespace
}  // namespace rxt
