#pragma once
// A main window on the in-memory control tree, built from the project's own
// skin, with the user's files in a temporary home and an empty fake bus.

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>

#include "app/shell/main_wnd.h"
#include "app/ui/memory_ui.h"
#include "support/test_folder.h"
#include "support/fake_hid_backend.h"

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
        options.initSettle = std::chrono::milliseconds(0);
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

    void connect(DeviceKind kind, bool on = true) { window->links()[kind].setConnected(on); }

    ShellHome home;
    std::shared_ptr<FakeHidBackend> bus = std::make_shared<FakeHidBackend>();
    bool discovery = false;
    std::unique_ptr<ui::MemoryUi> ui;
    std::unique_ptr<shell::CMainWnd> window;
};

}  // namespace rxt::test
