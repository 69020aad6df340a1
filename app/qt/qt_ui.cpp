#include "app/qt/qt_ui.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMetaProperty>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScreen>
#include <QSlider>
#include <QSocketNotifier>
#include <QStackedWidget>
#include <QSystemTrayIcon>
#include <QTabWidget>
#include <QTextEdit>
#include <QThread>
#include <QTranslator>
#include <algorithm>

#include "app/qt/circle_progress.h"
#include "app/qt/color_palette.h"
#include "app/qt/device_key_button.h"
#include "app/qt/grab_focus_filter.h"
#include "app/qt/notify_adaptor.h"
#include "app/qt/skin_loader.h"
#include "app/qt/tint_overlay.h"
#include "platform/debug_log.h"

namespace rxt::ui {

namespace {

QString qs(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}
std::string ss(const QString& s) {
    return s.toStdString();
}

const char* const kTextKey = "textkey";
const char* const kToolTipKey = "tooltipkey";
const char* const kUserData = "userdata";
const char* const kBackground = "_rxt_bg";
const char* const kImage = "_rxt_img";
const char* const kBorder = "_rxt_border";
const char* const kSkinStyle = "_rxt_css0";
const char* const kOwnStyle = "rxtOwnStyle";
// A pop-up panel names the button that opens it (skin property).
const char* const kPopupButton = "popupbutton";

QString rgba(uint32_t argb) {
    const QColor c = QColor::fromRgba(argb);
    return QStringLiteral("rgba(%1,%2,%3,%4)")
        .arg(c.red())
        .arg(c.green())
        .arg(c.blue())
        .arg(c.alpha());
}

// The dispatcher's wake: an eventfd the UI thread's loop watches. Only a
// counter in the kernel passes between the threads (no object allocated on
// one and read on the other), and the descriptor stays open while any copy
// of the wake may still write to it.
struct WakeFd {
    int fd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    ~WakeFd() {
        if (fd >= 0) {
            ::close(fd);
        }
    }
    void ring() const {
        const uint64_t one = 1;
        // Failure only when the counter is full: a wake is pending anyway.
        [[maybe_unused]] const ssize_t n = ::write(fd, &one, sizeof one);
    }
    void drain() const {
        uint64_t count = 0;
        [[maybe_unused]] const ssize_t n = ::read(fd, &count, sizeof count);
    }
};

}  // namespace

QtUi::QtUi(std::string skinFolder, QObject* parent)
    : QObject(parent), SkinUiBase(std::move(skinFolder)) {
    auto wake = std::make_shared<const WakeFd>();
    // The notifier needs the application's event loop on this thread.
    if (wake->fd >= 0 && QCoreApplication::instance() != nullptr &&
        QThread::currentThread() == QCoreApplication::instance()->thread()) {
        auto* notifier = new QSocketNotifier(wake->fd, QSocketNotifier::Read, this);
        connect(notifier, &QSocketNotifier::activated, this, [this, wake] {
            wake->drain();
            dispatcher_.runPending();
        });
        dispatcher_.setWake([wake] { wake->ring(); });
    } else {
        // No eventfd left, or no application yet: a queued call does the
        // same, less cheaply.
        dispatcher_.setWake([this] {
            QMetaObject::invokeMethod(
                this, [this] { dispatcher_.runPending(); }, Qt::QueuedConnection);
        });
    }
    adaptor_ = new NotifyAdaptor([this](Notification n) { deliver(n); },
                                 [this] { return quiet_ > 0; }, this);
    grabFocus_ = std::make_unique<GrabFocusFilter>([this] {
        if (handler_ != nullptr) {
            handler_->onActivate(false);
        }
    });
}

QtUi::~QtUi() {
    // The handler may be gone already; the window's teardown (deactivation)
    // must not reach it.
    handler_ = nullptr;
    if (auto* app = QCoreApplication::instance()) {
        app->removeNativeEventFilter(grabFocus_.get());
    }
    dispatcher_.close();
    dispatcher_.setWake({});
    delete about_;
    delete menu_;
    delete window_;
}

void QtUi::deliver(const Notification& n) {
    if (handler_) {
        handler_->notify(n);
    }
}

QWidget* QtUi::widget(std::string_view name) const {
    if (!window_ || name.empty()) {
        return nullptr;
    }
    if (auto it = cache_.find(name); it != cache_.end() && it->second) {
        return it->second;
    }
    const QString key = qs(name);
    QWidget* w = window_->objectName() == key ? window_.data() : window_->findChild<QWidget*>(key);
    if (w) {
        cache_.insert_or_assign(std::string(name), w);
    }
    return w;
}

// ---- resources and window ---------------------------------------------------

QString QtUi::skinFile(std::string_view resource, std::string_view fallback) const {
    const auto& files = skinIndex().files;
    const auto it = files.find(resource);
    return qs(skinPath(skinFolder(), it == files.end() ? fallback : std::string_view(it->second)));
}

bool QtUi::createMainWindow(WindowHandler& handler, std::string_view skin, std::string_view title,
                            int width, int height) {
    handler_ = &handler;
    SkinLoader loader(qs(skinFolder()), &handler);
    loader.resolvePage = [this](const QString& file) {
        return qs(skinPath(skinFolder(), resolve(ss(file))));
    };
    QWidget* root = loader.loadFile(qs(skinPath(skinFolder(), resolve(skin))), nullptr);
    loadErrors_ = loader.errors();
    if (!root) {
        return fail(ss(loadErrors_.join("; ")));
    }
    window_ = root;
    cache_.clear();
    groupExclusiveButtons(root);
    // The window itself holds the focus at first, so that no control gets it
    // (and notifies) just because the window was shown.
    root->setFocusPolicy(Qt::StrongFocus);
    root->setFocus();
    root->setWindowTitle(qs(title));
    if (!programIcon_.isNull()) {
        root->setWindowIcon(programIcon_);
    }
    root->resize(width, height);
    backdrop_ = new QWidget(root);
    backdrop_->setObjectName(QStringLiteral("rxt_window_backdrop"));
    backdrop_->setAttribute(Qt::WA_TransparentForMouseEvents);
    backdrop_->setGeometry(root->rect());
    backdrop_->lower();
    backdrop_->hide();
    root->installEventFilter(this);
    QCoreApplication::instance()->installNativeEventFilter(grabFocus_.get());
    translateTexts(root);
    adaptor_->attach(root);
    setUpPopups(root);
    orderTabs(root);
    handler.initWindow();
    if (!loadErrors_.isEmpty()) {
        // The window is usable; the missing parts are reported.
        return fail(ss(loadErrors_.join("; ")));
    }
    return true;
}

void QtUi::setUpPopups(QWidget* root) {
    popups_.clear();
    for (QWidget* w : root->findChildren<QWidget*>()) {
        if (!w->property(kPopupButton).toString().isEmpty()) {
            popups_.push_back(w);
        }
    }
    if (popups_.isEmpty()) {
        return;
    }
    // A page switch closes them, as Esc and a press outside do; the pages
    // inside a pop-up leave that one open.
    for (auto* pages : root->findChildren<QStackedWidget*>()) {
        connect(pages, &QStackedWidget::currentChanged, this, [this, pages] {
            for (const QPointer<QWidget>& p : popups_) {
                // Its own flag: the page switch may have hidden it from view.
                if (p && !p->isHidden() && !p->isAncestorOf(pages)) {
                    p->hide();
                }
            }
        });
    }
    QCoreApplication::instance()->installEventFilter(this);
}

QWidget* QtUi::openPopup() const {
    for (const QPointer<QWidget>& p : popups_) {
        if (p && p->isVisible()) {
            return p;
        }
    }
    return nullptr;
}

// The controls of `popup` that Tab reaches, in the window's tab order.
static QList<QWidget*> tabStops(QWidget* popup) {
    QList<QWidget*> stops;
    QWidget* w = popup->nextInFocusChain();
    for (int guard = 0; w && w != popup && guard < 10000; ++guard, w = w->nextInFocusChain()) {
        if (popup->isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus) && w->isVisible() &&
            w->isEnabled() && !stops.contains(w)) {
            stops.push_back(w);
        }
    }
    return stops;
}

