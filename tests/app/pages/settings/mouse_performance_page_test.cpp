// The mouse performance page in the window built from the project's skin:
// what each control stores in the mouse current record, what it shows, what
// it saves and applies to the desktop, and the redraw from the images.

#include <gtest/gtest.h>

#include <vector>

#include "app/pages/settings/settings_page_names.h"
#include "app/pages/settings/settings_pages.h"
#include "app/shell/feature_set.h"
#include "platform/system_pointer.h"
#include "settings/performance_edit.h"
#include "support/shell_fixture.h"

namespace rxt::test {
namespace {

// Remembers the events the window hands its features.
class EventLog : public shell::PageFeature {
  public:
    void onEvent(const WindowEvent& event) override { seen.push_back(describe(event)); }
    std::vector<std::string> seen;
};

class MousePerformancePageTest : public ShellWindowTest {
  protected:
    void SetUp() override {
        features.add(pages);
        features.add(log);
        shell::MainWndOptions options;
        options.features = &features;
        open(options);
        showPage(3);
        takeLog();
    }
    // The mouse's page of "ms_tab_switch" on screen (users reach only it).
    void showPage(int page) {
        ui->setVisible("ms_tab_panel", true);
        ui->setCurrentPage("tab_switch", 1);
        ui->setCurrentPage("ms_tab_switch", page);
    }
    DeviceImages& mouse() { return window->images().mouse; }
    uint8_t byte(size_t offset) { return mouse().current.get(offset); }
    void refresh() { window->host().report(event::PageRefresh{Page::MouseMain}); }
    void settle() { pages.performance()->waitForWorkers(); }
    std::vector<std::string> takeLog() { return std::exchange(log.seen, {}); }
    void setSensor(uint16_t sensor, uint16_t lowest, uint8_t increment) {
        mouse().info.set(9, static_cast<uint8_t>(sensor));
        mouse().info.set(10, static_cast<uint8_t>(sensor >> 8));
        mouse().info.set(11, increment);
        mouse().info.set(13, static_cast<uint8_t>(lowest));
        mouse().info.set(14, static_cast<uint8_t>(lowest >> 8));
    }

