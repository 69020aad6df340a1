#pragma once
// The program's start: one instance per user (a second start hands the
// activation to the first and ends without a window), the skin index, the
// main window, the message loop and the clean exit.

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "app/shell/main_wnd.h"
#include "app/ui/skin_ui.h"

namespace rxt::shell {

struct StartupOptions {
    // Where the instance lock and the activation socket live; empty: the
    // user's runtime folder.
    std::filesystem::path runtimeFolder;
    MainWndOptions window;
    // Called once this process is the one instance, before the UI is made
    // (the virtual devices start here). False with a reason ends the start.
    std::function<bool(std::string& error)> prepare;
    // Makes the UI; called only by the one instance.
    std::function<std::unique_ptr<ui::SkinUi>()> makeUi;
    // Called with the window object made, before its skin is built and
    // before "windowinit" (the pages attach to it here).
    std::function<void(ui::SkinUi&, CMainWnd&)> onCreated;
    // Called with the window shown, before the loop runs (automation).
    std::function<void(ui::SkinUi&, CMainWnd&)> onWindow;
    // Called after the loop, before the window goes.
    std::function<void(ui::SkinUi&, CMainWnd&)> onExit;
};

struct StartupResult {
    int code = 0;
    bool secondInstance = false;  // ended at once, the first was activated
    bool activationDelivered = false;
    size_t abandonedWorkers = 0;  // worker threads still running at the end
    std::string error;            // why the start failed
};

StartupResult runProgram(const StartupOptions& options);

}  // namespace rxt::shell