bool QtUi::popupEvent(QObject* watched, QEvent* event) {
    QWidget* popup = openPopup();
    auto* target = qobject_cast<QWidget*>(watched);
    if (!popup || !target || target->window() != window_) {
        return false;
    }
    QWidget* button = widget(ss(popup->property(kPopupButton).toString()));
    if (event->type() == QEvent::MouseButtonPress) {
        if (!popup->isAncestorOf(target) && target != popup && target != button &&
            !(button && button->isAncestorOf(target))) {
            popup->hide();
        }
        return false;
    }
    if (event->type() != QEvent::KeyPress) {
        return false;
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Escape) {
        popup->hide();
        if (button && button->isVisible()) {
            button->setFocus(Qt::OtherFocusReason);
        }
        return true;
    }
    if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
        // Tab stays in the open panel instead of walking the page under it.
        const QList<QWidget*> stops = tabStops(popup);
        if (stops.isEmpty()) {
            return false;
        }
        const bool back = key->key() == Qt::Key_Backtab || (key->modifiers() & Qt::ShiftModifier);
        const qsizetype at = stops.indexOf(window_->focusWidget());
        qsizetype next = 0;
        if (at < 0) {
            next = back ? stops.size() - 1 : 0;
        } else {
            next = (at + (back ? stops.size() - 1 : 1)) % stops.size();
        }
        stops[next]->setFocus(back ? Qt::BacktabFocusReason : Qt::TabFocusReason);
        return true;
    }
    return false;
}

