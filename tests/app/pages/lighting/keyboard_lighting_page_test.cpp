// The keyboard lighting page in the window built from the project's skin:
// both mode lists and their enable tables, the colour set and edits, the
// custom layouts painted key by key, the refresh, the same-mode buttons of
// the three pages and the batched key display.

#include <gtest/gtest.h>

#include <thread>

#include <vector>

#include "app/pages/lighting/keyboard_lighting_names.h"
#include "app/pages/lighting/lighting_enable_tables.h"
#include "app/pages/lighting/lighting_pages.h"
#include "app/pages/lighting/preview_pace.h"
#include "app/shell/feature_set.h"
#include "lighting/keyboard_custom_layouts.h"
#include "support/shell_fixture.h"

namespace rxt::test {
namespace {

using lighting::kFullColourKeyMap;
using lighting::kSingleColourKeyMap;

class EventLog : public shell::PageFeature {
  public:
    void onEvent(const WindowEvent& event) override {
        if (!std::holds_alternative<event::LightTrigger>(event)) {
            seen.push_back(describe(event));
        }
    }
    std::vector<std::string> seen;
};

const std::vector<std::string> kKeyboardSaved{"save keyboard device", "save keyboard lighting"};
const KeyboardLightingNames& N = kKeyboardLightingNames;

class KeyboardLightingTest : public ShellWindowTest {
  protected:
    void SetUp() override {
        features.add(pages);
        features.add(log);
        shell::MainWndOptions options;
        options.features = &features;
        open(options);
        ui->setVisible("kb_tab_panel", true);
        ui->setCurrentPage("tab_switch", 0);
        ui->setCurrentPage("kb_tab_switch", 2);
        ui->setChecked(N.lightingOption, true);
        ui->setChecked(N.keyOption, false);
        layouts().index.store(0);
        for (size_t i = 0; i < layouts().layouts.size(); ++i) {
            layouts().layouts.set(i, 0);
        }
        setKind(KeyboardKind::FullColour);
        for (DeviceKind k : kAllDeviceKinds) {
            const std::array<uint8_t, kSmallCurrentRecordSize> zero{};
            window->images().of(k).current.copyIn(0, zero);
        }
        log.seen.clear();
    }
    void TearDown() override { window->images().setKeyboardVariant(0); }
    void setKind(KeyboardKind kind) {
        window->images().setKeyboardVariant(keyboardVariantOf(kind));
    }
    DeviceImages& kb() { return window->images().keyboard; }
    KeyboardCustomLayouts& layouts() { return keyboardCustomLayouts(); }
    std::vector<std::string> takeLog() { return std::exchange(log.seen, {}); }
    void refresh() { window->host().report(event::PageRefresh{Page::KeyboardLighting}); }
    void click(int control) {
        window->host().report(event::KeyClicked{DeviceKind::Keyboard, control});
    }
    // The same-mode buttons are shown only while another device is attached.
    void clickSameMode(std::string_view name) {
        ui->notify({std::string(ui::notify::kClick), std::string(name), 0});
    }
    bool sync(DeviceKind k) { return window->links()[k].inLightSync(); }
    void setSync(bool on) {
        for (DeviceKind k : kAllDeviceKinds) {
            window->links()[k].setInLightSync(on);
        }
    }

