#pragma once
// The UI as an in-memory control tree, for tests of the page logic without a
// display. The tree comes from the same skin files as the real window (the
// handler's createControl is asked for every class, pages are built from
// their files) or is built by the test with addControl. Every call that
// changes something is written down as one short line (calls()); tests play
// the user with the user... calls, answer dialogs with answer(), and drive
// timers by hand (fireTimer, advance): time does not pass by itself.
//
// Posted and sent work from other threads waits until the test's UI thread
// calls processEvents() or run().

#include <atomic>
#include <map>
#include <mutex>
#include <utility>

#include "app/ui/skin_file.h"
#include "app/ui/skin_resources.h"
#include "app/ui/skin_ui_base.h"

namespace rxt::ui {

class MemoryUi : public SkinUiBase {
  public:
    explicit MemoryUi(std::string skinFolder = {});
    ~MemoryUi() override;

    // ---- for tests --------------------------------------------------------
    // Adds a control under `parent` (empty: the root). False when the
    // parent is missing. Names need not be unique; lookups find the first.
    bool addControl(std::string_view name, ControlKind kind, std::string_view parent = {});
    // Builds a skin file (resource or file name) under `parent`, asking the
    // handler's createControl as the window does.
    bool loadSkin(std::string_view skin, std::string_view parent = {});
    void setHandler(WindowHandler* handler);
    // Options added with this are exclusive with their exclusive siblings
    // (radio buttons are by default).
    bool setExclusive(std::string_view name, bool exclusive);
    bool effectivelyVisible(std::string_view name) const;
    int repaintCount(std::string_view name) const;
    uint32_t borderColor(std::string_view name) const;  // 0 = none
    std::vector<std::string> controlNames() const;      // in tree order

    std::vector<std::string> calls() const { return calls_; }
    void clearCalls() { calls_.clear(); }
    // Every notification delivered, in order.
    const std::vector<Notification>& notifications() const { return delivered_; }
    void clearNotifications() { delivered_.clear(); }

    // Timers: fires `id` once if it is running (true); advance moves the
    // clock on and fires every timer that falls due, in time order.
    bool fireTimer(int id);
    void advance(int ms);
    int timerPeriod(int id) const;  // 0 when not running

    std::string windowTitle() const { return title_; }
    bool topmost() const { return topmost_; }
    bool aboutOpen() const { return aboutOpen_; }
    void closeAbout() { aboutOpen_ = false; }
    const std::vector<MenuEntry>& openMenuEntries() const { return menuEntries_; }
    Point menuPoint() const { return menuPoint_; }
    void setCursorPosition(Point p) { cursor_ = p; }
    std::optional<FileDialogOptions> lastFileDialog() const { return lastFileDialog_; }
    bool quitRequested() const { return quit_; }
    // The desktop's status area (there by default) and the tray
    // notifications shown (title, text).
    void setTrayAreaAvailable(bool on) { trayArea_ = on; }
    const std::vector<std::pair<std::string, std::string>>& trayMessages() const {
        return trayMessages_;
    }
    std::string programIcon() const { return programIcon_; }
    int quitCode() const { return quitCode_; }

    // ---- SkinUi -----------------------------------------------------------
    bool createMainWindow(WindowHandler& handler, std::string_view skin, std::string_view title,
                          int width, int height) override;
    int run() override;
    void quit(int code) override;

    void showWindow(Show how) override;
    bool windowVisible() const override { return windowVisible_; }
    bool windowMinimized() const override { return minimized_; }
    void setTopmost(bool on) override;
    void centerWindow() override;
    void repaintWindow() override;

    bool loadLanguage(std::string_view file) override;
    void setLanguage(std::string_view name) override;
    void reloadText() override;

    bool hasControl(std::string_view name) const override;
    ControlKind controlKind(std::string_view name) const override;
    bool setVisible(std::string_view name, bool visible) override;
    bool visible(std::string_view name) const override;
    bool setEnabled(std::string_view name, bool enabled) override;
    bool enabled(std::string_view name) const override;
    bool setText(std::string_view name, std::string_view text) override;
    bool setTextKey(std::string_view name, std::string_view key) override;
    std::string text(std::string_view name) const override;
    std::string textKey(std::string_view name) const override;
    bool setBackgroundColor(std::string_view name, uint32_t argb) override;
    uint32_t backgroundColor(std::string_view name) const override;
    bool setBackgroundImage(std::string_view name, std::string_view image) override;
    std::string backgroundImage(std::string_view name) const override;
    bool setBorderColor(std::string_view name, uint32_t argb) override;
    bool setAttribute(std::string_view name, std::string_view attr,
                      std::string_view value) override;
    std::string attribute(std::string_view name, std::string_view attr) const override;
    bool setUserData(std::string_view name, std::string_view data) override;
    std::string userData(std::string_view name) const override;
    bool repaint(std::string_view name) override;
    bool setFocus(std::string_view name) override;

    bool setTintEnabled(std::string_view name, bool on) override;
    bool setTintColor(std::string_view name, uint32_t argb) override;
    bool setTintAlpha(std::string_view name, int alpha) override;
    Tint tint(std::string_view name) const override;
    bool setKeyLight(std::string_view name, const KeyLight& light) override;
    KeyLight keyLight(std::string_view name) const override;

    bool setChecked(std::string_view name, bool checked) override;
    bool checked(std::string_view name) const override;

    bool addItem(std::string_view name, const Item& item) override;
    bool insertItem(std::string_view name, int index, const Item& item) override;
    bool setItem(std::string_view name, int index, const Item& item) override;
    bool removeItem(std::string_view name, int index) override;
    bool clearItems(std::string_view name) override;
    int itemCount(std::string_view name) const override;
    std::optional<Item> item(std::string_view name, int index) const override;
    std::vector<Item> items(std::string_view name) const override;
    bool setCurrentIndex(std::string_view name, int index) override;
    int currentIndex(std::string_view name) const override;