void QtUi::orderTabs(QWidget* top) {
    QList<QWidget*> stops;
    for (QWidget* w : top->findChildren<QWidget*>()) {
        if (w->focusPolicy() & Qt::TabFocus) {
            stops.push_back(w);
        }
    }
    // Rows from the top, each from the left: the order a reader scans. A
    // few pixels' difference in height is still one row.
    auto place = [top](QWidget* w) {
        const QPoint p = w->mapTo(top, QPoint(0, 0));
        return std::pair{(p.y() + 4) / 12, p.x()};
    };
    std::stable_sort(stops.begin(), stops.end(),
                     [&](QWidget* a, QWidget* b) { return place(a) < place(b); });
    for (qsizetype i = 1; i < stops.size(); ++i) {
        QWidget::setTabOrder(stops[i - 1], stops[i]);
    }
}

bool QtUi::eventFilter(QObject* watched, QEvent* event) {
    if ((event->type() == QEvent::KeyPress || event->type() == QEvent::MouseButtonPress) &&
        popupEvent(watched, event)) {
        return true;
    }
    if (!painted_ && watched == window_ && event->type() == QEvent::Paint) {
        // The moment a user first sees the window: what start-up is timed to.
        painted_ = true;
        debugLog("window painted");
    }
    if (watched == window_ && event->type() == QEvent::Resize && backdrop_) {
        backdrop_->setGeometry(window_->rect());
    }
    if (watched == window_ && event->type() == QEvent::Close) {
        // The window manager's close does what the close button does (hide
        // to the tray, or minimise without one); the program lives on.
        event->ignore();
        if (widget("closebtn") && handler_) {
            deliver({std::string(notify::kClick), "closebtn", 0});
        } else {
            window_->hide();
        }
        return true;
    }
    if (watched == window_ && handler_ != nullptr &&
        (event->type() == QEvent::WindowActivate || event->type() == QEvent::WindowDeactivate)) {
        const bool active = event->type() == QEvent::WindowActivate;
        if (active) {
            grabFocus_->activated();
        }
        if (active || grabFocus_->passDeactivation()) {
            handler_->onActivate(active);
        }
    }
    return QObject::eventFilter(watched, event);
}

int QtUi::run() {
    const int code = QCoreApplication::exec();
    finishLoop();
    return code;
}

void QtUi::quit(int code) {
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [code] { QCoreApplication::exit(code); },
        Qt::QueuedConnection);
}

void QtUi::showWindow(Show how) {
    if (!window_) {
        return;
    }
    switch (how) {
        case Show::Hide:
            window_->hide();
            break;
        case Show::Show:
            window_->show();
            window_->raise();
            window_->activateWindow();
            break;
        case Show::Restore:
            window_->showNormal();
            window_->raise();
            window_->activateWindow();
            break;
        case Show::Minimize:
            window_->showMinimized();
            break;
    }
    if (how != Show::Hide && how != Show::Minimize) {
        postWindowInitOnce();
    }
}

bool QtUi::windowVisible() const {
    return window_ && window_->isVisible();
}
bool QtUi::windowMinimized() const {
    return window_ && window_->isMinimized();
}

void QtUi::setTopmost(bool on) {
    // Changing the stay-on-top flag would re-create the native window; bringing
    // it to the front gives what the brief topmost phase is for.
    topmost_ = on;
    if (on && window_) {
        window_->raise();
        window_->activateWindow();
    }
}

void QtUi::centerWindow() {
    if (!window_) {
        return;
    }
    const QScreen* screen =
        window_->screen() ? window_->screen() : QGuiApplication::primaryScreen();
    if (!screen) {
        return;
    }
    QRect r = window_->frameGeometry();
    r.moveCenter(screen->availableGeometry().center());
    window_->move(r.topLeft());
}

void QtUi::repaintWindow() {
    // Nothing to do: every control schedules its own repaint when its state
    // (tint, key light, text ...) changes, so the window is never stale. A
    // whole-window repaint on the 50 ms preview timer cost 7% of a core.
}

// ---- language ------------------------------------------------------------------

void QtUi::translateTexts(QWidget* top) {
    Quiet quiet(*this);
    QList<QWidget*> all = top->findChildren<QWidget*>();
    all.prepend(top);
    for (QWidget* w : all) {
        if (const QString key = w->property(kTextKey).toString(); !key.isEmpty()) {
            setWidgetText(w, qs(translate(ss(key))));
        }
        if (const QString key = w->property(kToolTipKey).toString(); !key.isEmpty()) {
            w->setToolTip(qs(translate(ss(key))));
        }
        if (auto* combo = qobject_cast<QComboBox*>(w)) {
            for (int i = 0; i < combo->count(); ++i) {
                const std::string key = ss(combo->itemData(i).toString());
                if (isLanguageKey(key)) {
                    combo->setItemText(i, qs(translate(key)));
                }
            }
        }
    }
}

