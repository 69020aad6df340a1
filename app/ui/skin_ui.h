#pragma once
// Everything the program needs of its user-interface toolkit, in one
// interface. Controls are addressed by name (the skin's control names); a
// name missing from the skin is simply not found: setters do nothing and
// return false, getters return the empty value, and nothing fails.
//
// Two implementations: the widget toolkit one for the real program, and
// MemoryUi (app/ui/memory_ui.h), an in-memory control tree for tests.
//
// Threads: every call is made on the UI thread, except the ones marked
// "any thread" (messages, posted and sent calls, timers), which a worker
// thread may use; they are marshalled to the UI thread.
//
// Notifications: a user's action reaches WindowHandler::notify as a
// Notification. A change the program makes through this interface never
// notifies, except setFocus ("setfocus") and notify() itself.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rxt::ui {

// ---- notifications -------------------------------------------------------

namespace notify {
inline constexpr std::string_view kWindowInit = "windowinit";        // once, window first shown
inline constexpr std::string_view kClick = "click";                  // non-checkable button clicked
inline constexpr std::string_view kSelectChanged = "selectchanged";  // check/option toggled
inline constexpr std::string_view kItemSelect = "itemselect";        // combo or list row chosen
inline constexpr std::string_view kItemClick = "itemclick";          // list row clicked
inline constexpr std::string_view kValueChanged = "valuechanged";    // slider set
inline constexpr std::string_view kMoveValueChanged = "movevaluechanged";  // slider dragged
inline constexpr std::string_view kTextChanged = "textchanged";  // edit text edited by the user
inline constexpr std::string_view kSetFocus = "setfocus";
inline constexpr std::string_view kKillFocus = "killfocus";
inline constexpr std::string_view kColorChanged = "colorchanged";  // colour palette
inline constexpr std::string_view kMenu = "menu";  // menu item chosen: sender is the item name
inline constexpr std::string_view kTray = "tray";  // tray icon: value is kTrayLeftUp/RightUp
inline constexpr std::string_view kMouseEnter = "msenter";  // the pointer came over a control
inline constexpr std::string_view kMouseLeave = "msleave";  // and left it
}  // namespace notify

// Tray notification values (the mouse message of the click).
inline constexpr int kTrayLeftUp = 514;
inline constexpr int kTrayRightUp = 517;

struct Notification {
    std::string type;    // one of notify::k...
    std::string sender;  // control name (menu: item name; tray: "tray")
    // selectchanged: 1 checked, 0 not; itemselect/itemclick: row index;
    // valuechanged/movevaluechanged: slider value; colorchanged: ARGB;
    // tray: kTrayLeftUp or kTrayRightUp; otherwise 0.
    int64_t value = 0;

    bool operator==(const Notification&) const = default;
};

// ---- what the window logic supplies --------------------------------------

// What CreateControl answers for a class name found in a skin file.
struct ControlCreation {
    enum class Kind {
        None,    // not ours: the toolkit uses its own class (or a plain container)
        Page,    // build this page from the skin file `name` ("Mouse_DPI.ui")
        Custom,  // a registered custom control class `name` ("CircleProgress")
    };
    Kind kind = Kind::None;
    std::string name;

    static ControlCreation none() { return {}; }
    static ControlCreation page(std::string file) { return {Kind::Page, std::move(file)}; }
    static ControlCreation custom(std::string cls) { return {Kind::Custom, std::move(cls)}; }
};

// Registered custom control classes.
namespace custom {
inline constexpr std::string_view kCircleProgress = "CircleProgress";
inline constexpr std::string_view kDeviceKeyButton = "DeviceKeyButton";
inline constexpr std::string_view kWnd = "Wnd";
inline constexpr std::string_view kChartView = "ChartView";
inline constexpr std::string_view kColorPalette = "ColorPalette";  // "colorchanged"
}  // namespace custom

// The main window's logic. All calls arrive on the UI thread.
class WindowHandler {
  public:
    virtual ~WindowHandler() = default;

