#pragma once
// A main window on the in-memory control tree, built from the project's own
// skin, with the user's files in a temporary home and an empty fake bus.

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "app/shell/main_wnd.h"
#include "app/ui/memory_ui.h"
#include "support/fake_hid_backend.h"
#include "support/test_folder.h"

namespace rxt::test {

inline std::string projectSkinFolder() {
    return std::string(RXT_TESTDATA_DIR) + "/../../skin";
}

class ShellHome {
  public:
    // The data folder is made, so that a test can write the file first.
    std::filesystem::path mainIni() const {
        const auto folder = home_.path() / "Documents" / "RX-T7100 GamingMouse";
        std::filesystem::create_directories(folder);
        return folder / "main.ini";
    }
    std::filesystem::path registry() const {
        return home_.path() / "config" / "rx-t7100" / "registry.ini";
    }
    const std::filesystem::path& path() const { return home_.path(); }

  private:
    TempFolder home_;
    ScopedEnv homeEnv_{"HOME", home_.path().string()};
    ScopedEnv configEnv_{"XDG_CONFIG_HOME", (home_.path() / "config").string()};
    ScopedEnv runtimeEnv_{"XDG_RUNTIME_DIR", home_.path().string()};
};

class ShellWindowTest : public ::testing::Test {
  protected:
    // Opens a window; with `init` also delivers "windowinit".
    void open(shell::MainWndOptions options = {}, bool init = true) {
        options.backend = bus;
        options.watchBus = false;
        options.initSettle = settle;
        options.discovery = discovery;
        ui = std::make_unique<ui::MemoryUi>(projectSkinFolder());
        window = std::make_unique<shell::CMainWnd>(*ui, options);
        ASSERT_TRUE(ui->loadIndex("res.xml")) << ui->lastError();
        ASSERT_TRUE(ui->createMainWindow(*window, shell::kMainSkin, shell::kWindowTitle,
                                         shell::kWindowWidth, shell::kWindowHeight))
            << ui->lastError();
        if (init) {
            ui->showWindow(ui::SkinUi::Show::Show);
            ui->processEvents();
        }
    }

    // Ends the window as "exit" does and drops it.
    void close() {
        if (window && !window->shutDown()) {
            window->destroyWindow();
        }
        window.reset();
        ui.reset();
    }

    void TearDown() override { close(); }

    // The start's settle before the workers; none unless a test sets it.
    std::chrono::milliseconds settle{0};

    void connect(DeviceKind kind, bool on = true) { window->links()[kind].setConnected(on); }

    // Runs the UI thread's events until done() (or a generous bound), as the
    // message loop would while a worker waits for its calls to run.
    bool until(const std::function<bool()>& done,
               std::chrono::milliseconds bound = std::chrono::seconds(20)) {
        const auto end = std::chrono::steady_clock::now() + bound;
        while (!done()) {
            if (std::chrono::steady_clock::now() > end) {
                return false;
            }
            ui->processEvents();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return true;
    }

    ShellHome home;
    std::shared_ptr<FakeHidBackend> bus = std::make_shared<FakeHidBackend>();
    bool discovery = false;
    std::unique_ptr<ui::MemoryUi> ui;
    std::unique_ptr<shell::CMainWnd> window;
};

}  // namespace rxt::test