void QtUi::setLanguage(std::string_view name) {
    SkinUiBase::setLanguage(name);
    // The toolkit's own catalogue for the language; English is its source.
    static constexpr std::pair<std::string_view, const char*> kToolkitLocales[] = {
        {"cn_zh", "zh_CN"}, {"cn_tw", "zh_TW"}};
    if (toolkitTexts_) {
        QCoreApplication::removeTranslator(toolkitTexts_.get());
        toolkitTexts_.reset();
    }
    for (const auto& [language, locale] : kToolkitLocales) {
        if (language != name) {
            continue;
        }
        auto texts = std::make_unique<QTranslator>();
        const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
        if (texts->load(QStringLiteral("qtbase_") + QLatin1String(locale), folder)) {
            QCoreApplication::installTranslator(texts.get());
            toolkitTexts_ = std::move(texts);
        } else {
            debugLog("toolkit texts for " + std::string(locale) + " not found in " + ss(folder));
        }
    }
}

void QtUi::reloadText() {
    for (QWidget* top : {window_.data(), about_ ? static_cast<QWidget*>(about_.data()) : nullptr}) {
        if (top) {
            translateTexts(top);
        }
    }
    if (about_) {
        about_->setWindowTitle(boxTitle(kAboutTitleKey, "关于"));
    }
}

// ---- controls ------------------------------------------------------------------

bool QtUi::hasControl(std::string_view name) const {
    return widget(name) != nullptr;
}

ControlKind QtUi::controlKind(std::string_view name) const {
    QWidget* w = widget(name);
    if (!w) {
        return ControlKind::Missing;
    }
    if (auto* b = qobject_cast<QAbstractButton*>(w)) {
        return b->isCheckable() ? ControlKind::Option : ControlKind::Button;
    }
    if (qobject_cast<QLabel*>(w)) {
        return ControlKind::Label;
    }
    if (qobject_cast<QLineEdit*>(w) || qobject_cast<QTextEdit*>(w) ||
        qobject_cast<QPlainTextEdit*>(w)) {
        return ControlKind::Edit;
    }
    if (qobject_cast<QComboBox*>(w)) {
        return ControlKind::Combo;
    }
    if (qobject_cast<QListWidget*>(w)) {
        return ControlKind::List;
    }
    if (qobject_cast<QSlider*>(w)) {
        return ControlKind::Slider;
    }
    if (qobject_cast<QProgressBar*>(w) || qobject_cast<CCircleProgressUI*>(w)) {
        return ControlKind::Progress;
    }
    if (qobject_cast<QStackedWidget*>(w) || qobject_cast<QTabWidget*>(w)) {
        return ControlKind::Tabs;
    }
    if (qobject_cast<ColorPaletteWidget*>(w)) {
        return ControlKind::Palette;
    }
    const QString cls = w->metaObject()->className();
    if (cls.contains("CWndUI") || cls.contains("CChartViewUI")) {
        return ControlKind::Custom;
    }
    return ControlKind::Container;
}

bool QtUi::setVisible(std::string_view name, bool visible) {
    QWidget* w = widget(name);
    if (!w) {
        return false;
    }
    Quiet quiet(*this);
    w->setVisible(visible);
    return true;
}

bool QtUi::visible(std::string_view name) const {
    QWidget* w = widget(name);
    if (!w) {
        return false;
    }
    return w == window_ ? w->isVisible() : !w->isHidden();
}

bool QtUi::setEnabled(std::string_view name, bool enabled) {
    QWidget* w = widget(name);
    if (!w) {
        return false;
    }
    Quiet quiet(*this);
    w->setEnabled(enabled);
    return true;
}

bool QtUi::enabled(std::string_view name) const {
    QWidget* w = widget(name);
    return w && !w->testAttribute(Qt::WA_ForceDisabled);
}

void QtUi::setWidgetText(QWidget* w, const QString& text) {
    if (auto* label = qobject_cast<QLabel*>(w)) {
        label->setText(text);
    } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        button->setText(text);
    } else if (auto* line = qobject_cast<QLineEdit*>(w)) {
        line->setText(text);
    } else if (auto* edit = qobject_cast<QTextEdit*>(w)) {
        edit->setPlainText(text);
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(w)) {
        plain->setPlainText(text);
    } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
        group->setTitle(text);
    } else if (auto* combo = qobject_cast<QComboBox*>(w); combo && combo->isEditable()) {
        combo->setEditText(text);
    } else if (auto* circle = qobject_cast<CCircleProgressUI*>(w)) {
        circle->setText(text);
    } else if (w->isWindow()) {
        w->setWindowTitle(text);
    } else {
        w->setProperty("text", text);
    }
}

QString QtUi::widgetText(const QWidget* w) const {
    if (auto* label = qobject_cast<const QLabel*>(w)) {
        return label->text();
    }
    if (auto* button = qobject_cast<const QAbstractButton*>(w)) {
        return button->text();
    }
    if (auto* line = qobject_cast<const QLineEdit*>(w)) {
        return line->text();
    }
    if (auto* edit = qobject_cast<const QTextEdit*>(w)) {
        return edit->toPlainText();
    }
    if (auto* plain = qobject_cast<const QPlainTextEdit*>(w)) {
        return plain->toPlainText();
    }
    if (auto* group = qobject_cast<const QGroupBox*>(w)) {
        return group->title();
    }
    if (auto* combo = qobject_cast<const QComboBox*>(w)) {
        return combo->currentText();
    }
    if (auto* circle = qobject_cast<const CCircleProgressUI*>(w)) {
        return circle->text();
    }
    if (w->isWindow()) {
        return w->windowTitle();
    }
    return w->property("text").toString();
}

