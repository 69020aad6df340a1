// The default profile files, checked byte by byte against what each field
// means to the device and the pages, and the generator that writes them.

#include <sys/wait.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "profile/default_profiles.h"
#include "profile/keyboard_board.h"
#include "profile/profile_file.h"
#include "support/test_folder.h"

namespace rxt {
namespace {

using test::readRaw;
using test::TempFolder;

using Bytes = std::vector<uint8_t>;

// The files as the program reads them: header checked, payload returned.
class DefaultFiles : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        folder_ = new TempFolder;
        std::string error;
        ASSERT_TRUE(writeDefaultProfileFiles(folder_->path(), error)) << error;
    }
    static void TearDownTestSuite() {
        delete folder_;
        folder_ = nullptr;
    }

    static Bytes payload(const std::string& name, uint16_t kindCode, size_t size) {
        const std::string raw = readRaw(folder_->path() / name);
        EXPECT_EQ(raw.size(), 16 + size) << name;
        if (raw.size() < 16) {
            return {};
        }
        EXPECT_EQ(static_cast<uint8_t>(raw[0]), 0xAA) << name;
        EXPECT_EQ(static_cast<uint8_t>(raw[1]), 0x55) << name;
        EXPECT_EQ(static_cast<uint8_t>(raw[4]) | static_cast<uint8_t>(raw[5]) << 8, kindCode)
            << name;
        EXPECT_TRUE(std::all_of(raw.begin() + 6, raw.begin() + 16, [](char c) { return c == 0; }));
        return Bytes(raw.begin() + 16, raw.end());
    }

    static TempFolder* folder_;
};
TempFolder* DefaultFiles::folder_ = nullptr;

struct Entry {
    uint8_t kind, p1, p2;
    bool operator==(const Entry&) const = default;
};
Entry entryAt(const Bytes& bank, size_t position) {
    return {bank[3 * position], bank[3 * position + 1], bank[3 * position + 2]};
}

TEST_F(DefaultFiles, MouseRecordHoldsSensibleSettings) {
    const Bytes led = payload("msdengdefault.led", 2, 64);
    ASSERT_EQ(led.size(), 64u);
    const Bytes expected{
        0,                                   // record index
        1,   3,  2,  1,   1,   0, 160, 255,  // group wave, brightness 3, middle speed, colourful
        0,   0,  0,  0,   0,                 // preview counter and unused bytes
        3,                                   // report rate: fourth entry (1000 Hz)
        3,   7,  11, 15,                     // DPI 400, 800, 1200, 1600
        1,                                   // active level 2 (800 DPI)
        23,  31, 47,                         // DPI 2400, 3200, 4800
        255, 0,  0,  255, 128, 0, 255, 230, 0, 0, 255, 0, 0, 255, 255, 0, 64, 255, 200, 0, 255,
        8,           // debounce 4 ms
        0,   0,  0,  // unused
        0,   2,      // no lift-off adjustment, 2 mm
        0,   0,      // unused
        10,  3,      // pointer speed unchanged, three wheel lines
    };
    EXPECT_EQ(Bytes(led.begin(), led.begin() + 54), expected);
    EXPECT_TRUE(std::all_of(led.begin() + 54, led.end(), [](uint8_t b) { return b == 0; }));

    // What the pages make of it.
    std::vector<int> dpi;
    for (size_t at : {15, 16, 17, 18, 20, 21, 22}) {
        ASSERT_GE(led[at], 1);
        ASSERT_LE(led[at], 119);
        dpi.push_back(200 + 100 * (led[at] - 1));
    }
    EXPECT_TRUE(std::is_sorted(dpi.begin(), dpi.end()));
    EXPECT_LE(dpi.back(), 5000) << "every sensor reaches the highest level";
    std::set<std::vector<uint8_t>> colours;
    for (size_t level = 0; level < 7; ++level) {
        colours.insert(Bytes(led.begin() + 23 + 3 * level, led.begin() + 26 + 3 * level));
    }
    EXPECT_EQ(colours.size(), 7u) << "each level has a colour of its own";
    EXPECT_EQ((led[44] - 4) % 2, 0);
    EXPECT_LE((led[44] - 4) / 2, 9);
}