    // After the main skin is built, before the window is shown.
    virtual void initWindow() {}
    virtual void notify(const Notification& n) = 0;
    // A numbered message posted or sent through SkinUi.
    virtual void handleMessage(int message, intptr_t wParam, intptr_t lParam) = 0;
    virtual void onTimer(int id) = 0;
    // Offered every class name of a skin file before the toolkit's own
    // classes (names compared as the handler likes).
    virtual ControlCreation createControl(std::string_view className) {
        (void)className;
        return {};
    }
    // Text for a text key the language file does not hold; nullopt: none.
    virtual std::optional<std::string> queryControlText(std::string_view key) {
        (void)key;
        return std::nullopt;
    }
    // The main window became the active window (true) or stopped being it.
    virtual void onActivate(bool active) { (void)active; }
    // The window has been closed for good (after quit()).
    virtual void onFinalMessage() {}
};

// ---- values ---------------------------------------------------------------

struct Tint {
    bool enabled = false;
    uint32_t color = 0;  // ARGB; only RGB is painted, at `alpha`
    int alpha = 0;       // 0 (invisible) to 255

    bool operator==(const Tint&) const = default;
};

// Light state of a DeviceKeyButton: its light image is drawn in `color`
// at `level` (0..255); with `display` off only the key-set image shows.
struct KeyLight {
    bool display = false;
    uint32_t color = 0xFF000000;
    int level = 0;

    bool operator==(const KeyLight&) const = default;
};

struct Item {
    std::string text;
    std::string userData;

    bool operator==(const Item&) const = default;
};

struct Point {
    int x = 0;
    int y = 0;
};

struct MenuItem {
    std::string name;  // arrives as the sender of the "menu" notification
    std::string text;  // shown as it is
};

// Open and save dialogs (pages describe them with describedFileDialog,
// app/ui/file_dialog.h). The title and the filter labels are text keys or
// plain texts: the dialog shows translate() of them.
struct FileFilter {
    std::string label;
    std::string pattern;  // "*.png", "*.*", several separated by ';'
};
struct FileDialogOptions {
    std::string title;
    std::string defaultExtension;  // "png": added to a saved name without one
    std::string fileName;          // initial name ("*.png" counts as none)
    std::vector<FileFilter> filters;
    std::string folder;  // initial folder; empty: the toolkit's choice
};

// Results of the palette dialog: the chosen colour when confirmed (code 1),
// the initial colour otherwise (code 2).
struct PaletteResult {
    int code = 2;
    uint32_t color = 0;
};

// The 30 preset colours of the palette dialog and the lighting pages (ARGB).
inline constexpr uint32_t kPresetColors[30] = {
    0xFFFF0000, 0xFF00F6FF, 0xFF6CFF00, 0xFF7E00FF, 0xFF008AFF, 0xFF0000FF, 0xFFADFE00, 0xFFFE5400,
    0xFFFE8300, 0xFF8300E7, 0xFFB700AC, 0xFFFEB300, 0xFFFEF500, 0xFFFF0000, 0xFFFF00F6, 0xFF00FF00,
    0xFF48B1FA, 0xFFFA48A4, 0xFFFDFDFC, 0xFF4900E7, 0xFFFFC480, 0xFF000000, 0xFF1B48A3, 0xFF1B1A77,
    0xFF4877A3, 0xFF76A348, 0xFFACD55B, 0xFF7576D2, 0xFF7675FF, 0xFF4776A4,
};

// A scripted answer for the next modal box or dialog of its kind, which then
// does not open on screen.
struct DialogAnswer {
    enum class Kind { Message, Open, Save, Palette };
    Kind kind = Kind::Message;
    bool accept = false;  // message: 1 (confirm) or 0; others: false = cancel
    std::string path;     // open, save
    uint32_t color = 0;   // palette

    static DialogAnswer message(bool confirm) { return {Kind::Message, confirm, {}, 0}; }
    static DialogAnswer open(std::string p) { return {Kind::Open, true, std::move(p), 0}; }
    static DialogAnswer save(std::string p) { return {Kind::Save, true, std::move(p), 0}; }
    static DialogAnswer palette(uint32_t c) { return {Kind::Palette, true, {}, c}; }
    static DialogAnswer cancel(Kind k) { return {k, false, {}, 0}; }
};