bool QtUi::setText(std::string_view name, std::string_view text) {
    QWidget* w = widget(name);
    if (!w) {
        return false;
    }
    Quiet quiet(*this);
    w->setProperty(kTextKey, QVariant());
    setWidgetText(w, qs(text));
    return true;
}

bool QtUi::setTextKey(std::string_view name, std::string_view key) {
    QWidget* w = widget(name);
    if (!w) {
        return false;
    }
    Quiet quiet(*this);
    w->setProperty(kTextKey, qs(key));
    setWidgetText(w, qs(translate(key)));
    return true;
}

std::string QtUi::text(std::string_view name) const {
    QWidget* w = widget(name);
    return w ? ss(widgetText(w)) : std::string();
}

std::string QtUi::textKey(std::string_view name) const {
    QWidget* w = widget(name);
    return w ? ss(w->property(kTextKey).toString()) : std::string();
}

void QtUi::applyStyle(QWidget* w) {
    const uint32_t bg = w->property(kBackground).toUInt();
    if (auto* circle = qobject_cast<CCircleProgressUI*>(w)) {
        if (bg != 0) {
            circle->setBackgroundColor(QColor::fromRgba(bg));
        }
        return;
    }
    if (!w->property(kSkinStyle).isValid()) {
        QString own = w->styleSheet();
        if (!own.trimmed().isEmpty() && !own.contains('{')) {
            // Bare declarations of the skin: a rule of their own, so that
            // the program's rule can follow them.
            own = "QWidget#" + w->objectName() + "{" + own + "}";
        }
        w->setProperty(kSkinStyle, own);
    }
    QString css;
    if (bg != 0) {
        css += "background-color:" + rgba(bg) + ";";
    }
    if (const QString image = w->property(kImage).toString(); !image.isEmpty()) {
        QString path = qs(skinPath(skinFolder(), ss(image)));
        path.replace('\\', "\\\\").replace('"', "\\\"");
        css += "border-image:url(\"" + path + "\") 0 0 0 0 stretch stretch;";
    }
    if (const uint32_t border = w->property(kBorder).toUInt(); border != 0) {
        css += "border:2px solid " + rgba(border) + ";";
    }
    if (w == window_ && backdrop_) {
        backdrop_->setAttribute(Qt::WA_StyledBackground, true);
        backdrop_->setStyleSheet(
            css.isEmpty() ? QString() : "QWidget#" + backdrop_->objectName() + "{" + css + "}");
        backdrop_->setVisible(!css.isEmpty());
        backdrop_->lower();
        return;
    }
    w->setAttribute(Qt::WA_StyledBackground, true);
    const QString skinStyle = w->property(kSkinStyle).toString();
    // Type, name and property: more specific than the skin's own rules for
    // the control ("QWidget#root", "QPushButton[role=...]"), so the
    // program's colour or picture is what shows.
    w->setProperty(kOwnStyle, !css.isEmpty());
    w->setStyleSheet(css.isEmpty() ? skinStyle
                                   : skinStyle + "\nQWidget#" + w->objectName() + "[" + kOwnStyle +
                                         "=\"true\"]{" + css + "}");
}

QString QtUi::skinStyleSheet() const {
    if (!window_) {
        return {};
    }
    const QVariant own = window_->property(kSkinStyle);
    return own.isValid() ? own.toString() : window_->styleSheet();
}

bool QtUi::setBackgroundColor(std::string_view name, uint32_t argb) {
    QWidget* w = widget(name);
    if (!w) {
        return false;
    }
    w->setProperty(kBackground, argb);
    applyStyle(w);
    return true;
}

uint32_t QtUi::backgroundColor(std::string_view name) const {
    QWidget* w = widget(name);
    return w ? w->property(kBackground).toUInt() : 0;
}

bool QtUi::setBackgroundImage(std::string_view name, std::string_view image) {
    QWidget* w = widget(name);
    if (!w) {
        return false;
    }
    w->setProperty(kImage, qs(image));
    applyStyle(w);
    return true;
}

std::string QtUi::backgroundImage(std::string_view name) const {
    QWidget* w = widget(name);
    return w ? ss(w->property(kImage).toString()) : std::string();
}

bool QtUi::setBorderColor(std::string_view name, uint32_t argb) {
    QWidget* w = widget(name);
    if (!w) {
        return false;
    }
    w->setProperty(kBorder, argb);
    applyStyle(w);
    return true;
}

bool QtUi::setAttribute(std::string_view name, std::string_view attr, std::string_view value) {
    QWidget* w = widget(name);
    if (!w || attr.empty()) {
        return false;
    }
    Quiet quiet(*this);
    const QByteArray key(attr.data(), static_cast<qsizetype>(attr.size()));
    const int index = w->metaObject()->indexOfProperty(key.constData());
    if (index >= 0) {
        // A declared property takes the text if it converts.
        return w->metaObject()->property(index).write(w, qs(value));
    }
    w->setProperty(key.constData(), qs(value));
    return true;
}

