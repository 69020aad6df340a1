#pragma once
// The keyboard lighting page: the two mode lists (full-colour and
// single-colour keyboard), what each control stores in the keyboard's
// current record or in the custom layouts, the groups each mode enables, the
// colour set, the painting of keys and the redraw after every read.

#include <cstdint>
#include <functional>
#include <string_view>

#include "app/pages/lighting/keyboard_lighting_names.h"
#include "app/shell/notify_router.h"
#include "app/ui/skin_ui.h"
#include "lighting/effect_state.h"
#include "lighting/keyboard_custom_layouts.h"
#include "lighting/keyboard_light_thread.h"
#include "lighting/light_edit.h"
#include "state/device_images.h"
#include "state/device_links.h"
#include "state/keyboard_kind.h"
#include "state/window_events.h"
#include "state/write_back.h"

namespace rxt {

struct KeyboardLightingContext {
    ui::SkinUi* ui = nullptr;
    DeviceImages* images = nullptr;
    DeviceLinks* links = nullptr;
    WriteBack* writeBack = nullptr;  // may be null (tests)
    lighting::EffectRequests* requests = nullptr;
    lighting::KeyHandOffs* handOffs = nullptr;
    KeyboardCustomLayouts* layouts = nullptr;
    std::function<KeyboardKind()> kind;
    std::function<void(const WindowEvent&)> report;
};

class KeyboardLightingPage {
  public:
    explicit KeyboardLightingPage(const KeyboardLightingContext& ctx);

    void addRoutes(shell::NotifyRouter& router);
    // Both mode lists in the window's language.
    void fillModes();
    void refresh();
    // A key control clicked with the lighting option selected.
    void clickKey(int control);
    // One change asked through the control socket, parsed for the attached
    // keyboard's kind: shown on the controls, then the control's own
    // operation.
    void applyEdit(const lighting::LightEdit& edit);

    // Colour set: shows argb in the edits, the palette and the swatch of the
    // mode; with `store` keeps it (tool colour in the custom mode, else the
    // record's single colour).
    void setColour(uint32_t argb, bool store);

    lighting::Rgb toolColour() const { return tool_; }

  private:
    KeyboardKind kind() const;
    bool customMode() const;
    void selectMode(KeyboardKind list, int mode);
    void applyEnableTable(int mode, bool onRefresh);
    void showGroups(bool custom);
    // The record's bytes for the edit (the pages' one encoding), then saved.
    void storeEdit(const lighting::LightEdit& edit);
    void typedComponent(std::string_view edit, size_t offset, int shift);
    void chooseDirection(bool left);
    void showDirection();
    void allBright();
    void allOff();
    // Pending flag (and then the profile save).
    void changed();
    // Saving the keyboard's device and lighting profiles.
    void save();
    void set(size_t offset, uint8_t value) { ctx_.images->current.set(offset, value); }
    uint8_t get(size_t offset) const { return ctx_.images->current.get(offset); }

    const KeyboardLightingNames& names_ = kKeyboardLightingNames;
    KeyboardLightingContext ctx_;
    lighting::Rgb tool_{255, 255, 255};
};

}  // namespace rxt
