#pragma once
// The UI on the widget toolkit: skin files loaded at run time, controls found
// by object name, signals turned into notifications by one adaptor, timers,
// messages marshalled to the UI thread, the message box, palette and about
// dialogs from their skin files, file dialogs, the tray icon and its menu.
// Logic stays with the window handler; this maps the interface onto widgets.
//
// A QApplication must exist before it is made; it lives on the UI thread.

#include <QDialog>
#include <QHash>
#include <QIcon>
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <map>
#include <memory>
#include <mutex>
#include <set>

#include "app/ui/skin_ui_base.h"

class QFileDialog;
class QSystemTrayIcon;
class QTranslator;

namespace rxt::ui {

class NotifyAdaptor;
class GrabFocusFilter;

// The maker's homepage, opened from the about box's "NetText".
inline constexpr std::string_view kHomepageUrl = "https://www.example.com/rx-t7100";

// Text keys of the boxes' window titles (what the desktop shows for them).
inline constexpr std::string_view kAboutTitleKey = "about_window_title";
inline constexpr std::string_view kPaletteTitleKey = "palette_window_title";
inline constexpr std::string_view kMessageTitleKey = "msgbox_window_title";

class QtUi : public QObject, public SkinUiBase {
    Q_OBJECT

  public:
    explicit QtUi(std::string skinFolder, QObject* parent = nullptr);
    ~QtUi() override;

    // The main window (null before createMainWindow) and any control by name.
    QWidget* window() const { return window_; }
    QWidget* widget(std::string_view name) const;
    // The open modal box, if any (tests, automation).
    QDialog* openDialog() const { return modal_; }
    QWidget* aboutWindow() const;
    QMenu* menu() const { return menu_; }
    // Answers the modal box or dialog that is open now; false when none of
    // that kind is open.
    bool answerOpenDialog(const DialogAnswer& answer);
    // Errors met while loading skins (unknown classes, missing pages).
    QStringList loadErrors() const { return loadErrors_; }

    // ---- SkinUi -----------------------------------------------------------
    bool createMainWindow(WindowHandler& handler, std::string_view skin, std::string_view title,
                          int width, int height) override;
    int run() override;
    void quit(int code) override;

    void showWindow(Show how) override;
    bool windowVisible() const override;
    bool windowMinimized() const override;
    void setTopmost(bool on) override;
    void centerWindow() override;
    void repaintWindow() override;

    void reloadText() override;
    // Also the toolkit's own texts (file dialogs, standard buttons, edit menus).
    void setLanguage(std::string_view name) override;

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
    bool menuOpen() const override;
    Point cursorPosition() const override;
    std::optional<Point> screenCentre(std::string_view name) const override;

    bool createTray(std::string_view icon, std::string_view tooltip) override;
    void removeTray() override;
    bool trayVisible() const override;
    bool trayAreaAvailable() const override;
    bool trayMessage(std::string_view title, std::string_view text) override;
    void setProgramIcon(std::string_view icon) override;
    QIcon programIcon() const;
    // The skin's own style sheet of the main window (menus take a copy).
    QString skinStyleSheet() const;

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

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // Program changes inside a Quiet scope do not notify.
    struct Quiet {
        explicit Quiet(QtUi& ui) : ui_(ui) { ++ui_.quiet_; }
        ~Quiet() { --ui_.quiet_; }
        QtUi& ui_;
    };

    QWidget* userTarget(std::string_view name) const;
    // The target as a widget of type W; fails with "NAME REFUSAL" otherwise.
    template <class W>
    W* userTargetAs(std::string_view name, std::string_view refusal) const;
    void deliver(const Notification& n);
    void applyStyle(QWidget* w);
    void setWidgetText(QWidget* w, const QString& text);
    QString widgetText(const QWidget* w) const;
    QString skinFile(std::string_view resource, std::string_view fallback) const;
    QDialog* loadDialog(std::string_view resource, std::string_view fallback);
    void moveFocusTo(QWidget* w);
    void groupExclusiveButtons(QWidget* root);
    std::optional<std::string> fileDialog(const FileDialogOptions& options, bool save);
    QString filterText(const std::vector<FileFilter>& filters) const;
    QIcon iconFor(std::string_view icon) const;
    // A box's window title in the language, else the fixed one.
    QString boxTitle(std::string_view key, std::string_view fallback) const;
    // Pop-up panels (skin property "popupbutton"): Esc, a press outside or a
    // page switch closes them; Tab stays inside the open one.
    void setUpPopups(QWidget* root);
    QWidget* openPopup() const;
    bool popupEvent(QObject* watched, QEvent* event);
    // Tab walks the controls of `top` in rows from the top, left to right.
    static void orderTabs(QWidget* top);
    // Texts and tooltips of `top` and its controls from their text keys.
    void translateTexts(QWidget* top);
    void timerFired(int id);

    QPointer<QWidget> window_;
    // Paints the window's own colour or picture beneath every control: a
    // style change on the window itself would restyle all its controls
    // (about 50 ms), one on this childless widget costs nothing.
    QPointer<QWidget> backdrop_;
    NotifyAdaptor* adaptor_ = nullptr;
    std::unique_ptr<GrabFocusFilter> grabFocus_;
    std::unique_ptr<QTranslator> toolkitTexts_;  // installed while a translated language is on  //
                                                 // deactivations caused by the hook's grab
    // By the name as the callers give it: a lookup makes no string (the
    // light effects look up every key many times a second).
    mutable std::map<std::string, QPointer<QWidget>, std::less<>> cache_;
    QStringList loadErrors_;
    int quiet_ = 0;
    bool painted_ = false;  // the window's first paint, told once
    bool topmost_ = false;

    mutable std::mutex timerMutex_;
    std::set<int> activeTimers_;  // mirror of timers_ for any thread
    std::map<int, QTimer*> timers_;

    QPointer<QDialog> modal_;
    QPointer<QFileDialog> fileDialog_;
    QPointer<QDialog> about_;
    QPointer<QMenu> menu_;
    QPointer<QWidget> syntheticFocus_;
    QSystemTrayIcon* tray_ = nullptr;
    QIcon programIcon_;
    QList<QPointer<QWidget>> popups_;
};

}  // namespace rxt::ui