// What a control is, as far as the program cares.
enum class ControlKind {
    Missing,    // no such control
    Container,  // plain widget, frame, page
    Label,
    Button,    // push button: "click"
    Option,    // check box, radio button or checkable button: "selectchanged"
    Edit,      // single- or multi-line text: "textchanged", focus
    Combo,     // "itemselect"
    List,      // "itemselect", "itemclick"
    Slider,    // "valuechanged", "movevaluechanged"
    Progress,  // including CircleProgress
    Tabs,      // tab layout: one visible page at a time
    Palette,   // colour palette: "colorchanged"
    Custom,    // other custom controls (DeviceKeyButton acts as Button)
};

std::string_view controlKindName(ControlKind kind);

// ---- the interface -------------------------------------------------------

class SkinUi {
  public:
    virtual ~SkinUi() = default;

    // Resources. The skin folder holds "res.xml", the skin files, "menu1.xml"
    // and the language files; file names are relative to it.
    virtual const std::string& skinFolder() const = 0;
    // Reads the index of resource names ("XML_MAIN" -> "main.ui"); false
    // (with the reason in lastError()) when it cannot be read.
    virtual bool loadIndex(std::string_view file = "res.xml") = 0;
    // A resource name through the index, else the name itself.
    virtual std::string resolve(std::string_view resourceOrFile) const = 0;
    virtual std::string lastError() const = 0;

    // Builds the main window from a skin (resource name or file), handled by
    // `handler`, which must outlive the window. False (lastError()) when the
    // skin cannot be loaded. initWindow runs before it returns. The window
    // starts hidden; the first showWindow(Show) posts "windowinit" (once),
    // which the loop (run, processEvents) then delivers.
    virtual bool createMainWindow(WindowHandler& handler, std::string_view skin,
                                  std::string_view title, int width, int height) = 0;
    // Runs the message loop until quit(); returns the code.
    virtual int run() = 0;
    // Ends the loop (any thread); the handler's onFinalMessage follows.
    virtual void quit(int code = 0) = 0;

    // Window.
    enum class Show { Hide, Show, Restore, Minimize };
    virtual void showWindow(Show how) = 0;
    // Posts "windowinit" (once) leaving the window hidden: a start into the
    // tray runs everything a shown window does.
    virtual void startHidden() = 0;
    virtual bool windowVisible() const = 0;
    virtual bool windowMinimized() const = 0;
    virtual void setTopmost(bool on) = 0;
    virtual void centerWindow() = 0;
    virtual void repaintWindow() = 0;

    // Language. Files are an XML table of key and text, any root, one entry
    // per element with a "key" (or "id") attribute and the text as the
    // element's content or its "text"/"value" attribute:
    //   <language><text key="message_text_1">Please connect ...</text></language>
    // loadLanguage replaces the table (false and the old table kept when the
    // file is bad); setLanguage names it ("en", "cn_zh", "cn_tw").
    virtual bool loadLanguage(std::string_view file) = 0;
    virtual void setLanguage(std::string_view name) = 0;
    virtual std::string language() const = 0;
    // Looks every text key up again (controls with a text key, menu items).
    virtual void reloadText() = 0;
    // The text of a key: language table, then the handler's
    // queryControlText, then the key itself.
    virtual std::string translate(std::string_view key) const = 0;