std::string QtUi::attribute(std::string_view name, std::string_view attr) const {
    QWidget* w = widget(name);
    if (!w || attr.empty()) {
        return {};
    }
    const QByteArray key(attr.data(), static_cast<qsizetype>(attr.size()));
    return ss(w->property(key.constData()).toString());
}

bool QtUi::setUserData(std::string_view name, std::string_view data) {
    QWidget* w = widget(name);
    if (!w) {
        return false;
    }
    w->setProperty(kUserData, qs(data));
    return true;
}

std::string QtUi::userData(std::string_view name) const {
    QWidget* w = widget(name);
    return w ? ss(w->property(kUserData).toString()) : std::string();
}

bool QtUi::repaint(std::string_view name) {
    QWidget* w = widget(name);
    if (!w) {
        return false;
    }
    w->update();
    return true;
}

bool QtUi::setFocus(std::string_view name) {
    QWidget* w = widget(name);
    if (!w) {
        return false;
    }
    moveFocusTo(w);
    return true;
}

bool QtUi::setTintEnabled(std::string_view name, bool on) {
    QWidget* w = widget(name);
    if (!w) {
        return false;
    }
    TintOverlay* overlay = TintOverlay::of(w, true);
    Tint t = overlay->tint();
    t.enabled = on;
    overlay->setTint(t);
    return true;
}

bool QtUi::setTintColor(std::string_view name, uint32_t argb) {
    QWidget* w = widget(name);
    if (!w) {
        return false;
    }
    TintOverlay* overlay = TintOverlay::of(w, true);
    Tint t = overlay->tint();
    t.color = argb;
    overlay->setTint(t);
    return true;
}

bool QtUi::setTintAlpha(std::string_view name, int alpha) {
    QWidget* w = widget(name);
    if (!w) {
        return false;
    }
    TintOverlay* overlay = TintOverlay::of(w, true);
    Tint t = overlay->tint();
    t.alpha = std::clamp(alpha, 0, 255);
    overlay->setTint(t);
    return true;
}

Tint QtUi::tint(std::string_view name) const {
    QWidget* w = widget(name);
    TintOverlay* overlay = w ? TintOverlay::of(w, false) : nullptr;
    return overlay ? overlay->tint() : Tint{};
}

bool QtUi::setKeyLight(std::string_view name, const KeyLight& light) {
    auto* key = qobject_cast<CDeviceKeyButtonUI*>(widget(name));
    if (!key) {
        return false;
    }
    key->setLight(light);
    return true;
}

KeyLight QtUi::keyLight(std::string_view name) const {
    auto* key = qobject_cast<CDeviceKeyButtonUI*>(widget(name));
    return key ? key->light() : KeyLight{};
}

bool QtUi::setChecked(std::string_view name, bool on) {
    auto* button = qobject_cast<QAbstractButton*>(widget(name));
    if (!button || !button->isCheckable()) {
        return false;
    }
    Quiet quiet(*this);
    QButtonGroup* group = button->group();
    if (!on && group && group->exclusive()) {
        // The program may clear an exclusive option, which a user cannot.
        group->setExclusive(false);
        button->setChecked(false);
        group->setExclusive(true);
    } else {
        button->setChecked(on);
    }
    return true;
}

void QtUi::groupExclusiveButtons(QWidget* root) {
    // Auto-exclusive buttons exclude each other among siblings only (the
    // toolkit's own rule reaches into nested containers).
    QList<QWidget*> parents = root->findChildren<QWidget*>();
    parents.prepend(root);
    for (QWidget* parent : parents) {
        QButtonGroup* group = nullptr;
        for (QAbstractButton* b :
             parent->findChildren<QAbstractButton*>(Qt::FindDirectChildrenOnly)) {
            if (b->autoExclusive() && b->isCheckable() && !b->group()) {
                if (!group) {
                    group = new QButtonGroup(parent);
                    group->setExclusive(true);
                }
                group->addButton(b);
            }
        }
    }
}

bool QtUi::checked(std::string_view name) const {
    auto* button = qobject_cast<QAbstractButton*>(widget(name));
    return button && button->isChecked();
}

// ---- items ------------------------------------------------------------------------

namespace {

QListWidgetItem* makeRow(const Item& item) {
    auto* row = new QListWidgetItem(qs(item.text));
    row->setData(Qt::UserRole, qs(item.userData));
    return row;
}

}  // namespace

bool QtUi::addItem(std::string_view name, const Item& item) {
    QWidget* w = widget(name);
    Quiet quiet(*this);
    if (auto* combo = qobject_cast<QComboBox*>(w)) {
        combo->addItem(qs(item.text), qs(item.userData));
        return true;
    }
    if (auto* list = qobject_cast<QListWidget*>(w)) {
        list->addItem(makeRow(item));
        return true;
    }
    return fail(w ? std::string(name) + " is not a combo or list"
                  : "no control " + std::string(name));
}