    bool setRange(std::string_view name, int minimum, int maximum) override;
    bool setValue(std::string_view name, int value) override;
    int value(std::string_view name) const override;
    int minimum(std::string_view name) const override;
    int maximum(std::string_view name) const override;

    bool setCurrentPage(std::string_view name, int page) override;
    int currentPage(std::string_view name) const override;
    int pageCount(std::string_view name) const override;

    bool setPaletteColor(std::string_view name, uint32_t argb) override;
    uint32_t paletteColor(std::string_view name) const override;

    void notify(const Notification& n) override;

    void startTimer(int id, int periodMs) override;
    void stopTimer(int id) override;
    bool timerActive(int id) const override;

    int messageBox(std::string_view title, std::string_view message, bool isKey) override;
    PaletteResult paletteDialog(uint32_t initial) override;
    void aboutBox() override;
    std::optional<std::string> openFileDialog(const FileDialogOptions& options) override;
    std::optional<std::string> saveFileDialog(const FileDialogOptions& options) override;
    void openUrl(std::string_view url) override;

    bool openMenu(std::string_view file, Point at, const std::vector<MenuItem>& topItems) override;
    void closeMenu() override;
    bool menuOpen() const override { return menuOpen_; }
    Point cursorPosition() const override { return cursor_; }
    std::optional<Point> screenCentre(std::string_view) const override { return std::nullopt; }

    bool createTray(std::string_view icon, std::string_view tooltip) override;
    void removeTray() override;
    bool trayVisible() const override { return tray_; }
    bool trayAreaAvailable() const override { return trayArea_; }
    bool trayMessage(std::string_view title, std::string_view text) override;
    void setProgramIcon(std::string_view icon) override { programIcon_ = std::string(icon); }

    bool userClick(std::string_view name) override;
    bool userCheck(std::string_view name, bool checked) override;
    bool userSelect(std::string_view name, int index) override;
    bool userSlide(std::string_view name, int value) override;
    bool userDrag(std::string_view name, int value) override;
    bool userType(std::string_view name, std::string_view text) override;
    bool userFocus(std::string_view name) override;
    bool userBlur(std::string_view name) override;
    bool userColor(std::string_view name, uint32_t argb) override;
    bool userMenu(std::string_view item) override;
    bool userTray(bool left) override;
    bool userHover(std::string_view name, bool inside) override;
    void processEvents() override;

  private:
    struct Control {
        std::string name;
        std::string className;
        ControlKind kind = ControlKind::Container;
        int parent = -1;
        std::vector<int> children;
        bool visible = true;
        bool enabled = true;
        bool exclusive = false;
        std::string text;
        std::string textKey;
        uint32_t background = 0;
        uint32_t border = 0;
        std::string image;
        std::string userData;
        std::map<std::string, std::string, std::less<>> attributes;
        Tint tint;
        KeyLight light;
        bool checked = false;
        std::vector<Item> items;
        int current = -1;  // combo/list row, tab page
        int minimum = 0;
        int maximum = 100;
        int value = 0;
        uint32_t color = 0;  // palette
        int repaints = 0;
    };
    struct Timer {
        int period = 0;
        int64_t due = 0;
    };

    // A user's slider move: set (kValueChanged) or dragged (kMoveValueChanged).
    bool userMoveSlider(std::string_view name, int v, std::string_view type);
    Control* find(std::string_view name);
    // Applies edit to the named control; false when the skin has none.
    template <class Edit>
    bool change(std::string_view name, Edit&& edit) {
        Control* c = find(name);
        if (c == nullptr) {
            return false;
        }
        edit(*c);
        return true;
    }
    const Control* find(std::string_view name) const;
    Control* findOfKind(std::string_view name, std::initializer_list<ControlKind> kinds,
                        std::string_view what);
    const Control* findOfKind(std::string_view name,
                              std::initializer_list<ControlKind> kinds) const;
    Control* userTarget(std::string_view name, std::initializer_list<ControlKind> kinds);
    int addNode(Control c, int parent);
    bool buildNode(const SkinNode& node, int parent, int depth);
    void applyProperties(Control& c, const SkinNode& node);
    void deliver(Notification n);
    void moveFocus(std::string_view name);
    void record(std::string line);
    void setOptionChecked(int index, bool on, bool notifyUser);
    bool effectivelyVisible(int index) const;
    bool effectivelyEnabled(int index) const;
    bool menuHas(const std::vector<MenuEntry>& entries, std::string_view item) const;

    std::vector<Control> nodes_;
    std::map<std::string, int, std::less<>> byName_;
    std::vector<std::string> calls_;
    std::vector<Notification> delivered_;

    std::atomic<bool> quit_{false};
    std::atomic<int> quitCode_{0};
    bool running_ = false;

    mutable std::mutex timerMutex_;
    std::map<int, Timer> timers_;
    int64_t now_ = 0;

    std::string title_;
    bool windowVisible_ = false;
    bool minimized_ = false;
    bool topmost_ = false;

    std::string focused_;
    bool aboutOpen_ = false;
    std::optional<FileDialogOptions> lastFileDialog_;

    bool menuOpen_ = false;
    std::vector<MenuEntry> menuEntries_;
    Point menuPoint_;
    Point cursor_;
    bool tray_ = false;
    bool trayArea_ = true;
    std::vector<std::pair<std::string, std::string>> trayMessages_;
    std::string programIcon_;
};

}  // namespace rxt::ui
