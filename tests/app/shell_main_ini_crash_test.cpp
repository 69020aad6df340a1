// Killing the program while it saves "main.ini" (the look and the language)
// never leaves a truncated or mixed file: a child saves in a loop and is
// killed with SIGKILL at random moments; the file then reads whole.

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <string>
#include <thread>

#include "app/shell/skin_settings.h"
#include "platform/ini_file.h"
#include "support/test_folder.h"

namespace rxt::shell {
namespace {

std::string imageOf(unsigned i) {
    return "/home/user/Pictures/background-" + std::to_string(i) + std::string(i % 200, 'p') +
           ".png";
}

[[noreturn]] void saveForever(const std::filesystem::path& mainIni,
                              const std::filesystem::path& registry) {
    for (unsigned i = 1;; ++i) {
        storeBackgroundImage(mainIni, imageOf(i));
        storeLanguage(mainIni, registry, i % 2 ? Language::English : Language::SimplifiedChinese);
    }
}

TEST(MainIniCrashSafety, KilledWhileSavingLeavesMainIniWhole) {
    test::TempFolder dir;
    const auto mainIni = dir / "main.ini";
    const auto registry = dir / "registry.ini";
    storeBackgroundImage(mainIni, imageOf(0));
    ASSERT_TRUE(storeLanguage(mainIni, registry, Language::English));
    std::mt19937 random(20261209);
    std::uniform_int_distribution<int> delayUs(300, 30000);
    for (int round = 0; round < 30; ++round) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            saveForever(mainIni, registry);
        }
        std::this_thread::sleep_for(std::chrono::microseconds(delayUs(random)));
        ASSERT_EQ(::kill(child, SIGKILL), 0);
        ASSERT_EQ(::waitpid(child, nullptr, 0), child);
        SCOPED_TRACE("round " + std::to_string(round));
        EXPECT_EQ(iniRead(mainIni, "SKINIMAGE", "FLAGS", ""), "1");
        const std::string image = iniRead(mainIni, "SKINIMAGE", "IMAGE", "");
        ASSERT_EQ(image.rfind("/home/user/Pictures/background-", 0), 0u) << image;
        EXPECT_EQ(image, imageOf(static_cast<unsigned>(std::stoul(image.substr(31)))));
        const std::string language = iniRead(mainIni, "SKINIMAGE", "LANGUAGE", "");
        EXPECT_TRUE(language == "0" || language == "1") << language;
        EXPECT_TRUE(storedBackgroundImage(mainIni).has_value());
    }
}

}  // namespace
}  // namespace rxt::shell
