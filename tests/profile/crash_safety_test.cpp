// Killing the program in the middle of saving never leaves a truncated or
// mixed catalogue or profile file: a child process saves in a loop and is
// killed with SIGKILL at random moments; every file is then whole and comes
// from one single save.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/ini_file.h"
#include "profile/profile_data.h"
#include "support/kill_while_saving.h"
#include "support/profile_test_env.h"

namespace rxt {
namespace {

using test::ProfileTestEnv;
using test::readRaw;

ProfileCatalogue catalogue(DeviceKind d, ProfileKind k) {
    return *ProfileCatalogue::find(d, k);
}

const ProfileCatalogue kPad = catalogue(DeviceKind::Mousepad, ProfileKind::Lighting);
const ProfileCatalogue kBoard = catalogue(DeviceKind::Keyboard, ProfileKind::Device);

std::string programPath(unsigned i) {
    return "/opt/game-" + std::to_string(i) + "/bin/" + std::string(100 + i % 50, 'x');
}

// Each pass fills every image byte with one value and saves, and rewrites
// the catalogues; it never returns.
[[noreturn]] void saveForever(ProfileTestEnv& env) {
    ProfileContext ctx = env.context();
    for (unsigned i = 1;; ++i) {
        const auto v = static_cast<uint8_t>(i);
        env.images.mousepad.records.fill(v);
        env.images.mousepad.current.fill(v);
        env.images.keyboard.banks[0].fill(v);
        env.images.keyboard.records.fill(v);
        env.images.keyboard.current.fill(v);
        env.layouts.layouts.fill(v);
        env.layouts.index.store(v % 5);
        SaveSelectedProfile(ctx, kPad);
        SaveSelectedProfile(ctx, kBoard);
        // The catalogues change less often than the pages save.
        if (i % 8 == 0) {
            kPad.WriteProgramPath(1, programPath(i));
            kBoard.WriteName(1, "entry" + std::to_string(i));
        }
    }
}

void expectWholeMousepadFile(const std::string& raw) {
    ASSERT_EQ(raw.size(), 16u + 64u);
    EXPECT_EQ(raw.substr(0, 6), std::string("\xAA\x55\0\0\x03\0", 6));
    const char v = raw[16];
    EXPECT_EQ(std::count(raw.begin() + 16, raw.end(), v), 64) << "bytes of two saves";
}

void expectWholeKeyboardFile(const std::string& raw) {
    ASSERT_EQ(raw.size(), 16u + 2470u);
    EXPECT_EQ(raw.substr(0, 6), std::string("\xAA\x55\0\0\x01\0", 6));
    const std::string p = raw.substr(16);
    const char v = p[0];
    // Key bank and stored record, then the layout index, then the layouts.
    EXPECT_EQ(std::count(p.begin(), p.begin() + 512 + 64, v), 576);
    EXPECT_EQ(static_cast<uint8_t>(p[512 + 64]), static_cast<uint8_t>(v) % 5);
    EXPECT_EQ(p.substr(512 + 65, 3), std::string(3, '\0'));
    EXPECT_EQ(std::count(p.begin() + 512 + 68, p.end(), v), 1890) << "bytes of two saves";
}

TEST(CrashSafety, KilledWhileSavingLeavesEveryFileWhole) {
    constexpr int kRounds = 40;
    ProfileTestEnv env;
    // Two entries in each catalogue, the first selected.
    for (const ProfileCatalogue& c : {kPad, kBoard}) {
        ASSERT_TRUE(c.WriteCount(2));
        ASSERT_TRUE(c.WriteName(0, "profile1"));
        ASSERT_TRUE(c.WriteName(1, "entry0"));
        ASSERT_TRUE(c.WriteLinkFlag(1, true));
        ASSERT_TRUE(c.WriteSelect(0));
    }
    ASSERT_TRUE(kPad.WriteProgramPath(1, programPath(0)));

    const int killedWhileRunning = test::killWhileSaving(
        kRounds, 20240517, [&] { saveForever(env); },
        [&](int) {
            const auto padFile = env.folder("mp") / "profile1.led";
            const auto boardFile = env.folder("kb") / "profile1.config";
            if (std::filesystem::exists(padFile)) {
                expectWholeMousepadFile(readRaw(padFile));
            }
            if (std::filesystem::exists(boardFile)) {
                expectWholeKeyboardFile(readRaw(boardFile));
            }
            // The catalogues read whole: every section and key is still there.
            for (const ProfileCatalogue& c : {kPad, kBoard}) {
                EXPECT_EQ(c.ReadCount(), 2);
                EXPECT_EQ(c.ReadSelect(), 0);
                EXPECT_EQ(c.ReadName(0), "profile1");
                EXPECT_EQ(c.ReadName(1).rfind("entry", 0), 0u);
                EXPECT_EQ(c.ReadLinkFlag(1), 1);
            }
            const std::string path = kPad.ReadProgramPath(1);
            EXPECT_EQ(path.rfind("/opt/game-", 0), 0u);
            const unsigned i = static_cast<unsigned>(std::stoul(path.substr(10)));
            EXPECT_EQ(path, programPath(i));
        });
    EXPECT_EQ(killedWhileRunning, kRounds);

    // The program still reads what the killed saves left.
    ProfileContext ctx = env.context();
    EXPECT_EQ(LoadProfileData(ctx, kPad, 0), 0);
    EXPECT_EQ(LoadProfileData(ctx, kBoard, 0), 0);
}

}  // namespace
}  // namespace rxt