    // Controls. A control whose text is a key carries the key (skin files:
    // the string property "textkey") and shows its translation.
    virtual bool hasControl(std::string_view name) const = 0;
    virtual ControlKind controlKind(std::string_view name) const = 0;
    virtual bool setVisible(std::string_view name, bool visible) = 0;
    virtual bool visible(std::string_view name) const = 0;  // own flag, not ancestors'
    virtual bool setEnabled(std::string_view name, bool enabled) = 0;
    virtual bool enabled(std::string_view name) const = 0;
    virtual bool setText(std::string_view name, std::string_view text) = 0;
    virtual bool setTextKey(std::string_view name, std::string_view key) = 0;
    virtual std::string text(std::string_view name) const = 0;  // as shown
    virtual std::string textKey(std::string_view name) const = 0;
    // Background colour (ARGB, 0 = none) and image (skin-relative or
    // absolute path; empty = none).
    virtual bool setBackgroundColor(std::string_view name, uint32_t argb) = 0;
    virtual uint32_t backgroundColor(std::string_view name) const = 0;
    virtual bool setBackgroundImage(std::string_view name, std::string_view image) = 0;
    virtual std::string backgroundImage(std::string_view name) const = 0;
    virtual bool setBorderColor(std::string_view name, uint32_t argb) = 0;
    // Free string attributes: custom controls read theirs ("lightimage",
    // "keysetimage", "view" ...); skin files give them as string properties.
    virtual bool setAttribute(std::string_view name, std::string_view attr,
                              std::string_view value) = 0;
    virtual std::string attribute(std::string_view name, std::string_view attr) const = 0;
    virtual bool setUserData(std::string_view name, std::string_view data) = 0;
    virtual std::string userData(std::string_view name) const = 0;  // skin: "userdata"
    virtual bool repaint(std::string_view name) = 0;
    // Gives the control the focus and notifies "setfocus" (and "killfocus"
    // to the control that loses it).
    virtual bool setFocus(std::string_view name) = 0;

    // Colour overlay painted over a control.
    virtual bool setTintEnabled(std::string_view name, bool on) = 0;
    virtual bool setTintColor(std::string_view name, uint32_t argb) = 0;
    virtual bool setTintAlpha(std::string_view name, int alpha) = 0;  // clamped to 0..255
    virtual Tint tint(std::string_view name) const = 0;
    // Light state of a DeviceKeyButton.
    virtual bool setKeyLight(std::string_view name, const KeyLight& light) = 0;
    virtual KeyLight keyLight(std::string_view name) const = 0;

    // Options and check boxes.
    virtual bool setChecked(std::string_view name, bool checked) = 0;
    virtual bool checked(std::string_view name) const = 0;

    // Combo and list items. Indexes out of range do nothing (false / empty);
    // currentIndex is -1 when nothing is selected.
    virtual bool addItem(std::string_view name, const Item& item) = 0;
    virtual bool insertItem(std::string_view name, int index, const Item& item) = 0;
    virtual bool setItem(std::string_view name, int index, const Item& item) = 0;
    virtual bool removeItem(std::string_view name, int index) = 0;
    virtual bool clearItems(std::string_view name) = 0;
    virtual int itemCount(std::string_view name) const = 0;
    virtual std::optional<Item> item(std::string_view name, int index) const = 0;
    virtual std::vector<Item> items(std::string_view name) const = 0;
    virtual bool setCurrentIndex(std::string_view name, int index) = 0;  // -1 clears
    virtual int currentIndex(std::string_view name) const = 0;

    // Sliders and progress bars.
    virtual bool setRange(std::string_view name, int minimum, int maximum) = 0;
    virtual bool setValue(std::string_view name, int value) = 0;  // clamped to the range
    virtual int value(std::string_view name) const = 0;
    virtual int minimum(std::string_view name) const = 0;
    virtual int maximum(std::string_view name) const = 0;

    // Tab layouts: the page shown.
    virtual bool setCurrentPage(std::string_view name, int page) = 0;
    virtual int currentPage(std::string_view name) const = 0;
    virtual int pageCount(std::string_view name) const = 0;

    // Colour palettes: the selected colour (ARGB).
    virtual bool setPaletteColor(std::string_view name, uint32_t argb) = 0;
    virtual uint32_t paletteColor(std::string_view name) const = 0;

    // Delivers a notification to the handler now, for the changes the
    // program makes that must act as the user's would.
    virtual void notify(const Notification& n) = 0;

    // Timers (any thread): (re)start timer `id` firing every `periodMs`
    // until stopped; onTimer runs on the UI thread.
    virtual void startTimer(int id, int periodMs) = 0;
    virtual void stopTimer(int id) = 0;
    virtual bool timerActive(int id) const = 0;

