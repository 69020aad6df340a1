#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

#include "app/shell/feature_set.h"
#include "app/shell/main_wnd.h"
#include "state/window_messages.h"
#include "support/shell_fixture.h"

namespace rxt::shell {
namespace {

using namespace std::chrono_literals;
using test::ShellWindowTest;
using Show = ui::SkinUi::Show;

bool hasCall(const std::vector<std::string>& calls, const std::string& call) {
    return std::find(calls.begin(), calls.end(), call) != calls.end();
}

// ---- start-up ------------------------------------------------------------------

TEST_F(ShellWindowTest, WindowInitStartsEveryWorkerTheTimersAndTheStoredLanguage) {
    open();
    EXPECT_EQ(ui->windowTitle(), "RX-T7100 GamingMouse");
    EXPECT_TRUE(ui->windowVisible());
    EXPECT_TRUE(ui->trayVisible());
    for (size_t i = 0; i < kWorkerSlots; ++i) {
        EXPECT_TRUE(window->workers().started(static_cast<WorkerSlot>(i))) << "slot " << i;
    }
    EXPECT_EQ(window->workers().running(), kWorkerSlots);
    EXPECT_EQ(ui->timerPeriod(kTimerWriteBack), 100);
    EXPECT_EQ(ui->timerPeriod(kTimerLivePreview), 100);
    EXPECT_EQ(ui->timerPeriod(kTimerKeyboardRead), 500);
    EXPECT_EQ(ui->timerPeriod(kTimerMousepadRead), 500);
    EXPECT_FALSE(ui->timerActive(kTimerMouseRead));
    // No main.ini yet: English.
    EXPECT_EQ(ui->language(), "en");
    EXPECT_EQ(ui->text("ms_tab"), "MOUSE");
    // The links have their identities.
    const DeviceLink& keyboard = window->links()[DeviceKind::Keyboard];
    EXPECT_EQ(keyboard.targetVendor(), 0x0C45);
    EXPECT_EQ(keyboard.targetUsage(), 0x92);
}

TEST_F(ShellWindowTest, InitWindowPreparesPreviewsPalettesAndKeys) {
    open({}, false);
    EXPECT_EQ(window->previewControlsFound(), 35u);
    EXPECT_EQ(window->keyControlsFound(), 126u);
    for (int i = 0; i < 20; ++i) {
        const ui::Tint tint = ui->tint("ms_dkey_" + std::to_string(i));
        EXPECT_TRUE(tint.enabled);
        EXPECT_EQ(tint.alpha, 0);
    }
    EXPECT_TRUE(ui->tint("mp_dkey_14").enabled);
    for (const char* palette :
         {"ms_deng_Color_Pallet", "mp_deng_Color_Pallet", "kb_deng_Color_Pallet"}) {
        EXPECT_EQ(ui->paletteColor(palette), 0xFF0199CBu) << palette;
    }
    // Nothing runs before "windowinit".
    EXPECT_EQ(window->workers().running(), 0u);
    EXPECT_FALSE(ui->timerActive(kTimerWriteBack));
}

TEST_F(ShellWindowTest, ControlClassesBuildTheirPages) {
    open({}, false);
    auto page = [&](std::string_view cls) {
        const ui::ControlCreation c = window->createControl(cls);
        return c.kind == ui::ControlCreation::Kind::Page ? c.name : std::string("-");
    };
    EXPECT_EQ(page("kb_CURSOR_UI"), "Mouse_cursor.xml");
    EXPECT_EQ(page("MS_CURSOR_UI"), "Mouse_cursor.xml");
    EXPECT_EQ(page("ms_dpi_ui"), "Mouse_DPI.xml");  // names compared without case
    EXPECT_EQ(page("kb_Key_UI"), "keyboard_key.xml");
    EXPECT_EQ(page("MP_deng_UI"), "MousePad_deng.xml");
    EXPECT_EQ(page("QPushButton"), "-");
    EXPECT_EQ(window->createControl("devicekeybutton").kind, ui::ControlCreation::Kind::Custom);
    EXPECT_EQ(window->createControl("CircleProgress").name, "CircleProgress");
    // Every page of the skin was found and built.
    for (const char* control : {"ms_dkey_19", "mp_dkey_0", "kb_key_125", "ms_deng_same_mode",
                                "kb_tab_key_seting", "ms_tab_function", "skin_reset"}) {
        EXPECT_TRUE(ui->hasControl(control)) << control;
    }
}

TEST_F(ShellWindowTest, SkinWithoutKeyControlsLeavesThemOutAndStillStarts) {
    test::TempFolder skin;
    test::writeRaw(skin / "res.xml", R"(<res><file name="XML_MAIN" path="bare.xml"/></res>)");
    test::writeRaw(skin / "bare.xml", R"(<ui version="4.0"><widget class="QWidget" name="root">
        <widget class="QPushButton" name="closebtn"/><widget class="QPushButton" name="ms_dkey_3"/>
        </widget></ui>)");
    ui::MemoryUi bare(skin.path().string());
    MainWndOptions options;
    options.backend = bus;
    options.watchBus = false;
    options.discovery = false;
    options.initSettle = 0ms;
    CMainWnd wnd(bare, options);
    ASSERT_TRUE(bare.loadIndex("res.xml"));
    ASSERT_TRUE(bare.createMainWindow(wnd, kMainSkin, kWindowTitle, 800, 572));
    bare.showWindow(Show::Show);
    bare.processEvents();
    EXPECT_EQ(wnd.keyControlsFound(), 0u);
    EXPECT_EQ(wnd.previewControlsFound(), 1u);
    EXPECT_EQ(wnd.workers().running(), kWorkerSlots);
    // Messages aimed at missing controls do nothing.
    wnd.handleMessage(kMsgProgressShow, 0, 0);
    wnd.handleMessage(kMsgMousepadTintAlpha, 2, 99);
    wnd.destroyWindow();
    EXPECT_EQ(wnd.workers().running(), 0u);
}

// ---- timers and messages -------------------------------------------------------

TEST_F(ShellWindowTest, ProgressIsShownOnStartAndHiddenASecondAfterTheEnd) {
    open();
    EXPECT_FALSE(ui->visible("setting_progress"));
    window->handleMessage(kMsgProgressShow, 0, 0);
    EXPECT_TRUE(ui->visible("setting_progress"));
    window->handleMessage(kMsgProgressDone, 0, 0);
    EXPECT_EQ(ui->timerPeriod(kTimerHideProgress), 1000);
    ui->advance(999);
    EXPECT_TRUE(ui->visible("setting_progress"));
    ui->advance(1);
    EXPECT_FALSE(ui->visible("setting_progress"));
    EXPECT_FALSE(ui->timerActive(kTimerHideProgress));
}

TEST_F(ShellWindowTest, LivePreviewTimerSettlesAtFiftyMillisecondsAndRepaints) {
    open();
    ui->clearCalls();
    ASSERT_TRUE(ui->fireTimer(kTimerLivePreview));
    EXPECT_EQ(ui->timerPeriod(kTimerLivePreview), 50);
    EXPECT_TRUE(hasCall(ui->calls(), "repaintWindow"));
}

TEST_F(ShellWindowTest, OneShotTimersStopThemselves) {
    open();
    window->startTimer(kTimerRepaint, 100);
    window->startTimer(kTimerMouseRead, 500);
    ui->advance(600);
    EXPECT_FALSE(ui->timerActive(kTimerRepaint));
    EXPECT_FALSE(ui->timerActive(kTimerMouseRead));
    EXPECT_FALSE(ui->timerActive(kTimerKeyboardRead));
    EXPECT_FALSE(ui->timerActive(kTimerMousepadRead));
    // The periodic ones keep running, but the write-back with no device to
    // write to.
    EXPECT_TRUE(ui->timerActive(kTimerLivePreview));
    EXPECT_FALSE(ui->timerActive(kTimerWriteBack));
}

TEST_F(ShellWindowTest, TheWriteBackRestsWithoutADeviceAndRunsAgainWhenOneShows) {
    open();
    ui->advance(100);
    EXPECT_FALSE(ui->timerActive(kTimerWriteBack));
    // The keyboard's tab shows before its settle ends and it counts as
    // connected: the timer keeps running meanwhile.
    window->report(event::TabShown{DeviceKind::Keyboard, true});
    ASSERT_TRUE(until([&] { return ui->timerActive(kTimerWriteBack); }));
    ui->advance(300);
    EXPECT_TRUE(ui->timerActive(kTimerWriteBack));
    window->report(event::TabShown{DeviceKind::Keyboard, false});
    ASSERT_TRUE(until([&] { return !ui->visible("kb_tab"); }));
    ui->advance(100);
    EXPECT_FALSE(ui->timerActive(kTimerWriteBack));
    connect(DeviceKind::Mousepad);
    window->report(event::TabShown{DeviceKind::Mousepad, true});
    ASSERT_TRUE(until([&] { return ui->timerActive(kTimerWriteBack); }));
    // A change made now reaches the mousepad's record on the next tick.
    window->writeBack().markPending(DeviceKind::Mousepad);
    ui->advance(100);
    EXPECT_FALSE(window->writeBack().pending(DeviceKind::Mousepad));
    EXPECT_TRUE(ui->timerActive(kTimerWriteBack));
}

TEST_F(ShellWindowTest, TheWindowShowsBeforeTheSettleAndTheWorkersStartAfterIt) {
    settle = std::chrono::milliseconds(100);
    open();
    // Shown at once, already in the stored language (English without a
    // main.ini), not the Chinese the first load gives.
    EXPECT_TRUE(ui->windowVisible());
    EXPECT_EQ(ui->text("ms_tab"), "MOUSE");
    EXPECT_EQ(window->workers().running(), 0u);
    EXPECT_FALSE(ui->timerActive(kTimerWriteBack));
    ui->advance(99);
    EXPECT_EQ(window->workers().running(), 0u);
    ui->advance(1);
    EXPECT_EQ(window->workers().running(), kWorkerSlots);
    EXPECT_EQ(ui->timerPeriod(kTimerWriteBack), 100);
    EXPECT_EQ(ui->timerPeriod(kTimerKeyboardRead), 500);
    EXPECT_FALSE(ui->timerActive(kTimerInitSettle));
}

TEST_F(ShellWindowTest, WriteBackTimerClearsPendingFlagsEvenWithTheDeviceAbsent) {
    open();
    window->writeBack().markPending(DeviceKind::Mouse);
    window->writeBack().markPending(DeviceKind::Keyboard);
    ui->advance(100);
    EXPECT_FALSE(window->writeBack().pending(DeviceKind::Mouse));
    EXPECT_FALSE(window->writeBack().pending(DeviceKind::Keyboard));
}

TEST_F(ShellWindowTest, MouseRemovedLastFocusesTheLightingTabAndHides) {
    open();
    ui->setVisible("ms_profile_fun_spead_tab", true);
    window->handleMessage(kMsgMouseRemovedLast, 0, 0);
    EXPECT_FALSE(ui->windowVisible());
    // The tab's "setfocus" hides the profile functions.
    EXPECT_FALSE(ui->visible("ms_profile_fun_spead_tab"));
}

TEST_F(ShellWindowTest, LightThreadMessagesTintOnlyExistingMousepadPreviews) {
    open();
    window->handleMessage(kMsgMousepadTintColor, 4, 0x00FF8040);
    window->handleMessage(kMsgMousepadTintAlpha, 4, 200);
    EXPECT_EQ(ui->tint("mp_dkey_4").color, 0x00FF8040u);
    EXPECT_EQ(ui->tint("mp_dkey_4").alpha, 200);
    ui->clearCalls();
    window->handleMessage(kMsgMousepadTintAlpha, 15, 10);
    window->handleMessage(kMsgMousepadTintAlpha, -1, 10);
    EXPECT_TRUE(ui->calls().empty());
}

TEST_F(ShellWindowTest, WorkerThreadReactionsRunOnTheUiThread) {
    open();
    std::atomic<bool> done{false};
    std::thread worker([&] {
        window->report(event::TabShown{DeviceKind::Mouse, true});
        window->report(event::TabSelected{DeviceKind::Mouse});
        done = true;
    });
    // The worker waits for the UI thread to run its calls.
    EXPECT_TRUE(until([&] { return done.load(); }));
    worker.join();
    EXPECT_TRUE(ui->visible("ms_tab"));
    EXPECT_TRUE(ui->checked("ms_tab"));
    EXPECT_EQ(ui->currentPage("tab_switch"), 1);
}

TEST_F(ShellWindowTest, ConnectHintShowsOnlyWhileNoDeviceTabDoes) {
    open();
    EXPECT_TRUE(ui->visible("no_device_text"));
    window->report(event::TabShown{DeviceKind::Mousepad, true});
    EXPECT_FALSE(ui->visible("no_device_text"));
    window->report(event::TabShown{DeviceKind::Keyboard, true});
    window->report(event::TabShown{DeviceKind::Mousepad, false});
    EXPECT_FALSE(ui->visible("no_device_text"));
    window->report(event::TabShown{DeviceKind::Keyboard, false});
    EXPECT_TRUE(ui->visible("no_device_text"));
}

// ---- activation and tray ------------------------------------------------------

TEST_F(ShellWindowTest, ActivationWithoutDeviceHidesAndSaysSo) {
    open();
    ui->takeShownMessages();
    window->handleMessage(kActivationMessage, 0, 0);
    EXPECT_FALSE(ui->windowVisible());
    EXPECT_EQ(ui->takeShownMessages(), std::vector<std::string>{"message_text_1"});
}

TEST_F(ShellWindowTest, ActivationWithADeviceBringsTheWindowToTheFront) {
    open();
    ui->showWindow(Show::Hide);
    connect(DeviceKind::Mousepad);
    ui->takeShownMessages();
    ui->clearCalls();
    window->handleMessage(kActivationMessage, 0, 0);
    EXPECT_TRUE(ui->windowVisible());
    EXPECT_TRUE(hasCall(ui->calls(), "setTopmost 1"));
    EXPECT_FALSE(ui->topmost());  // only for a moment
    EXPECT_TRUE(ui->takeShownMessages().empty());
}

// A message box that, while open, lets another activation and tray click in.
class ReentrantUi : public ui::MemoryUi {
  public:
    using ui::MemoryUi::MemoryUi;
    std::function<void()> whileOpen;
    int messageBox(std::string_view title, std::string_view message, bool isKey) override {
        ++boxes;
        if (whileOpen) {
            auto again = std::move(whileOpen);
            again();
        }
        return ui::MemoryUi::messageBox(title, message, isKey);
    }
    int boxes = 0;
};

TEST_F(ShellWindowTest, NoDeviceBoxIsShownOneAtATimePerPath) {
    ReentrantUi rui(test::projectSkinFolder());
    MainWndOptions options;
    options.backend = bus;
    options.watchBus = false;
    options.discovery = false;
    options.initSettle = 0ms;
    CMainWnd wnd(rui, options);
    ASSERT_TRUE(rui.loadIndex("res.xml"));
    ASSERT_TRUE(rui.createMainWindow(wnd, kMainSkin, kWindowTitle, 800, 572));
    rui.showWindow(Show::Show);
    rui.processEvents();

    // Activation while its own box is open: nothing more.
    rui.whileOpen = [&] { wnd.handleMessage(kActivationMessage, 0, 0); };
    wnd.handleMessage(kActivationMessage, 0, 0);
    EXPECT_EQ(rui.boxes, 1);

    // The tray's guard is a separate one: its box may open over activation's.
    rui.boxes = 0;
    rui.whileOpen = [&] { rui.userTray(true); };
    wnd.handleMessage(kActivationMessage, 0, 0);
    EXPECT_EQ(rui.boxes, 2);

    // Once closed, the next activation shows the box again.
    rui.boxes = 0;
    wnd.handleMessage(kActivationMessage, 0, 0);
    EXPECT_EQ(rui.boxes, 1);
    wnd.destroyWindow();
}

TEST_F(ShellWindowTest, TrayLeftClickTogglesTheWindowWhenADeviceIsThere) {
    open();
    connect(DeviceKind::Keyboard);
    ASSERT_TRUE(ui->windowVisible());
    ASSERT_TRUE(ui->userTray(true));
    EXPECT_FALSE(ui->windowVisible());
    ASSERT_TRUE(ui->userTray(true));
    EXPECT_TRUE(ui->windowVisible());
    EXPECT_EQ(ui->timerPeriod(kTimerRepaint), 10);
    // A minimised window is restored, not hidden.
    ui->showWindow(Show::Minimize);
    ASSERT_TRUE(ui->userTray(true));
    EXPECT_TRUE(ui->windowVisible());
    EXPECT_FALSE(ui->windowMinimized());
}

TEST_F(ShellWindowTest, TrayLeftClickWithoutDeviceHidesAndSaysSo) {
    open();
    ui->takeShownMessages();
    ASSERT_TRUE(ui->userTray(true));
    EXPECT_FALSE(ui->windowVisible());
    EXPECT_EQ(ui->takeShownMessages(), std::vector<std::string>{"message_text_1"});
}

TEST_F(ShellWindowTest, TrayMenuOpensAboveTheCursorWithExitFirst) {
    open();
    ui->setCursorPosition({500, 700});
    ASSERT_TRUE(ui->userTray(false));
    ASSERT_TRUE(ui->menuOpen());
    EXPECT_EQ(ui->menuPoint().y, 650);
    EXPECT_EQ(ui->menuPoint().x, 500);
    const auto& entries = ui->openMenuEntries();
    ASSERT_FALSE(entries.empty());
    EXPECT_EQ(entries.front().name, "exit");
    EXPECT_EQ(entries.front().text, "Close");
    EXPECT_TRUE(std::any_of(entries.begin(), entries.end(),
                            [](const ui::MenuEntry& e) { return e.name == "lan_cn"; }));
}

TEST_F(ShellWindowTest, CloseButtonHidesAndTheProgramRunsOn) {
    open();
    ASSERT_TRUE(ui->userClick("closebtn"));
    EXPECT_FALSE(ui->windowVisible());
    EXPECT_FALSE(ui->quitRequested());
    EXPECT_EQ(window->workers().running(), kWorkerSlots);
    // The first hide says where the program went and how to end it; once.
    ASSERT_EQ(ui->trayMessages().size(), 1u);
    EXPECT_EQ(ui->trayMessages()[0].first, ui->translate("tray_hint_title"));
    EXPECT_NE(ui->trayMessages()[0].second.find("Close"), std::string::npos);
    ui->showWindow(ui::SkinUi::Show::Show);
    ASSERT_TRUE(ui->userClick("closebtn"));
    EXPECT_EQ(ui->trayMessages().size(), 1u);
}

TEST_F(ShellWindowTest, WithoutAStatusAreaTheCloseButtonMinimises) {
    open();
    ui->setTrayAreaAvailable(false);
    ASSERT_TRUE(ui->userClick("closebtn"));
    // Still there to come back to, not vanished while running.
    EXPECT_TRUE(ui->windowVisible());
    EXPECT_TRUE(ui->windowMinimized());
    EXPECT_TRUE(ui->trayMessages().empty());
    EXPECT_FALSE(ui->quitRequested());
}

TEST_F(ShellWindowTest, TheWindowCarriesTheProgramIcon) {
    open();
    EXPECT_EQ(ui->programIcon(), "common/tray.png");
}

// ---- shutdown -------------------------------------------------------------------

TEST_F(ShellWindowTest, ExitFromTheTrayMenuStopsEveryWorkerAndEndsTheLoop) {
    open();
    ASSERT_TRUE(ui->userTray(false));
    ASSERT_TRUE(ui->userMenu("exit"));
    EXPECT_TRUE(window->shutDown());
    EXPECT_TRUE(ui->quitRequested());
    EXPECT_EQ(ui->quitCode(), 0);
    EXPECT_EQ(window->workers().running(), 0u);
    EXPECT_EQ(window->abandonedWorkers(), 0u);
    EXPECT_FALSE(ui->trayVisible());
    EXPECT_FALSE(ui->windowVisible());
    EXPECT_FALSE(ui->timerActive(kTimerWriteBack));
}

TEST_F(ShellWindowTest, DiscoveryThreadsEndPromptlyOnExit) {
    discovery = true;
    open();
    std::this_thread::sleep_for(50ms);  // let the threads get into their loops
    const auto start = std::chrono::steady_clock::now();
    window->destroyWindow();
    EXPECT_EQ(window->workers().running(), 0u);
    EXPECT_EQ(window->abandonedWorkers(), 0u);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
}

// Pages that provide a light thread which does not listen to its stop event.
class StuckLight : public PageFeature {
  public:
    void claimWorkers(WorkerClaims& claims) override {
        // The thread keeps its event alive: once let go it may still be on
        // its way out of the wait when the test has ended.
        claims.claim(WorkerSlot::KeyboardLight,
                     [release = release](StopEvent&) { release->wait(); });
    }
    std::shared_ptr<StopEvent> release = std::make_shared<StopEvent>();
};

TEST_F(ShellWindowTest, ShutdownKeepsItsBoundWhenAWorkerHangs) {
    auto stuck = std::make_shared<StuckLight>();
    MainWndOptions options;
    options.features = stuck.get();
    options.shutdownBound = 300ms;
    open(options);
    const auto start = std::chrono::steady_clock::now();
    window->destroyWindow();
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took, 300ms);
    EXPECT_LT(took, 5s);
    EXPECT_TRUE(ui->quitRequested());
    EXPECT_EQ(window->abandonedWorkers(), 1u);
    stuck->release->set();
    window.reset();  // the let-go thread holds nothing of the window
    std::this_thread::sleep_for(50ms);
}

TEST_F(ShellWindowTest, WorkerBlockedInASendDoesNotHoldTheShutdownUp) {
    open();
    // A worker sends to the UI thread, which is busy shutting down and never
    // runs the call.
    std::atomic<bool> returned{false};
    std::thread worker([&] {
        window->sendMessage(kMsgMouseReadAll);
        returned = true;
    });
    std::this_thread::sleep_for(50ms);
    window->destroyWindow();
    worker.join();
    EXPECT_TRUE(returned);
}

// ---- page switching ---------------------------------------------------------------

TEST_F(ShellWindowTest, DeviceAndOptionTabsSwitchTheirPages) {
    open();
    for (const char* tab : {"kb_tab", "ms_tab", "mp_tab"}) {
        ui->setVisible(tab, true);
    }
    ui->setVisible("ms_tab_panel", true);
    ui->setVisible("kb_tab_panel", true);
    ASSERT_TRUE(ui->userCheck("mp_tab", true));
    EXPECT_EQ(ui->currentPage("tab_switch"), 2);
    ASSERT_TRUE(ui->userCheck("ms_tab", true));
    EXPECT_EQ(ui->currentPage("tab_switch"), 1);
    ASSERT_TRUE(ui->userCheck("ms_rich_Op_tab", true));
    EXPECT_EQ(ui->currentPage("ms_tab_switch"), 3);
    ASSERT_TRUE(ui->userCheck("ms_key_Op_tab", true));
    EXPECT_EQ(ui->currentPage("ms_tab_switch"), 2);
    EXPECT_TRUE(ui->visible("ms_tab_function"));

    ASSERT_TRUE(ui->userCheck("kb_tab", true));
    EXPECT_EQ(ui->currentPage("tab_switch"), 0);
    ASSERT_TRUE(ui->userCheck("kb_key_Op_tab", true));
    EXPECT_EQ(ui->currentPage("kb_tab_switch"), 2);
    EXPECT_TRUE(ui->visible("kb_tab_key_seting"));
    EXPECT_FALSE(ui->visible("kb_deng_layout"));
    EXPECT_FALSE(ui->enabled("kb_tab_function"));
    ASSERT_TRUE(ui->userCheck("kb_macro_Op_tab", true));
    EXPECT_EQ(ui->currentPage("kb_tab_switch"), 1);
    EXPECT_FALSE(ui->enabled("kb_profile_select_tab"));
    ASSERT_TRUE(ui->userCheck("kb_deng_Op_tab", true));
    EXPECT_EQ(ui->currentPage("kb_tab_switch"), 2);
    EXPECT_TRUE(ui->visible("kb_deng_layout"));
    EXPECT_FALSE(ui->visible("kb_tab_key_seting"));
    EXPECT_TRUE(ui->enabled("kb_profile_select_tab"));
}

TEST_F(ShellWindowTest, MacroUnderEditKeepsItsPage) {
    open();
    for (const char* tab : {"kb_tab", "ms_tab"}) {
        ui->setVisible(tab, true);
    }
    ui->setVisible("ms_tab_panel", true);
    ASSERT_TRUE(ui->userCheck("ms_tab", true));
    ASSERT_TRUE(ui->userCheck("ms_macro_Op_tab", true));
    ui->setVisible("ms_macro_tab_saveorcancel", true);
    ui->takeShownMessages();

    ASSERT_TRUE(ui->userCheck("kb_tab", true));
    EXPECT_EQ(ui->currentPage("tab_switch"), 1);
    EXPECT_TRUE(ui->checked("ms_tab"));
    EXPECT_TRUE(ui->checked("ms_macro_Op_tab"));
    EXPECT_EQ(ui->takeShownMessages(), std::vector<std::string>{"message_text_3"});

    ASSERT_TRUE(ui->userCheck("ms_deng_Op_tab", true));
    EXPECT_EQ(ui->currentPage("ms_tab_switch"), 1);
    EXPECT_TRUE(ui->checked("ms_macro_Op_tab"));
    EXPECT_EQ(ui->takeShownMessages(), std::vector<std::string>{"message_text_3"});

    // Done editing: the tabs work again.
    ui->setVisible("ms_macro_tab_saveorcancel", false);
    ASSERT_TRUE(ui->userCheck("kb_tab", true));
    EXPECT_EQ(ui->currentPage("tab_switch"), 0);
    EXPECT_TRUE(ui->takeShownMessages().empty());
}

TEST_F(ShellWindowTest, NotificationsReachThePagesByName) {
    std::vector<std::string> seen;
    struct Pages : PageFeature {
        std::vector<std::string>* seen;
        void addRoutes(NotifyRouter& router) override {
            router.onIndexed("click", "kb_key_", [this](const ui::Notification& n, int i) {
                seen->push_back(n.sender + "=" + std::to_string(i));
            });
            router.on("click", "ms_one_profile_default",
                      [this](const ui::Notification& n, int) { seen->push_back(n.sender); });
        }
    } pages;
    pages.seen = &seen;
    MainWndOptions options;
    options.features = &pages;
    open(options);
    ui->setVisible("kb_tab_panel", true);
    ASSERT_TRUE(ui->userClick("kb_key_37"));
    ui->setVisible("ms_tab_panel", true);
    ui->setCurrentPage("tab_switch", 1);
    ASSERT_TRUE(ui->userClick("ms_one_profile_default"));
    EXPECT_EQ(seen, (std::vector<std::string>{"kb_key_37=37", "ms_one_profile_default"}));
}

TEST_F(ShellWindowTest, EventsOfADeviceThreadReachThePagesOnTheUiThread) {
    struct Pages : PageFeature {
        std::thread::id uiThread;
        std::vector<std::string> heard;
        bool offThread = false;
        void onEvent(const WindowEvent& event) override {
            heard.push_back(describe(event));
            offThread = offThread || std::this_thread::get_id() != uiThread;
        }
    } pages;
    pages.uiThread = std::this_thread::get_id();
    MainWndOptions options;
    options.features = &pages;
    open(options);
    pages.heard.clear();
    std::atomic<bool> done{false};
    std::thread worker([&] {
        window->report(event::ProfileEntrySelect{DeviceKind::Mouse, ProfileKind::Device, 1});
        window->report(event::SameModeShown{DeviceKind::Keyboard, true});
        window->report(event::PanelShown{DeviceKind::Mouse});
        done = true;
    });
    EXPECT_TRUE(until([&] { return done.load(); }));
    worker.join();
    EXPECT_EQ(pages.heard,
              (std::vector<std::string>{"profile mouse device 1", "show keyboard same mode",
                                        "show mouse panel"}));
    EXPECT_FALSE(pages.offThread);
    // The shell's own events land on its controls.
    EXPECT_TRUE(ui->visible("kb_deng_same_mode"));
    EXPECT_TRUE(ui->visible("ms_tab_panel"));
    window->report(event::SameModeShown{DeviceKind::Keyboard, false});
    EXPECT_FALSE(ui->visible("kb_deng_same_mode"));
}

TEST_F(ShellWindowTest, TheLightTriggerIsHandledOnTheThreadThatSawIt) {
    struct Pages : PageFeature {
        std::atomic<int> triggers{0};
        void onEvent(const WindowEvent& event) override {
            triggers += std::holds_alternative<event::LightTrigger>(event);
        }
    } pages;
    MainWndOptions options;
    options.features = &pages;
    open(options);
    // No UI thread runs meanwhile: the listener is not held up by it.
    std::thread listener([&] { window->report(event::LightTrigger{DeviceKind::Mouse}); });
    listener.join();
    EXPECT_EQ(pages.triggers.load(), 1);
}

TEST_F(ShellWindowTest, TwoPagesRoutingOneControlStopTheStart) {
    struct Pages : PageFeature {
        void addRoutes(NotifyRouter& router) override {
            router.on("click", "ms_pro_device_add_btn", [](const ui::Notification&, int) {});
        }
    } first, second;
    FeatureSet both;
    both.add(first);
    both.add(second);
    MainWndOptions options;
    options.features = &both;
    ui::MemoryUi memory(test::projectSkinFolder());
    EXPECT_THROW(CMainWnd(memory, options), std::logic_error);
}

TEST_F(ShellWindowTest, AutomationReadsTheImages) {
    open();
    window->images().mouse.current.set(0, 3);
    const ui::AutomationReply current = window->image("mouse", "current");
    ASSERT_TRUE(current.ok);
    EXPECT_EQ(current.value.size(), 52u * 2);
    EXPECT_EQ(current.value.substr(0, 2), "03");
    EXPECT_EQ(window->image("keyboard", "bank4").value.size(), 512u * 2);
    EXPECT_FALSE(window->image("keyboard", "bank5").ok);
    EXPECT_FALSE(window->image("toaster", "info").ok);
    EXPECT_EQ(window->image("mousepad", "current").value.size(), 21u * 2);
}

}  // namespace
}  // namespace rxt::shell

