#include "platform/language_registry.h"

#include <gtest/gtest.h>

#include "platform/ini_file.h"
#include "support/test_folder.h"

namespace rxt {
namespace {

using test::readRaw;
using test::ScopedEnv;
using test::TempFolder;
using test::utf16le;
using test::writeRaw;

class LanguageRegistryTest : public ::testing::Test {
  protected:
    TempFolder dir;
    ScopedEnv config{"XDG_CONFIG_HOME", dir.path().string()};
    std::filesystem::path file = dir / "rx-t7100" / "registry.ini";
};

TEST_F(LanguageRegistryTest, MissingFileOrKeyCannotBeRead) {
    EXPECT_EQ(registryFilePath(), file);
    EXPECT_FALSE(readLanguageValue());
    std::filesystem::create_directories(file.parent_path());
    writeRaw(file, "[HKEY_CURRENT_USER\\SOFTWARE\\Tarnvek RX-T7100 Gaming Mouse]\nOTHER=1\n");
    EXPECT_FALSE(readLanguageValue());
    writeRaw(file, "[HKEY_CURRENT_USER\\SOFTWARE\\Elsewhere]\nLANGUAGE=2020\n");
    EXPECT_FALSE(readLanguageValue());
}

TEST_F(LanguageRegistryTest, WriteCreatesTheFileAndReadsBack) {
    ASSERT_TRUE(writeLanguageValue("2020"));
    EXPECT_EQ(readRaw(file),
              "[HKEY_CURRENT_USER\\SOFTWARE\\Tarnvek RX-T7100 Gaming Mouse]\nLANGUAGE=2020\n");
    EXPECT_EQ(readLanguageValue(), "2020");
    ASSERT_TRUE(writeLanguageValue("1010"));
    EXPECT_EQ(readLanguageValue(), "1010");
    // An empty value is a value, not a missing one.
    ASSERT_TRUE(writeLanguageValue(""));
    EXPECT_EQ(readLanguageValue(), "");
}

TEST_F(LanguageRegistryTest, ReadsAnExportedFileWhateverTheCase) {
    std::filesystem::create_directories(file.parent_path());
    writeRaw(file, utf16le("[hkey_current_user\\software\\tarnvek rx-t7100 gaming mouse]\r\n"
                           "language=\"2020\"\r\n"));
    EXPECT_EQ(readLanguageValue(), "2020");
}

TEST_F(LanguageRegistryTest, UnwritableLocationFails) {
    writeRaw(dir / "blocker", "x");
    EXPECT_FALSE(writeLanguageValue(dir / "blocker" / "registry.ini", "1010"));
    EXPECT_FALSE(readLanguageValue(dir / "blocker" / "registry.ini"));
}

}  // namespace
}  // namespace rxt