TEST_F(DefaultFiles, MouseButtonsKeepTheirStandardFunctions) {
    const Bytes pro = payload("mskeydefault.pro", 2, 512);
    ASSERT_EQ(pro.size(), 512u);
    EXPECT_EQ(entryAt(pro, 0), (Entry{0x10, 0x01, 0}));  // left click
    EXPECT_EQ(entryAt(pro, 1), (Entry{0x10, 0x04, 0}));  // wheel: middle click
    EXPECT_EQ(entryAt(pro, 2), (Entry{0x10, 0x02, 0}));  // right click
    EXPECT_EQ(entryAt(pro, 3), (Entry{0x10, 0x10, 0}));  // forward
    EXPECT_EQ(entryAt(pro, 4), (Entry{0x10, 0x08, 0}));  // back
    EXPECT_EQ(entryAt(pro, 5), (Entry{0x13, 1, 0}));     // DPI up
    EXPECT_EQ(entryAt(pro, 6), (Entry{0x13, 2, 0}));     // DPI down
    EXPECT_TRUE(std::all_of(pro.begin() + 21, pro.end(), [](uint8_t b) { return b == 0; }));

    const Bytes config = payload("msdevicedefault.config", 2, 576);
    ASSERT_EQ(config.size(), 576u);
    EXPECT_EQ(Bytes(config.begin(), config.begin() + 512), pro);
    EXPECT_EQ(Bytes(config.begin() + 512, config.end()), payload("msdengdefault.led", 2, 64));
}

TEST_F(DefaultFiles, MousepadGlowsInAColourfulWave) {
    const Bytes led = payload("mpdengdefault.led", 3, 64);
    ASSERT_EQ(led.size(), 64u);
    EXPECT_EQ(Bytes(led.begin(), led.begin() + 9), (Bytes{0, 0, 3, 2, 1, 1, 0, 160, 255}));
    EXPECT_TRUE(std::all_of(led.begin() + 9, led.end(), [](uint8_t b) { return b == 0; }));
}

// Keys by their place on the full-colour board and the single-colour one.
TEST_F(DefaultFiles, KeyboardKeysSendWhatTheirCapsSay) {
    const Bytes full = payload("kbkey15default.pro", 1, 512);
    const Bytes single = payload("kbkeydefault.pro", 1, 512);
    ASSERT_EQ(full.size(), 512u);
    ASSERT_EQ(single.size(), 512u);

    // Full-colour positions.
    EXPECT_EQ(entryAt(full, 0), (Entry{0x20, 0, 0x29}));    // Esc
    EXPECT_EQ(entryAt(full, 1), (Entry{0x20, 0, 0x3A}));    // F1
    EXPECT_EQ(entryAt(full, 14), (Entry{0x20, 0, 0x46}));   // Print Screen, control 13
    EXPECT_EQ(entryAt(full, 13), (Entry{0, 0, 0}));         // no key there
    EXPECT_EQ(entryAt(full, 64), (Entry{0x20, 0, 0x04}));   // A
    EXPECT_EQ(entryAt(full, 44), (Entry{0x20, 0, 0x1A}));   // W
    EXPECT_EQ(entryAt(full, 76), (Entry{0x20, 0, 0x28}));   // Enter, control 75
    EXPECT_EQ(entryAt(full, 84), (Entry{0x20, 0x02, 0}));   // Left Shift
    EXPECT_EQ(entryAt(full, 105), (Entry{0x20, 0x01, 0}));  // Left Ctrl
    EXPECT_EQ(entryAt(full, 108), (Entry{0x20, 0, 0x2C}));  // Space
    EXPECT_EQ(entryAt(full, 110), (Entry{0, 0, 0}));        // Fn: the keyboard's own
    EXPECT_EQ(entryAt(full, 62), (Entry{0x20, 0, 0x57}));   // Keypad +, control 119
    EXPECT_EQ(entryAt(full, 104), (Entry{0x20, 0, 0x58}));  // Keypad Enter, control 118
    EXPECT_EQ(entryAt(full, 119), (Entry{0x20, 0, 0x50}));  // Left arrow, control 113

    // Single-colour positions of the same keys.
    EXPECT_EQ(entryAt(single, 0), (Entry{0x20, 0, 0x29}));    // Esc
    EXPECT_EQ(entryAt(single, 13), (Entry{0x20, 0, 0x46}));   // Print Screen
    EXPECT_EQ(entryAt(single, 18), (Entry{0x20, 0, 0x35}));   // `, control 21
    EXPECT_EQ(entryAt(single, 53), (Entry{0x20, 0, 0x53}));   // Num Lock, control 38
    EXPECT_EQ(entryAt(single, 55), (Entry{0x20, 0, 0x04}));   // A, control 64
    EXPECT_EQ(entryAt(single, 107), (Entry{0x20, 0, 0x57}));  // Keypad +, control 119
    EXPECT_EQ(entryAt(single, 90), (Entry{0x20, 0x01, 0}));   // Left Ctrl, control 105

    for (const Bytes* bank : {&full, &single}) {
        std::set<std::pair<uint8_t, uint8_t>> functions;
        size_t keys = 0;
        for (size_t p = 0; p < 170; ++p) {
            const Entry e = entryAt(*bank, p);
            if (e == Entry{0, 0, 0}) {
                continue;
            }
            ++keys;
            EXPECT_EQ(e.kind, 0x20) << "position " << p;
            EXPECT_TRUE(functions.insert({e.p1, e.p2}).second) << "position " << p;
        }
        // Every key of the board but Fn.
        EXPECT_EQ(keys, 103u);
        // 126 positions: nothing past them.
        EXPECT_TRUE(
            std::all_of(bank->begin() + 378, bank->end(), [](uint8_t b) { return b == 0; }));
    }
}

