// rxtctl show and set with no program running: the device itself is read
// whole and its current record written back, with the pages' encodings.

#include <gtest/gtest.h>

#include <sstream>

#include "platform/file_bytes.h"
#include "profile/profile_catalogue.h"
#include "profile/profile_file.h"
#include "profile/profile_payload.h"
#include "sim/virtual_bus.h"
#include "support/test_folder.h"
#include "tools/options.h"
#include "tools/rxtctl.h"

namespace rxt {
namespace {

using sim::MemoryArea;

struct ToolRun {
    int status = -1;
    std::string out;
    std::string err;
};

class SettingsCommands : public ::testing::Test {
  protected:
    // A runtime folder of the test's own: no program's socket is found in it.
    SettingsCommands()
        : home_("HOME", folder_.path().string()),
          config_("XDG_CONFIG_HOME", (folder_.path() / ".config").string()),
          runtime_("XDG_RUNTIME_DIR", folder_.path().string()),
          pointer_("RXT_POINTER_BACKEND", "file") {
        EXPECT_TRUE(bus.simulator().plug(DeviceKind::Mouse));
        EXPECT_TRUE(bus.simulator().plug(DeviceKind::Mousepad));
    }

    ToolRun run(std::vector<std::string> args) {
        args.insert(args.begin(), {"--bus", bus.selector()});
        std::ostringstream out;
        std::ostringstream err;
        ToolRun r;
        r.status = tools::runRxtctl(args, out, err);
        r.out = out.str();
        r.err = err.str();
        return r;
    }
    std::string hexOf(DeviceKind kind, size_t offset, size_t n) {
        const auto bytes = bus.simulator()
                               .dump(kind, MemoryArea::Records, offset, n)
                               .value_or(std::vector<uint8_t>{});
        return tools::hexBytes(bytes.data(), bytes.size());
    }

