// The GSettings pointer backend on GLib's memory backend, with a mouse
// schema compiled into a folder of the test's own: the speed maps onto the
// -1..1 setting, 10 is its default, and a missing schema gives no backend.
// Its own executable: GLib reads the schema folder once per process.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "platform/ini_file.h"
#include "platform/system_pointer.h"
#include "support/test_folder.h"
#include "support/xvfb_display.h"

namespace rxt {
namespace {

using test::ScopedEnv;
using test::TempFolder;

constexpr const char* kSchema = R"(<?xml version="1.0" encoding="UTF-8"?>
<schemalist>
  <schema id="org.gnome.desktop.peripherals.mouse" path="/org/gnome/desktop/peripherals/mouse/">
    <key name="speed" type="d">
      <range min="-1" max="1"/>
      <default>0.0</default>
    </key>
  </schema>
</schemalist>
)";

class GSettingsPointerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!test::programOnPath("glib-compile-schemas")) {
            GTEST_SKIP() << "glib-compile-schemas is not installed";
        }
        std::ofstream(schemas_ / "org.gnome.desktop.peripherals.mouse.gschema.xml") << kSchema;
        const std::string compile = "glib-compile-schemas " + schemas_.path().string();
        ASSERT_EQ(std::system(compile.c_str()), 0);
    }

    TempFolder schemas_;
    TempFolder dir_;
    ScopedEnv backend_{"GSETTINGS_BACKEND", "memory"};
    ScopedEnv schemaDir_{"GSETTINGS_SCHEMA_DIR", schemas_.path().string()};
};

TEST_F(GSettingsPointerTest, SpeedMapsOntoTheMouseSetting) {
    auto pointer = makeGSettingsSystemPointer(dir_ / "pointer.ini");
    ASSERT_NE(pointer, nullptr) << "no GIO in the build, or the schema was not found";
    EXPECT_EQ(pointer->backendName(), "GSettings");
    EXPECT_EQ(pointer->pointerSpeed(), 10);  // the setting's default 0
    ASSERT_TRUE(pointer->setPointerSpeed(20));
    EXPECT_EQ(pointer->pointerSpeed(), 20);
    ASSERT_TRUE(pointer->setPointerSpeed(1));
    EXPECT_EQ(pointer->pointerSpeed(), 1);
    EXPECT_FALSE(pointer->setPointerSpeed(21));
    EXPECT_EQ(pointer->pointerSpeed(), 1);

    // A second backend sees what the first set: it is the desktop's value.
    auto other = makeGSettingsSystemPointer(dir_ / "pointer.ini");
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(other->pointerSpeed(), 1);

    // GNOME has no wheel lines: the file keeps them, and the speed too.
    EXPECT_FALSE(pointer->appliesWheelLines());
    ASSERT_TRUE(pointer->setWheelScrollLines(9));
    EXPECT_EQ(other->wheelScrollLines(), 9);
    EXPECT_EQ(iniReadInt(dir_ / "pointer.ini", "POINTER", "MOUSESPEED", 0), 1);

    // Forced by the environment, the session's choice is this backend.
    ScopedEnv config("XDG_CONFIG_HOME", dir_.path().string());
    ScopedEnv forced("RXT_POINTER_BACKEND", "gsettings");
    EXPECT_EQ(makeSystemPointer()->backendName(), "GSettings");
}

TEST(SystemPointerChoice, ForcedFileAndUnavailableBackendsGiveTheSettingsFile) {
    TempFolder dir;
    ScopedEnv config("XDG_CONFIG_HOME", dir.path().string());
    {
        ScopedEnv forced("RXT_POINTER_BACKEND", "file");
        EXPECT_EQ(makeSystemPointer()->backendName(), "settings file");
    }
    ScopedEnv forced("RXT_POINTER_BACKEND", "x11");
    ScopedEnv display("DISPLAY", ":4095");
    EXPECT_EQ(makeSystemPointer()->backendName(), "settings file");
}

}  // namespace
}  // namespace rxt