TEST_F(DefaultFiles, KeyboardLightingOfBothModels) {
    const Bytes full = payload("kb15dengdefault.led", 1, 1958);
    const Bytes single = payload("kbdengdefault.led", 1, 1958);
    ASSERT_EQ(full.size(), 1958u);
    ASSERT_EQ(single.size(), 1958u);

    // Record: a colourful wave; on the single-colour board its breathing wave.
    EXPECT_EQ(Bytes(full.begin(), full.begin() + 9), (Bytes{0, 0, 3, 2, 1, 1, 0, 160, 255}));
    EXPECT_EQ(Bytes(single.begin(), single.begin() + 9), (Bytes{0, 0, 3, 2, 1, 0, 255, 255, 255}));
    for (const Bytes* p : {&full, &single}) {
        EXPECT_TRUE(std::all_of(p->begin() + 9, p->begin() + 68, [](uint8_t b) { return b == 0; }))
            << "rest of the record and the layout index 0";
    }

    const auto layout = [](const Bytes& p, size_t l) {
        return Bytes(p.begin() + 68 + 378 * l, p.begin() + 68 + 378 * (l + 1));
    };
    const auto rgb = [](const Bytes& l, size_t position) {
        return Bytes(l.begin() + 3 * position, l.begin() + 3 * position + 3);
    };
    // Layout 0: rows in rainbow colours.
    EXPECT_EQ(rgb(layout(full, 0), 0), (Bytes{255, 0, 0}));      // Esc, first row
    EXPECT_EQ(rgb(layout(full, 0), 105), (Bytes{160, 0, 255}));  // Left Ctrl, last row
    EXPECT_EQ(rgb(layout(full, 0), 13), (Bytes{0, 0, 0}));       // no key
    // Layout 1: W, A, S, D and the arrows red on dim blue.
    EXPECT_EQ(rgb(layout(full, 1), 44), (Bytes{255, 0, 0}));  // W
    EXPECT_EQ(rgb(layout(full, 1), 99), (Bytes{255, 0, 0}));  // Up, control 96
    EXPECT_EQ(rgb(layout(full, 1), 43), (Bytes{0, 32, 96}));  // Q
    // Layout 2: letters and digits white.
    EXPECT_EQ(rgb(layout(full, 2), 64), (Bytes{255, 255, 255}));  // A
    EXPECT_EQ(rgb(layout(full, 2), 42), (Bytes{0, 180, 255}));    // Tab
    // Layout 4 is left blank for painting.
    const Bytes blank = layout(full, 4);
    EXPECT_TRUE(std::all_of(blank.begin(), blank.end(), [](uint8_t b) { return b == 0; }));

    // Single-colour layouts: on/off bytes at the start of each layout.
    const Bytes all = layout(single, 0);
    EXPECT_EQ(std::count(all.begin(), all.begin() + 126, 255), 104);
    EXPECT_EQ(std::count(all.begin(), all.begin() + 126, 0), 22);
    EXPECT_TRUE(std::all_of(all.begin() + 126, all.end(), [](uint8_t b) { return b == 0; }));
    const Bytes gaming = layout(single, 1);
    EXPECT_EQ(gaming[38], 255);  // W, control 44
    EXPECT_EQ(gaming[37], 0);    // Q
    EXPECT_EQ(std::count(gaming.begin(), gaming.end(), 255), 8);
    const Bytes off = layout(single, 4);
    EXPECT_TRUE(std::all_of(off.begin(), off.end(), [](uint8_t b) { return b == 0; }));
}

