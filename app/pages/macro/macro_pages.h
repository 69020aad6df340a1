#pragma once
// The macro pages of the mouse and the keyboard as a feature of the main
// window: set up at "windowinit", fed by the window's input hook.

#include <memory>

#include "app/pages/macro/macro_editor_page.h"
#include "app/shell/page_feature.h"

namespace rxt {

class MacroPages : public shell::PageFeature {
  public:
    void attach(const shell::PageHost& host) override;
    void addRoutes(shell::NotifyRouter& router) override;
    void onEvent(const WindowEvent& event) override;

    MacroEditorPage* page(DeviceKind device);

  private:
    std::unique_ptr<MacroEditorPage> mouse_;
    std::unique_ptr<MacroEditorPage> keyboard_;
};

}  // namespace rxt
