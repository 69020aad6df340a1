// Killing the program in the middle of saving a macro or a cursor bullet
// never leaves a truncated or mixed file: a child process saves in a loop
// and is killed with SIGKILL at random moments; every file then reads whole,
// each macro from one single save.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "macro/cursor_schemes.h"
#include "macro/default_cursor_schemes.h"
#include "macro/macro_catalogue.h"
#include "support/kill_while_saving.h"
#include "support/test_folder.h"

namespace rxt {
namespace {

constexpr size_t kSteps = 60;

std::vector<MacroAction> stepsOf(unsigned i) {
    std::vector<MacroAction> steps(kSteps);
    for (MacroAction& a : steps) {
        a.delay = static_cast<uint16_t>(i);
        a.code = kActionKey;
        a.value = 4;
        a.name = "keyboard_key_A";
    }
    return steps;
}

class MacroCrashSafety : public ::testing::Test {
  protected:
    test::TempFolder home;
    test::ScopedEnv homeEnv{"HOME", home.path().string()};
    test::ScopedEnv configEnv{"XDG_CONFIG_HOME", (home.path() / ".config").string()};
    MacroCatalogue mouse{DeviceKind::Mouse};
    MacroCatalogue keyboard{DeviceKind::Keyboard};
};

// Each pass saves both macros with every delay set to the pass number and
// one cursor bullet; it never returns.
[[noreturn]] void saveForever(const MacroCatalogue& mouse, const MacroCatalogue& keyboard,
                              const std::vector<std::string>& mouseNames,
                              const std::vector<std::string>& keyboardNames,
                              const std::filesystem::path& scheme) {
    for (unsigned i = 1;; ++i) {
        SaveMacro(mouse, mouseNames, 0, stepsOf(i));
        SaveMacro(keyboard, keyboardNames, 0, stepsOf(i));
        saveBullet(scheme, static_cast<int>(i % kCursorBullets),
                   {static_cast<uint16_t>(i), static_cast<uint8_t>(i), false,
                    static_cast<uint8_t>(i), true, true});
    }
}

TEST_F(MacroCrashSafety, KilledWhileSavingLeavesEveryMacroAndSchemeWhole) {
    constexpr int kRounds = 30;
    const std::filesystem::path defaults = home.path() / "defaults";
    std::string error;
    ASSERT_TRUE(writeDefaultCursorSchemes(defaults, error)) << error;
    ASSERT_TRUE(ensureCursorSchemes(mouse, defaults));
    std::vector<std::string> mouseNames = mouse.LoadCatalogue();
    ASSERT_TRUE(AddMacroName(mouse, mouseNames).done);
    std::vector<std::string> keyboardNames;
    ASSERT_TRUE(AddMacroName(keyboard, keyboardNames).done);
    ASSERT_TRUE(SaveMacro(mouse, mouseNames, 0, stepsOf(0)).done);
    ASSERT_TRUE(SaveMacro(keyboard, keyboardNames, 0, stepsOf(0)).done);
    const std::filesystem::path scheme = *cursorSchemeFile(mouse, cursorSchemeName(0));
    const size_t catalogueCount = mouseNames.size();
    std::vector<BulletValues> delivered;
    for (int b = 0; b < kCursorBullets; ++b) {
        delivered.push_back(loadBullet(scheme, b));
    }

    const int killedWhileRunning = test::killWhileSaving(
        kRounds, 20261210, [&] { saveForever(mouse, keyboard, mouseNames, keyboardNames, scheme); },
        [&](int) {
            for (const MacroCatalogue* c : {&mouse, &keyboard}) {
                const std::vector<std::string> names = c->LoadCatalogue();
                ASSERT_EQ(names.size(), c == &mouse ? catalogueCount : 1u);
                const std::vector<MacroAction> steps = LoadMacro(*c, names[0]);
                ASSERT_EQ(steps.size(), kSteps);
                for (const MacroAction& a : steps) {
                    EXPECT_EQ(a.delay, steps[0].delay) << "steps of two saves";
                    EXPECT_EQ(a.name, "keyboard_key_A");
                }
            }
            const std::vector<MacroAction> cursor = loadCursorScheme(mouse, cursorSchemeName(0));
            ASSERT_EQ(cursor.size(), static_cast<size_t>(kCursorBullets * kCursorStepsPerBullet));
            for (int b = 0; b < kCursorBullets; ++b) {
                const BulletValues v = loadBullet(scheme, b);
                EXPECT_TRUE(v.present) << "bullet " << b;
                // As delivered, or the three steps of one save.
                const bool oneSave = v.x == v.y && v.delay % 256 == v.x && !v.left && v.up;
                EXPECT_TRUE(v == delivered[static_cast<size_t>(b)] || oneSave) << "bullet " << b;
            }
        });
    EXPECT_EQ(killedWhileRunning, kRounds);
}

}  // namespace
}  // namespace rxt
