// rxtctl's words for the lighting of the three devices: modes by name (the
// keyboard's from the list of its kind), the pages' scales and encodings,
// the refusals, and the view show prints.

#include "lighting/light_edit.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lighting/light_modes.h"

namespace rxt::lighting {
namespace {

std::optional<LightEdit> parse(LightDevice device, std::vector<std::string> words,
                               std::string* error = nullptr) {
    std::string e;
    auto edit = parseLightEdit(device, words, e);
    if (error != nullptr) {
        *error = e;
    }
    return edit;
}

TEST(LightModes, NamesFollowTheModeBytesOfEachDevice) {
    EXPECT_EQ(modeName("light_mode_colour_cycle"), "colour-cycle");
    EXPECT_EQ(modeOfName(DeviceKind::Mouse, "trail"), 0);
    EXPECT_EQ(modeOfName(DeviceKind::Mouse, "off"), 7);
    EXPECT_EQ(modeOfName(DeviceKind::Mousepad, "wave"), 0);
    EXPECT_EQ(modeOfName(DeviceKind::Mousepad, "hold"), 9);
    EXPECT_EQ(modeOfName(DeviceKind::Mousepad, "9"), 9);
    EXPECT_FALSE(modeOfName(DeviceKind::Mouse, "hold"));
    EXPECT_FALSE(modeOfName(DeviceKind::Mouse, "8"));
    // A keyboard of no known kind has no list.
    EXPECT_FALSE(modeOfName(DeviceKind::Keyboard, "wave"));
}

constexpr LightDevice kFull{DeviceKind::Keyboard, KeyboardKind::FullColour};
constexpr LightDevice kSingle{DeviceKind::Keyboard, KeyboardKind::SingleColour};
constexpr LightDevice kUnknownKeyboard{DeviceKind::Keyboard};

TEST(LightModes, TheKeyboardsNamesFollowTheListOfItsKind) {
    EXPECT_EQ(modeOfName(kFull, "wave"), 0);
    EXPECT_EQ(modeOfName(kFull, "rainbow"), 4);
    EXPECT_EQ(modeOfName(kFull, "custom"), 8);
    EXPECT_EQ(modeOfName(kFull, "offset-fall"), 16);
    EXPECT_EQ(modeOfName(kSingle, "breathing-wave"), 0);
    EXPECT_EQ(modeOfName(kSingle, "custom"), 6);
    EXPECT_EQ(modeOfName(kSingle, "keep-6"), 16);
    // The same name stands for another byte in the other list.
    EXPECT_EQ(modeOfName(kFull, "static"), 3);
    EXPECT_EQ(modeOfName(kSingle, "static"), 2);
    EXPECT_FALSE(modeOfName(kSingle, "rainbow"));
    EXPECT_FALSE(modeOfName(kFull, "breathing-wave"));
}

TEST(LightEdit, TheKeyboardStoresTheModeOfItsKindsList) {
    DeviceImages kb(DeviceKind::Keyboard);
    storeLightEdit(kb, *parse(kFull, {"mode", "comet"}));
    EXPECT_EQ(kb.current.get(rec::kLightMode), 12);
    storeLightEdit(kb, *parse(kSingle, {"mode", "comet"}));
    EXPECT_EQ(kb.current.get(rec::kLightMode), 10);
    storeLightEdit(kb, *parse(kSingle, {"direction", "left"}));
    EXPECT_EQ(kb.current.get(rec::kDirection), kDirectionLeft);
    storeLightEdit(kb, *parse(kFull, {"color", "ff8000"}));
    EXPECT_EQ(kb.current.get(rec::kGreen), 0x80);
    // Before the kind is known, a mode of either list passes the check.
    EXPECT_TRUE(parse(kUnknownKeyboard, {"mode", "rainbow"}));
    EXPECT_TRUE(parse(kUnknownKeyboard, {"mode", "breathing-wave"}));
    EXPECT_TRUE(parse(kUnknownKeyboard, {"mode", "16"}));
    EXPECT_TRUE(parse(kUnknownKeyboard, {"color", "ff8000"}));
}

TEST(LightEdit, EachFieldStoresThePagesByte) {
    DeviceImages pad(DeviceKind::Mousepad);
    storeLightEdit(pad, *parse(DeviceKind::Mousepad, {"mode", "scanner"}));
    EXPECT_EQ(pad.current.get(rec::kLightMode), 4);
    storeLightEdit(pad, *parse(DeviceKind::Mousepad, {"brightness", "3"}));
    EXPECT_EQ(pad.current.get(rec::kBrightness), 3);
    // The speed slider's scale: 4 is the fastest, stored as 0.
    storeLightEdit(pad, *parse(DeviceKind::Mousepad, {"speed", "4"}));
    EXPECT_EQ(pad.current.get(rec::kSpeed), 0);
    storeLightEdit(pad, *parse(DeviceKind::Mousepad, {"speed", "1"}));
    EXPECT_EQ(pad.current.get(rec::kSpeed), 3);
    storeLightEdit(pad, *parse(DeviceKind::Mousepad, {"direction", "left"}));
    EXPECT_EQ(pad.current.get(rec::kDirection), kDirectionLeft);
    storeLightEdit(pad, *parse(DeviceKind::Mousepad, {"direction", "right"}));
    EXPECT_EQ(pad.current.get(rec::kDirection), kDirectionRight);
    storeLightEdit(pad, *parse(DeviceKind::Mousepad, {"colourful", "on"}));
    EXPECT_EQ(pad.current.get(rec::kColourful), 1);
    // A colour is the single colour: colourful goes off, as on the page.
    storeLightEdit(pad, *parse(DeviceKind::Mousepad, {"color", "#FF8001"}));
    EXPECT_EQ(pad.current.get(rec::kRed), 0xFF);
    EXPECT_EQ(pad.current.get(rec::kGreen), 0x80);
    EXPECT_EQ(pad.current.get(rec::kBlue), 0x01);
    EXPECT_EQ(pad.current.get(rec::kColourful), 0);
    storeLightEdit(pad, *parse(DeviceKind::Mousepad, {"color", "1", "2", "255"}));
    EXPECT_EQ(pad.current.get(rec::kBlue), 255);
    EXPECT_EQ(pad.current.get(rec::kRed), 1);
}

TEST(LightEdit, BadValuesAreRefusedNamingWhatIsAllowed) {
    struct Case {
        LightDevice device;
        std::vector<std::string> words;
        std::string named;
    };
    const std::vector<Case> cases = {
        {DeviceKind::Mouse, {"mode", "hold"}, "trail, wave"},
        {DeviceKind::Mouse, {"mode", "8"}, "0 to 7"},
        {DeviceKind::Mousepad, {"mode", "10"}, "0 to 9"},
        {DeviceKind::Mouse, {"brightness", "5"}, "0 to 4"},
        {DeviceKind::Mouse, {"speed", "-1"}, "0 to 4 (4 is the fastest)"},
        {DeviceKind::Mouse, {"speed"}, "takes one value"},
        {DeviceKind::Mouse, {"direction", "up"}, "left or right"},
        {DeviceKind::Mouse, {"colourful", "yes"}, "on or off"},
        {DeviceKind::Mouse, {"color", "12345"}, "RRGGBB"},
        {DeviceKind::Mouse, {"color", "1", "2", "256"}, "0 to 255"},
        {DeviceKind::Mouse, {"color", "gg0000"}, "RRGGBB"},
        {DeviceKind::Mouse, {"glow", "1"}, "mode|brightness|speed"},
        {DeviceKind::Mouse, {}, "mode|brightness"},
        {kFull, {"mode", "17"}, "0 to 16"},
        {kSingle, {"mode", "17"}, "0 to 16"},
        {kFull, {"mode", "breathing-wave"}, "no full-colour keyboard light mode"},
        {kSingle, {"mode", "rainbow"}, "breathing-wave, breathing, static"},
        {kUnknownKeyboard, {"mode", "17"}, "0 to 16"},
        {kUnknownKeyboard, {"mode", "glow"}, "(single-colour keyboard)"},
        {kSingle, {"color", "ff8000"}, "colour is fixed"},
        {kSingle, {"colourful", "on"}, "colour is fixed"},
        {kFull, {"brightness", "5"}, "0 to 4"},
        {kFull, {"sparkle", "1"}, "mode|brightness|speed"},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_FALSE(parse(c.device, c.words, &error)) << c.named;
        EXPECT_NE(error.find(c.named), std::string::npos) << error;
    }
}

TEST(LightView, DecodesTheLightingHeadAsThePagesShowIt) {
    DeviceImages mouse(DeviceKind::Mouse);
    const uint8_t head[] = {0, 6, 2, 1, 0, 1, 0x10, 0x20, 0x30};
    mouse.current.copyIn(0, head);
    const LightView v = lightView(mouse);
    EXPECT_EQ(v.mode, 6);
    EXPECT_EQ(v.modeName, "reactive");
    EXPECT_EQ(v.brightness, 2);
    EXPECT_EQ(v.speed, 3);
    EXPECT_FALSE(v.left);
    EXPECT_TRUE(v.colourful);
    EXPECT_EQ(colourText(v.colour), "102030");
    mouse.current.set(rec::kLightMode, 8);
    EXPECT_EQ(lightView(mouse).modeName, "");
}

TEST(LightView, TheKeyboardsModeIsNamedByItsKindAndTheSingleColourIsFixed) {
    DeviceImages kb(DeviceKind::Keyboard);
    const uint8_t head[] = {0, 8, 4, 0, 1, 1, 0x10, 0x20, 0x30};
    kb.current.copyIn(0, head);
    LightView v = lightView(kb, KeyboardKind::FullColour);
    EXPECT_EQ(v.modeName, "custom");
    EXPECT_EQ(v.speed, 4);
    EXPECT_TRUE(v.left);
    EXPECT_TRUE(v.colourful);
    EXPECT_FALSE(v.fixedColour);
    EXPECT_EQ(colourText(v.colour), "102030");
    v = lightView(kb, KeyboardKind::SingleColour);
    EXPECT_EQ(v.modeName, "fall");
    EXPECT_TRUE(v.fixedColour);
    EXPECT_FALSE(v.colourful);
    EXPECT_EQ(colourText(v.colour), "f6ff00");
    EXPECT_EQ(lightView(kb).modeName, "");
}

}  // namespace
}  // namespace rxt::lighting
