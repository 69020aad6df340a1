#include "app/shell/startup.h"

#include <stdexcept>

#include "platform/debug_log.h"
#include "platform/single_instance.h"

namespace rxt::shell {

StartupResult runProgram(const StartupOptions& options) {
    StartupResult result;
    debugLogf("软件标示：%d", kActivationMessage);

    const std::filesystem::path folder =
        options.runtimeFolder.empty() ? runtimeFolder() : options.runtimeFolder;
    InstanceLock lock;
    switch (lock.acquire(folder)) {
        case InstanceLock::Result::HeldElsewhere:
            result.secondInstance = true;
            result.activationDelivered = sendActivation(folder);
            return result;
        case InstanceLock::Result::Unavailable:
            // Without the lock the program still runs; it just cannot keep
            // a second one out.
            debugLog("single instance: " + lock.error());
            break;
        case InstanceLock::Result::Acquired:
            break;
    }

    if (options.prepare && !options.prepare(result.error)) {
        result.code = 1;
        return result;
    }
    std::unique_ptr<ui::SkinUi> ui = options.makeUi ? options.makeUi() : nullptr;
    if (!ui) {
        result.error = "the user interface could not be made";
        result.code = 1;
        return result;
    }
    if (!ui->loadIndex("res.xml")) {
        result.error = "skin index: " + ui->lastError();
        result.code = 1;
        return result;
    }

    std::unique_ptr<CMainWnd> window;
    try {
        window = std::make_unique<CMainWnd>(*ui, options.window);
    } catch (const std::logic_error& e) {
        // Two pages routing one control: a fault of the program, found here.
        result.error = std::string("pages: ") + e.what();
        result.code = 1;
        return result;
    }
    if (options.onCreated) {
        options.onCreated(*ui, *window);
    }
    if (!ui->createMainWindow(*window, kMainSkin, kWindowTitle, kWindowWidth, kWindowHeight)) {
        result.error = "main window: " + ui->lastError();
        result.code = 1;
        return result;
    }
    ActivationListener listener;
    if (lock.held() && !listener.start(folder, [&ui] { ui->postMessage(kActivationMessage); })) {
        debugLog("activation: " + listener.error());
    }
    ui->centerWindow();
    if (options.window.startHidden) {
        ui->startHidden();
    } else {
        ui->showWindow(ui::SkinUi::Show::Show);
    }
    if (options.onWindow) {
        options.onWindow(*ui, *window);
    }

    ui->run();

    listener.stop();
    if (options.onExit) {
        options.onExit(*ui, *window);
    }
    if (!window->shutDown()) {
        window->destroyWindow();
    }
    result.abandonedWorkers = window->abandonedWorkers();
    // The toolkit may still notify while it tears its widgets down; the
    // window, shut down, ignores that, so it goes last.
    ui.reset();
    window.reset();
    return result;
}

}  // namespace rxt::shell