namespace rxt::test {
namespace {

TEST_F(ShellWindowTest, ImagesRequestGivesTheAttachedDevicesImagesInHex) {
    open();
    window->images().mouse.current.set(16, 0x0f);
    window->images().mouse.info.set(0, 0xab);
    ControlAnswer a = window->controlRouter().route({"images", "mouse"});
    EXPECT_EQ(a.status, 1);  // not attached
    EXPECT_NE(a.reason.find("no mouse is attached"), std::string::npos) << a.reason;
    connect(DeviceKind::Mouse);
    a = window->controlRouter().route({"images", "mouse"});
    ASSERT_EQ(a.status, 0) << a.reason;
    ASSERT_EQ(a.lines.size(), 7u);  // info, current, five banks
    EXPECT_EQ(a.lines[0].substr(0, 7), "info AB");
    EXPECT_EQ(a.lines[1].size(), std::string("current ").size() + 2 * 52);
    EXPECT_EQ(a.lines[1].substr(8 + 2 * 16, 2), "0F");
    EXPECT_EQ(a.lines[6].rfind("bank4 ", 0), 0u);
    EXPECT_EQ(window->controlRouter().route({"images", "trackball"}).status, 2);
    EXPECT_EQ(window->controlRouter().route({"images"}).status, 2);
}

}  // namespace
}  // namespace rxt::test
