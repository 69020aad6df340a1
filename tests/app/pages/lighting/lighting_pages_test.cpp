// The mouse and mousepad lighting pages in the window built from the
// project's skin: what each control stores, the enable tables, the colour
// set, the refresh, the on-board profile controls and the batched preview.

#include <gtest/gtest.h>

#include <vector>

#include "app/pages/lighting/lighting_enable_tables.h"
#include "app/pages/lighting/lighting_page_names.h"
#include "app/pages/lighting/lighting_pages.h"
#include "app/shell/feature_set.h"
#include "support/shell_fixture.h"

namespace rxt::test {
namespace {

class EventLog : public shell::PageFeature {
  public:
    void onEvent(const WindowEvent& event) override {
        if (!std::holds_alternative<event::LightTrigger>(event)) {
            seen.push_back(describe(event));
        }
    }
    std::vector<std::string> seen;
};

class LightingPagesTest : public ShellWindowTest {
  protected:
    void SetUp() override {
        features.add(pages);
        features.add(log);
        shell::MainWndOptions options;
        options.features = &features;
        open(options);
        // The mouse page and its lighting tab on screen.
        ui->setVisible("ms_tab_panel", true);
        ui->setCurrentPage("tab_switch", 1);
        ui->setCurrentPage("ms_tab_switch", 0);
        log.seen.clear();
    }
    void showPad() {
        ui->setVisible("mp_tab_panel", true);
        ui->setCurrentPage("tab_switch", 2);
    }
    DeviceImages& mouse() { return window->images().mouse; }
    DeviceImages& pad() { return window->images().mousepad; }
    std::vector<std::string> takeLog() { return std::exchange(log.seen, {}); }
    void refresh(Page page) { window->host().report(event::PageRefresh{page}); }
    std::string name(std::string_view prefix, int n) {
        return std::string(prefix) + std::to_string(n);
    }

