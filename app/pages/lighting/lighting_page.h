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

    // Colour set: shows argb on the swatch and in the R/G/B edits; with
    // `store` also stores it as the single colour.
    void setColour(uint32_t argb, bool store);

  private:
    bool isMouse() const { return names_.device == DeviceKind::Mouse; }
    // Pending flag and the profile files a lighting change saves.
    void changed();
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

// The direction byte a "left" choice stores, the same on both pages: a
// nonzero byte steps the effect positions upward, which moves the patterns
// toward the lower-numbered (left-hand) lights.
inline constexpr uint8_t kDirectionLeft = 1;
inline constexpr uint8_t kDirectionRight = 0;

// "12" -> 12; empty or no number -> 0; above 255 -> 255.
int colourComponent(std::string_view text);

}  // namespace rxt