    LightingPages pages{
        LightingPagesOptions{{std::chrono::milliseconds(0), std::chrono::milliseconds(5)}}};
    EventLog log;
    shell::FeatureSet features;
};

TEST_F(KeyboardLightingTest, TheSkinHoldsEveryControl) {
    using ui::ControlKind;
    for (std::string_view c : {N.fullModeCombo, N.singleModeCombo, N.layoutCombo}) {
        EXPECT_EQ(ui->controlKind(c), ControlKind::Combo) << c;
    }
    EXPECT_EQ(ui->itemCount(N.fullModeCombo), 17);
    EXPECT_EQ(ui->itemCount(N.singleModeCombo), 17);
    EXPECT_EQ(ui->itemCount(N.layoutCombo), 5);
    EXPECT_EQ(ui->item(N.fullModeCombo, 8)->userData, "light_mode_custom");
    EXPECT_EQ(ui->item(N.singleModeCombo, 6)->userData, "light_mode_custom");
    for (std::string_view s : {N.lightSlider, N.speedSlider}) {
        EXPECT_EQ(ui->controlKind(s), ControlKind::Slider) << s;
    }
    EXPECT_EQ(ui->controlKind(N.palette), ControlKind::Palette);
    for (std::string_view b : {N.colourButton, N.customColourButton, N.sameMode}) {
        EXPECT_EQ(ui->controlKind(b), ControlKind::Button) << b;
    }
    for (std::string_view e : {N.editR, N.editG, N.editB}) {
        EXPECT_EQ(ui->controlKind(e), ControlKind::Edit) << e;
    }
    for (std::string_view o : {N.sevenColourCheck, N.fxlCheck, N.fxrCheck, N.allBrightCheck,
                               N.allOffCheck, N.lightingOption, N.keyOption}) {
        EXPECT_EQ(ui->controlKind(o), ControlKind::Option) << o;
    }
    for (std::string_view l :
         {N.fxLayout, N.colourLayout, N.sevenColourLayout, N.speedLayout, N.colourDisplayLayout,
          N.customSelectLayout, N.rgbLayout, N.colourLump}) {
        EXPECT_TRUE(ui->hasControl(l)) << l;
    }
    for (int i = 0; i < 30; ++i) {
        EXPECT_EQ(ui->controlKind(std::string(N.presetPrefix) + std::to_string(i)),
                  ControlKind::Button)
            << i;
    }
    for (int k = 0; k < 126; ++k) {
        EXPECT_TRUE(ui->hasControl(std::string(N.keyPrefix) + std::to_string(k))) << k;
    }
}

TEST_F(KeyboardLightingTest, FullColourModesStoreEnableResetAndLeaveTheSync) {
    setSync(true);
    pages.requests(DeviceKind::Keyboard).take();
    ASSERT_TRUE(ui->userSelect(N.fullModeCombo, 10)) << ui->lastError();
    EXPECT_EQ(kb().current.get(rec::kLightMode), 10);
    EXPECT_TRUE(ui->enabled(N.fxLayout));
    EXPECT_FALSE(ui->enabled(N.colourLayout));
    EXPECT_FALSE(ui->enabled(N.sameMode));
    EXPECT_FALSE(pages.requests(DeviceKind::Keyboard).take().reset);  // mode 10 has none
    EXPECT_FALSE(sync(DeviceKind::Keyboard));
    EXPECT_TRUE(sync(DeviceKind::Mouse));  // only the keyboard leaves
    EXPECT_TRUE(window->writeBack().pending(DeviceKind::Keyboard));
    EXPECT_EQ(takeLog(), kKeyboardSaved);

    ASSERT_TRUE(ui->userSelect(N.fullModeCombo, 4));
    EXPECT_TRUE(pages.requests(DeviceKind::Keyboard).take().reset);
    ASSERT_TRUE(ui->userSelect(N.fullModeCombo, 3));
    EXPECT_FALSE(ui->enabled(N.speedLayout));
    EXPECT_TRUE(ui->enabled(N.sameMode));
    ASSERT_TRUE(ui->userSelect(N.fullModeCombo, 16));
    EXPECT_FALSE(ui->enabled(N.speedLayout));  // 16 leaves it as it was

    // The custom mode shows its layouts in place of the direction, the
    // seven colours and the colour swatch.
    ASSERT_TRUE(ui->userSelect(N.fullModeCombo, 8));
    for (std::string_view l : {N.customSelectLayout, N.rgbLayout, N.colourLump}) {
        EXPECT_TRUE(ui->visible(l)) << l;
        EXPECT_TRUE(ui->enabled(l)) << l;
    }
    for (std::string_view l : {N.fxLayout, N.sevenColourLayout, N.colourDisplayLayout}) {
        EXPECT_FALSE(ui->visible(l)) << l;
    }
    ASSERT_TRUE(ui->userSelect(N.fullModeCombo, 0));
    EXPECT_TRUE(ui->visible(N.fxLayout));
    EXPECT_FALSE(ui->visible(N.customSelectLayout));
}

TEST_F(KeyboardLightingTest, SingleColourKeyboardListEndsTheSyncForEveryDevice) {
    setKind(KeyboardKind::SingleColour);
    refresh();
    EXPECT_FALSE(ui->visible(N.fullModeCombo));
    EXPECT_TRUE(ui->visible(N.singleModeCombo));
    EXPECT_FALSE(ui->enabled(N.palette));
    setSync(true);
    ASSERT_TRUE(ui->userSelect(N.singleModeCombo, 5)) << ui->lastError();
    EXPECT_EQ(kb().current.get(rec::kLightMode), 5);
    for (DeviceKind k : kAllDeviceKinds) {
        EXPECT_FALSE(sync(k)) << static_cast<int>(k);
    }
    EXPECT_TRUE(ui->enabled(N.fxLayout));
    EXPECT_FALSE(ui->enabled(N.colourLayout));
    EXPECT_FALSE(ui->enabled(N.sameMode));
    ASSERT_TRUE(ui->userSelect(N.singleModeCombo, 6));
    EXPECT_TRUE(ui->enabled(N.customSelectLayout));
    EXPECT_FALSE(ui->enabled(N.rgbLayout));
    EXPECT_FALSE(ui->enabled(N.colourLump));
    EXPECT_FALSE(ui->enabled(N.speedLayout));
    refresh();
    EXPECT_FALSE(ui->enabled(N.palette));  // always, after a refresh
}

TEST_F(KeyboardLightingTest, ControlRequestsRunThePagesOperationsOnAFullColourKeyboard) {
    auto ask = [&](std::vector<std::string> args) { return window->controlRouter().route(args); };
    // Not attached: the words are checked against either list first.
    EXPECT_EQ(ask({"set", "keyboard", "lighting", "mode", "breathing-wave"}).status, 1);
    EXPECT_EQ(ask({"set", "keyboard", "lighting", "mode", "17"}).status, 2);
    connect(DeviceKind::Keyboard);
    setSync(true);
    ControlAnswer a = ask({"set", "keyboard", "lighting", "mode", "rainbow"});
    ASSERT_EQ(a.status, 0) << a.reason;
    EXPECT_EQ(kb().current.get(rec::kLightMode), 4);
    EXPECT_EQ(ui->currentIndex(N.fullModeCombo), 4);
    // The selection's own operation: its enable row, out of the sync.
    EXPECT_FALSE(ui->enabled(N.colourLayout));
    EXPECT_FALSE(sync(DeviceKind::Keyboard));
    EXPECT_TRUE(window->writeBack().pending(DeviceKind::Keyboard));
    EXPECT_EQ(takeLog(), kKeyboardSaved);

    EXPECT_EQ(ask({"set", "keyboard", "lighting", "speed", "1"}).status, 0);
    EXPECT_EQ(kb().current.get(rec::kSpeed), 3);
    EXPECT_EQ(ui->value(N.speedSlider), 1);
    EXPECT_EQ(ask({"set", "keyboard", "lighting", "brightness", "2"}).status, 0);
    EXPECT_EQ(kb().current.get(rec::kBrightness), 2);
    EXPECT_EQ(ui->value(N.lightSlider), 2);
    EXPECT_EQ(ask({"set", "keyboard", "lighting", "direction", "right"}).status, 0);
    EXPECT_EQ(kb().current.get(rec::kDirection), lighting::kDirectionRight);
    EXPECT_TRUE(ui->checked(N.fxrCheck));
    EXPECT_FALSE(ui->checked(N.fxlCheck));
    EXPECT_EQ(ask({"set", "keyboard", "lighting", "colourful", "on"}).status, 0);
    EXPECT_EQ(kb().current.get(rec::kColourful), 1);
    EXPECT_TRUE(ui->checked(N.sevenColourCheck));
    EXPECT_EQ(ask({"set", "keyboard", "lighting", "color", "102030"}).status, 0);
    EXPECT_EQ(kb().current.get(rec::kBlue), 0x30);
    EXPECT_EQ(kb().current.get(rec::kColourful), 0);
    EXPECT_FALSE(ui->checked(N.sevenColourCheck));
    EXPECT_EQ(ui->text(N.editG), "32");
    EXPECT_EQ(ui->paletteColor(N.palette) & 0xFFFFFFu, 0x102030u);
    EXPECT_EQ(ui->backgroundColor(N.colourButton) & 0xFFFFFFu, 0x102030u);
    takeLog();

    // In the custom mode a colour is the painting colour, as the palette's.
    ASSERT_EQ(ask({"set", "keyboard", "lighting", "mode", "custom"}).status, 0);
    EXPECT_EQ(ask({"set", "keyboard", "lighting", "color", "405060"}).status, 0);
    EXPECT_EQ(pages.keyboard()->toolColour(), (lighting::Rgb{0x40, 0x50, 0x60}));
    EXPECT_EQ(kb().current.get(rec::kRed), 0x10);

    a = ask({"set", "keyboard", "lighting", "mode", "breathing-wave"});
    EXPECT_EQ(a.status, 2);
    EXPECT_NE(a.reason.find("no full-colour keyboard light mode"), std::string::npos) << a.reason;
    EXPECT_EQ(kb().current.get(rec::kLightMode), 8);
}

TEST_F(KeyboardLightingTest, ControlRequestsOnASingleColourKeyboardUseItsListAndNoColour) {
    auto ask = [&](std::vector<std::string> args) { return window->controlRouter().route(args); };
    setKind(KeyboardKind::SingleColour);
    refresh();
    connect(DeviceKind::Keyboard);
    setSync(true);
    takeLog();
    ControlAnswer a = ask({"set", "keyboard", "lighting", "mode", "static"});
    ASSERT_EQ(a.status, 0) << a.reason;
    EXPECT_EQ(kb().current.get(rec::kLightMode), 2);
    EXPECT_EQ(ui->currentIndex(N.singleModeCombo), 2);
    // The single-colour list ends the sync for every device.
    for (DeviceKind k : kAllDeviceKinds) {
        EXPECT_FALSE(sync(k)) << static_cast<int>(k);
    }
    EXPECT_EQ(takeLog(), kKeyboardSaved);
    EXPECT_EQ(ask({"set", "keyboard", "lighting", "mode", "16"}).status, 0);
    EXPECT_EQ(kb().current.get(rec::kLightMode), 16);
    EXPECT_EQ(ask({"set", "keyboard", "lighting", "direction", "left"}).status, 0);
    EXPECT_EQ(kb().current.get(rec::kDirection), lighting::kDirectionLeft);
    takeLog();

    struct Refusal {
        std::vector<std::string> words;
        std::string named;
    };
    const std::vector<Refusal> refusals = {
        {{"mode", "rainbow"}, "no single-colour keyboard light mode"},
        {{"mode", "17"}, "0 to 16"},
        {{"color", "102030"}, "colour is fixed"},
        {{"colourful", "on"}, "colour is fixed"},
    };
    for (const Refusal& r : refusals) {
        std::vector<std::string> args{"set", "keyboard", "lighting"};
        args.insert(args.end(), r.words.begin(), r.words.end());
        a = ask(args);
        EXPECT_EQ(a.status, 2) << r.named;
        EXPECT_NE(a.reason.find(r.named), std::string::npos) << a.reason;
    }
    EXPECT_EQ(kb().current.get(rec::kLightMode), 16);
    EXPECT_EQ(kb().current.get(rec::kColourful), 0);
    EXPECT_TRUE(takeLog().empty());
}

TEST_F(KeyboardLightingTest, PaletteInTheCustomModeChangesOnlyTheToolColour) {
    kb().current.set(rec::kRed, 9);
    ASSERT_TRUE(ui->userSelect(N.fullModeCombo, 8));
    takeLog();
    ASSERT_TRUE(ui->userColor(N.palette, 0xFF102030)) << ui->lastError();
    EXPECT_EQ(pages.keyboard()->toolColour(), (lighting::Rgb{0x10, 0x20, 0x30}));
    EXPECT_EQ(ui->backgroundColor(N.customColourButton), 0xFF102030u);
    EXPECT_EQ(kb().current.get(rec::kRed), 9);  // the record's colour stays
    EXPECT_EQ(ui->text(N.editG), "32");
    EXPECT_EQ(takeLog(), kKeyboardSaved);

    // Outside it the colour is the record's: the seven colours unchecked.
    ASSERT_TRUE(ui->userSelect(N.fullModeCombo, 3));
    ui->setChecked(N.sevenColourCheck, true);
    kb().current.set(rec::kColourful, 1);
    ASSERT_TRUE(ui->userColor(N.palette, 0xFF445566));
    EXPECT_EQ(kb().current.get(rec::kRed), 0x44);
    EXPECT_EQ(kb().current.get(rec::kBlue), 0x66);
    EXPECT_EQ(kb().current.get(rec::kColourful), 0);
    EXPECT_FALSE(ui->checked(N.sevenColourCheck));
    EXPECT_EQ(ui->backgroundColor(N.colourButton), 0xFF445566u);
}

TEST_F(KeyboardLightingTest, EditsGoToTheToolColourOnTheCustomItem) {
    ASSERT_TRUE(ui->userSelect(N.fullModeCombo, 8));
    ASSERT_TRUE(ui->userType(N.editR, "300")) << ui->lastError();
    EXPECT_EQ(ui->text(N.editR), "255");
    EXPECT_EQ(pages.keyboard()->toolColour().r, 255);
    EXPECT_EQ(kb().current.get(rec::kRed), 0);
    ASSERT_TRUE(ui->userSelect(N.fullModeCombo, 2));
    ASSERT_TRUE(ui->userType(N.editB, "12"));
    EXPECT_EQ(kb().current.get(rec::kBlue), 12);
    EXPECT_EQ(ui->backgroundColor(N.colourButton) & 0xFFu, 12u);
}

TEST_F(KeyboardLightingTest, PaintingKeysInTheCustomLayouts) {
    ASSERT_TRUE(ui->userSelect(N.fullModeCombo, 8));
    ASSERT_TRUE(ui->userColor(N.palette, 0xFFAA0011));
    takeLog();
    click(44);  // W
    const size_t w = 3u * kFullColourKeyMap[44];
    EXPECT_EQ(layouts().get(w), 0xAA);
    EXPECT_EQ(layouts().get(w + 2), 0x11);
    // (The page acts before the log, which comes after it, sees the click.)
    EXPECT_EQ(takeLog(), (std::vector<std::string>{"save keyboard device", "save keyboard lighting",
                                                   "key keyboard 44"}));
    click(16);  // no light: nothing
    EXPECT_EQ(takeLog(), (std::vector<std::string>{"key keyboard 16"}));
    // The key page's option selected: the click is not this page's.
    ui->setChecked(N.lightingOption, false);
    click(45);
    EXPECT_EQ(layouts().get(3u * kFullColourKeyMap[45]), 0);
    ui->setChecked(N.lightingOption, true);

    // Another layout is another set of keys.
    ASSERT_TRUE(ui->userSelect(N.layoutCombo, 3));
    EXPECT_EQ(layouts().index.load(), 3);
    EXPECT_EQ(layouts().get(w), 0);

    // Mode 9 hands the key to the effect instead.
    ASSERT_TRUE(ui->userSelect(N.fullModeCombo, 9));
    click(52);
    std::vector<int> given;
    pages.handOffs().take([&](uint8_t k) { given.push_back(k); });
    EXPECT_EQ(given, std::vector<int>{52});

    setKind(KeyboardKind::SingleColour);
    kb().current.set(rec::kLightMode, 6);
    click(41);
    EXPECT_EQ(layouts().get(kSingleColourKeyMap[41]), 255);
}

TEST_F(KeyboardLightingTest, AllBrightFillsOnlyUnlitKeysAndAllOffClears) {
    ASSERT_TRUE(ui->userSelect(N.fullModeCombo, 8));
    ASSERT_TRUE(ui->userColor(N.palette, 0xFF0000FF));
    click(44);
    ASSERT_TRUE(ui->userColor(N.palette, 0xFF00FF00));
    ASSERT_TRUE(ui->userCheck(N.allBrightCheck, true)) << ui->lastError();
    EXPECT_TRUE(ui->checked(N.allBrightCheck));
    EXPECT_FALSE(ui->checked(N.allOffCheck));
    EXPECT_EQ(layouts().get(3u * kFullColourKeyMap[44] + 2), 0xFF);  // kept its blue
    EXPECT_EQ(layouts().get(3u * kFullColourKeyMap[0] + 1), 0xFF);
    EXPECT_EQ(layouts().get(3u * 17 + 1), 0);  // no key there
    ASSERT_TRUE(ui->userCheck(N.allOffCheck, true));
    EXPECT_FALSE(ui->checked(N.allBrightCheck));
    for (size_t i = 0; i < KeyboardCustomLayouts::kLayoutSize; ++i) {
        ASSERT_EQ(layouts().get(i), 0) << i;
    }
}

TEST_F(KeyboardLightingTest, RefreshShowsTheRecordAndTheLayoutIndex) {
    kb().current.set(rec::kLightMode, 12);
    kb().current.set(rec::kBrightness, 1);
    kb().current.set(rec::kSpeed, 3);
    kb().current.set(rec::kDirection, 1);
    kb().current.set(rec::kColourful, 1);
    kb().current.set(rec::kRed, 7);
    layouts().index.store(2);
    refresh();
    EXPECT_TRUE(ui->visible(N.fullModeCombo));
    EXPECT_EQ(ui->currentIndex(N.fullModeCombo), 12);
    EXPECT_EQ(ui->value(N.lightSlider), 1);
    EXPECT_EQ(ui->value(N.speedSlider), 1);
    EXPECT_TRUE(ui->checked(N.fxlCheck));  // a nonzero direction
    EXPECT_TRUE(ui->checked(N.sevenColourCheck));
    EXPECT_EQ(ui->currentIndex(N.layoutCombo), 2);
    EXPECT_EQ(ui->text(N.editR), "7");
    EXPECT_TRUE(ui->enabled(N.palette));
    EXPECT_FALSE(window->writeBack().pending(DeviceKind::Keyboard));
    // Choosing a direction and the refresh agree.
    ASSERT_TRUE(ui->userCheck(N.fxrCheck, true));
    EXPECT_EQ(kb().current.get(rec::kDirection), 0);
    refresh();
    EXPECT_TRUE(ui->checked(N.fxrCheck));
}

TEST_F(KeyboardLightingTest, SameModeFromTheMouseCopiesItsLightingBytes) {
    const std::array<uint8_t, 8> head{1, 3, 2, 1, 0, 11, 22, 33};
    window->images().mouse.current.copyIn(rec::kLightMode, head);
    clickSameMode("ms_deng_same_mode");
    for (DeviceKind k : kAllDeviceKinds) {
        EXPECT_EQ(window->images().of(k).lightingHead(), head) << static_cast<int>(k);
        EXPECT_TRUE(sync(k));
    }
    EXPECT_EQ(window->images().sharedLightingHead.snapshot(), head);
    const auto seen = takeLog();
    EXPECT_NE(std::find(seen.begin(), seen.end(), "refresh keyboard lighting"), seen.end());
    EXPECT_NE(std::find(seen.begin(), seen.end(), "save keyboard lighting"), seen.end());
    EXPECT_EQ(ui->currentIndex(N.fullModeCombo), 1);  // the keyboard page shows it

    const std::array<uint8_t, 8> pad{2, 4, 0, 0, 1, 1, 2, 3};
    window->images().mousepad.current.copyIn(rec::kLightMode, pad);
    clickSameMode("mp_deng_same_mode");
    EXPECT_EQ(window->images().keyboard.lightingHead(), pad);
    kb().current.set(rec::kLightMode, 3);
    clickSameMode(N.sameMode);
    EXPECT_EQ(window->images().mouse.current.get(rec::kLightMode), 3);
}

TEST_F(KeyboardLightingTest, KeyDisplayReachesTheKeysInOneBatch) {
    KeyLightPainter& painter = *pages.keyPainter();
    lighting::KeyDisplay d;
    d.colour.fill(0xFF010203u);
    d.level.fill(50);
    const size_t before = painter.posts();
    painter.showKeys(d);
    d.level[0] = 99;
    painter.showKeys(d);  // folded into the call already queued
    EXPECT_EQ(painter.posts(), before + 1);
    ui->processEvents();
    EXPECT_EQ(ui->keyLight("kb_key_0"), (ui::KeyLight{true, 0xFF010203u, 99}));
    EXPECT_EQ(ui->keyLight("kb_key_5").level, 50);
    // Frames faster than the screen refreshes are folded too, the UI
    // keeping up or not.
    const size_t drawn = painter.posts();
    for (int i = 0; i < 20; ++i) {
        painter.showKeys(d);
        ui->processEvents();
    }
    EXPECT_LT(painter.posts() - drawn, 20u);
    // The key page's option selected: the keys show no light.
    ui->setChecked(N.keyOption, true);
    std::this_thread::sleep_for(kPreviewFramePace + std::chrono::milliseconds(4));
    painter.showKeys(d);
    ui->processEvents();
    EXPECT_FALSE(ui->keyLight("kb_key_0").display);
}

TEST_F(KeyboardLightingTest, AHiddenWindowCostsTheUiNoKeyUpdates) {
    KeyLightPainter& painter = *pages.keyPainter();
    lighting::KeyDisplay d;
    d.colour.fill(0xFF010203u);
    d.level.fill(50);
    ui->showWindow(ui::SkinUi::Show::Hide);
    painter.showKeys(d);  // the one that finds the window hidden
    ui->processEvents();
    EXPECT_NE(ui->keyLight("kb_key_0").level, 50);
    const size_t before = painter.posts();
    for (int i = 0; i < 20; ++i) {
        painter.showKeys(d);
        ui->processEvents();
    }
    EXPECT_EQ(painter.posts(), before);  // nothing queued within the recheck time
    // Shown again: the latest frame is drawn at the next recheck.
    ui->showWindow(ui::SkinUi::Show::Show);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    d.level[0] = 77;
    painter.showKeys(d);
    ui->processEvents();
    EXPECT_EQ(ui->keyLight("kb_key_0").level, 77);
    EXPECT_EQ(ui->keyLight("kb_key_1").level, 50);
}

TEST(KeyboardEnableTables, RowsOfTheTables) {
    EXPECT_TRUE(kKeyboardFullEnableTable[0].sameMode);
    EXPECT_FALSE(kKeyboardFullEnableTable[4].sameMode);
    EXPECT_FALSE(kKeyboardFullEnableTable[9].speedOnRefresh.has_value());
    EXPECT_EQ(kKeyboardFullEnableTable[9].speedOnSelect, true);
    EXPECT_FALSE(kKeyboardFullEnableTable[16].speedOnSelect.has_value());
    EXPECT_TRUE(kKeyboardFullEnableTable[13].fx);
    EXPECT_FALSE(kKeyboardFullEnableTable[13].colour);
    EXPECT_FALSE(kKeyboardSingleEnableTable[3].speed);
    EXPECT_TRUE(kKeyboardSingleEnableTable[13].fx);
    EXPECT_FALSE(kKeyboardSingleEnableTable[6].fx);
}

}  // namespace
}  // namespace rxt::test
