// The window as a desktop program: the tray's autostart item, a start into
// the tray, and a data folder that cannot be written.

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include "app/shell/shell_ids.h"
#include "platform/autostart.h"
#include "platform/ini_file.h"
#include "state/window_messages.h"
#include "support/shell_fixture.h"
#include "support/unwritable_folder.h"

namespace rxt::shell {
namespace {

using test::ShellWindowTest;

class ShellDesktopTest : public ShellWindowTest {
  protected:
    MainWndOptions options() const {
        MainWndOptions o;
        o.autostartEntry = entry;
        o.executable = "/opt/rx t7100/bin/rxt-config";
        return o;
    }
    void openMenu() {
        ASSERT_TRUE(ui->userTray(false));
        ASSERT_TRUE(ui->menuOpen());
    }
    std::filesystem::path entry = home.path() / "config/autostart/rxt-config.desktop";
};

TEST_F(ShellDesktopTest, TheAutostartItemWritesAndRemovesTheEntryAndShowsItsState) {
    open(options());
    openMenu();
    EXPECT_EQ(ui->menuChecked("autostart"), false);
    const auto& entries = ui->openMenuEntries();
    const auto item = std::find_if(entries.begin(), entries.end(),
                                   [](const ui::MenuEntry& e) { return e.name == "autostart"; });
    ASSERT_NE(item, entries.end());
    EXPECT_EQ(item->text, "Start with the desktop");

    ASSERT_TRUE(ui->userMenu("autostart"));
    ASSERT_TRUE(std::filesystem::exists(entry));
    EXPECT_EQ(iniRead(entry, "Desktop Entry", "Exec", ""),
              "\"/opt/rx t7100/bin/rxt-config\" --hidden");
    openMenu();
    EXPECT_EQ(ui->menuChecked("autostart"), true);

    ASSERT_TRUE(ui->userMenu("autostart"));
    EXPECT_FALSE(std::filesystem::exists(entry));
    openMenu();
    EXPECT_EQ(ui->menuChecked("autostart"), false);
    EXPECT_TRUE(ui->takeShownMessages().empty());
}

TEST_F(ShellDesktopTest, AnAutostartEntryThatCannotBeWrittenIsSaidWithItsReason) {
    open(options());
    std::filesystem::create_directories(entry.parent_path().parent_path());
    test::writeRaw(entry.parent_path(), "a file");
    ui->takeShownMessages();
    openMenu();
    ASSERT_TRUE(ui->userMenu("autostart"));
    const std::vector<std::string> shown = ui->takeShownMessages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].rfind("The autostart entry could not be changed.\n", 0), 0u) << shown[0];
    EXPECT_NE(shown[0].find(entry.parent_path().string()), std::string::npos) << shown[0];
    openMenu();
    EXPECT_EQ(ui->menuChecked("autostart"), false);
}

TEST_F(ShellDesktopTest, AStartIntoTheTrayRunsEverythingWithTheWindowHidden) {
    MainWndOptions o = options();
    o.startHidden = true;
    open(o, false);
    ui->startHidden();
    ui->processEvents();
    EXPECT_FALSE(ui->windowVisible());
    EXPECT_TRUE(ui->trayVisible());
    EXPECT_EQ(window->workers().running(), kWorkerSlots);
    EXPECT_TRUE(ui->timerActive(kTimerWriteBack));
    EXPECT_TRUE(ui->timerActive(kTimerKeyboardRead));
    EXPECT_TRUE(ui->timerActive(kTimerMousepadRead));
    EXPECT_EQ(ui->language(), "en");
    // Devices found at the start do not open it: the keyboard's arrival
    // shows the window and the first pass with the mouse activates it.
    connect(DeviceKind::Mouse);
    window->showWindow(true);
    window->postActivation();
    ui->processEvents();
    EXPECT_FALSE(ui->windowVisible());
    // The live preview rests while there is no window to repaint.
    EXPECT_TRUE(ui->fireTimer(kTimerLivePreview));
    EXPECT_FALSE(ui->timerActive(kTimerLivePreview));
    // The tray click shows the window, without a second "windowinit".
    ASSERT_TRUE(ui->userTray(true));
    ui->processEvents();
    EXPECT_TRUE(ui->windowVisible());
    EXPECT_EQ(window->workers().running(), kWorkerSlots);
    EXPECT_EQ(ui->timerPeriod(kTimerLivePreview), 50);
    // Once the user has opened it, devices show it again as usual.
    ASSERT_TRUE(ui->userClick("closebtn"));
    window->showWindow(true);
    ui->processEvents();
    EXPECT_TRUE(ui->windowVisible());
}

TEST_F(ShellDesktopTest, ADataFolderThatCannotBeWrittenIsSaidOnceWithTheFolder) {
    open(options());
    ui->takeShownMessages();
    const std::filesystem::path data = window->mainIni().parent_path();
    test::writeRaw(data / "ms", "a file where the mouse folder belongs");
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(iniWrite(data / "ms/msProfile.ini", "PROFILECOUNT", "count", "1"));
    }
    ui->processEvents();
    std::vector<std::string> shown = ui->takeShownMessages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0],
              "The data folder cannot be written, so changes are not saved until it can be. "
              "The devices keep working.\n" +
                  (data / "ms").string() + ": " + std::strerror(ENOTDIR));
    EXPECT_FALSE(window->shutDown());

    // Mended, and broken again: said again.
    std::filesystem::remove(data / "ms");
    std::filesystem::create_directories(data / "ms");
    EXPECT_TRUE(iniWrite(data / "ms/msProfile.ini", "PROFILECOUNT", "count", "1"));
    test::ReadOnlyFolder readOnly(data / "ms");
    if (!readOnly.ok()) {
        GTEST_SKIP() << "this user writes into read-only folders";
    }
    EXPECT_FALSE(iniWrite(data / "ms/msProfile.ini", "PROFILECOUNT", "count", "2"));
    ui->processEvents();
    shown = ui->takeShownMessages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_NE(shown[0].find((data / "ms").string() + ": "), std::string::npos);
    readOnly.restore();
    EXPECT_EQ(iniRead(data / "ms/msProfile.ini", "PROFILECOUNT", "count", ""), "1");
}

TEST_F(ShellDesktopTest, TheLanguageOfTheMessagesFollowsTheChoice) {
    test::writeRaw(home.mainIni(), "[SKINIMAGE]\nLANGUAGE=2\n");
    open(options());
    ui->takeShownMessages();
    const std::filesystem::path data = window->mainIni().parent_path();
    test::writeRaw(data / "kb", "");
    EXPECT_FALSE(iniWrite(data / "kb/kbProfile.ini", "PROFILECOUNT", "count", "1"));
    ui->processEvents();
    const std::vector<std::string> shown = ui->takeShownMessages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].rfind("無法寫入資料夾", 0), 0u) << shown[0];
}

}  // namespace
}  // namespace rxt::shell