bool QtUi::insertItem(std::string_view name, int index, const Item& item) {
    QWidget* w = widget(name);
    Quiet quiet(*this);
    if (auto* combo = qobject_cast<QComboBox*>(w); combo && index >= 0 && index <= combo->count()) {
        combo->insertItem(index, qs(item.text), qs(item.userData));
        if (combo->currentIndex() < 0) {
            combo->setCurrentIndex(0);
        }
        return true;
    }
    if (auto* list = qobject_cast<QListWidget*>(w); list && index >= 0 && index <= list->count()) {
        list->insertItem(index, makeRow(item));
        return true;
    }
    return false;
}

bool QtUi::setItem(std::string_view name, int index, const Item& item) {
    QWidget* w = widget(name);
    Quiet quiet(*this);
    if (auto* combo = qobject_cast<QComboBox*>(w); combo && index >= 0 && index < combo->count()) {
        combo->setItemText(index, qs(item.text));
        combo->setItemData(index, qs(item.userData));
        return true;
    }
    if (auto* list = qobject_cast<QListWidget*>(w); list && index >= 0 && index < list->count()) {
        list->item(index)->setText(qs(item.text));
        list->item(index)->setData(Qt::UserRole, qs(item.userData));
        return true;
    }
    return false;
}

bool QtUi::removeItem(std::string_view name, int index) {
    QWidget* w = widget(name);
    Quiet quiet(*this);
    if (auto* combo = qobject_cast<QComboBox*>(w); combo && index >= 0 && index < combo->count()) {
        combo->removeItem(index);
        return true;
    }
    if (auto* list = qobject_cast<QListWidget*>(w); list && index >= 0 && index < list->count()) {
        const bool wasCurrent = list->currentRow() == index;
        delete list->takeItem(index);
        if (wasCurrent) {
            list->setCurrentRow(-1);  // a list loses its selection with the row
        }
        return true;
    }
    return false;
}

bool QtUi::clearItems(std::string_view name) {
    QWidget* w = widget(name);
    Quiet quiet(*this);
    if (auto* combo = qobject_cast<QComboBox*>(w)) {
        combo->clear();
        return true;
    }
    if (auto* list = qobject_cast<QListWidget*>(w)) {
        list->clear();
        return true;
    }
    return false;
}

int QtUi::itemCount(std::string_view name) const {
    QWidget* w = widget(name);
    if (auto* combo = qobject_cast<QComboBox*>(w)) {
        return combo->count();
    }
    if (auto* list = qobject_cast<QListWidget*>(w)) {
        return list->count();
    }
    return 0;
}

std::optional<Item> QtUi::item(std::string_view name, int index) const {
    QWidget* w = widget(name);
    if (auto* combo = qobject_cast<QComboBox*>(w); combo && index >= 0 && index < combo->count()) {
        return Item{ss(combo->itemText(index)), ss(combo->itemData(index).toString())};
    }
    if (auto* list = qobject_cast<QListWidget*>(w); list && index >= 0 && index < list->count()) {
        const QListWidgetItem* row = list->item(index);
        return Item{ss(row->text()), ss(row->data(Qt::UserRole).toString())};
    }
    return std::nullopt;
}

std::vector<Item> QtUi::items(std::string_view name) const {
    std::vector<Item> out;
    const int count = itemCount(name);
    for (int i = 0; i < count; ++i) {
        out.push_back(*item(name, i));
    }
    return out;
}

bool QtUi::setCurrentIndex(std::string_view name, int index) {
    QWidget* w = widget(name);
    Quiet quiet(*this);
    if (auto* combo = qobject_cast<QComboBox*>(w); combo && index >= -1 && index < combo->count()) {
        combo->setCurrentIndex(index);
        return true;
    }
    if (auto* list = qobject_cast<QListWidget*>(w); list && index >= -1 && index < list->count()) {
        list->setCurrentRow(index);
        return true;
    }
    return false;
}

int QtUi::currentIndex(std::string_view name) const {
    QWidget* w = widget(name);
    if (auto* combo = qobject_cast<QComboBox*>(w)) {
        return combo->currentIndex();
    }
    if (auto* list = qobject_cast<QListWidget*>(w)) {
        return list->currentRow();
    }
    return -1;
}

// ---- ranges, tabs, palettes ----------------------------------------------------

bool QtUi::setRange(std::string_view name, int minimum, int maximum) {
    QWidget* w = widget(name);
    maximum = std::max(minimum, maximum);
    Quiet quiet(*this);
    if (auto* slider = qobject_cast<QAbstractSlider*>(w)) {
        slider->setRange(minimum, maximum);
    } else if (auto* bar = qobject_cast<QProgressBar*>(w)) {
        // The bar resets itself below the range when its value falls outside.
        const int keep = std::clamp(bar->value(), minimum, maximum);
        bar->setRange(minimum, maximum);
        bar->setValue(keep);
    } else if (auto* circle = qobject_cast<CCircleProgressUI*>(w)) {
        circle->setRange(minimum, maximum);
    } else {
        return false;
    }
    return true;
}

