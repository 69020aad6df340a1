#include "app/pages/lighting/lighting_page.h"

#include <charconv>
#include <string>

#include "app/pages/lighting/lighting_enable_tables.h"

namespace rxt {
namespace {

namespace notify = ui::notify;

void apply(ui::SkinUi& ui, std::string_view name, const GroupState& s) {
    if (name.empty()) {
        return;
    }
    if (s.enabled) {
        ui.setEnabled(name, *s.enabled);
    }
    if (s.visible) {
        ui.setVisible(name, *s.visible);
    }
}

}  // namespace

int colourComponent(std::string_view text) {
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec == std::errc::result_out_of_range) {
        return 255;
    }
    if (ec != std::errc() || end == text.data() || value < 0) {
        return 0;
    }
    return value > 255 ? 255 : value;
}

LightingPage::LightingPage(const LightingPageNames& names, const LightingPageContext& ctx)
    : names_(names), ctx_(ctx) {}

void LightingPage::fillModes() {
    ui::SkinUi& ui = *ctx_.ui;
    const int kept = ui.currentIndex(names_.modeCombo);
    ui.clearItems(names_.modeCombo);
    for (std::string_view key : names_.modes) {
        ui.addItem(names_.modeCombo, {ui.translate(key), std::string(key)});
    }
    ui.setCurrentIndex(names_.modeCombo, kept);
}

void LightingPage::storeEdit(const lighting::LightEdit& edit) {
    lighting::storeLightEdit(*ctx_.images, edit);
    changed();
}

void LightingPage::changed() {
    if (ctx_.writeBack != nullptr) {
        ctx_.writeBack->markPending(names_.device);
    }
    if (!ctx_.report) {
        return;
    }
    if (isMouse()) {
        ctx_.report(event::ProfileSave{DeviceKind::Mouse, ProfileKind::Device});
    }
    ctx_.report(event::ProfileSave{names_.device, ProfileKind::Lighting});
}

void LightingPage::addRoutes(shell::NotifyRouter& router) {
    router.on(notify::kItemSelect, names_.modeCombo,
              [this](const ui::Notification& n, int) { selectMode(static_cast<int>(n.value)); });
    router.on(notify::kValueChanged, names_.lightSlider, [this](const ui::Notification& n, int) {
        storeEdit({lighting::LightField::Brightness,
                   lighting::sliderLevel(n.value, lighting::kMaxBrightness),
                   {}});
    });
    router.on(notify::kValueChanged, names_.speedSlider, [this](const ui::Notification& n, int) {
        storeEdit(
            {lighting::LightField::Speed, lighting::sliderLevel(n.value, lighting::kMaxSpeed), {}});
    });
    // Dragging shows nothing of its own on these sliders.
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
    if (!names_.fxlButton.empty()) {
        router.on(notify::kClick, names_.fxlButton,
                  [this](const ui::Notification&, int) { chooseDirection(true); });
        router.on(notify::kClick, names_.fxrButton,
                  [this](const ui::Notification&, int) { chooseDirection(false); });
    }
    router.onIndexed(notify::kClick, names_.presetPrefix, [this](const ui::Notification&, int n) {
        if (n >= 0 && n < static_cast<int>(std::size(ui::kPresetColors))) {
            setColour(ui::kPresetColors[n], true);
        }
    });
}

void LightingPage::applyEdit(const lighting::LightEdit& edit) {
    ui::SkinUi& ui = *ctx_.ui;
    switch (edit.field) {
        case lighting::LightField::Mode:
            ui.setCurrentIndex(names_.modeCombo, edit.value);
            selectMode(edit.value);
            break;
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
            const uint32_t argb = lighting::argbOf(edit.colour);
            ui.setPaletteColor(names_.palette, argb);
            setColour(argb, true);
            break;
        }
    }
}

void LightingPage::selectMode(int mode) {
    if (mode < 0 || mode >= static_cast<int>(names_.modes.size())) {
        return;
    }
    lighting::storeLightEdit(*ctx_.images, {lighting::LightField::Mode, mode, {}});
    applyEnableTable(mode, false);
    if (ctx_.requests != nullptr) {
        ctx_.requests->requestReset();
    }
    // A mode of its own ends the device's part in the light sync.
    if (ctx_.link != nullptr) {
        ctx_.link->setInLightSync(false);
    }
    changed();
}

