#pragma once
// One lighting page, mouse or mousepad (twins that differ in their names and
// enable tables): what each control stores in the lighting bytes of the
// current record, the groups each mode enables, the colour set and the
// redraw from the images after every read.

#include <cstdint>
#include <functional>
#include <string_view>

#include "app/pages/lighting/lighting_page_names.h"
#include "app/shell/notify_router.h"
#include "app/ui/skin_ui.h"
#include "lighting/effect_state.h"
#include "lighting/light_edit.h"
#include "state/device_images.h"
#include "state/device_links.h"
#include "state/window_events.h"
#include "state/write_back.h"

namespace rxt {

struct LightingPageContext {
    ui::SkinUi* ui = nullptr;
    DeviceImages* images = nullptr;
    DeviceLink* link = nullptr;
    WriteBack* writeBack = nullptr;
    lighting::EffectRequests* requests = nullptr;
    std::function<void(const WindowEvent&)> report;
};

class LightingPage {
  public:
    LightingPage(const LightingPageNames& names, const LightingPageContext& ctx);

    void addRoutes(shell::NotifyRouter& router);
    // The mode rows in the window's language (the language switch keeps
    // them translated: their user data is the language key).
    void fillModes();
    void refresh();
    // One change asked through the control socket: shown on the controls,
    // then the same operation as the control's own.
    void applyEdit(const lighting::LightEdit& edit);

    // Colour set: shows argb on the swatch and in the R/G/B edits; with
    // `store` also stores it as the single colour.
    void setColour(uint32_t argb, bool store);

  private:
    bool isMouse() const { return names_.device == DeviceKind::Mouse; }
    // Pending flag and the profile files a lighting change saves.
    void changed();
    // The page's encoding of one edit, then changed().
    void storeEdit(const lighting::LightEdit& edit);
    void selectMode(int mode);
    void applyEnableTable(int mode, bool onRefresh);
    void typedComponent(std::string_view edit, size_t offset, int shift);
    void chooseDirection(bool left);
    void showDirection();
    void set(size_t offset, uint8_t value) { ctx_.images->current.set(offset, value); }
    uint8_t get(size_t offset) const { return ctx_.images->current.get(offset); }

    const LightingPageNames& names_;
    LightingPageContext ctx_;
};

// "12" -> 12; empty or no number -> 0; above 255 -> 255.
int colourComponent(std::string_view text);

}  // namespace rxt
