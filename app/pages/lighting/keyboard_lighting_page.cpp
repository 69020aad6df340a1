#include "app/pages/lighting/keyboard_lighting_page.h"

#include <string>

#include "app/pages/lighting/lighting_enable_tables.h"
#include "app/pages/lighting/lighting_page.h"
#include "lighting/keyboard_frames.h"
#include "lighting/light_modes.h"

namespace rxt {
namespace {

namespace notify = ui::notify;
using lighting::Rgb;

}  // namespace

KeyboardLightingPage::KeyboardLightingPage(const KeyboardLightingContext& ctx) : ctx_(ctx) {}

KeyboardKind KeyboardLightingPage::kind() const {
    return ctx_.kind ? ctx_.kind() : KeyboardKind::FullColour;
}

bool KeyboardLightingPage::customMode() const {
    const uint8_t mode = get(rec::kLightMode);
    return kind() == KeyboardKind::FullColour ? mode == lighting::kFullColourCustomMode
                                              : mode == lighting::kSingleColourCustomMode;
}

void KeyboardLightingPage::fillModes() {
    ui::SkinUi& ui = *ctx_.ui;
    auto fill = [&ui](std::string_view combo, std::span<const std::string_view> keys) {
        const int kept = ui.currentIndex(combo);
        ui.clearItems(combo);
        for (std::string_view key : keys) {
            ui.addItem(combo, {ui.translate(key), std::string(key)});
        }
        ui.setCurrentIndex(combo, kept);
    };
    fill(names_.fullModeCombo, lighting::kFullColourModeTexts);
    fill(names_.singleModeCombo, lighting::kSingleColourModeTexts);
    const int kept = ui.currentIndex(names_.layoutCombo);
    ui.clearItems(names_.layoutCombo);
    for (size_t i = 0; i < KeyboardCustomLayouts::kCount; ++i) {
        ui.addItem(names_.layoutCombo, {std::to_string(i + 1), ""});
    }
    ui.setCurrentIndex(names_.layoutCombo, kept);
}

void KeyboardLightingPage::changed() {
    if (ctx_.writeBack != nullptr) {
        ctx_.writeBack->markPending(DeviceKind::Keyboard);
    }
    save();
}

void KeyboardLightingPage::save() {
    if (ctx_.report) {
        ctx_.report(event::ProfileSave{DeviceKind::Keyboard, ProfileKind::Device});
        ctx_.report(event::ProfileSave{DeviceKind::Keyboard, ProfileKind::Lighting});
    }
}

void KeyboardLightingPage::addRoutes(shell::NotifyRouter& router) {
    router.on(notify::kItemSelect, names_.fullModeCombo, [this](const ui::Notification& n, int) {
        selectMode(KeyboardKind::FullColour, static_cast<int>(n.value));
    });
    router.on(notify::kItemSelect, names_.singleModeCombo, [this](const ui::Notification& n, int) {
        selectMode(KeyboardKind::SingleColour, static_cast<int>(n.value));
    });
    router.on(notify::kValueChanged, names_.lightSlider, [this](const ui::Notification& n, int) {
        storeEdit({lighting::LightField::Brightness,
                   lighting::sliderLevel(n.value, lighting::kMaxBrightness),
                   {}});
    });
    router.on(notify::kValueChanged, names_.speedSlider, [this](const ui::Notification& n, int) {
        storeEdit(
            {lighting::LightField::Speed, lighting::sliderLevel(n.value, lighting::kMaxSpeed), {}});
    });
    router.on(notify::kMoveValueChanged, names_.lightSlider, [](const ui::Notification&, int) {});
    router.on(notify::kMoveValueChanged, names_.speedSlider, [](const ui::Notification&, int) {});
    router.on(notify::kColorChanged, names_.palette, [this](const ui::Notification&, int) {
        setColour(ctx_.ui->paletteColor(names_.palette), true);
    });
    router.on(notify::kTextChanged, names_.editR, [this](const ui::Notification&, int) {
        typedComponent(names_.editR, rec::kRed, 16);
    });
    router.on(notify::kTextChanged, names_.editG, [this](const ui::Notification&, int) {
        typedComponent(names_.editG, rec::kGreen, 8);
    });
    router.on(notify::kTextChanged, names_.editB, [this](const ui::Notification&, int) {
        typedComponent(names_.editB, rec::kBlue, 0);
    });
    router.on(notify::kSelectChanged, names_.sevenColourCheck,
              [this](const ui::Notification& n, int) {
                  storeEdit({lighting::LightField::Colourful, n.value != 0 ? 1 : 0, {}});
              });
    router.on(notify::kSelectChanged, names_.fxlCheck, [this](const ui::Notification& n, int) {
        if (n.value != 0) {
            chooseDirection(true);
        } else {
            showDirection();  // one of the two stays ticked
        }
    });
    router.on(notify::kSelectChanged, names_.fxrCheck, [this](const ui::Notification& n, int) {
        if (n.value != 0) {
            chooseDirection(false);
        } else {
            showDirection();
        }
    });
    router.on(notify::kItemSelect, names_.layoutCombo, [this](const ui::Notification& n, int) {
        const int index = static_cast<int>(n.value);
        if (index >= 0 && index < static_cast<int>(KeyboardCustomLayouts::kCount)) {
            ctx_.layouts->index.store(index);
            save();
        }
    });
    router.on(notify::kSelectChanged, names_.allBrightCheck,
              [this](const ui::Notification&, int) { allBright(); });
    router.on(notify::kSelectChanged, names_.allOffCheck,
              [this](const ui::Notification&, int) { allOff(); });
    router.onIndexed(notify::kClick, names_.presetPrefix, [this](const ui::Notification&, int n) {
        if (n >= 0 && n < static_cast<int>(std::size(ui::kPresetColors))) {
            setColour(ui::kPresetColors[n], true);
        }
    });
}

void KeyboardLightingPage::storeEdit(const lighting::LightEdit& edit) {
    lighting::storeLightEdit(*ctx_.images, edit);
    changed();
}

void KeyboardLightingPage::applyEdit(const lighting::LightEdit& edit) {
    ui::SkinUi& ui = *ctx_.ui;
    switch (edit.field) {
        case lighting::LightField::Mode: {
            const KeyboardKind list = kind();
            ui.setCurrentIndex(
                list == KeyboardKind::FullColour ? names_.fullModeCombo : names_.singleModeCombo,
                edit.value);
            selectMode(list, edit.value);
            break;
        }
        case lighting::LightField::Brightness:
            ui.setValue(names_.lightSlider, edit.value);
            storeEdit(edit);
            break;
        case lighting::LightField::Speed:
            ui.setValue(names_.speedSlider, edit.value);
            storeEdit(edit);
            break;
        case lighting::LightField::Direction:
            chooseDirection(edit.value != 0);
            break;
        case lighting::LightField::Colourful:
            ui.setChecked(names_.sevenColourCheck, edit.value != 0);
            storeEdit(edit);
            break;
        case lighting::LightField::Colour: {
            // As the palette: in the custom mode it is the painting colour.
            const uint32_t argb = lighting::argbOf(edit.colour);
            ui.setPaletteColor(names_.palette, argb);
            setColour(argb, true);
            break;
        }
    }
}

void KeyboardLightingPage::selectMode(KeyboardKind list, int mode) {
    if (mode < 0 || mode >= lighting::kKeyboardModes) {
        return;
    }
    set(rec::kLightMode, static_cast<uint8_t>(mode));
    applyEnableTable(mode, false);
    if (lighting::hasReset(list, static_cast<uint8_t>(mode)) && ctx_.requests != nullptr) {
        ctx_.requests->requestReset();
    }
    // A mode of its own ends the keyboard's part in the sync; the
    // single-colour list, which cannot take part, ends it for every device.
    if (list == KeyboardKind::SingleColour) {
        for (DeviceKind k : kAllDeviceKinds) {
            (*ctx_.links)[k].setInLightSync(false);
        }
    } else {
        (*ctx_.links)[DeviceKind::Keyboard].setInLightSync(false);
    }
    const uint32_t argb = lighting::argbOf(
        customMode() ? tool_ : Rgb{get(rec::kRed), get(rec::kGreen), get(rec::kBlue)});
    ctx_.ui->setPaletteColor(names_.palette, argb);
    setColour(argb, false);
    changed();
}

void KeyboardLightingPage::showGroups(bool custom) {
    ui::SkinUi& ui = *ctx_.ui;
    ui.setVisible(names_.fxLayout, !custom);
    ui.setVisible(names_.sevenColourLayout, !custom);
    ui.setVisible(names_.colourDisplayLayout, !custom);
    ui.setVisible(names_.customSelectLayout, custom);
    ui.setVisible(names_.rgbLayout, custom);
    ui.setVisible(names_.colourLump, custom);
}

void KeyboardLightingPage::applyEnableTable(int mode, bool onRefresh) {
    ui::SkinUi& ui = *ctx_.ui;
    if (mode < 0 || mode >= lighting::kKeyboardModes) {
        return;
    }
    const size_t m = static_cast<size_t>(mode);
    if (kind() == KeyboardKind::FullColour) {
        const KeyboardFullEnableRow& r = kKeyboardFullEnableTable[m];
        ui.setEnabled(names_.fxLayout, r.fx);
        ui.setEnabled(names_.colourLayout, r.colour);
        ui.setEnabled(names_.sevenColourLayout, r.sevenColour);
        const std::optional<bool> speed = onRefresh ? r.speedOnRefresh : r.speedOnSelect;
        if (speed) {
            ui.setEnabled(names_.speedLayout, *speed);
        }
        ui.setEnabled(names_.sameMode, r.sameMode);
        showGroups(m == lighting::kFullColourCustomMode);
        if (m == lighting::kFullColourCustomMode) {
            ui.setEnabled(names_.customSelectLayout, true);
            ui.setEnabled(names_.rgbLayout, true);
            ui.setEnabled(names_.colourLump, true);
        }
        return;
    }
    const KeyboardSingleEnableRow& r = kKeyboardSingleEnableTable[m];
    ui.setEnabled(names_.fxLayout, r.fx);
    ui.setEnabled(names_.speedLayout, r.speed);
    ui.setEnabled(names_.colourLayout, false);
    ui.setEnabled(names_.sevenColourLayout, false);
    ui.setEnabled(names_.sameMode, false);
    showGroups(m == lighting::kSingleColourCustomMode);
    if (m == lighting::kSingleColourCustomMode) {
        ui.setEnabled(names_.customSelectLayout, true);
        ui.setEnabled(names_.rgbLayout, false);
        ui.setEnabled(names_.colourLump, false);
    }
}

void KeyboardLightingPage::setColour(uint32_t argb, bool store) {
    ui::SkinUi& ui = *ctx_.ui;
    const Rgb c = lighting::rgbOf(argb);
    ui.setText(names_.editR, std::to_string(c.r));
    ui.setText(names_.editG, std::to_string(c.g));
    ui.setText(names_.editB, std::to_string(c.b));
    ui.setPaletteColor(names_.palette, argb);
    if (customMode()) {
        ui.setBackgroundColor(names_.customColourButton, 0xFF000000u | argb);
        ui.setBackgroundImage(names_.customColourButton, "");
        if (store) {
            tool_ = c;
        }
    } else {
        ui.setBackgroundColor(names_.colourButton, 0xFF000000u | argb);
        ui.setBackgroundImage(names_.colourButton, "");
        if (store) {
            ui.setChecked(names_.sevenColourCheck, false);
            set(rec::kRed, c.r);
            set(rec::kGreen, c.g);
            set(rec::kBlue, c.b);
            set(rec::kColourful, 0);
            if (ctx_.writeBack != nullptr) {
                ctx_.writeBack->markPending(DeviceKind::Keyboard);
            }
        }
    }
    if (store) {
        save();
    }
}

void KeyboardLightingPage::typedComponent(std::string_view edit, size_t offset, int shift) {
    ui::SkinUi& ui = *ctx_.ui;
    const std::string text = ui.text(edit);
    const int value = colourComponent(text);
    if (text != std::to_string(value)) {
        ui.setText(edit, std::to_string(value));
    }
    const uint32_t mask = 0xFFu << shift;
    const uint32_t part = static_cast<uint32_t>(value) << shift;
    const uint32_t palette = ui.paletteColor(names_.palette);
    ui.setPaletteColor(names_.palette, (palette & ~mask) | part);
    const bool toTool = kind() == KeyboardKind::FullColour &&
                        ui.currentIndex(names_.fullModeCombo) == lighting::kFullColourCustomMode;
    if (toTool) {
        uint8_t* component = offset == rec::kRed     ? &tool_.r
                             : offset == rec::kGreen ? &tool_.g
                                                     : &tool_.b;
        *component = static_cast<uint8_t>(value);
        ui.setBackgroundColor(names_.customColourButton, lighting::argbOf(tool_));
        save();
        return;
    }
    const uint32_t button = ui.backgroundColor(names_.colourButton);
    ui.setBackgroundColor(names_.colourButton, 0xFF000000u | (button & ~mask) | part);
    ui.setChecked(names_.sevenColourCheck, false);
    set(offset, static_cast<uint8_t>(value));
    set(rec::kColourful, 0);
    changed();
}

void KeyboardLightingPage::chooseDirection(bool left) {
    set(rec::kDirection, left ? lighting::kDirectionLeft : lighting::kDirectionRight);
    ctx_.ui->setChecked(names_.fxlCheck, left);
    ctx_.ui->setChecked(names_.fxrCheck, !left);
    changed();
}

void KeyboardLightingPage::showDirection() {
    const bool left = get(rec::kDirection) != 0;
    ctx_.ui->setChecked(names_.fxlCheck, left);
    ctx_.ui->setChecked(names_.fxrCheck, !left);
}

void KeyboardLightingPage::allBright() {
    ctx_.ui->setChecked(names_.allBrightCheck, true);
    ctx_.ui->setChecked(names_.allOffCheck, false);
    KeyboardCustomLayouts& l = *ctx_.layouts;
    const auto& map = lighting::keyMapFor(kind());
    for (uint8_t p : map) {
        if (p == lighting::kNoKey) {
            continue;
        }
        if (kind() == KeyboardKind::FullColour) {
            const size_t at = 3u * p;
            if (l.get(at) == 0 && l.get(at + 1) == 0 && l.get(at + 2) == 0) {
                l.set(at, tool_.r);
                l.set(at + 1, tool_.g);
                l.set(at + 2, tool_.b);
            }
        } else if (l.get(p) == 0) {
            l.set(p, 255);
        }
    }
    save();
}

void KeyboardLightingPage::allOff() {
    ctx_.ui->setChecked(names_.allOffCheck, true);
    ctx_.ui->setChecked(names_.allBrightCheck, false);
    for (size_t i = 0; i < KeyboardCustomLayouts::kLayoutSize; ++i) {
        ctx_.layouts->set(i, 0);
    }
    save();
}

void KeyboardLightingPage::clickKey(int control) {
    if (control < 0 || control >= static_cast<int>(lighting::kKeyCount) ||
        !ctx_.ui->checked(names_.lightingOption)) {
        return;
    }
    const uint8_t p = lighting::keyMapFor(kind())[static_cast<size_t>(control)];
    if (p == lighting::kNoKey) {
        return;  // a control without a light
    }
    const uint8_t mode = get(rec::kLightMode);
    if (customMode()) {
        if (kind() == KeyboardKind::FullColour) {
            ctx_.layouts->set(3u * p, tool_.r);
            ctx_.layouts->set(3u * p + 1, tool_.g);
            ctx_.layouts->set(3u * p + 2, tool_.b);
        } else {
            ctx_.layouts->set(p, 255);
        }
    } else if (kind() == KeyboardKind::FullColour && mode == lighting::kHandOffMode) {
        if (ctx_.handOffs != nullptr) {
            ctx_.handOffs->give(static_cast<uint8_t>(control));
        }
    } else {
        return;
    }
    save();
}

void KeyboardLightingPage::refresh() {
    ui::SkinUi& ui = *ctx_.ui;
    const uint8_t mode = get(rec::kLightMode);
    const int shown = mode < lighting::kKeyboardModes ? mode : -1;
    const bool full = kind() == KeyboardKind::FullColour;
    ui.setVisible(names_.fullModeCombo, full);
    ui.setVisible(names_.singleModeCombo, !full);
    ui.setCurrentIndex(full ? names_.fullModeCombo : names_.singleModeCombo, shown);
    showGroups(false);
    applyEnableTable(shown, true);
    ui.setValue(names_.lightSlider, get(rec::kBrightness));
    ui.setValue(names_.speedSlider, 4 - static_cast<int>(get(rec::kSpeed)));
    const uint32_t argb = lighting::argbOf(
        customMode() ? tool_ : Rgb{get(rec::kRed), get(rec::kGreen), get(rec::kBlue)});
    ui.setPaletteColor(names_.palette, argb);
    setColour(argb, false);
    ui.setChecked(names_.sevenColourCheck, get(rec::kColourful) != 0);
    showDirection();
    ui.setCurrentIndex(names_.layoutCombo, static_cast<int>(ctx_.layouts->current()));
    ui.setEnabled(names_.palette, full);
}

}  // namespace rxt
