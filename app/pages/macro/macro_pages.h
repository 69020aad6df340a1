#pragma once
// The macro pages of the mouse and the keyboard as a feature of the main
// window: set up at "windowinit", fed by the window's input hook.

#include <memory>

#include "app/pages/macro/cursor_page.h"
#include "app/pages/macro/macro_editor_page.h"
#include "app/shell/page_feature.h"

namespace rxt {

class MacroPages : public shell::PageFeature {
  public:
    // The key pages' part of deleting a macro (their banks). Before attach.
    void setDeletionCheck(
        std::function<bool(DeviceKind, int, const std::function<bool()>&)> check) {
        deletionCheck_ = std::move(check);
    }
    // The delivered cursor schemes; unset: the program folder's "defaults".
    void setDefaultsFolder(std::filesystem::path folder) { defaultsFolder_ = std::move(folder); }
    void attach(const shell::PageHost& host) override;
    void addRoutes(shell::NotifyRouter& router) override;
    void onEvent(const WindowEvent& event) override;

    MacroEditorPage* page(DeviceKind device);
    CursorPage* cursorPage() { return cursor_.get(); }

  private:
    std::function<bool(DeviceKind, int, const std::function<bool()>&)> deletionCheck_;
    std::unique_ptr<MacroEditorPage> mouse_;
    std::unique_ptr<MacroEditorPage> keyboard_;
    std::unique_ptr<CursorPage> cursor_;
    std::filesystem::path defaultsFolder_;
};

}  // namespace rxt
