#pragma once
// A key page (the mouse's buttons or the keyboard's keys): choosing a button
// shows its function in the panel, every change of the panel is written at
// once into the current bank, the labels name the functions, a single key is
// captured through the input hook, and Apply sends the macros and the bank.

#include <functional>
#include <string>
#include <vector>

#include "app/pages/settings/key_page_names.h"
#include "app/shell/notify_router.h"
#include "app/ui/skin_ui.h"
#include "macro/macro_catalogue.h"
#include "macro/macro_upload.h"
#include "platform/input_hook.h"
#include "settings/function_panel.h"
#include "state/device_images.h"
#include "state/device_links.h"
#include "state/window_events.h"
#include "state/write_back.h"

namespace rxt {

struct KeyPageContext {
    ui::SkinUi* ui = nullptr;
    DeviceImageSet* images = nullptr;
    DeviceLinks* links = nullptr;
    WriteBack* writeBack = nullptr;
    InputHook* hook = nullptr;
    std::function<void(const WindowEvent&)> report;
    // Keyboard: the key position of control "kb_key_<i>" (126: no key).
    std::function<int(int control)> keyPosition;
    // The folder of the delivered cursor schemes (the program's defaults).
    std::filesystem::path defaultsFolder;
};

class KeyPage {
  public:
    KeyPage(const KeyPageNames& names, const KeyPageContext& ctx);

    void addRoutes(shell::NotifyRouter& router);
    // The choosers' rows (translated) and the macro chooser from the catalogue.
    void fillChoosers();
    // The macro chooser again from the catalogue (after the macro pages
    // changed it), then the labels.
    void refreshMacros();
    // RefreshLabels: every button's or key's label and tooltip.
    void refreshLabels();
    // Before the macro at `position` is deleted: asks "message_text_2" when
    // a key plays it, then `confirmDelete`; only after both the banks follow
    // (players to their defaults, later macros down one) and are saved.
    bool prepareMacroDeletion(int position, const std::function<bool()>& confirmDelete);
    // A single-key capture event of the hook.
    void onHookEvent(const HookEvent& event);

    // The uploads of the Apply action; true when complete. Failures are
    // told to the user.
    bool uploadCursorSchemes();
    bool uploadMacros();
    // The Apply button's action: the capture ends, the upload sequence runs.
    void applyUpload();
    // While quiet, a failed upload's message is kept for the caller (the
    // control socket) instead of being shown in the message box.
    void setQuiet(bool quiet) {
        quiet_ = quiet;
        problem_.clear();
    }
    const std::string& problem() const { return problem_; }

    int selected() const { return selected_; }
    const FunctionPanelState& panel() const { return panel_; }

  private:
    DeviceKind device() const { return names_.device; }
    DeviceImages& images() { return ctx_.images->of(names_.device); }
    DeviceLink& link() { return (*ctx_.links)[names_.device]; }
    MacroCatalogue catalogue() const { return MacroCatalogue(names_.device); }
    // The bank entry of control n (mouse: n; keyboard: through the key map).
    int entryOf(int control) const;
    std::vector<int> controls() const;

    void select(int control);
    void show();  // the panel's state to the controls
    void showRowPanel();
    void read();  // the controls into the panel's state
    void apply();
    void chooseRow(int row);
    void installCapture(bool on);
    void editChanged(PanelEdit edit, std::string_view name);
    void setDefault();
    void saveKeyProfile();
    bool tell(const UploadResult& r);
    std::string labelText(const std::optional<struct AssignmentLabel>& label) const;

    const KeyPageNames& names_;
    KeyPageContext ctx_;
    FunctionPanelState panel_;
    int selected_ = -1;  // control index
    bool showing_ = false;
    bool quiet_ = false;
    std::string problem_;
};

}  // namespace rxt