    TempFolder pointerHome;
    std::unique_ptr<SystemPointer> system = makeFileSystemPointer(pointerHome / "pointer.ini");
    HostPointerSettings host;
    SettingsPages pages{SettingsPagesOptions{system.get(), &host}};
    EventLog log;
    shell::FeatureSet features;
};

const std::vector<std::string> kSavedBoth{"save mouse device", "save mouse lighting"};

TEST_F(MousePerformancePageTest, TheSkinHoldsEveryControlOfThePage) {
    for (const DpiLevelControls& c : kDpiLevelControls) {
        EXPECT_EQ(ui->controlKind(c.slider), ui::ControlKind::Slider) << c.slider;
        EXPECT_EQ(ui->maximum(c.slider), 118) << c.slider;
        EXPECT_EQ(ui->controlKind(c.valueLabel), ui::ControlKind::Label) << c.valueLabel;
        EXPECT_EQ(ui->controlKind(c.minLabel), ui::ControlKind::Label) << c.minLabel;
        EXPECT_EQ(ui->controlKind(c.maxLabel), ui::ControlKind::Label) << c.maxLabel;
        EXPECT_EQ(ui->controlKind(c.colourButton), ui::ControlKind::Button) << c.colourButton;
        EXPECT_EQ(ui->controlKind(c.activeCheck), ui::ControlKind::Option) << c.activeCheck;
    }
    EXPECT_EQ(ui->controlKind(kDebounceSlider), ui::ControlKind::Slider);
    EXPECT_EQ(ui->maximum(kDebounceSlider), 9);
    EXPECT_EQ(ui->controlKind(kDebounceLabel), ui::ControlKind::Label);
    EXPECT_EQ(ui->controlKind(kLiftOffCheck), ui::ControlKind::Option);
    EXPECT_EQ(ui->controlKind(kHeight2mmOption), ui::ControlKind::Option);
    EXPECT_EQ(ui->controlKind(kHeight3mmOption), ui::ControlKind::Option);
    EXPECT_EQ(ui->controlKind(kWheelUpButton), ui::ControlKind::Button);
    EXPECT_EQ(ui->controlKind(kWheelDownButton), ui::ControlKind::Button);
    EXPECT_EQ(ui->controlKind(kWheelLinesNote), ui::ControlKind::Label);
    EXPECT_EQ(ui->controlKind(kMouseRestoreButton), ui::ControlKind::Button);
    // Report rates in the order of the record's index; the heights 2 and 3
    // at the indexes the two options store.
    std::vector<std::string> rates;
    for (const ui::Item& item : ui->items(kReportRateCombo)) {
        rates.push_back(item.text);
    }
    EXPECT_EQ(rates, (std::vector<std::string>{"125 Hz", "250 Hz", "500 Hz", "1000 Hz"}));
    // rxtctl names the same rates by the same indexes.
    std::vector<std::string> named;
    for (int hz : perf::kReportRatesHz) {
        named.push_back(std::to_string(hz) + " Hz");
    }
    EXPECT_EQ(named, rates);
    EXPECT_EQ(ui->item(kHeightCombo, 2)->text, "2 mm");
    EXPECT_EQ(ui->item(kHeightCombo, 3)->text, "3 mm");
}

TEST_F(MousePerformancePageTest, DpiSliderStoresTheCodeShowsTheDpiAndMarksTheRecord) {
    ASSERT_TRUE(ui->userSlide("ms_DPI2_slider", 20));
    EXPECT_EQ(byte(16), 21);
    EXPECT_EQ(ui->text("ms_DPI2_label_value"), "2200");
    EXPECT_TRUE(window->writeBack().pending(DeviceKind::Mouse));
    EXPECT_EQ(takeLog(), kSavedBoth);

    ASSERT_TRUE(ui->userSlide("ms_DPI7_slider", 118));
    EXPECT_EQ(byte(22), 119);
    EXPECT_EQ(ui->text("ms_DPI7_label_value"), "12000");
    // Level 5 is past the active-level byte.
    ASSERT_TRUE(ui->userSlide("ms_DPI5_slider", 3));
    EXPECT_EQ(byte(20), 4);
    EXPECT_EQ(byte(19), 0);
}

TEST_F(MousePerformancePageTest, DraggingShowsTheSensorsStepsAndStoresNothing) {
    setSensor(0x3310, 200, 50);
    refresh();
    takeLog();
    window->writeBack().tick();
    ASSERT_TRUE(ui->userDrag("ms_DPI1_slider", 10));
    EXPECT_EQ(ui->text("ms_DPI1_label_value"), "550");  // 50 + 50 x 10
    EXPECT_EQ(byte(15), 0);
    EXPECT_FALSE(window->writeBack().pending(DeviceKind::Mouse));
    EXPECT_TRUE(takeLog().empty());
}

TEST_F(MousePerformancePageTest, RefreshShowsTheRecord) {
    // Codes 0 and 120 are in no table: position 0.
    mouse().current.set(15, 0);
    mouse().current.set(16, 120);
    mouse().current.set(17, 21);
    mouse().current.set(22, 119);
    mouse().current.set(14, 3);
    mouse().current.set(44, 5);  // odd: the first debounce position
    mouse().current.set(19, 2);
    mouse().current.set(23 + 3 * 4, 0x12);
    mouse().current.set(24 + 3 * 4, 0x34);
    mouse().current.set(25 + 3 * 4, 0x56);
    mouse().current.set(48, 1);
    mouse().current.set(49, 3);
    ui->setValue("ms_DPI1_slider", 50);
    refresh();
    EXPECT_EQ(ui->value("ms_DPI1_slider"), 0);
    EXPECT_EQ(ui->text("ms_DPI1_label_value"), "200");
    EXPECT_EQ(ui->value("ms_DPI2_slider"), 0);
    EXPECT_EQ(ui->text("ms_DPI2_label_value"), "200");
    EXPECT_EQ(ui->value("ms_DPI3_slider"), 20);
    EXPECT_EQ(ui->text("ms_DPI3_label_value"), "2200");
    EXPECT_EQ(ui->value("ms_DPI7_slider"), 118);
    EXPECT_EQ(ui->currentIndex(kReportRateCombo), 3);
    EXPECT_EQ(ui->value(kDebounceSlider), 0);
    EXPECT_EQ(ui->text(kDebounceLabel), "0");
    EXPECT_TRUE(ui->checked("dpi_check_3"));
    EXPECT_FALSE(ui->checked("dpi_check_1"));
    EXPECT_EQ(ui->backgroundColor("ms_DPIcolor_btn_5"), 0xFF123456u);
    EXPECT_EQ(ui->backgroundColor("ms_DPIcolor_btn_1"), 0xFF000000u);
    EXPECT_TRUE(ui->checked(kLiftOffCheck));
    EXPECT_EQ(ui->currentIndex(kHeightCombo), 3);
    EXPECT_TRUE(ui->checked(kHeight3mmOption));
    EXPECT_FALSE(ui->checked(kHeight2mmOption));
    // A refresh changes the page only: nothing is written or saved.
    EXPECT_FALSE(window->writeBack().pending(DeviceKind::Mouse));

    // An active level above 6 leaves the options as they are.
    mouse().current.set(19, 7);
    refresh();
    EXPECT_TRUE(ui->checked("dpi_check_3"));
}

TEST_F(MousePerformancePageTest, SensorSetsTheLowestDpiAndTheLimitLabels) {
    setSensor(0x3050, 200, 100);
    refresh();
    EXPECT_EQ(mouse().info.get(13) | (mouse().info.get(14) << 8), 800);
    for (const DpiLevelControls& c : kDpiLevelControls) {
        EXPECT_EQ(ui->text(c.minLabel), "800") << c.minLabel;
        EXPECT_EQ(ui->text(c.maxLabel), "6200") << c.maxLabel;
    }
    // An unknown sensor leaves labels and lowest DPI as they were.
    setSensor(0x1234, 300, 100);
    refresh();
    EXPECT_EQ(ui->text("ms_DPI4_min"), "800");
    EXPECT_EQ(mouse().info.get(13) | (mouse().info.get(14) << 8), 300);
}

TEST_F(MousePerformancePageTest, DebounceReportRateAndLiftOffStoreTheirBytes) {
    ASSERT_TRUE(ui->userSlide(kDebounceSlider, 3));
    EXPECT_EQ(byte(44), 10);
    ASSERT_TRUE(ui->userSlide(kDebounceSlider, 0));
    EXPECT_EQ(byte(44), 4);
    EXPECT_EQ(ui->text(kDebounceLabel), "0");
    ASSERT_TRUE(ui->userSlide(kDebounceSlider, 9));
    EXPECT_EQ(byte(44), 22);
    EXPECT_EQ(ui->text(kDebounceLabel), "18");
    ASSERT_TRUE(ui->userSelect(kReportRateCombo, 2));
    EXPECT_EQ(byte(14), 2);
    ASSERT_TRUE(ui->userCheck(kLiftOffCheck, true));
    EXPECT_EQ(byte(48), 1);
    ASSERT_TRUE(ui->userCheck(kLiftOffCheck, false));
    EXPECT_EQ(byte(48), 0);
    ASSERT_TRUE(ui->userCheck(kHeight2mmOption, true));
    EXPECT_EQ(byte(49), 2);
    EXPECT_EQ(ui->currentIndex(kHeightCombo), 2);
    ASSERT_TRUE(ui->userCheck(kHeight3mmOption, true));
    EXPECT_EQ(byte(49), 3);
    EXPECT_FALSE(ui->checked(kHeight2mmOption));
    ASSERT_TRUE(ui->userSelect(kHeightCombo, 1));
    EXPECT_EQ(byte(49), 1);
    EXPECT_FALSE(ui->checked(kHeight3mmOption));
    // Every change saved both mouse profiles.
    const std::vector<std::string> seen = takeLog();
    EXPECT_EQ(seen.size(), 2u * 9);
}

TEST_F(MousePerformancePageTest, ActiveLevelIsWrittenAtOnceAndSavesTheDeviceProfile) {
    ASSERT_TRUE(ui->userCheck("dpi_check_4", true));
    EXPECT_EQ(byte(19), 3);
    // Written at once, not left for the periodic write-back.
    EXPECT_FALSE(window->writeBack().pending(DeviceKind::Mouse));
    EXPECT_EQ(takeLog(), std::vector<std::string>{"save mouse device"});
}

TEST_F(MousePerformancePageTest, ColourFromThePaletteLandsInTheLevelsBytes) {
    ui->answer(ui::DialogAnswer::palette(0x00A1B2C3));
    ASSERT_TRUE(ui->userClick("ms_DPIcolor_btn_7"));
    EXPECT_EQ(byte(41), 0xA1);
    EXPECT_EQ(byte(42), 0xB2);
    EXPECT_EQ(byte(43), 0xC3);
    EXPECT_EQ(ui->backgroundColor("ms_DPIcolor_btn_7"), 0xFFA1B2C3u);
    EXPECT_TRUE(window->writeBack().pending(DeviceKind::Mouse));
    EXPECT_EQ(takeLog(), std::vector<std::string>{"save mouse device"});

    // Cancelled: nothing changes.
    window->writeBack().tick();
    ui->answer(ui::DialogAnswer::cancel(ui::DialogAnswer::Kind::Palette));
    ASSERT_TRUE(ui->userClick("ms_DPIcolor_btn_1"));
    EXPECT_EQ(byte(23), 0);
    EXPECT_FALSE(window->writeBack().pending(DeviceKind::Mouse));
}

TEST_F(MousePerformancePageTest, PointerSliderAppliesTheSpeedAndKeepsItForTheProfile) {
    ASSERT_TRUE(ui->userSlide(kPointerSpeedSlider, 9));
    // Kept at once, so the save that follows carries it.
    EXPECT_EQ(host.pointerSpeed.load(), 20);
    settle();
    EXPECT_EQ(system->pointerSpeed(), 20);
    EXPECT_EQ(takeLog(), kSavedBoth);
    // The record is the mouse's: the pointer speed never goes to it.
    EXPECT_FALSE(window->writeBack().pending(DeviceKind::Mouse));
    // A profile's speed 20 shows at position 9.
    window->host().report(event::PointerSliderShown{20 / 2 - 1});
    EXPECT_EQ(ui->value(kPointerSpeedSlider), 9);
}

TEST_F(MousePerformancePageTest, WheelButtonsStepWithinTheirRange) {
    ui->setText(kWheelLinesEdit, "1");
    ASSERT_TRUE(ui->userClick(kWheelDownButton));
    EXPECT_EQ(ui->text(kWheelLinesEdit), "1");
    ui->setText(kWheelLinesEdit, "100");
    ASSERT_TRUE(ui->userClick(kWheelUpButton));
    EXPECT_EQ(ui->text(kWheelLinesEdit), "100");
    ui->setText(kWheelLinesEdit, "");
    ASSERT_TRUE(ui->userClick(kWheelUpButton));
    EXPECT_EQ(ui->text(kWheelLinesEdit), "2");
    EXPECT_EQ(host.wheelLines.load(), 2);
    settle();
    EXPECT_EQ(system->wheelScrollLines(), 2);
    ASSERT_TRUE(ui->userClick(kWheelDownButton));
    EXPECT_EQ(ui->text(kWheelLinesEdit), "1");
}

TEST_F(MousePerformancePageTest, TypedWheelLinesApplyWhenTheEditLosesFocus) {
    ASSERT_TRUE(ui->userFocus(kWheelLinesEdit));
    ASSERT_TRUE(ui->userType(kWheelLinesEdit, "250"));
    ASSERT_TRUE(ui->userBlur(kWheelLinesEdit));
    EXPECT_EQ(ui->text(kWheelLinesEdit), "100");
    EXPECT_EQ(host.wheelLines.load(), 100);
    takeLog();
    // Text that is no number gives the kept lines back, and saves nothing.
    ASSERT_TRUE(ui->userFocus(kWheelLinesEdit));
    ASSERT_TRUE(ui->userType(kWheelLinesEdit, "many"));
    ASSERT_TRUE(ui->userBlur(kWheelLinesEdit));
    EXPECT_EQ(ui->text(kWheelLinesEdit), "100");
    EXPECT_TRUE(takeLog().empty());
    settle();
    EXPECT_EQ(system->wheelScrollLines(), 100);
}

TEST_F(MousePerformancePageTest, RestoreDefaultsGivesSpeedTenAndThreeLines) {
    ASSERT_TRUE(ui->userSlide(kPointerSpeedSlider, 9));
    ui->setText(kWheelLinesEdit, "40");
    ASSERT_TRUE(ui->userClick(kWheelUpButton));
    settle();
    showPage(0);  // the button is on the lighting page
    ASSERT_TRUE(ui->userClick(kMouseRestoreButton));
    EXPECT_EQ(ui->value(kPointerSpeedSlider), 4);
    EXPECT_EQ(ui->text(kWheelLinesEdit), "3");
    EXPECT_EQ(host.pointerSpeed.load(), 10);
    EXPECT_EQ(host.wheelLines.load(), 3);
    settle();
    EXPECT_EQ(system->pointerSpeed(), 10);
    EXPECT_EQ(system->wheelScrollLines(), 3);
}

TEST_F(MousePerformancePageTest, TheWheelNoteShowsWhereTheDesktopKeepsNoLines) {
    EXPECT_FALSE(system->appliesWheelLines());
    EXPECT_TRUE(ui->visible(kWheelLinesNote));
    EXPECT_EQ(ui->textKey(kWheelLinesNote), "wheel_lines_note_text");
}

}  // namespace
}  // namespace rxt::test