    // Numbered messages to the main window's handleMessage (any thread).
    // Posted: returns at once. Sent: returns once handled (at once, inline,
    // on the UI thread); false when the loop has ended and it was not run.
    virtual void postMessage(int message, intptr_t wParam = 0, intptr_t lParam = 0) = 0;
    virtual bool sendMessage(int message, intptr_t wParam = 0, intptr_t lParam = 0) = 0;
    // Any work marshalled to the UI thread, posted or sent the same way.
    virtual void post(std::function<void()> fn) = 0;
    virtual bool send(std::function<void()> fn) = 0;
    virtual bool onUiThread() const = 0;
    // Shutdown (any thread): from now on posted and sent work is dropped and
    // senders waiting now or later get false, so workers blocked in a send
    // can see their stop events while the UI thread waits for them.
    virtual void closeMessages() = 0;

    // Modal boxes and dialogs (scripted answers first, see answer()).
    // Message box: title empty keeps the skin's title; with `isKey` the
    // message is a text key. 1 for "confirm_btn", 0 for cancel or close.
    virtual int messageBox(std::string_view title, std::string_view message, bool isKey) = 0;
    virtual PaletteResult paletteDialog(uint32_t initial) = 0;
    virtual void aboutBox() = 0;  // not modal
    virtual std::optional<std::string> openFileDialog(const FileDialogOptions& options) = 0;
    virtual std::optional<std::string> saveFileDialog(const FileDialogOptions& options) = 0;
    virtual void answer(const DialogAnswer& answer) = 0;
    // Keys (or texts) of the message boxes shown since the last call.
    virtual std::vector<std::string> takeShownMessages() = 0;
    virtual void openUrl(std::string_view url) = 0;

    // Menu: opens a menu file ("menu1.xml") at a point with `topItems`
    // inserted first; a chosen item notifies "menu" with its name. Opening
    // closes one already open.
    virtual bool openMenu(std::string_view file, Point at,
                          const std::vector<MenuItem>& topItems) = 0;
    virtual void closeMenu() = 0;
    virtual bool menuOpen() const = 0;
    // Check marks of menu items by name (the menu check map): an item named
    // here is shown checkable, with this state, in menus opened afterwards.
    virtual void setMenuChecked(std::string_view item, bool checked) = 0;
    virtual std::optional<bool> menuChecked(std::string_view item) const = 0;
    virtual Point cursorPosition() const = 0;
    // Where on the screen a person points at the control (its centre);
    // nullopt when it is not shown on a screen.
    virtual std::optional<Point> screenCentre(std::string_view name) const = 0;

    // Tray icon: clicks notify "tray" (kTrayLeftUp, kTrayRightUp).
    virtual bool createTray(std::string_view icon, std::string_view tooltip) = 0;
    virtual void removeTray() = 0;
    virtual bool trayVisible() const = 0;
    // Whether the desktop has a status area to show the tray icon in.
    virtual bool trayAreaAvailable() const = 0;
    // A notification from the tray icon; false when none can be shown.
    virtual bool trayMessage(std::string_view title, std::string_view text) = 0;
    // The program's icon (a skin picture) on the main window and on every
    // box and dialog opened afterwards.
    virtual void setProgramIcon(std::string_view icon) = 0;

    // What a user does, through the same controls and notifications as
    // the real thing (tests, automation). False with lastError() when the
    // control is missing, disabled, hidden or of the wrong kind.
    virtual bool userClick(std::string_view name) = 0;
    virtual bool userCheck(std::string_view name, bool checked) = 0;
    virtual bool userSelect(std::string_view name, int index) = 0;
    virtual bool userSlide(std::string_view name, int value) = 0;
    virtual bool userDrag(std::string_view name, int value) = 0;
    virtual bool userType(std::string_view name, std::string_view text) = 0;
    virtual bool userFocus(std::string_view name) = 0;
    virtual bool userBlur(std::string_view name) = 0;
    virtual bool userColor(std::string_view name, uint32_t argb) = 0;
    virtual bool userMenu(std::string_view item) = 0;  // an item of the open menu
    virtual bool userTray(bool left) = 0;
    // The pointer comes over the control (inside) or leaves it.
    virtual bool userHover(std::string_view name, bool inside) = 0;
    // Returns once pending events (posted calls, messages) are processed.
    virtual void processEvents() = 0;
};

}  // namespace rxt::ui
