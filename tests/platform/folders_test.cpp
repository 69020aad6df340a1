#include "platform/folders.h"

#include <gtest/gtest.h>

#include "platform/file_names.h"
#include "support/test_folder.h"

namespace rxt {
namespace {

using test::ScopedEnv;
using test::TempFolder;
using test::writeRaw;

class FoldersTest : public ::testing::Test {
  protected:
    TempFolder dir;
    std::filesystem::path home = dir / "home";
    std::filesystem::path config = dir / "config";
    ScopedEnv homeEnv{"HOME", home.string()};
    ScopedEnv configEnv{"XDG_CONFIG_HOME", config.string()};

    void SetUp() override {
        std::filesystem::create_directories(home);
        std::filesystem::create_directories(config);
    }
};

TEST_F(FoldersTest, DocumentsDefaultsToHomeDocuments) {
    EXPECT_EQ(documentsFolder(), home / "Documents");
}

TEST_F(FoldersTest, DocumentsComesFromUserDirs) {
    writeRaw(config / "user-dirs.dirs",
             "# written by the desktop\n"
             "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
             "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n");
    EXPECT_EQ(documentsFolder(), home / "Dokumente");
    writeRaw(config / "user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"/srv/docs\"\n");
    EXPECT_EQ(documentsFolder(), "/srv/docs");
}

TEST_F(FoldersTest, UnusableUserDirsValueFallsBack) {
    writeRaw(config / "user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"relative/docs\"\n");
    EXPECT_EQ(documentsFolder(), home / "Documents");
}

TEST_F(FoldersTest, RelativeConfigHomeIsIgnored) {
    ScopedEnv relative{"XDG_CONFIG_HOME", "not/absolute"};
    EXPECT_EQ(configHome(), home / ".config");
    ScopedEnv unset{"XDG_CONFIG_HOME", std::nullopt};
    EXPECT_EQ(configHome(), home / ".config");
    EXPECT_EQ(appConfigFolder(), home / ".config" / "rx-t7100" / "");
}

TEST(UserDirs, ParsesTheShellAssignmentForms) {
    const std::filesystem::path home = "/home/u";
    EXPECT_EQ(documentsFolderFromUserDirs("XDG_DOCUMENTS_DIR=\"$HOME/Docs\"", home),
              "/home/u/Docs");
    EXPECT_EQ(documentsFolderFromUserDirs("  XDG_DOCUMENTS_DIR = \"${HOME}/My Docs\"\r\n", home),
              "/home/u/My Docs");
    EXPECT_EQ(documentsFolderFromUserDirs("XDG_DOCUMENTS_DIR=\"$HOME/\"", home), "/home/u");
    EXPECT_EQ(documentsFolderFromUserDirs("XDG_DOCUMENTS_DIR=\"$HOME\"", home), "/home/u");
    EXPECT_EQ(documentsFolderFromUserDirs("XDG_DOCUMENTS_DIR=\"$HOME/a\\\"b\"", home),
              "/home/u/a\"b");
    EXPECT_EQ(documentsFolderFromUserDirs("XDG_DOCUMENTS_DIR=$HOME/bare", home), "/home/u/bare");
    EXPECT_EQ(documentsFolderFromUserDirs(
                  "XDG_DOCUMENTS_DIR=\"/abs\"\nXDG_DOCUMENTS_DIR=\"$HOME/b\"", home),
              "/home/u/b");  // the last assignment wins
    EXPECT_EQ(documentsFolderFromUserDirs("#XDG_DOCUMENTS_DIR=\"$HOME/x\"", home), "");
    EXPECT_EQ(documentsFolderFromUserDirs("XDG_DOCUMENTS_DIR=\"$HOMEWORK\"", home), "");
    EXPECT_EQ(documentsFolderFromUserDirs("XDG_DOCUMENTS_DIRS=\"/x\"", home), "");
    EXPECT_EQ(documentsFolderFromUserDirs("XDG_DOCUMENTS_DIR=\"\"", home), "");
    EXPECT_EQ(documentsFolderFromUserDirs("", home), "");
}

TEST_F(FoldersTest, DataAndProfileFoldersAreCreatedAndEndInASlash) {
    const auto data = dataFolderPath();
    EXPECT_EQ(data, home / "Documents" / "RX-T7100 GamingMouse" / "");
    EXPECT_TRUE(std::filesystem::is_directory(data));
    EXPECT_EQ(data.native().back(), '/');

    EXPECT_EQ(profileFolderPath("ms"), data / "ms" / "");
    EXPECT_EQ(profileFolderPath("mp"), data / "mp" / "");
    EXPECT_EQ(profileFolderPath("kb"), data / "kb" / "");
    for (const char* sub : {"ms", "mp", "kb"}) {
        EXPECT_TRUE(std::filesystem::is_directory(data / sub)) << sub;
    }
    // Names appended to a folder path land inside it.
    EXPECT_EQ(profileFolderPath("kb") / "kbProfile.ini",
              home / "Documents" / "RX-T7100 GamingMouse" / "kb" / "kbProfile.ini");
}

TEST_F(FoldersTest, DataFolderFollowsUserDirs) {
    writeRaw(config / "user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"$HOME/Docs\"\n");
    EXPECT_EQ(dataFolderPath(), home / "Docs" / "RX-T7100 GamingMouse" / "");
    EXPECT_TRUE(std::filesystem::is_directory(home / "Docs" / "RX-T7100 GamingMouse"));
}

TEST(ProgramFolder, BuildTreeInstalledTreeAndFallback) {
    TempFolder dir;
    const auto buildBin = dir / "build" / "bin";
    std::filesystem::create_directories(buildBin / "skin");
    EXPECT_EQ(programFolderFor(buildBin / "rxt-config"), buildBin / "");

    const auto defaultsBin = dir / "other" / "bin";
    std::filesystem::create_directories(defaultsBin / "defaults");
    EXPECT_EQ(programFolderFor(defaultsBin / "rxt-config"), defaultsBin / "");

    const auto prefix = dir / "opt";
    std::filesystem::create_directories(prefix / "bin");
    std::filesystem::create_directories(prefix / "share" / "rx-t7100");
    EXPECT_EQ(programFolderFor(prefix / "bin" / "rxt-config"), prefix / "share" / "rx-t7100" / "");

    const auto bare = programFolderFor(dir / "nowhere" / "rxt-config");
    EXPECT_TRUE(bare.native().ends_with("/share/rx-t7100/")) << bare;
    EXPECT_FALSE(programFolder().empty());
}

TEST(FileNames, LookupIgnoresLetterCase) {
    TempFolder dir;
    writeRaw(dir / "Profile1.config", "a");
    writeRaw(dir / "游戏Ä.led", "b");
    EXPECT_EQ(findFileIgnoreCase(dir.path(), "profile1.config"), dir / "Profile1.config");
    EXPECT_EQ(findFileIgnoreCase(dir.path(), "PROFILE1.CONFIG"), dir / "Profile1.config");
    EXPECT_EQ(findFileIgnoreCase(dir.path(), "游戏ä.LED"), dir / "游戏Ä.led");
    EXPECT_FALSE(findFileIgnoreCase(dir.path(), "profile2.config"));
    EXPECT_FALSE(findFileIgnoreCase(dir / "missing", "x"));
    EXPECT_FALSE(findFileIgnoreCase(dir.path(), "../x"));
    EXPECT_FALSE(findFileIgnoreCase(dir.path(), ""));

    EXPECT_EQ(fileInFolder(dir.path(), "profile1.CONFIG"), dir / "Profile1.config");
    EXPECT_EQ(fileInFolder(dir.path(), "new.config"), dir / "new.config");
}

TEST(FileNames, ExactMatchIsPreferredOverOtherSpellings) {
    TempFolder dir;
    writeRaw(dir / "Name.mac", "upper");
    writeRaw(dir / "name.mac", "lower");
    EXPECT_EQ(findFileIgnoreCase(dir.path(), "name.mac"), dir / "name.mac");
    EXPECT_EQ(findFileIgnoreCase(dir.path(), "Name.mac"), dir / "Name.mac");
    // No exact match: the first in name order, every time.
    EXPECT_EQ(findFileIgnoreCase(dir.path(), "NAME.MAC"), dir / "Name.mac");
}

TEST(FileNames, UnsafeNamesAreRefused) {
    EXPECT_EQ(checkFileName("profile1", ".config"), FileNameProblem::None);
    EXPECT_EQ(checkFileName("游戏 模式 (2)", ".led"), FileNameProblem::None);
    EXPECT_EQ(checkFileName("", ".config"), FileNameProblem::Empty);
    EXPECT_EQ(checkFileName("."), FileNameProblem::DotName);
    EXPECT_EQ(checkFileName(".."), FileNameProblem::DotName);
    EXPECT_EQ(checkFileName(".", "."), FileNameProblem::DotName);
    EXPECT_EQ(checkFileName("..", ".mac"), FileNameProblem::None);  // "...mac" is a plain name
    EXPECT_EQ(checkFileName("../etc/passwd"), FileNameProblem::Separator);
    EXPECT_EQ(checkFileName("a/b", ".pro"), FileNameProblem::Separator);
    EXPECT_EQ(checkFileName(std::string_view("a\0b", 3)), FileNameProblem::ControlChar);
    EXPECT_EQ(checkFileName("two\nlines"), FileNameProblem::ControlChar);
    EXPECT_EQ(checkFileName("tab\t"), FileNameProblem::ControlChar);
    EXPECT_EQ(checkFileName(std::string(248, 'a'), ".config"), FileNameProblem::None);
    EXPECT_EQ(checkFileName(std::string(249, 'a'), ".config"), FileNameProblem::TooLong);
    EXPECT_TRUE(isSafeFileName("name_1", ".mac"));
    EXPECT_FALSE(isSafeFileName("/abs"));
}

}  // namespace
}  // namespace rxt
