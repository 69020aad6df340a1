// The catalogue's ini layout: sections per catalogue, reading conventions,
// the shared program-path section of the keyboard, catalogues carried over
// from Windows, and the check of names that become file names.

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "platform/ini_file.h"
#include "profile/profile_catalogue.h"
#include "support/profile_test_env.h"

namespace rxt {
namespace {

using test::ProfileTestEnv;
using test::readRaw;
using test::utf16le;
using test::writeRaw;

ProfileCatalogue catalogue(DeviceKind d, ProfileKind k) {
    return *ProfileCatalogue::find(d, k);
}

class CatalogueIniTest : public ::testing::Test {
  protected:
    ProfileTestEnv env;
    ProfileCatalogue msDevice = catalogue(DeviceKind::Mouse, ProfileKind::Device);
    ProfileCatalogue msKey = catalogue(DeviceKind::Mouse, ProfileKind::Key);
    ProfileCatalogue kbDevice = catalogue(DeviceKind::Keyboard, ProfileKind::Device);
    ProfileCatalogue kbLighting = catalogue(DeviceKind::Keyboard, ProfileKind::Lighting);
    ProfileCatalogue kbKey = catalogue(DeviceKind::Keyboard, ProfileKind::Key);
    ProfileCatalogue mpLighting = catalogue(DeviceKind::Mousepad, ProfileKind::Lighting);
};

TEST_F(CatalogueIniTest, SevenCataloguesWithTheirFilesAndSizes) {
    const auto& all = ProfileCatalogue::all();
    std::set<std::pair<DeviceKind, ProfileKind>> kinds;
    for (const ProfileCatalogue& c : all) {
        kinds.insert({c.device(), c.kind()});
        EXPECT_EQ(ProfileCatalogue::find(c.device(), c.kind()), c);
    }
    EXPECT_EQ(kinds.size(), 7u);
    EXPECT_FALSE(ProfileCatalogue::find(DeviceKind::Mousepad, ProfileKind::Device));
    EXPECT_FALSE(ProfileCatalogue::find(DeviceKind::Mousepad, ProfileKind::Key));

    EXPECT_EQ(msDevice.payloadSize(), 576u);
    EXPECT_EQ(catalogue(DeviceKind::Mouse, ProfileKind::Lighting).payloadSize(), 64u);
    EXPECT_EQ(msKey.payloadSize(), 512u);
    EXPECT_EQ(kbDevice.payloadSize(), 2470u);
    EXPECT_EQ(kbLighting.payloadSize(), 1958u);
    EXPECT_EQ(kbKey.payloadSize(), 512u);
    EXPECT_EQ(mpLighting.payloadSize(), 64u);

    EXPECT_EQ(msDevice.kindCode(), 2);
    EXPECT_EQ(kbKey.kindCode(), 1);
    EXPECT_EQ(mpLighting.kindCode(), 3);
    EXPECT_EQ(kbDevice.extension(), ".config");
    EXPECT_EQ(kbLighting.extension(), ".led");
    EXPECT_EQ(msKey.extension(), ".pro");

    EXPECT_EQ(kbDevice.defaultFileName(0), "kbdevicedefault.config");
    EXPECT_EQ(kbDevice.defaultFileName(1), "kbdevice15default.config");
    EXPECT_EQ(kbLighting.defaultFileName(1), "kb15dengdefault.led");
    EXPECT_EQ(kbKey.defaultFileName(1), "kbkey15default.pro");
    EXPECT_EQ(msDevice.defaultFileName(1), "msdevicedefault.config");
    EXPECT_EQ(mpLighting.defaultFileName(0), "mpdengdefault.led");
}

TEST_F(CatalogueIniTest, PathsLieInTheKindFolderUnderTheDataFolder) {
    EXPECT_EQ(std::filesystem::path(msDevice.path()).lexically_normal(),
              (env.folder("ms") / "msProfile.ini").lexically_normal());
    EXPECT_EQ(std::filesystem::path(CataloguePath(DeviceKind::Mousepad)).lexically_normal(),
              (env.folder("mp") / "mpProfile.ini").lexically_normal());
    EXPECT_TRUE(std::filesystem::is_directory(env.folder("ms")));
    EXPECT_TRUE(std::filesystem::is_directory(env.folder("mp")));
}

TEST_F(CatalogueIniTest, WritesGoToTheCataloguesOwnSections) {
    ASSERT_TRUE(msDevice.WriteCount(2));
    ASSERT_TRUE(msDevice.WriteSelect(1));
    ASSERT_TRUE(msDevice.WriteName(1, "fps"));
    ASSERT_TRUE(msDevice.WriteLinkFlag(1, true));
    ASSERT_TRUE(msDevice.WriteProgramPath(1, "/usr/bin/game"));
    ASSERT_TRUE(msKey.WriteName(1, "office"));

    const auto ini = msDevice.path();
    EXPECT_EQ(iniRead(ini, "PROFILEDEVICECOUNT", "count", ""), "2");
    EXPECT_EQ(iniRead(ini, "PROFILEDEVICESELECT", "select", ""), "1");
    EXPECT_EQ(iniRead(ini, "PROFILEDEVICENAME", "1", ""), "fps");
    EXPECT_EQ(iniRead(ini, "PROFILELIKEDEVICEEXE", "1", ""), "1");
    EXPECT_EQ(iniRead(ini, "DEVICEPROCESS", "1", ""), "/usr/bin/game");
    EXPECT_EQ(iniRead(ini, "PROFILENAME", "1", ""), "office");

    EXPECT_EQ(msDevice.ReadCount(), 2);
    EXPECT_EQ(msDevice.ReadSelect(), 1);
    EXPECT_EQ(msDevice.ReadName(1), "fps");
    EXPECT_EQ(msDevice.ReadLinkFlag(1), 1);
    EXPECT_EQ(msDevice.ReadProgramPath(1), "/usr/bin/game");
    EXPECT_EQ(msKey.ReadName(1), "office");
    // The mouse key catalogue has its own program paths.
    EXPECT_EQ(msKey.ReadProgramPath(1), "0");
}

TEST_F(CatalogueIniTest, MissingAndNonNumericValuesReadByTheConventions) {
    EXPECT_EQ(kbLighting.ReadCount(), 0);
    EXPECT_EQ(kbLighting.ReadSelect(), 0);
    EXPECT_EQ(kbLighting.ReadName(4), "0");
    EXPECT_EQ(kbLighting.ReadLinkFlag(4), 0);
    EXPECT_EQ(kbLighting.ReadProgramPath(4), "0");

    writeRaw(kbLighting.path(),
             "[PROFILEDENGCOUNT]\ncount=abc\n[PROFILEDENGSELECT]\nselect=2x\n"
             "[PROFILELIKEDENGEXE]\n0=yes\n1=1\n");
    EXPECT_EQ(kbLighting.ReadCount(), 0);
    EXPECT_EQ(kbLighting.ReadSelect(), 2);
    EXPECT_EQ(kbLighting.ReadLinkFlag(0), 0);
    EXPECT_EQ(kbLighting.ReadLinkFlag(1), 1);
}

TEST_F(CatalogueIniTest, KeyboardDeviceAndKeyShareTheProgramPathSection) {
    ASSERT_TRUE(kbDevice.WriteProgramPath(0, "/opt/editor/bin/editor"));
    ASSERT_TRUE(kbKey.WriteProgramPath(0, "/usr/games/shooter"));
    EXPECT_EQ(kbDevice.ReadProgramPath(0), "/usr/games/shooter");
    EXPECT_EQ(iniKeyNames(kbDevice.path(), "PROCESS"), std::vector<std::string>{"0"});
    // The lighting catalogue keeps its own.
    ASSERT_TRUE(kbLighting.WriteProgramPath(0, "/usr/bin/player"));
    EXPECT_EQ(kbKey.ReadProgramPath(0), "/usr/games/shooter");
    // The mouse device catalogue has a section of its own.
    ASSERT_TRUE(msKey.WriteProgramPath(0, "/a"));
    ASSERT_TRUE(msDevice.WriteProgramPath(0, "/b"));
    EXPECT_EQ(msKey.ReadProgramPath(0), "/a");
}

TEST_F(CatalogueIniTest, CataloguesCarriedOverFromWindowsAreRead) {
    // UTF-16LE with its byte order mark, CRLF, file and names in other cases.
    const std::string text =
        "[profiledevicecount]\r\nCOUNT=3\r\n[ProfileDeviceSelect]\r\nSelect=2\r\n"
        "[PROFILEDEVICENAME]\r\n0=Büro\r\n1=Spiel\r\n2=夜\r\n"
        "[profilelikedeviceexe]\r\n2=1\r\n[DEVICEPROCESS]\r\n2=C:\\Games\\shooter.exe\r\n";
    std::filesystem::create_directories(env.folder("ms"));
    writeRaw(env.folder("ms") / "MSPROFILE.INI", utf16le(text));

    EXPECT_EQ(msDevice.ReadCount(), 3);
    EXPECT_EQ(msDevice.ReadSelect(), 2);
    EXPECT_EQ(msDevice.ReadName(0), "Büro");
    EXPECT_EQ(msDevice.ReadName(2), "夜");
    EXPECT_EQ(msDevice.ReadLinkFlag(2), 1);
    EXPECT_EQ(msDevice.ReadProgramPath(2), "C:\\Games\\shooter.exe");

    // Writing keeps to that file rather than starting a second catalogue.
    ASSERT_TRUE(msDevice.WriteSelect(0));
    EXPECT_EQ(msDevice.ReadSelect(), 0);
    std::vector<std::string> files;
    for (const auto& e : std::filesystem::directory_iterator(env.folder("ms"))) {
        files.push_back(e.path().filename().string());
    }
    EXPECT_EQ(files, std::vector<std::string>{"MSPROFILE.INI"});
    EXPECT_EQ(msDevice.ReadName(1), "Spiel");
}

TEST_F(CatalogueIniTest, NamesThatCannotBeFileNamesAreRefused) {
    for (const std::string& bad :
         std::vector<std::string>{"", "../escape", "../../.config/evil", "a/b",
                                  std::string("line\nbreak"), std::string(300, 'x')}) {
        EXPECT_EQ(msDevice.nameProblem(bad), kMessageProfileNameInvalid) << bad;
        EXPECT_FALSE(msDevice.dataFile(bad)) << bad;
    }
    EXPECT_FALSE(msDevice.nameProblem("profile 1 (copy)"));
    EXPECT_FALSE(msDevice.nameProblem("Spiel ü 夜"));
    const auto file = msDevice.dataFile("fps");
    ASSERT_TRUE(file);
    EXPECT_EQ(file->filename(), "fps.config");
    EXPECT_EQ(std::filesystem::path(*file).parent_path().lexically_normal(),
              env.folder("ms").lexically_normal());
}

TEST_F(CatalogueIniTest, HostileNamesThatAreAcceptedComeBackExactly) {
    // Characters the ini files give a meaning to, spaces at the ends, other
    // scripts: what the check lets through is stored and read back unchanged.
    const std::vector<std::string> names{
        "a=b",     "[section]", ";not a comment", "#hash",        " lead",
        "trail ",  "quote\"",   "back\\slash",    "tab-less\x7f", "名字 夜",
        "emoji 🎮", "...",       "a%2Fb",          "$HOME",        "*?",
    };
    for (const std::string& name : names) {
        if (msDevice.nameProblem(name)) {
            continue;  // refused with a message: fine
        }
        ASSERT_TRUE(msDevice.WriteCount(1));
        ASSERT_TRUE(msDevice.WriteName(1, name)) << name;
        EXPECT_EQ(msDevice.ReadName(1), name) << name;
        const auto file = msDevice.dataFile(name);
        ASSERT_TRUE(file) << name;
        EXPECT_EQ(std::filesystem::path(*file).parent_path().lexically_normal(),
                  env.folder("ms").lexically_normal())
            << name;
    }
    // Bytes that are no text at all are refused rather than stored garbled.
    const std::string broken("bad\xff\xfe", 5);
    if (!msDevice.nameProblem(broken)) {
        ASSERT_TRUE(msDevice.WriteName(1, broken));
        EXPECT_EQ(msDevice.ReadName(1), broken);
    }
}

}  // namespace
}  // namespace rxt
