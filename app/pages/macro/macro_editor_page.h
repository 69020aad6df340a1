#pragma once
// One macro page (the mouse's or the keyboard's): the list of named macros,
// the steps of the selected one as the working copy (each row keeps its
// record text), editing, inserting, moving and deleting steps, recording
// from the input hook, save and cancel, import and export.

#include <functional>
#include <string>
#include <vector>

#include "app/pages/macro/macro_page_names.h"
#include "app/shell/notify_router.h"
#include "app/ui/skin_ui.h"
#include "macro/macro_catalogue.h"
#include "macro/macro_recorder.h"
#include "platform/input_hook.h"
#include "state/window_events.h"

namespace rxt {

// (position, confirmDelete) -> the delete goes on.
using MacroDeletionCheck = std::function<bool(int, const std::function<bool()>&)>;

struct MacroPageContext {
    ui::SkinUi* ui = nullptr;
    InputHook* hook = nullptr;
    std::function<void(const WindowEvent&)> report;
    // Run before a macro is deleted: the keys that play it or a later one.
    // Asks the user (in use, then `confirmDelete`), adjusts the banks and
    // answers whether the delete goes on. Unset: only the confirmation.
    MacroDeletionCheck prepareDeletion;
};

class MacroEditorPage {
  public:
    MacroEditorPage(const MacroPageControls& controls, MacroPageContext ctx);

    void addRoutes(shell::NotifyRouter& router);
    // At "windowinit": the choosers and the name list from the catalogue.
    void setUp();
    // A hook message of this page's mode (others are ignored).
    void onHook(const HookEvent& event);

    bool editing() const;
    bool recording() const { return recording_; }
    int hookMode() const;
    const std::vector<std::string>& names() const { return names_; }
    // The steps on screen, in screen order.
    std::vector<MacroAction> steps() const;

  private:
    // Name list.
    void selectMacro(int index);
    void addMacro();
    void deleteMacro();
    void rename();
    void importMacro();
    void exportMacro();
    void appendName(const std::string& name);
    void namesChanged();
    // Steps.
    void selectStep(int index);
    void showStep(int index);
    void editSelected(const std::function<void(MacroAction&)>& change);
    void editKey(int row);
    void editDirection(int row);
    void editMouse(int row);
    void editDelay(std::string_view edit);
    void editDistance();
    void toggleInsertPanel(size_t index);
    void insertStep(MacroAction step);
    void moveStep(int to);
    void deleteStep();
    void deleteAllSteps();
    void save();
    void cancel();
    void toggleRecording();
    void startRecording();
    void stopRecording();
    void appendRecorded(const RecordedStep& recorded);
    // Rows and states.
    void setRow(int index, const MacroAction& step);
    void insertRow(int index, const MacroAction& step);
    std::string rowText(const MacroAction& step) const;
    void loadSteps();
    void enterEditing(bool evenWhenEmpty = false);
    void leaveEditing();
    void enableEditing(bool enabled);
    void showMessage(std::string_view key);
    bool selectedMacro() const;

    const MacroPageControls& c_;
    MacroPageContext ctx_;
    MacroCatalogue catalogue_;
    std::vector<std::string> names_;  // as the name list shows them
    int selected_ = -1;               // the selected macro
    MacroRecorder recorder_;
    bool recording_ = false;
    bool renaming_ = false;  // the rename puts the old name back itself
};

}  // namespace rxt