    test::TempFolder folder_;
    test::ScopedEnv home_;
    test::ScopedEnv config_;
    test::ScopedEnv runtime_;
    test::ScopedEnv pointer_;
    sim::VirtualBus bus{{.plugAll = false, .makeDefault = false, .controlSocket = false}};
};

TEST_F(SettingsCommands, SetWritesThePagesBytesIntoTheMousesRecord) {
    const std::string before = hexOf(DeviceKind::Mouse, 0, 52);
    ToolRun r = run({"set", "mouse", "dpi", "2", "1600"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(hexOf(DeviceKind::Mouse, 16, 1), "0f");  // position 14, code 15
    // Nothing else of the record moved.
    std::string expected = before;
    expected.replace(16 * 3, 2, "0f");
    EXPECT_EQ(hexOf(DeviceKind::Mouse, 0, 52), expected);

    EXPECT_EQ(run({"set", "mouse", "active-dpi", "3"}).status, 0);
    EXPECT_EQ(hexOf(DeviceKind::Mouse, 19, 1), "02");
    EXPECT_EQ(run({"set", "mouse", "report-rate", "1"}).status, 0);
    EXPECT_EQ(hexOf(DeviceKind::Mouse, 14, 1), "01");
    EXPECT_EQ(run({"set", "mouse", "debounce", "6"}).status, 0);
    EXPECT_EQ(hexOf(DeviceKind::Mouse, 44, 1), "0a");
    EXPECT_EQ(run({"set", "mouse", "lighting", "mode", "static"}).status, 0);
    EXPECT_EQ(hexOf(DeviceKind::Mouse, 1, 1), "05");
}

TEST_F(SettingsCommands, SetSavesTheSelectedProfilesAsThePageDoes) {
    // The program ran once: its mouse device and lighting catalogues.
    for (ProfileKind kind : {ProfileKind::Device, ProfileKind::Lighting}) {
        const ProfileCatalogue c = *ProfileCatalogue::find(DeviceKind::Mouse, kind);
        ASSERT_TRUE(c.WriteCount(1));
        ASSERT_TRUE(c.WriteName(0, "profile1"));
        ASSERT_TRUE(c.WriteSelect(0));
    }
    const ProfileCatalogue device = *ProfileCatalogue::find(DeviceKind::Mouse, ProfileKind::Device);
    ASSERT_EQ(run({"set", "mouse", "dpi", "2", "1600"}).status, 0);
    const FileBytes read = readFileBytes(*device.dataFile("profile1"));
    ASSERT_EQ(read.status, ReadStatus::Ok);
    const std::string& file = read.bytes;
    // Header, key bank 0, then the stored record with the level's code and
    // the desktop's pointer values (the file backend's defaults).
    ASSERT_EQ(file.size(), 16u + device.payloadSize());
    EXPECT_EQ(file[16 + 512 + 16], 0x0f);
    EXPECT_EQ(file[16 + 512 + 52], 10);
    EXPECT_EQ(file[16 + 512 + 53], 3);
    EXPECT_TRUE(std::filesystem::exists(
        *ProfileCatalogue::find(DeviceKind::Mouse, ProfileKind::Lighting)->dataFile("profile1")));
}

TEST_F(SettingsCommands, SetLightingOfTheMousepad) {
    ToolRun r = run({"set", "mousepad", "lighting", "color", "ff8000"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(hexOf(DeviceKind::Mousepad, 5, 4), "00 ff 80 00");
    ASSERT_EQ(run({"set", "mousepad", "lighting", "speed", "4"}).status, 0);
    EXPECT_EQ(hexOf(DeviceKind::Mousepad, 3, 1), "00");
}

TEST_F(SettingsCommands, ShowDecodesWhatSetWrote) {
    ASSERT_EQ(run({"set", "mouse", "dpi", "2", "1600"}).status, 0);
    ASSERT_EQ(run({"set", "mouse", "lighting", "color", "102030"}).status, 0);
    ToolRun r = run({"show", "mouse", "--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.rfind("{\"kind\": \"mouse\"", 0), 0u) << r.out;
    EXPECT_NE(r.out.find("{\"level\": 2, \"dpi\": 1600, \"color\": \""), std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("\"color\": \"102030\"}"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"colourful\": false"), std::string::npos) << r.out;
    // The bank's functions by name: the left button first.
    EXPECT_NE(r.out.find("\"functions\": [{\"entry\": 0, \"name\": \"mouse_key_left\"}"),
              std::string::npos)
        << r.out;

    r = run({"show", "mouse"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("  2  1600 dpi  colour "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("lighting: mode "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("functions of bank 0:\n  0  mouse_key_left\n"), std::string::npos)
        << r.out;

    r = run({"show", "mousepad", "--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.find("\"bank\""), std::string::npos) << r.out;  // no keys
    EXPECT_EQ(r.out.find("\"dpi\""), std::string::npos) << r.out;
}

TEST_F(SettingsCommands, ShowOfTheKeyboardNamesItsKeysFunctions) {
    ASSERT_TRUE(bus.simulator().plug(DeviceKind::Keyboard));
    const ToolRun r = run({"show", "keyboard"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\nlighting: mode "), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("dpi"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("functions of bank 0:\n  0  keyboard_key_Esc\n"), std::string::npos)
        << r.out;
}

// Each keyboard product with the kind its id makes: the modes are the list
// of that kind, and the single-colour keyboard takes no colour.
struct KeyboardModel {
    uint16_t product;
    bool fullColour;
};
constexpr KeyboardModel kKeyboardModels[] = {{0x6553, true}, {0x0800, false}, {0x7200, false}};

TEST_F(SettingsCommands, SetKeyboardLightingUsesTheListOfTheAttachedKind) {
    for (const KeyboardModel& m : kKeyboardModels) {
        SCOPED_TRACE(m.product);
        bus.simulator().unplug(DeviceKind::Keyboard);
        ASSERT_TRUE(bus.simulator().plug(DeviceKind::Keyboard, m.product));
        ToolRun r = run({"set", "keyboard", "lighting", "mode", "static"});
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(hexOf(DeviceKind::Keyboard, 1, 1), m.fullColour ? "03" : "02");
        ASSERT_EQ(run({"set", "keyboard", "lighting", "speed", "4"}).status, 0);
        ASSERT_EQ(run({"set", "keyboard", "lighting", "brightness", "2"}).status, 0);
        ASSERT_EQ(run({"set", "keyboard", "lighting", "direction", "left"}).status, 0);
        EXPECT_EQ(hexOf(DeviceKind::Keyboard, 1, 4), m.fullColour ? "03 02 00 01" : "02 02 00 01");

        const std::string before = hexOf(DeviceKind::Keyboard, 0, 21);
        // A name of the other list only, and a colour, once the kind is known.
        r = run(
            {"set", "keyboard", "lighting", "mode", m.fullColour ? "breathing-wave" : "rainbow"});
        EXPECT_EQ(r.status, 2);
        EXPECT_NE(r.err.find(m.fullColour ? "no full-colour keyboard light mode"
                                          : "no single-colour keyboard light mode"),
                  std::string::npos)
            << r.err;
        r = run({"set", "keyboard", "lighting", "color", "ff8000"});
        if (m.fullColour) {
            ASSERT_EQ(r.status, 0) << r.err;
            EXPECT_EQ(hexOf(DeviceKind::Keyboard, 5, 4), "00 ff 80 00");
        } else {
            EXPECT_EQ(r.status, 2);
            EXPECT_NE(r.err.find("colour is fixed"), std::string::npos) << r.err;
            EXPECT_EQ(hexOf(DeviceKind::Keyboard, 0, 21), before);
        }

        r = run({"show", "keyboard"});
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out.rfind(m.fullColour ? "full-colour keyboard (current record 0)\n"
                                           : "single-colour keyboard (current record 0)\n",
                              0),
                  0u)
            << r.out;
        EXPECT_NE(
            r.out.find(m.fullColour ? "lighting: mode static (3), brightness 2, speed 4, direction "
                                      "left, colourful off, color ff8000\n"
                                    : "lighting: mode static (2), brightness 2, speed 4, direction "
                                      "left, fixed color f6ff00\n"),
            std::string::npos)
            << r.out;
        r = run({"show", "keyboard", "--json"});
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_NE(r.out.find(m.fullColour ? "\"keyboard\": \"full-colour\""
                                          : "\"keyboard\": \"single-colour\""),
                  std::string::npos)
            << r.out;
        EXPECT_NE(r.out.find("\"mode_name\": \"static\""), std::string::npos) << r.out;
        EXPECT_NE(r.out.find(m.fullColour ? "\"color_fixed\": false" : "\"color_fixed\": true"),
                  std::string::npos)
            << r.out;
    }
}

TEST_F(SettingsCommands, SetKeyboardLightingSavesTheProfilesAndKeepsTheirLayouts) {
    ASSERT_TRUE(bus.simulator().plug(DeviceKind::Keyboard, 0x6553));
    const ProfileCatalogue c = *ProfileCatalogue::find(DeviceKind::Keyboard, ProfileKind::Lighting);
    ASSERT_TRUE(c.WriteCount(1));
    ASSERT_TRUE(c.WriteName(0, "profile1"));
    ASSERT_TRUE(c.WriteSelect(0));
    // Layout 2 in use, with one painted key: only the program keeps them.
    std::vector<uint8_t> payload(c.payloadSize(), 0);
    payload[payload::kLayoutIndexOffset] = 2;
    const size_t painted = payload::kLayoutsOffset + 2 * payload::kLayoutBytes + 30;
    payload[painted] = 0xAB;
    ASSERT_TRUE(WriteProfileFile(*c.dataFile("profile1"), payload, c.kindCode()));

    ASSERT_EQ(run({"set", "keyboard", "lighting", "mode", "rainbow"}).status, 0);
    const FileBytes read = readFileBytes(*c.dataFile("profile1"));
    ASSERT_EQ(read.status, ReadStatus::Ok);
    ASSERT_EQ(read.bytes.size(), 16u + c.payloadSize());
    const std::string_view file = std::string_view(read.bytes).substr(16);
    EXPECT_EQ(file[1], 4);  // the stored record's mode
    EXPECT_EQ(file[payload::kLayoutIndexOffset], 2);
    EXPECT_EQ(static_cast<uint8_t>(file[painted]), 0xAB);
}

TEST_F(SettingsCommands, BadValuesAreRefusedWithTheRangeAndStatusTwo) {
    const std::string before = hexOf(DeviceKind::Mouse, 0, 52);
    struct Case {
        std::vector<std::string> args;
        std::string named;
    };
    const std::vector<Case> cases = {
        {{"set", "mouse", "dpi", "2", "1650"}, "200 to 12000 in steps of 100"},
        {{"set", "mouse", "dpi", "9", "1600"}, "1 to 7"},
        {{"set", "mouse", "debounce", "19"}, "0 to 18"},
        {{"set", "mouse", "report-rate", "7"}, "0 to 3"},
        {{"set", "mousepad", "dpi", "1", "800"}, "only the mouse"},
        {{"set", "mouse", "lighting", "brightness", "9"}, "0 to 4"},
        {{"set", "keyboard", "lighting", "mode", "17"}, "0 to 16"},
        {{"set", "keyboard", "lighting", "mode", "glow"}, "(full-colour keyboard)"},
        {{"set", "trackball", "dpi", "1", "800"}, "unknown device kind"},
        {{"set", "mouse"}, "usage: rxtctl set"},
        {{"show"}, "usage: rxtctl show"},
    };
    for (const Case& c : cases) {
        const ToolRun r = run(c.args);
        EXPECT_EQ(r.status, 2) << c.named;
        EXPECT_NE(r.err.find(c.named), std::string::npos) << r.err;
        EXPECT_TRUE(r.out.empty()) << r.out;
    }
    EXPECT_EQ(hexOf(DeviceKind::Mouse, 0, 52), before);
}

TEST_F(SettingsCommands, ARefusingDeviceGivesStatusOneWithTheResult) {
    ASSERT_TRUE(bus.simulator().refuseCommand(DeviceKind::Mouse, 6, 0xFF));  // WriteRecord
    const ToolRun r = run({"set", "mouse", "dpi", "1", "800"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("did not take the record (result -102)"), std::string::npos) << r.err;
    ASSERT_TRUE(bus.simulator().unplug(DeviceKind::Mousepad));
    EXPECT_EQ(run({"show", "mousepad"}).status, 2);
}

TEST(RxtctlHelp, EveryCommandHasItsOwnHelp) {
    for (const char* command :
         {"devices", "raw", "read", "watch", "show", "set", "profile", "macro"}) {
        std::ostringstream out, err;
        EXPECT_EQ(tools::runRxtctl({command, "--help"}, out, err), 0);
        EXPECT_EQ(out.str().rfind(std::string("usage: rxtctl ") + command, 0), 0u) << out.str();
    }
}

}  // namespace
}  // namespace rxt