void LightingPage::applyEnableTable(int mode, bool onRefresh) {
    ui::SkinUi& ui = *ctx_.ui;
    if (mode < 0 || mode >= static_cast<int>(names_.modes.size())) {
        return;
    }
    if (isMouse()) {
        const MouseEnableRow& r = kMouseEnableTable[static_cast<size_t>(mode)];
        apply(ui, names_.fxLayout, r.fx);
        apply(ui, names_.palette, r.palette);
        apply(ui, names_.lightLayout, r.light);
        apply(ui, names_.speedLayout, r.speed);
        apply(ui, names_.colourLayout, r.colour);
        apply(ui, names_.sevenColourLayout, r.sevenColour);
        apply(ui, names_.sameMode, r.sameMode);
        return;
    }
    if (onRefresh && mode == 9) {
        return;  // the refresh leaves the groups of mode 9 as they are
    }
    const MousepadEnableRow& r = kMousepadEnableTable[static_cast<size_t>(mode)];
    ui.setEnabled(names_.fxLayout, r.fx && !(onRefresh && mode == 6));
    ui.setEnabled(names_.colourLayout, r.colour);
    ui.setEnabled(names_.sevenColourLayout, r.sevenColour);
    if (r.speed) {
        ui.setEnabled(names_.speedLayout, *r.speed);
    }
    ui.setEnabled(names_.sameMode, r.sameMode);
}

void LightingPage::setColour(uint32_t argb, bool store) {
    ui::SkinUi& ui = *ctx_.ui;
    const lighting::Rgb c = lighting::rgbOf(argb);
    ui.setBackgroundColor(names_.colourButton, argb);
    ui.setBackgroundImage(names_.colourButton, "");
    ui.setText(names_.editR, std::to_string(c.r));
    ui.setText(names_.editG, std::to_string(c.g));
    ui.setText(names_.editB, std::to_string(c.b));
    if (!store) {
        return;
    }
    ui.setChecked(names_.sevenColourCheck, false);
    storeEdit({lighting::LightField::Colour, 0, c});
}

void LightingPage::typedComponent(std::string_view edit, size_t offset, int shift) {
    ui::SkinUi& ui = *ctx_.ui;
    const std::string text = ui.text(edit);
    const int value = colourComponent(text);
    // What is stored is what the edit shows.
    if (text != std::to_string(value)) {
        ui.setText(edit, std::to_string(value));
    }
    const uint32_t mask = 0xFFu << shift;
    const uint32_t part = static_cast<uint32_t>(value) << shift;
    const uint32_t button = ui.backgroundColor(names_.colourButton);
    ui.setBackgroundColor(names_.colourButton, 0xFF000000u | (button & ~mask) | part);
    const uint32_t palette = ui.paletteColor(names_.palette);
    ui.setPaletteColor(names_.palette, (palette & ~mask) | part);
    ui.setChecked(names_.sevenColourCheck, false);
    set(offset, static_cast<uint8_t>(value));
    set(rec::kColourful, 0);
    changed();
}

void LightingPage::chooseDirection(bool left) {
    lighting::storeLightEdit(*ctx_.images, {lighting::LightField::Direction, left ? 1 : 0, {}});
    ctx_.ui->setChecked(names_.fxlCheck, left);
    ctx_.ui->setChecked(names_.fxrCheck, !left);
    if (ctx_.requests != nullptr) {
        ctx_.requests->requestReset();
    }
    changed();
}

void LightingPage::showDirection() {
    const bool left = lighting::lightView(*ctx_.images).left;
    ctx_.ui->setChecked(names_.fxlCheck, left);
    ctx_.ui->setChecked(names_.fxrCheck, !left);
}

void LightingPage::refresh() {
    ui::SkinUi& ui = *ctx_.ui;
    const uint8_t mode = get(rec::kLightMode);
    ui.setCurrentPage(names_.modeSwitch, 0);
    ui.setCurrentIndex(names_.modeCombo, mode < names_.modes.size() ? mode : -1);
    applyEnableTable(isMouse() ? mode : ui.currentIndex(names_.modeCombo), true);
    if (!isMouse() && mode == 5 && ctx_.requests != nullptr) {
        ctx_.requests->requestReset();  // arms the ripple's start
    }
    const lighting::LightView view = lighting::lightView(*ctx_.images);
    ui.setValue(names_.lightSlider, view.brightness);
    ui.setValue(names_.speedSlider, view.speed);
    const uint32_t argb = lighting::argbOf(view.colour);
    ui.setPaletteColor(names_.palette, argb);
    setColour(argb, false);
    ui.setChecked(names_.sevenColourCheck, view.colourful);
    showDirection();
}

}  // namespace rxt