bool QtUi::setValue(std::string_view name, int v) {
    QWidget* w = widget(name);
    Quiet quiet(*this);
    if (auto* slider = qobject_cast<QAbstractSlider*>(w)) {
        slider->setValue(v);
    } else if (auto* bar = qobject_cast<QProgressBar*>(w)) {
        // A progress bar ignores values outside its range instead of clamping.
        bar->setValue(std::clamp(v, bar->minimum(), bar->maximum()));
    } else if (auto* circle = qobject_cast<CCircleProgressUI*>(w)) {
        circle->setValue(v);
    } else {
        return false;
    }
    return true;
}

int QtUi::value(std::string_view name) const {
    QWidget* w = widget(name);
    if (auto* slider = qobject_cast<QAbstractSlider*>(w)) {
        return slider->value();
    }
    if (auto* bar = qobject_cast<QProgressBar*>(w)) {
        return bar->value();
    }
    if (auto* circle = qobject_cast<CCircleProgressUI*>(w)) {
        return circle->value();
    }
    return 0;
}

int QtUi::minimum(std::string_view name) const {
    QWidget* w = widget(name);
    if (auto* slider = qobject_cast<QAbstractSlider*>(w)) {
        return slider->minimum();
    }
    if (auto* bar = qobject_cast<QProgressBar*>(w)) {
        return bar->minimum();
    }
    if (auto* circle = qobject_cast<CCircleProgressUI*>(w)) {
        return circle->minimum();
    }
    return 0;
}

int QtUi::maximum(std::string_view name) const {
    QWidget* w = widget(name);
    if (auto* slider = qobject_cast<QAbstractSlider*>(w)) {
        return slider->maximum();
    }
    if (auto* bar = qobject_cast<QProgressBar*>(w)) {
        return bar->maximum();
    }
    if (auto* circle = qobject_cast<CCircleProgressUI*>(w)) {
        return circle->maximum();
    }
    return 0;
}

bool QtUi::setCurrentPage(std::string_view name, int page) {
    QWidget* w = widget(name);
    Quiet quiet(*this);
    if (auto* stack = qobject_cast<QStackedWidget*>(w);
        stack && page >= 0 && page < stack->count()) {
        stack->setCurrentIndex(page);
        return true;
    }
    if (auto* tabs = qobject_cast<QTabWidget*>(w); tabs && page >= 0 && page < tabs->count()) {
        tabs->setCurrentIndex(page);
        return true;
    }
    return false;
}

int QtUi::currentPage(std::string_view name) const {
    QWidget* w = widget(name);
    if (auto* stack = qobject_cast<QStackedWidget*>(w)) {
        return stack->currentIndex();
    }
    if (auto* tabs = qobject_cast<QTabWidget*>(w)) {
        return tabs->currentIndex();
    }
    return -1;
}

int QtUi::pageCount(std::string_view name) const {
    QWidget* w = widget(name);
    if (auto* stack = qobject_cast<QStackedWidget*>(w)) {
        return stack->count();
    }
    if (auto* tabs = qobject_cast<QTabWidget*>(w)) {
        return tabs->count();
    }
    return 0;
}

bool QtUi::setPaletteColor(std::string_view name, uint32_t argb) {
    auto* palette = qobject_cast<ColorPaletteWidget*>(widget(name));
    if (!palette) {
        return false;
    }
    palette->setColor(argb);
    return true;
}

uint32_t QtUi::paletteColor(std::string_view name) const {
    auto* palette = qobject_cast<ColorPaletteWidget*>(widget(name));
    return palette ? palette->color() : 0;
}

void QtUi::notify(const Notification& n) {
    deliver(n);
}

// ---- timers and messages -----------------------------------------------------------

void QtUi::startTimer(int id, int periodMs) {
    {
        std::lock_guard lock(timerMutex_);
        activeTimers_.insert(id);
    }
    auto start = [this, id, periodMs] {
        QTimer*& timer = timers_[id];
        if (!timer) {
            timer = new QTimer(this);
            connect(timer, &QTimer::timeout, this, [this, id] { timerFired(id); });
        }
        timer->start(std::max(periodMs, 1));
    };
    if (onUiThread()) {
        start();
    } else {
        dispatcher_.post(start);
    }
}

void QtUi::stopTimer(int id) {
    {
        std::lock_guard lock(timerMutex_);
        activeTimers_.erase(id);
    }
    auto stop = [this, id] {
        if (auto it = timers_.find(id); it != timers_.end()) {
            it->second->stop();
        }
    };
    if (onUiThread()) {
        stop();
    } else {
        dispatcher_.post(stop);
    }
}

bool QtUi::timerActive(int id) const {
    std::lock_guard lock(timerMutex_);
    return activeTimers_.count(id) != 0;
}

void QtUi::timerFired(int id) {
    if (handler_) {
        handler_->onTimer(id);
    }
}

void QtUi::processEvents() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    dispatcher_.runPending();
}

}  // namespace rxt::ui
