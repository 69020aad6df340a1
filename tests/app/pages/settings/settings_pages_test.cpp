// The settings pages' controls in the window built from the project's skin:
// every name of the page's table is there, and what the device state and the
// profiles report lands on them.

#include <gtest/gtest.h>

#include "app/pages/settings/settings_page_names.h"
#include "app/pages/settings/settings_pages.h"
#include "platform/system_pointer.h"
#include "support/shell_fixture.h"

namespace rxt::test {
namespace {

class SettingsPagesTest : public ShellWindowTest {
  protected:
    void start() {
        shell::MainWndOptions options;
        options.features = &pages;
        open(options);
    }
    void report(const WindowEvent& event) { window->host().report(event); }

    TempFolder pointerHome;
    std::unique_ptr<SystemPointer> system = makeFileSystemPointer(pointerHome / "pointer.ini");
    SettingsPages pages{SettingsPagesOptions{system.get()}};
};

TEST_F(SettingsPagesTest, TheSkinHoldsEveryControlOfTheNameTable) {
    start();
    EXPECT_EQ(ui->controlKind(kPointerSpeedSlider), ui::ControlKind::Slider);
    EXPECT_EQ(ui->controlKind(kWheelLinesEdit), ui::ControlKind::Edit);
    for (const FunctionPanelControl& c : kFunctionPanels) {
        EXPECT_TRUE(ui->hasControl(c.panel)) << c.panel;
    }
}

TEST_F(SettingsPagesTest, PointerSettingsShowOnTheirControls) {
    start();
    report(event::PointerSliderShown{3});
    report(event::PointerSliderShown{4});
    report(event::WheelLinesShown{6});
    EXPECT_EQ(ui->value(kPointerSpeedSlider), 4);
    EXPECT_EQ(ui->text(kWheelLinesEdit), "6");
}

TEST_F(SettingsPagesTest, FunctionPanelsCloseForTheirDeviceOnly) {
    start();
    for (const FunctionPanelControl& c : kFunctionPanels) {
        ui->setVisible(c.panel, true);
        ui->setEnabled(c.panel, true);
    }
    // An on-device profile switch only closes it.
    report(event::FunctionPanelHidden{DeviceKind::Mouse, false});
    EXPECT_FALSE(ui->visible("ms_tab_function"));
    EXPECT_TRUE(ui->enabled("ms_tab_function"));
    EXPECT_TRUE(ui->visible("kb_tab_function"));

    // A loaded key profile also disables an open panel ...
    report(event::FunctionPanelHidden{DeviceKind::Keyboard, true});
    EXPECT_FALSE(ui->visible("kb_tab_function"));
    EXPECT_FALSE(ui->enabled("kb_tab_function"));
    // ... and leaves a closed one as it is.
    report(event::FunctionPanelHidden{DeviceKind::Mouse, true});
    EXPECT_TRUE(ui->enabled("ms_tab_function"));
    // The mousepad has no key page: nothing changes.
    report(event::FunctionPanelHidden{DeviceKind::Mousepad, true});
    EXPECT_FALSE(ui->visible("kb_tab_function"));
}

}  // namespace
}  // namespace rxt::test