namespace rxt::test {
namespace {

ControlAnswer ask(shell::CMainWnd& window, std::vector<std::string> args) {
    return window.controlRouter().route(args);
}

TEST_F(MousePerformancePageTest, ControlRequestsRunThePagesOperationsAndShowOnItsControls) {
    // Refused while the program has no mouse.
    EXPECT_EQ(ask(*window, {"set", "mouse", "dpi", "2", "1600"}).status, 1);
    EXPECT_EQ(byte(16), 0);
    connect(DeviceKind::Mouse);
    ControlAnswer a = ask(*window, {"set", "mouse", "dpi", "2", "1600"});
    EXPECT_EQ(a.status, 0) << a.reason;
    EXPECT_EQ(byte(16), 15);
    EXPECT_EQ(ui->value("ms_DPI2_slider"), 14);
    EXPECT_EQ(ui->text("ms_DPI2_label_value"), "1600");
    EXPECT_TRUE(window->writeBack().pending(DeviceKind::Mouse));
    EXPECT_EQ(takeLog(), kSavedBoth);

    EXPECT_EQ(ask(*window, {"set", "mouse", "debounce", "8"}).status, 0);
    EXPECT_EQ(byte(44), 12);
    EXPECT_EQ(ui->value(kDebounceSlider), 4);
    EXPECT_EQ(ui->text(kDebounceLabel), "8");
    EXPECT_EQ(ask(*window, {"set", "mouse", "report-rate", "2"}).status, 0);
    EXPECT_EQ(byte(14), 2);
    EXPECT_EQ(ui->currentIndex(kReportRateCombo), 2);
    window->writeBack().tick();
    takeLog();
    // The active level: shown ticked and written at once.
    EXPECT_EQ(ask(*window, {"set", "mouse", "active-dpi", "5"}).status, 0);
    EXPECT_EQ(byte(19), 4);
    EXPECT_TRUE(ui->checked("dpi_check_5"));
    EXPECT_FALSE(ui->checked("dpi_check_1"));
    EXPECT_FALSE(window->writeBack().pending(DeviceKind::Mouse));

    // The program refuses what rxtctl refuses, naming the range.
    a = ask(*window, {"set", "mouse", "dpi", "2", "99"});
    EXPECT_EQ(a.status, 2);
    EXPECT_NE(a.reason.find("200 to 12000"), std::string::npos) << a.reason;
    EXPECT_EQ(byte(16), 15);
    EXPECT_EQ(ask(*window, {"set", "mouse", "sparkle", "1"}).status, 2);
}

}  // namespace
}  // namespace rxt::test
