#include "app/shell/main_wnd.h"

#include <cstdio>
#include <thread>

#include "app/ui/file_dialog.h"
#include "app/ui/skin_resources.h"
#include "platform/autostart.h"
#include "platform/debug_log.h"
#include "platform/folders.h"
#include "platform/language_registry.h"
#include "state/window_messages.h"

namespace rxt::shell {
namespace {

constexpr std::array<std::string_view, 5> kTitleButtons{"closebtn", "maxbtn", "restorebtn",
                                                        "minbtn", "skinbtn"};
constexpr std::array<std::string_view, 3> kLightPalettes{
    "ms_deng_Color_Pallet", "mp_deng_Color_Pallet", "kb_deng_Color_Pallet"};
constexpr std::string_view kSkinFrame = "skin_frame";
// The border that marks the chooser's swatch or picture in use.
constexpr uint32_t kChoiceMark = 0xFF19B5E6;
constexpr std::string_view kAutostartItem = "autostart";
constexpr std::string_view kRenewDevice = "renew_device";

// The controls of each device in the window's title row and page frame.
struct DeviceControls {
    DeviceKind device;
    std::string_view tab;
    std::string_view panel;     // empty: the device's page has none
    std::string_view sameMode;  // its lighting page's same-mode button
};
constexpr std::array<DeviceControls, 3> kDeviceControls{{
    {DeviceKind::Mouse, "ms_tab", "ms_tab_panel", "ms_deng_same_mode"},
    {DeviceKind::Mousepad, "mp_tab", "", "mp_deng_same_mode"},
    {DeviceKind::Keyboard, "kb_tab", "kb_tab_panel", "kb_deng_same_mode"},
}};

const DeviceControls& controlsOf(DeviceKind device) {
    for (const DeviceControls& c : kDeviceControls) {
        if (c.device == device) {
            return c;
        }
    }
    return kDeviceControls[0];
}

std::string indexed(std::string_view prefix, size_t i) {
    return std::string(prefix) + std::to_string(i);
}

bool startsWith(std::string_view s, std::string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}

// The chooser's buttons may share their name or carry a number after it.
bool isChooserButton(std::string_view name, std::string_view base) {
    return name == base || (startsWith(name, base) && name.size() > base.size() + 1 &&
                            name[base.size()] == '_' && splitIndexedName(name).has_value() &&
                            splitIndexedName(name)->first.size() == base.size() + 1);
}

// "#RRGGBB" (or "RRGGBB") as an opaque ARGB colour.
std::optional<uint32_t> parseRgb(std::string_view text) {
    if (!text.empty() && text.front() == '#') {
        text.remove_prefix(1);
    }
    if (text.size() != 6) {
        return std::nullopt;
    }
    uint32_t value = 0;
    for (char c : text) {
        int digit;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else if (c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        } else {
            return std::nullopt;
        }
        value = value << 4 | static_cast<uint32_t>(digit);
    }
    return 0xFF000000u | value;
}

std::string hex(std::span<const uint8_t> bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (uint8_t b : bytes) {
        out += kDigits[b >> 4];
        out += kDigits[b & 15];
    }
    return out;
}

}  // namespace

CMainWnd::CMainWnd(ui::SkinUi& ui, MainWndOptions options)
    : ui_(ui),
      options_(std::move(options)),
      mainIni_(options_.mainIni.empty() ? mainIniPath() : options_.mainIni),
      registryFile_(options_.registryFile.empty() ? registryFilePath() : options_.registryFile),
      autostartEntry_(options_.autostartEntry.empty() ? autostartEntryPath()
                                                      : options_.autostartEntry),
      links_(options_.backend),
      images_(deviceImages()),
      context_{links_, images_, *this, waker_, {}, {}},
      writeBack_(links_, images_, *this),
      events_(links_, images_, *this, writeBack_),
      pages_(ui),
      stayHidden_(options_.startHidden),
      courier_(ui) {
    hook_ = options_.inputHook;
    if (hook_ == nullptr) {
        // Events go to the window as messages carrying the whole record.
        ownHook_ = makeInputHook([this](const HookEvent& e) {
            ui_.postMessage(e.message, e.hookMessage, packHookRecord(e));
        });
        hook_ = ownHook_.get();
    }
    if (options_.features != nullptr) {
        options_.features->attach(host());
        options_.features->addRoutes(router_);
    }
    // rxtctl show reads the images the window keeps.
    control_.on("images", [this](std::span<const std::string> rest) {
        const auto kind = rest.size() == 1 ? kindFromName(rest[0]) : std::nullopt;
        if (!kind) {
            return ControlAnswer::usage("images takes KIND: mouse, mousepad or keyboard");
        }
        // What the images hold of a device that is gone is no answer.
        if (!links_.connected(*kind)) {
            return ControlAnswer::failed("no " + rest[0] + " is attached to rxt-config");
        }
        std::vector<std::string> lines;
        std::vector<std::string> areas{"info", "current"};
        for (size_t b = 0; b < kKeyBankCount; ++b) {
            areas.push_back("bank" + std::to_string(b));
        }
        for (const std::string& area : areas) {
            lines.push_back(area + " " + image(rest[0], area).value);
        }
        // The keyboard's kind names its light modes.
        if (*kind == DeviceKind::Keyboard) {
            lines.push_back(images_.keyboardVariant() == 1 ? "variant 01" : "variant 00");
        }
        return ControlAnswer::done(std::move(lines));
    });
    if (options_.features != nullptr) {
        options_.features->addControlRoutes(control_);
    }
    // A data folder that cannot be written is said once; the program and
    // the devices go on without the files.
    watchWriteFailures(mainIni_.parent_path(), [this](const WriteFailure& failure) {
        courier_.post([this, failure] { showWriteFailure(failure); });
    });
}

PageHost CMainWnd::host() {
    return PageHost{
        ui_,   links_, images_, writeBack_, [this](const WindowEvent& event) { deliver(event); },
        *hook_};
}

CMainWnd::~CMainWnd() {
    watchWriteFailures({}, {});
    skinChangeObserver().remove(*this);
    if (!shutDown_) {
        hook_->Remove();
        // No UI calls here: the window may be gone already.
        courier_.close();
        workers_.signalAll();
        waker_.wake();
        if (watch_) {
            watch_->stop();
        }
        workers_.waitAll(options_.shutdownBound);
        workers_.close();
    }
}

// ---- creation ---------------------------------------------------------------

ui::ControlCreation CMainWnd::createControl(std::string_view className) {
    struct Entry {
        std::string_view cls, file;
    };
    static constexpr Entry kPages[] = {
        {"kb_Key_UI", "keyboard_key.xml"},
        {"kb_Deng_UI", "keyboard_deng.xml"},
        {"kb_Macro_UI", "keyboard_macro.xml"},
        {"MS_Deng_UI", "Mouse_deng.xml"},
        {"MS_Macro_UI", "Mouse_macro.xml"},
        {"MS_Key_UI", "Mouse_key.xml"},
        {"MP_deng_UI", "MousePad_deng.xml"},
        {"MS_DPI_UI", "Mouse_DPI.xml"},
        {"MS_CURSOR_UI", "Mouse_cursor.xml"},
        {"kb_CURSOR_UI", "Mouse_cursor.xml"},
        // The skin chooser, a pop-up panel of the main window.
        {"Skin_Frame_UI", "skin.xml"},
    };
    auto same = [](std::string_view a, std::string_view b) {
        if (a.size() != b.size()) {
            return false;
        }
        for (size_t i = 0; i < a.size(); ++i) {
            auto lower = [](char c) {
                return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
            };
            if (lower(a[i]) != lower(b[i])) {
                return false;
            }
        }
        return true;
    };
    for (const Entry& e : kPages) {
        if (same(className, e.cls)) {
            return ui::ControlCreation::page(std::string(e.file));
        }
    }
    if (same(className, ui::custom::kCircleProgress)) {
        return ui::ControlCreation::custom(std::string(ui::custom::kCircleProgress));
    }
    if (same(className, ui::custom::kDeviceKeyButton)) {
        return ui::ControlCreation::custom(std::string(ui::custom::kDeviceKeyButton));
    }
    return ui::ControlCreation::none();
}

std::optional<std::string> CMainWnd::queryControlText(std::string_view key) {
    const bool english = ui_.language() == "en";
    if (key == "titletext") {
        return english ? std::string(kWindowTitle) : std::string("mouse");
    }
    if (key == "hometext") {
        return english ? std::string("{a}Home Page{/a}") : std::string("{a}演示官网{/a}");
    }
    return std::nullopt;
}

void CMainWnd::initWindow() {
    debugLog("InitWindow");
    ui_.loadLanguage("lan_cn.xml");
    skinChangeObserver().add(*this);
    for (size_t i = 0; i < kTitleButtons.size(); ++i) {
        titleButtons_[i] = ui_.hasControl(kTitleButtons[i]);
    }
    for (size_t i = 0; i < mouseDkeys_.size(); ++i) {
        const std::string name = indexed("ms_dkey_", i);
        mouseDkeys_[i] = ui_.setTintEnabled(name, true);
        ui_.setTintAlpha(name, 0);
    }
    for (size_t i = 0; i < mousepadDkeys_.size(); ++i) {
        const std::string name = indexed("mp_dkey_", i);
        mousepadDkeys_[i] = ui_.setTintEnabled(name, true);
        ui_.setTintAlpha(name, 0);
    }
    for (size_t i = 0; i < keyboardKeys_.size(); ++i) {
        keyboardKeys_[i] = ui_.hasControl(indexed("kb_key_", i));
    }
    // The skin's own background until a stored one replaces it at "windowinit".
    if (ui_.backgroundImage("root").empty() && ui_.backgroundColor("root") == 0) {
        ui_.setBackgroundImage("root", kDefaultBackground);
    }
    for (std::string_view palette : kLightPalettes) {
        ui_.setPaletteColor(palette, kPaletteStartColor);
    }
    updateNoDeviceHint();
    ui_.setProgramIcon(kTrayIcon);
    if (!ui_.createTray(kTrayIcon, kWindowTitle)) {
        debugLog("tray icon not available");
    }
}

size_t CMainWnd::previewControlsFound() const {
    size_t n = 0;
    for (bool found : mouseDkeys_) {
        n += found;
    }
    for (bool found : mousepadDkeys_) {
        n += found;
    }
    return n;
}

size_t CMainWnd::keyControlsFound() const {
    size_t n = 0;
    for (bool found : keyboardKeys_) {
        n += found;
    }
    return n;
}

void CMainWnd::onWindowInit() {
    if (windowInitDone_) {
        return;
    }
    windowInitDone_ = true;
    if (auto image = storedBackgroundImage(mainIni_)) {
        ui_.setBackgroundColor("root", 0);
        ui_.setBackgroundImage("root", *image);
        for (size_t i = 0; ui_.hasControl(indexed("skin_image_btn_", i)); ++i) {
            if (ui_.userData(indexed("skin_image_btn_", i)) == *image) {
                markSkinChoice(indexed("skin_image_btn_", i));
            }
        }
    }
    if (options_.features != nullptr) {
        options_.features->onEvent(event::PagesInit{});
    }
    links_.assignIdentities();
    // The window shows in its stored language at once; the settle between
    // the links' identities and the workers passes on a timer, so the
    // window paints meanwhile instead of waiting on a sleeping UI thread.
    mirrorRegistryLanguage(mainIni_, registryFile_);
    applyStoredLanguage();
    if (!options_.startHidden) {
        ui_.showWindow(ui::SkinUi::Show::Show);
    }
    if (options_.initSettle.count() > 0) {
        ui_.startTimer(kTimerInitSettle, static_cast<int>(options_.initSettle.count()));
    } else {
        startAfterSettle();
    }
}

void CMainWnd::startAfterSettle() {
    startWorkers();
    ui_.startTimer(kTimerWriteBack, kWriteBackPeriodMs);
    ui_.startTimer(kTimerLivePreview, kLivePreviewFirstMs);
    ui_.startTimer(kTimerKeyboardRead, kStartReadDelayMs);
    ui_.startTimer(kTimerMousepadRead, kStartReadDelayMs);
}

void CMainWnd::startWorkers() {
    if (options_.watchBus && options_.discovery) {
        watch_ = std::make_unique<HotplugWatch>(links_.backend(), waker_);
        watch_->start();
    }
    struct Discovery {
        WorkerSlot slot;
        void (*body)(DeviceKind, WorkerParam);
        DeviceKind kind;
    };
    static constexpr Discovery kDiscovery[] = {
        {WorkerSlot::KeyboardDetection, runDetection, DeviceKind::Keyboard},
        {WorkerSlot::MouseDetection, runDetection, DeviceKind::Mouse},
        {WorkerSlot::MousepadDetection, runDetection, DeviceKind::Mousepad},
        {WorkerSlot::MouseListener, runListener, DeviceKind::Mouse},
        {WorkerSlot::KeyboardListener, runListener, DeviceKind::Keyboard},
    };
    for (const Discovery& d : kDiscovery) {
        if (!options_.discovery) {
            workers_.startIdle(d.slot);
            continue;
        }
        workers_.start(d.slot, [this, d](StopEvent& stop) {
            d.body(d.kind, WorkerParam{&context_, &stop});
        });
    }
    WorkerClaims claims;
    if (options_.features != nullptr) {
        options_.features->claimWorkers(claims);
    }
    for (size_t i = kFirstPageSlot; i < kWorkerSlots; ++i) {
        const auto slot = static_cast<WorkerSlot>(i);
        if (std::optional<WorkerThreads::Body> body = claims.take(slot)) {
            workers_.start(slot, std::move(*body));
        } else {
            workers_.startIdle(slot);
        }
    }
}

void CMainWnd::applyStoredLanguage() {
    const LanguageFiles files = languageFiles(storedLanguage(mainIni_));
    ui_.setLanguage(files.name);
    ui_.loadLanguage(files.file);
    ui_.reloadText();
}

void CMainWnd::switchLanguage(Language language) {
    const LanguageFiles files = languageFiles(language);
    ui_.setLanguage(files.name);
    ui_.loadLanguage(files.file);
    storeLanguage(mainIni_, registryFile_, language);
    ui_.reloadText();
    ui_.repaintWindow();
}

// ---- shutdown -----------------------------------------------------------------

void CMainWnd::destroyWindow() {
    if (shutDown_) {
        return;
    }
    debugLog("退出测试");
    shutdown();
    ui_.quit(0);
}

void CMainWnd::shutdown() {
    shutDown_ = true;
    hook_->Remove();
    ui_.showWindow(ui::SkinUi::Show::Hide);
    // Workers blocked in a send to this thread are let go before the wait.
    courier_.close();
    ui_.closeMessages();
    workers_.signalAll();
    waker_.wake();
    if (watch_) {
        watch_->stop();
    }
    debugLog(waitResultText(workers_.waitAll(options_.shutdownBound)));
    workers_.close();
    for (int id : {kTimerHideProgress, kTimerWriteBack, kTimerRepaint, kTimerMouseRead,
                   kTimerInitSettle, kTimerLivePreview, kTimerKeyboardRead, kTimerMousepadRead}) {
        ui_.stopTimer(id);
    }
    ui_.closeMenu();
    ui_.removeTray();
}

void CMainWnd::onActivate(bool active) {
    // No other program's input is held back while the user works there; a
    // recording in progress then receives nothing until it is started again.
    if (!active && hook_->installed()) {
        debugLog("main window deactivated: input hooks removed");
        hook_->Remove();
    }
}

void CMainWnd::onFinalMessage() {
    if (!shutDown_) {
        shutdown();
    }
}

// ---- notifications ------------------------------------------------------------

void CMainWnd::notify(const ui::Notification& n) {
    if (shutDown_) {
        return;  // widgets going away still report focus changes
    }
    if (debugLogEnabled()) {
        debugLog(n.type + " " + n.sender);
    }
    // The skin chooser closes when the user turns to anything else.
    if (n.type != ui::notify::kWindowInit && n.type != ui::notify::kTray &&
        !startsWith(n.sender, "skin") && ui_.visible(kSkinFrame)) {
        ui_.setVisible(kSkinFrame, false);
    }
    if (n.type == ui::notify::kWindowInit) {
        onWindowInit();
        return;
    }
    if (n.type == ui::notify::kTray) {
        onTray(n.value);
        return;
    }
    if (n.type == ui::notify::kMenu) {
        onMenu(n.sender);
        return;
    }
    if (n.type == ui::notify::kClick && onClick(n)) {
        return;
    }
    // The chooser's two page buttons may be options as well as plain buttons.
    if (n.type == ui::notify::kSelectChanged && n.value == 1 &&
        (n.sender == "skin_image" || n.sender == "skin_color")) {
        onSkinChooser(n.sender);
        return;
    }
    if (n.type == ui::notify::kSelectChanged && pages_.onSelectChanged(n)) {
        router_.route(n);  // pages may want to know too
        return;
    }
    if (n.type == ui::notify::kSetFocus) {
        pages_.onSetFocus(n);
    }
    router_.route(n);
}

bool CMainWnd::handles(std::string_view type, std::string_view name) const {
    namespace nt = ui::notify;
    const bool own =
        (type == nt::kClick &&
         (std::find(kTitleButtons.begin(), kTitleButtons.end(), name) != kTitleButtons.end() ||
          startsWith(name, "skin") || name == kRenewDevice)) ||
        (type == nt::kSelectChanged &&
         (PageSwitching::isTab(name) || name == "skin_image" || name == "skin_color")) ||
        (type == nt::kSetFocus && PageSwitching::isMouseOption(name));
    return own || router_.handles(type, name);
}

bool CMainWnd::onClick(const ui::Notification& n) {
    const std::string& name = n.sender;
    if (name == kRenewDevice) {
        debugLog("renew_device");  // the debugger's output only: nothing to renew
        return true;
    }
    if (name == "closebtn") {
        hideToTray();
        return true;
    }
    if (name == "minbtn") {
        ui_.showWindow(ui::SkinUi::Show::Minimize);
        return true;
    }
    if (name == "maxbtn" || name == "restorebtn") {
        return true;  // the skin has one size
    }
    if (name == "skinbtn") {
        ui_.setVisible(kSkinFrame, !ui_.visible(kSkinFrame));
        return true;
    }
    if (startsWith(name, "skin")) {
        return onSkinChooser(name);
    }
    return false;
}

bool CMainWnd::onSkinChooser(const std::string& name) {
    if (name == "skin_image") {
        ui_.setCurrentPage("skin_tab", 0);
    } else if (name == "skin_color") {
        ui_.setCurrentPage("skin_tab", 1);
    } else if (isChooserButton(name, "skin_color_btn")) {
        // The swatch's colour: its user data ("#RRGGBB"), else its background.
        uint32_t color = ui_.backgroundColor(name);
        if (auto parsed = parseRgb(ui_.userData(name))) {
            color = *parsed;
        }
        skinChangeObserver().broadcast({true, color, {}});
        markSkinChoice(name);
    } else if (isChooserButton(name, "skin_image_btn")) {
        const std::string image = ui_.userData(name);
        if (image.empty()) {
            return true;
        }
        skinChangeObserver().broadcast({false, 0, image});
        storeBackgroundImage(mainIni_, image);
        markSkinChoice(name);
    } else if (name == "skin_reset") {
        skinChangeObserver().broadcast({false, 0, std::string(kDefaultBackground)});
        storeDefaultBackground(mainIni_);
        markSkinChoice({});
    } else if (name == "skin_Custom") {
        const ui::FileDialogOptions options = ui::describedFileDialog({"dialog_background_title",
                                                                       "filter_pictures",
                                                                       "*.png;*.jpg;*.jpeg;*.bmp",
                                                                       picturesFolder().string(),
                                                                       {}});
        // Hidden first: the chooser closes when the dialog takes the focus.
        ui_.setVisible(kSkinFrame, false);
        if (auto path = ui_.openFileDialog(options)) {
            skinChangeObserver().broadcast({false, 0, *path});
            markSkinChoice({});
        }
    } else {
        return false;
    }
    return true;
}

void CMainWnd::markSkinChoice(const std::string& chosen) {
    for (std::string_view prefix : {"skin_color_btn_", "skin_image_btn_"}) {
        for (size_t i = 0;; ++i) {
            const std::string name = indexed(prefix, i);
            if (!ui_.setBorderColor(name, name == chosen ? kChoiceMark : 0)) {
                break;
            }
        }
    }
}

void CMainWnd::hideToTray() {
    if (!ui_.trayAreaAvailable()) {
        ui_.showWindow(ui::SkinUi::Show::Minimize);
        return;
    }
    ui_.showWindow(ui::SkinUi::Show::Hide);
    if (!trayHintShown_) {
        trayHintShown_ =
            ui_.trayMessage(ui_.translate("tray_hint_title"), ui_.translate("tray_hint_text"));
    }
}

void CMainWnd::receive(SkinChangedParam param) {
    if (param.useColor) {
        ui_.setBackgroundColor("root", param.color);
        ui_.setBackgroundImage("root", "");
    } else {
        ui_.setBackgroundColor("root", 0);
        ui_.setBackgroundImage("root", param.image);
    }
}

void CMainWnd::onMenu(const std::string& item) {
    if (item == "lan_en") {
        switchLanguage(Language::English);
    } else if (item == "lan_cn") {
        switchLanguage(Language::SimplifiedChinese);
    } else if (item == "About_setting") {
        ui_.aboutBox();
    } else if (item == "exit") {
        destroyWindow();
    } else if (item == kAutostartItem) {
        toggleAutostart();
    } else if (item == "velmoran" || item == "Menu_Import" || item == "Menu_Export") {
        // nothing
    } else {
        // Any other item shows its own text.
        std::string text = item;
        const ui::MenuFile menu = ui::readMenuFile(ui::skinPath(ui_.skinFolder(), "menu1.xml"));
        for (const ui::MenuEntry& entry : menu.entries) {
            if (entry.name == item) {
                text = entry.textKey.empty() ? entry.text : ui_.translate(entry.textKey);
            }
        }
        ui_.messageBox("", text, false);
    }
}

void CMainWnd::toggleAutostart() {
    std::string error;
    const bool ok =
        autostartEnabled(autostartEntry_)
            ? disableAutostart(autostartEntry_, error)
            : enableAutostart(
                  autostartEntry_,
                  options_.executable.empty() ? currentExecutable() : options_.executable, error);
    if (!ok) {
        debugLog("autostart: " + error);
        ui_.messageBox("", ui_.translate("message_text_autostart_failed") + "\n" + error, false);
    }
}

void CMainWnd::showWriteFailure(const WriteFailure& failure) {
    const std::string where = describeWriteFailure(failure);
    debugLog("cannot write " + failure.file.string() + ": " + where);
    ui_.messageBox("", ui_.translate("message_text_data_folder_unwritable") + "\n" + where, false);
}

// ---- tray and activation ------------------------------------------------------

void CMainWnd::topmostPulse() {
    ui_.setTopmost(true);
    std::this_thread::sleep_for(kTopmostPulse);
    ui_.setTopmost(false);
}

void CMainWnd::showNoDeviceBox(bool& guard) {
    ui_.showWindow(ui::SkinUi::Show::Hide);
    if (guard) {
        return;
    }
    guard = true;
    ui_.messageBox("", "message_text_1", true);
    guard = false;
}

void CMainWnd::resumeLivePreview() {
    if (windowInitDone_ && !shutDown_ && ui_.windowVisible() &&
        !ui_.timerActive(kTimerLivePreview)) {
        ui_.startTimer(kTimerLivePreview, kLivePreviewPeriodMs);
    }
}

void CMainWnd::activate() {
    if (links_.anyConnected()) {
        stayHidden_ = false;
        ui_.showWindow(ui::SkinUi::Show::Restore);
        resumeLivePreview();
        topmostPulse();
    } else {
        showNoDeviceBox(activationBoxOpen_);
    }
}

void CMainWnd::onTray(int64_t mouseMessage) {
    if (mouseMessage == ui::kTrayLeftUp) {
        if (!links_.anyConnected()) {
            showNoDeviceBox(trayBoxOpen_);
            return;
        }
        if (!ui_.windowVisible() || ui_.windowMinimized()) {
            stayHidden_ = false;
            ui_.showWindow(ui::SkinUi::Show::Show);
            ui_.showWindow(ui::SkinUi::Show::Restore);
            topmostPulse();
            ui_.repaintWindow();
            ui_.startTimer(kTimerRepaint, kTrayRepaintDelayMs);
            resumeLivePreview();
        } else {
            ui_.showWindow(ui::SkinUi::Show::Hide);
        }
    } else if (mouseMessage == ui::kTrayRightUp) {
        openTrayMenu();
    }
}

void CMainWnd::openTrayMenu() {
    ui_.closeMenu();
    ui::Point at = ui_.cursorPosition();
    at.y -= kMenuLift;
    const int language = storedLanguageValue(mainIni_);
    const std::string exitText(exitItemText(language));
    // The language shown carries the check mark (traditional Chinese has
    // no item of its own).
    ui_.setMenuChecked("lan_en", language == 0);
    ui_.setMenuChecked("lan_cn", language == 1);
    ui_.setMenuChecked(kAutostartItem, autostartEnabled(autostartEntry_));
    if (!ui_.openMenu("menu1.xml", at, {ui::MenuItem{"exit", exitText}})) {
        debugLog("menu1.xml: " + ui_.lastError());
    }
}

// ---- messages and timers ------------------------------------------------------

void CMainWnd::setMousepadTint(int message, intptr_t index, intptr_t value) {
    if (index < 0 || index >= static_cast<intptr_t>(mousepadDkeys_.size())) {
        return;
    }
    const std::string name = indexed("mp_dkey_", static_cast<size_t>(index));
    if (message == kMsgMousepadTintColor) {
        ui_.setTintColor(name, static_cast<uint32_t>(value));
    } else {
        ui_.setTintAlpha(name, static_cast<int>(value));
    }
}

void CMainWnd::handleMessage(int message, intptr_t wParam, intptr_t lParam) {
    if (shutDown_) {
        return;
    }
    switch (message) {
        case kMsgMouseRemovedLast:
            ui_.setFocus("ms_deng_Op_tab");
            ui_.showWindow(ui::SkinUi::Show::Hide);
            return;
        case kActivationMessage:
            debugLogf("软件标示 %d，%lxd%lxd", message, static_cast<long>(wParam),
                      static_cast<long>(lParam));
            activate();
            return;
        case kMsgProgressShow:
            ui_.setVisible("setting_progress", true);
            return;
        case kMsgProgressDone:
            ui_.startTimer(kTimerHideProgress, kProgressHideDelayMs);
            return;
        case kMsgMousepadTintColor:
        case kMsgMousepadTintAlpha:
            setMousepadTint(message, wParam, lParam);
            return;
        case kMsgHookKeySingleKey:
        case kMsgHookKeyHit:
        case kMsgHookKeyMacro:
        case kMsgHookKeyMacro2:
        case kMsgHookMouseSingleKey:
        case kMsgHookMouseHit:
        case kMsgHookMouseMacro:
        case kMsgHookMouseMacro2:
            if (options_.features != nullptr) {
                options_.features->onEvent(event::InputHook{message, wParam, lParam});
            }
            return;
        default:
            events_.onMessage(message);
            return;
    }
}

void CMainWnd::onTimer(int id) {
    if (shutDown_) {
        return;
    }
    switch (id) {
        case kTimerHideProgress:
            ui_.stopTimer(id);
            ui_.setVisible("setting_progress", false);
            return;
        case kTimerInitSettle:
            ui_.stopTimer(id);
            startAfterSettle();
            return;
        case kTimerWriteBack:
            events_.onTimer(id);
            if (!anyDeviceTabShown()) {
                // No device has arrived (a tab shows from the arrival, before
                // the keyboard's settle, to the removal): nothing to write
                // to, so the timer rests until a tab shows (10 wake-ups a
                // second saved in the tray).
                ui_.stopTimer(id);
                writeBackResting_ = true;
            }
            return;
        case kTimerRepaint:
            ui_.stopTimer(id);
            ui_.repaintWindow();
            debugLog("1234567890");
            return;
        case kTimerMouseRead:
        case kTimerKeyboardRead:
        case kTimerMousepadRead:
            ui_.stopTimer(id);
            events_.onTimer(id);
            return;
        case kTimerLivePreview:
            if (!ui_.windowVisible()) {
                // Nothing to repaint in the tray: the timer rests until the
                // window shows again (20 wake-ups a second saved).
                ui_.stopTimer(id);
                return;
            }
            ui_.repaintWindow();
            ui_.startTimer(id, kLivePreviewPeriodMs);
            return;
        default:
            return;
    }
}

// ---- reactions of the device threads -----------------------------------------

void CMainWnd::report(const WindowEvent& event) {
    if (std::holds_alternative<event::LightTrigger>(event)) {
        // The light threads take it from the listener's own thread.
        if (options_.features != nullptr) {
            options_.features->onEvent(event);
        }
        return;
    }
    courier_.send([this, event] { deliver(event); });
}

void CMainWnd::deliver(const WindowEvent& event) {
    std::visit(Overloaded{
                   [this](const event::TabShown& e) {
                       if (e.visible && writeBackResting_) {
                           writeBackResting_ = false;
                           ui_.startTimer(kTimerWriteBack, kWriteBackPeriodMs);
                       }
                       ui_.setVisible(controlsOf(e.device).tab, e.visible);
                       updateNoDeviceHint();
                   },
                   [this](const event::TabSelected& e) {
                       // Selecting an option notifies as the user's click would:
                       // the page follows.
                       const std::string name(controlsOf(e.device).tab);
                       if (ui_.setChecked(name, true)) {
                           ui_.notify({std::string(ui::notify::kSelectChanged), name, 1});
                       }
                   },
                   [this](const event::PanelShown& e) {
                       if (!controlsOf(e.device).panel.empty()) {
                           ui_.setVisible(controlsOf(e.device).panel, true);
                       }
                   },
                   [this](const event::SameModeShown& e) {
                       ui_.setVisible(controlsOf(e.device).sameMode, e.visible);
                   },
                   [](const auto&) {},
               },
               event);
    if (options_.features != nullptr) {
        options_.features->onEvent(event);
    }
}

bool CMainWnd::anyDeviceTabShown() const {
    for (const DeviceControls& c : kDeviceControls) {
        if (ui_.visible(c.tab)) {
            return true;
        }
    }
    return false;
}

void CMainWnd::updateNoDeviceHint() {
    ui_.setVisible("no_device_text", !anyDeviceTabShown());
}

void CMainWnd::showWindow(bool visible) {
    courier_.send([this, visible] {
        if (visible && stayHidden_) {
            return;  // a device arriving does not open a start into the tray
        }
        ui_.showWindow(visible ? ui::SkinUi::Show::Show : ui::SkinUi::Show::Hide);
        resumeLivePreview();
    });
}

void CMainWnd::startTimer(int id, int periodMs) {
    if (!courier_.closed()) {
        ui_.startTimer(id, periodMs);
    }
}

void CMainWnd::postMessage(int message) {
    courier_.post([this, message] { handleMessage(message, 0, 0); });
}

void CMainWnd::sendMessage(int message) {
    courier_.send([this, message] { handleMessage(message, 0, 0); });
}

void CMainWnd::postActivation() {
    courier_.post([this] {
        // The detection's start-up activation; a second start's still shows.
        if (!stayHidden_) {
            handleMessage(kActivationMessage, 0, 0);
        }
    });
}

void CMainWnd::showMessageBox(std::string_view textKey) {
    courier_.send([this, key = std::string(textKey)] { ui_.messageBox("", key, true); });
}

// ---- automation -----------------------------------------------------------------

ui::AutomationReply CMainWnd::image(std::string_view kind, std::string_view area) {
    const DeviceImages* images = nullptr;
    if (kind == "mouse") {
        images = &images_.mouse;
    } else if (kind == "mousepad") {
        images = &images_.mousepad;
    } else if (kind == "keyboard") {
        images = &images_.keyboard;
    } else {
        return ui::AutomationReply::failure("unknown device kind: " + std::string(kind));
    }
    if (area == "info") {
        return ui::AutomationReply::success(hex(images->info.snapshot()));
    }
    if (area == "keytable") {
        return ui::AutomationReply::success(hex(images->defaultKeys.snapshot()));
    }
    if (area == "records") {
        return ui::AutomationReply::success(hex(images->records.snapshot()));
    }
    if (area == "current") {
        const auto current = images->current.snapshot();
        return ui::AutomationReply::success(
            hex(std::span<const uint8_t>(current.data(), images->currentSize())));
    }
    if (auto split = splitIndexedName(area); split && split->first == "bank" &&
                                             split->second >= 0 &&
                                             split->second < static_cast<int>(kKeyBankCount)) {
        return ui::AutomationReply::success(
            hex(images->banks[static_cast<size_t>(split->second)].snapshot()));
    }
    return ui::AutomationReply::failure("unknown image area: " + std::string(area));
}

ControlAnswer CMainWnd::control(const std::vector<std::string>& args) {
    if (shutDown_) {
        return ControlAnswer::failed("rxt-config is ending");
    }
    return control_.route(args);
}

void CMainWnd::quit() {
    // As the tray menu's "exit", on the UI thread.
    ui_.post([this] { destroyWindow(); });
}

}  // namespace rxt::shell