    LightingPages pages{
        LightingPagesOptions{{std::chrono::milliseconds(0), std::chrono::milliseconds(5)}}};
    EventLog log;
    shell::FeatureSet features;
};

const std::vector<std::string> kMouseSaved{"save mouse device", "save mouse lighting"};
const std::vector<std::string> kPadSaved{"save mousepad lighting"};

TEST_F(LightingPagesTest, TheSkinHoldsEveryControlOfBothPages) {
    using ui::ControlKind;
    for (const LightingPageNames* n : {&kMouseLightingNames, &kMousepadLightingNames}) {
        EXPECT_EQ(ui->controlKind(n->modeCombo), ControlKind::Combo) << n->modeCombo;
        EXPECT_EQ(ui->itemCount(n->modeCombo), static_cast<int>(n->modes.size())) << n->modeCombo;
        EXPECT_EQ(ui->controlKind(n->modeSwitch), ControlKind::Tabs);
        for (std::string_view s : {n->lightSlider, n->speedSlider}) {
            EXPECT_EQ(ui->controlKind(s), ControlKind::Slider) << s;
            EXPECT_EQ(ui->maximum(s), 4) << s;
        }
        EXPECT_EQ(ui->controlKind(n->palette), ControlKind::Palette);
        EXPECT_EQ(ui->controlKind(n->colourButton), ControlKind::Button);
        for (std::string_view e : {n->editR, n->editG, n->editB}) {
            EXPECT_EQ(ui->controlKind(e), ControlKind::Edit) << e;
        }
        for (std::string_view o : {n->sevenColourCheck, n->fxlCheck, n->fxrCheck}) {
            EXPECT_EQ(ui->controlKind(o), ControlKind::Option) << o;
        }
        for (int i = 0; i < 30; ++i) {
            EXPECT_EQ(ui->controlKind(name(n->presetPrefix, i)), ControlKind::Button) << i;
        }
        for (size_t i = 0; i < n->previewControls; ++i) {
            EXPECT_TRUE(ui->hasControl(name(n->previewPrefix, static_cast<int>(i)))) << i;
        }
        for (std::string_view l :
             {n->fxLayout, n->colourLayout, n->sevenColourLayout, n->speedLayout, n->sameMode}) {
            EXPECT_TRUE(ui->hasControl(l)) << l;
        }
    }
    EXPECT_EQ(ui->controlKind("ms_Deng_FXL_btn"), ui::ControlKind::Button);
    EXPECT_TRUE(ui->hasControl(kMouseLightingNames.lightLayout));
    for (int i = 0; i < 5; ++i) {
        EXPECT_TRUE(ui->hasControl(name(kMouseOnboardPrefix, i))) << i;
    }
    EXPECT_EQ(ui->itemCount(kMousepadOnboardCombo), 5);
    EXPECT_EQ(ui->controlKind(kMousepadRestoreButton), ui::ControlKind::Button);
}

TEST_F(LightingPagesTest, SlidersStoreBrightnessAndSpeed) {
    ASSERT_TRUE(ui->userSlide("ms_deng_light_slider", 3)) << ui->lastError();
    EXPECT_EQ(mouse().current.get(rec::kBrightness), 3);
    EXPECT_EQ(takeLog(), kMouseSaved);
    EXPECT_TRUE(window->writeBack().pending(DeviceKind::Mouse));
    showPad();
    ASSERT_TRUE(ui->userSlide("mp_deng_speed_slider", 4));
    EXPECT_EQ(pad().current.get(rec::kSpeed), 0);  // right end: fastest
    EXPECT_EQ(takeLog(), kPadSaved);
    ASSERT_TRUE(ui->userSlide("mp_deng_speed_slider", 0));
    EXPECT_EQ(pad().current.get(rec::kSpeed), 4);
}

TEST_F(LightingPagesTest, ModeSelectionStoresEnablesLeavesTheSyncAndResets) {
    window->links()[DeviceKind::Mouse].setInLightSync(true);
    ASSERT_TRUE(ui->userSelect("ms_deng_combo_modeSelect0", 7)) << ui->lastError();
    EXPECT_EQ(mouse().current.get(rec::kLightMode), 7);
    EXPECT_FALSE(window->links()[DeviceKind::Mouse].inLightSync());
    EXPECT_FALSE(ui->visible("ms_deng_light_layout"));
    EXPECT_FALSE(ui->enabled("ms_deng_speed_layout"));
    EXPECT_FALSE(ui->enabled("ms_deng_same_mode"));
    EXPECT_TRUE(pages.requests(DeviceKind::Mouse).take().reset);
    ASSERT_TRUE(ui->userSelect("ms_deng_combo_modeSelect0", 2));
    EXPECT_TRUE(ui->visible("ms_deng_light_layout"));
    EXPECT_FALSE(ui->visible("ms_deng_Color_Pallet"));
    EXPECT_TRUE(ui->enabled("ms_deng_fx_layout"));
    EXPECT_FALSE(ui->visible("ms_deng_fx_layout"));
    ASSERT_TRUE(ui->userSelect("ms_deng_combo_modeSelect0", 5));
    EXPECT_FALSE(ui->enabled("ms_deng_7colorselect_layout"));
    EXPECT_TRUE(ui->visible("ms_deng_7colorselect_layout"));

    showPad();
    ASSERT_TRUE(ui->userSelect("mp_deng_combo_modeSelect", 3));
    EXPECT_FALSE(ui->enabled("mp_deng_speed_layout"));
    EXPECT_FALSE(ui->enabled("mp_deng_7colorselect_layout"));
    ASSERT_TRUE(ui->userSelect("mp_deng_combo_modeSelect", 9));
    EXPECT_FALSE(ui->enabled("mp_deng_speed_layout"));  // mode 9 leaves it
    EXPECT_FALSE(ui->enabled("mp_deng_same_mode"));
    ASSERT_TRUE(ui->userSelect("mp_deng_combo_modeSelect", 6));
    EXPECT_TRUE(ui->enabled("mp_deng_fx_layout"));
    EXPECT_TRUE(ui->enabled("mp_deng_speed_layout"));
    refresh(Page::MousepadLighting);
    EXPECT_FALSE(ui->enabled("mp_deng_fx_layout"));  // the refresh of mode 6
}

TEST_F(LightingPagesTest, PaletteColourUnchecksTheSevenColoursAndStores) {
    showPad();
    ui->setChecked("mp_Deng_7color_check", true);
    pad().current.set(rec::kColourful, 1);
    ASSERT_TRUE(ui->userColor("mp_deng_Color_Pallet", 0xFF102030)) << ui->lastError();
    EXPECT_FALSE(ui->checked("mp_Deng_7color_check"));
    EXPECT_EQ(pad().current.get(rec::kColourful), 0);
    EXPECT_EQ(pad().current.get(rec::kRed), 0x10);
    EXPECT_EQ(pad().current.get(rec::kBlue), 0x30);
    EXPECT_EQ(ui->text("mp_Deng_edit_G"), "32");
    EXPECT_EQ(ui->backgroundColor("mp_Deng_colordp_btn"), 0xFF102030u);
}

TEST_F(LightingPagesTest, PresetButtonsSetTheirColour) {
    ASSERT_TRUE(ui->userClick("ms_Deng_color_btn_16")) << ui->lastError();  // 0xFF48B1FA
    EXPECT_EQ(mouse().current.get(rec::kRed), 0x48);
    EXPECT_EQ(mouse().current.get(rec::kGreen), 0xB1);
    EXPECT_EQ(mouse().current.get(rec::kBlue), 0xFA);
    EXPECT_EQ(takeLog(), kMouseSaved);
}

TEST_F(LightingPagesTest, ColourEditsClampAndReplaceOneComponent) {
    ui->setBackgroundColor("ms_Deng_colordp_btn", 0xFF112233);
    ui->setPaletteColor("ms_deng_Color_Pallet", 0xFF112233);
    ui->setChecked("ms_Deng_7color_check", true);
    ASSERT_TRUE(ui->userType("ms_Deng_edit_G", "300")) << ui->lastError();
    EXPECT_EQ(ui->text("ms_Deng_edit_G"), "255");
    EXPECT_EQ(mouse().current.get(rec::kGreen), 255);
    EXPECT_EQ(ui->backgroundColor("ms_Deng_colordp_btn"), 0xFF11FF33u);
    EXPECT_EQ(ui->paletteColor("ms_deng_Color_Pallet"), 0xFF11FF33u);
    EXPECT_FALSE(ui->checked("ms_Deng_7color_check"));
    ASSERT_TRUE(ui->userType("ms_Deng_edit_R", ""));
    EXPECT_EQ(ui->text("ms_Deng_edit_R"), "0");
    EXPECT_EQ(mouse().current.get(rec::kRed), 0);
    ASSERT_TRUE(ui->userType("ms_Deng_edit_B", "12"));
    EXPECT_EQ(ui->text("ms_Deng_edit_B"), "12");
    EXPECT_EQ(mouse().current.get(rec::kBlue), 12);
    EXPECT_EQ(colourComponent("abc"), 0);
    EXPECT_EQ(colourComponent("99999999999999"), 255);
    EXPECT_EQ(colourComponent("-4"), 0);
}

TEST_F(LightingPagesTest, DirectionChecksPairLeftWithOneOnBothPages) {
    ASSERT_TRUE(ui->userCheck("ms_Deng_FXL_check", true)) << ui->lastError();
    EXPECT_EQ(mouse().current.get(rec::kDirection), 1);
    EXPECT_FALSE(ui->checked("ms_Deng_FXR_check"));
    ASSERT_TRUE(ui->userClick("ms_Deng_FXR_btn"));
    EXPECT_EQ(mouse().current.get(rec::kDirection), 0);
    EXPECT_TRUE(ui->checked("ms_Deng_FXR_check"));
    EXPECT_FALSE(ui->checked("ms_Deng_FXL_check"));
    showPad();
    ASSERT_TRUE(ui->userCheck("mp_Deng_FXR_check", true));
    EXPECT_EQ(pad().current.get(rec::kDirection), 0);
    ASSERT_TRUE(ui->userCheck("mp_Deng_FXL_check", true));
    EXPECT_EQ(pad().current.get(rec::kDirection), 1);
    // Choosing and refresh agree.
    refresh(Page::MousepadLighting);
    EXPECT_TRUE(ui->checked("mp_Deng_FXL_check"));
    // Unticking the ticked box leaves it ticked: one direction is always chosen.
    ui->setChecked("mp_Deng_FXL_check", false);
    ui->notify({std::string(ui::notify::kSelectChanged), "mp_Deng_FXL_check", 0});
    EXPECT_TRUE(ui->checked("mp_Deng_FXL_check"));
    EXPECT_EQ(pad().current.get(rec::kDirection), 1);
}

TEST_F(LightingPagesTest, ControlRequestsRunThePagesOperationsAndShowOnItsControls) {
    auto ask = [&](std::vector<std::string> args) { return window->controlRouter().route(args); };
    EXPECT_EQ(ask({"set", "mousepad", "lighting", "mode", "scanner"}).status, 1);  // not attached
    window->links()[DeviceKind::Mousepad].setConnected(true);
    window->links()[DeviceKind::Mousepad].setInLightSync(true);
    ControlAnswer a = ask({"set", "mousepad", "lighting", "mode", "scanner"});
    EXPECT_EQ(a.status, 0) << a.reason;
    EXPECT_EQ(pad().current.get(rec::kLightMode), 4);
    EXPECT_EQ(ui->currentIndex(kMousepadLightingNames.modeCombo), 4);
    // The mode's own operation: the device leaves the light sync.
    EXPECT_FALSE(window->links()[DeviceKind::Mousepad].inLightSync());
    EXPECT_EQ(takeLog(), kPadSaved);
    EXPECT_TRUE(window->writeBack().pending(DeviceKind::Mousepad));

    EXPECT_EQ(ask({"set", "mousepad", "lighting", "speed", "3"}).status, 0);
    EXPECT_EQ(pad().current.get(rec::kSpeed), 1);
    EXPECT_EQ(ui->value(kMousepadLightingNames.speedSlider), 3);
    EXPECT_EQ(ask({"set", "mousepad", "lighting", "colourful", "on"}).status, 0);
    EXPECT_TRUE(ui->checked(kMousepadLightingNames.sevenColourCheck));
    // A colour: the swatch, the edits and the palette show it; colourful off.
    EXPECT_EQ(ask({"set", "mousepad", "lighting", "color", "102030"}).status, 0);
    EXPECT_EQ(pad().current.get(rec::kGreen), 0x20);
    EXPECT_EQ(pad().current.get(rec::kColourful), 0);
    EXPECT_FALSE(ui->checked(kMousepadLightingNames.sevenColourCheck));
    EXPECT_EQ(ui->text(kMousepadLightingNames.editB), "48");
    EXPECT_EQ(ui->paletteColor(kMousepadLightingNames.palette) & 0xFFFFFFu, 0x102030u);

    window->links()[DeviceKind::Mouse].setConnected(true);
    EXPECT_EQ(ask({"set", "mouse", "lighting", "direction", "right"}).status, 0);
    EXPECT_EQ(mouse().current.get(rec::kDirection), 0);
    EXPECT_TRUE(ui->checked(kMouseLightingNames.fxrCheck));
    a = ask({"set", "mouse", "lighting", "mode", "hold"});
    EXPECT_EQ(a.status, 2);
    EXPECT_NE(a.reason.find("trail"), std::string::npos) << a.reason;
}

TEST_F(LightingPagesTest, RefreshShowsTheRecord) {
    DeviceImages& m = mouse();
    m.current.set(rec::kLightMode, 4);
    m.current.set(rec::kBrightness, 2);
    m.current.set(rec::kSpeed, 1);
    m.current.set(rec::kDirection, 0);
    m.current.set(rec::kColourful, 1);
    m.current.set(rec::kRed, 1);
    m.current.set(rec::kGreen, 2);
    m.current.set(rec::kBlue, 3);
    m.current.set(rec::kIndex, 2);
    refresh(Page::MouseMain);
    EXPECT_EQ(ui->currentIndex("ms_deng_combo_modeSelect0"), 4);
    EXPECT_FALSE(ui->visible("ms_deng_fx_layout"));
    EXPECT_EQ(ui->value("ms_deng_light_slider"), 2);
    EXPECT_EQ(ui->value("ms_deng_speed_slider"), 3);
    EXPECT_EQ(ui->paletteColor("ms_deng_Color_Pallet"), 0xFF010203u);
    EXPECT_EQ(ui->text("ms_Deng_edit_B"), "3");
    EXPECT_TRUE(ui->checked("ms_Deng_7color_check"));
    EXPECT_TRUE(ui->checked("ms_Deng_FXR_check"));
    EXPECT_TRUE(ui->checked("ms_profile_2"));
    EXPECT_FALSE(ui->checked("ms_profile_0"));
    EXPECT_FALSE(window->writeBack().pending(DeviceKind::Mouse));  // showing stores nothing
    EXPECT_TRUE(takeLog().size() == 1);                            // the refresh event itself

    pad().current.set(rec::kLightMode, 5);
    pad().current.set(rec::kIndex, 3);
    pages.requests(DeviceKind::Mousepad).take();
    refresh(Page::MousepadLighting);
    EXPECT_EQ(ui->currentIndex("mp_deng_combo_modeSelect"), 5);
    EXPECT_EQ(ui->currentIndex(kMousepadOnboardCombo), 3);
    EXPECT_TRUE(pages.requests(DeviceKind::Mousepad).take().reset);  // the ripple armed
}

TEST_F(LightingPagesTest, OnboardControlsSwitchTheImagesAndShowTheCurrentProfile) {
    // With no device answering, the switch still loads the record table's
    // entry, and the page shows the profile the images now hold.
    mouse().records.set(3 * kRecordStride + rec::kLightMode, 6);
    mouse().current.set(rec::kIndex, 1);
    refresh(Page::MouseMain);
    takeLog();
    ASSERT_TRUE(ui->userCheck("ms_profile_3", true)) << ui->lastError();
    EXPECT_EQ(mouse().currentIndex(), 3);
    EXPECT_TRUE(ui->checked("ms_profile_3"));
    EXPECT_FALSE(ui->checked("ms_profile_1"));
    EXPECT_EQ(ui->currentIndex("ms_deng_combo_modeSelect0"), 6);
    EXPECT_EQ(takeLog(), (std::vector<std::string>{"hide mouse function panel", "refresh mouse"}));
    showPad();
    pad().current.set(rec::kIndex, 0);
    ASSERT_TRUE(ui->userSelect(kMousepadOnboardCombo, 2)) << ui->lastError();
    EXPECT_EQ(pad().currentIndex(), 2);
    EXPECT_EQ(ui->currentIndex(kMousepadOnboardCombo), 2);
}

TEST_F(LightingPagesTest, PreviewReachesTheControlsInOneBatch) {
    PreviewPainter& painter = *pages.mousePreview();
    painter.updateVisible();
    ASSERT_NE(painter.visibleControls(), 0u);
    lighting::PreviewFrame frame;
    for (size_t i = 0; i < 20; ++i) {
        frame.set(i, {1, 2, 3}, 77);
    }
    const size_t before = painter.posts();
    painter.show(frame);
    frame.set(4, {9, 9, 9}, 10);
    painter.show(frame);  // folded into the call already queued
    EXPECT_EQ(painter.posts(), before + 1);
    ui->processEvents();
    EXPECT_EQ(ui->tint("ms_dkey_4").color & 0xFFFFFFu, 0x090909u);
    EXPECT_EQ(ui->tint("ms_dkey_4").alpha, 10);
    EXPECT_EQ(ui->tint("ms_dkey_19").alpha, 77);
    // Hidden in the tray: nothing is worth drawing.
    ui->showWindow(ui::SkinUi::Show::Hide);
    painter.updateVisible();
    EXPECT_EQ(painter.visibleControls(), 0u);
}

TEST_F(LightingPagesTest, TheTriggerSetsOffBothFlashes) {
    pages.requests(DeviceKind::Mouse).take();
    pages.requests(DeviceKind::Mousepad).take();
    window->report(event::LightTrigger{DeviceKind::Mouse});
    EXPECT_TRUE(pages.requests(DeviceKind::Mouse).take().flash);
    EXPECT_TRUE(pages.requests(DeviceKind::Mousepad).take().flash);
    window->report(event::LightTrigger{DeviceKind::Keyboard});
    EXPECT_FALSE(pages.requests(DeviceKind::Mouse).take().flash);
}

TEST(LightingEnableTables, RowsOfTheTables) {
    EXPECT_EQ(kMouseEnableTable[6].sevenColour.enabled, true);
    EXPECT_FALSE(kMouseEnableTable[6].sevenColour.visible.has_value());
    EXPECT_EQ(kMouseEnableTable[3].palette.visible, false);
    EXPECT_FALSE(kMouseEnableTable[3].palette.enabled.has_value());
    EXPECT_FALSE(kMousepadEnableTable[9].speed.has_value());
    EXPECT_EQ(kMousepadEnableTable[8].speed, false);
    EXPECT_FALSE(kMousepadEnableTable[1].colour);
}

}  // namespace
}  // namespace rxt::test
