// rxtctl profile and macro with no program running: the catalogues read
// from their files, a select remembered, loaded and applied to the device as
// the profile page does, and the key page's upload run by rxtctl itself.

#include <gtest/gtest.h>

#include <sstream>

#include "macro/macro_catalogue.h"
#include "profile/profile_catalogue.h"
#include "profile/profile_file.h"
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

class ProfileMacroCommands : public ::testing::Test {
  protected:
    ProfileMacroCommands()
        : home_("HOME", folder_.path().string()),
          config_("XDG_CONFIG_HOME", (folder_.path() / ".config").string()),
          runtime_("XDG_RUNTIME_DIR", folder_.path().string()),
          pointer_("RXT_POINTER_BACKEND", "file") {
        EXPECT_TRUE(bus.simulator().plug(DeviceKind::Mouse));
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
    std::string hexOf(MemoryArea area, size_t offset, size_t n) {
        const auto bytes = bus.simulator()
                               .dump(DeviceKind::Mouse, area, offset, n)
                               .value_or(std::vector<uint8_t>{});
        return tools::hexBytes(bytes.data(), bytes.size());
    }

    // Two mouse device profiles; the second's stored record holds DPI code
    // 0x21 for level 2.
    void twoDeviceProfiles() {
        const ProfileCatalogue c = *ProfileCatalogue::find(DeviceKind::Mouse, ProfileKind::Device);
        ASSERT_TRUE(c.WriteCount(2));
        ASSERT_TRUE(c.WriteName(0, "profile1"));
        ASSERT_TRUE(c.WriteName(1, "Fast one"));
        ASSERT_TRUE(c.WriteSelect(0));
        std::vector<uint8_t> payload(c.payloadSize(), 0);
        payload[512 + 16] = 0x21;  // after key bank 0: the stored record
        payload[512 + 52] = 10;    // pointer speed
        payload[512 + 53] = 3;     // wheel lines
        ASSERT_TRUE(WriteProfileFile(*c.dataFile("Fast one"), payload, c.kindCode()));
    }

    test::TempFolder folder_;
    test::ScopedEnv home_;
    test::ScopedEnv config_;
    test::ScopedEnv runtime_;
    test::ScopedEnv pointer_;
    sim::VirtualBus bus{{.plugAll = false, .makeDefault = false, .controlSocket = false}};
};

TEST_F(ProfileMacroCommands, ListShowsEveryCatalogueEntryAndTheChosenOne) {
    twoDeviceProfiles();
    const ToolRun r = run({"profile", "list", "mouse"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("device 0 profile1 (selected)\ndevice 1 Fast one\n"), std::string::npos)
        << r.out;
}

TEST_F(ProfileMacroCommands, SelectRemembersLoadsAndAppliesTheProfile) {
    twoDeviceProfiles();
    // An unquoted name of two words, in another letter case.
    ToolRun r = run({"profile", "select", "mouse", "device", "fast", "ONE"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ProfileCatalogue::find(DeviceKind::Mouse, ProfileKind::Device)->ReadSelect(), 1);
    // The stored record reached the mouse's record 0.
    EXPECT_EQ(hexOf(MemoryArea::Records, 16, 1), "21");
    r = run({"profile", "list", "mouse"});
    EXPECT_NE(r.out.find("device 1 Fast one (selected)"), std::string::npos) << r.out;
}

TEST_F(ProfileMacroCommands, SelectRefusals) {
    twoDeviceProfiles();
    ToolRun r = run({"profile", "select", "mouse", "device", "nothing"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("no mouse device profile \"nothing\""), std::string::npos) << r.err;
    r = run({"profile", "select", "mousepad", "key", "x"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("the mousepad has no key profiles"), std::string::npos) << r.err;
    r = run({"profile", "select", "mouse", "colour", "x"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(run({"profile", "select", "mouse", "device"}).status, 2);
    EXPECT_EQ(run({"profile", "delete", "mouse"}).status, 2);
    EXPECT_EQ(run({"macro", "list", "mousepad"}).status, 2);
    EXPECT_EQ(run({"macro", "play", "mouse"}).status, 2);
}

TEST_F(ProfileMacroCommands, MacroListAndUploadAsTheKeyPagesApply) {
    const MacroCatalogue c(DeviceKind::Mouse);
    // No macros: list says nothing, the upload still writes the bank.
    ToolRun r = run({"macro", "list", "mouse"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    r = run({"macro", "upload", "mouse"});
    ASSERT_EQ(r.status, 0) << r.err;
    // Two macros (no steps): listed by the position a key plays.
    std::vector<std::string> names;
    ASSERT_TRUE(AddMacroName(c, names).done);
    ASSERT_TRUE(AddMacroName(c, names).done);
    r = run({"macro", "list", "mouse"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "0 " + names[0] + "\n1 " + names[1] + "\n");
    // Uploaded: a block of 16 + 2 x 2 + 2 x 4 bytes, magic first.
    r = run({"macro", "upload", "mouse"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(hexOf(MemoryArea::Macro, 0, 4), "aa 55 1c 00");
    // A device refusing the bank makes the upload fail with the command.
    ASSERT_TRUE(bus.simulator().refuseCommand(DeviceKind::Mouse, 9, 0xFE));  // WriteBank
    r = run({"macro", "upload", "mouse"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("WriteBank"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace rxt