TEST_F(DefaultFiles, KeyboardDeviceFilesJoinKeysAndLighting) {
    for (const auto& [device, key, led] :
         {std::tuple{"kbdevicedefault.config", "kbkeydefault.pro", "kbdengdefault.led"},
          std::tuple{"kbdevice15default.config", "kbkey15default.pro", "kb15dengdefault.led"}}) {
        const Bytes config = payload(device, 1, 2470);
        ASSERT_EQ(config.size(), 2470u);
        EXPECT_EQ(Bytes(config.begin(), config.begin() + 512), payload(key, 1, 512));
        EXPECT_EQ(Bytes(config.begin() + 512, config.end()), payload(led, 1, 1958));
    }
}

TEST_F(DefaultFiles, EveryCatalogueFindsItsDefaultForBothModels) {
    std::set<std::string> names;
    for (const DefaultFile& f : defaultFiles()) {
        names.insert(std::string(f.name));
    }
    EXPECT_EQ(names.size(), 10u);
    for (const ProfileCatalogue& c : ProfileCatalogue::all()) {
        for (int variant : {0, 1}) {
            Bytes buffer(c.payloadSize(), 0);
            EXPECT_EQ(ReadProfileFile(DefaultProfileFile(c, variant, folder_->path()), buffer),
                      kProfileRead)
                << c.displayName() << " " << variant;
            EXPECT_EQ(buffer, defaultPayload(c, variant));
        }
    }
}

// The board: every key control the key maps give a position is a key of it.
TEST(KeyboardBoard, KeysAndMapsAgree) {
    std::set<uint8_t> controls;
    for (const BoardKey& k : boardKeys()) {
        EXPECT_TRUE(controls.insert(k.control).second) << k.name;
        EXPECT_LT(k.row, 6) << k.name;
        EXPECT_NE(kFullColourKeyMap[k.control], kNoKeyPosition) << k.name;
    }
    for (size_t c = 0; c < kKeyControlCount; ++c) {
        EXPECT_EQ(controls.count(static_cast<uint8_t>(c)) == 1,
                  kFullColourKeyMap[c] != kNoKeyPosition)
            << "control " << c;
    }
    EXPECT_EQ(&keyMapOf(1), &kFullColourKeyMap);
    EXPECT_EQ(&keyMapOf(0), &kSingleColourKeyMap);
}

// The generator writes the same files into the folder it is given.
TEST(DefaultsGenerator, WritesEveryDefaultFile) {
    const std::filesystem::path generator =
        std::filesystem::path(RXT_BIN_DIR) / "rxt-profile-defaults";
    if (!std::filesystem::exists(generator)) {
        GTEST_SKIP() << "rxt-profile-defaults is not built";
    }
    TempFolder out;
    const std::string command = "ASAN_OPTIONS=detect_leaks=0 '" + generator.string() + "' '" +
                                (out.path() / "defaults").string() + "'";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 0);

    std::map<std::string, std::string> written;
    for (const auto& e : std::filesystem::directory_iterator(out.path() / "defaults")) {
        written[e.path().filename().string()] = readRaw(e.path());
    }
    ASSERT_EQ(written.size(), defaultFiles().size());
    for (const DefaultFile& f : defaultFiles()) {
        const Bytes p = defaultPayload(f.catalogue, f.keyboardVariant);
        ProfileFileHeader h;
        h.kindCode = f.catalogue.kindCode();
        const auto head = h.encode();
        std::string expected(head.begin(), head.end());
        expected.append(p.begin(), p.end());
        EXPECT_EQ(written[std::string(f.name)], expected) << f.name;
    }

    // A usage error is reported, not a crash.
    const int usage = std::system(("'" + generator.string() + "' >/dev/null 2>&1").c_str());
    ASSERT_TRUE(WIFEXITED(usage));
    EXPECT_EQ(WEXITSTATUS(usage), 2);
}

}  // namespace
}  // namespace rxt
