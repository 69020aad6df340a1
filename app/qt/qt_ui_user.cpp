// What a user does, played on the real widgets so that the same signals, and
// through the adaptor the same notifications, follow; and the tray icon and
// its menu.

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QCursor>
#include <QFocusEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QPlainTextEdit>
#include <QSlider>
#include <QSystemTrayIcon>
#include <QTextEdit>

#include "app/qt/color_palette.h"
#include "app/qt/notify_adaptor.h"
#include "app/qt/qt_ui.h"
#include "app/ui/skin_resources.h"

namespace rxt::ui {

namespace {

QString qs(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

void sendFocus(QWidget* w, QEvent::Type type) {
    QFocusEvent event(type, Qt::OtherFocusReason);
    QCoreApplication::sendEvent(w, &event);
}

QAction* findAction(QMenu* menu, const QString& name) {
    for (QAction* a : menu->actions()) {
        if (a->menu()) {
            if (QAction* inner = findAction(a->menu(), name)) {
                return inner;
            }
        } else if (!a->isSeparator() && a->objectName() == name) {
            return a;
        }
    }
    return nullptr;
}

}  // namespace

QWidget* QtUi::userTarget(std::string_view name) const {
    QWidget* w = widget(name);
    if (!w) {
        fail("no control " + std::string(name));
        return nullptr;
    }
    if (w != window_ && !w->isVisibleTo(window_)) {
        fail(std::string(name) + " is not visible");
        return nullptr;
    }
    if (!w->isEnabled()) {
        fail(std::string(name) + " is disabled");
        return nullptr;
    }
    return w;
}

template <class W>
W* QtUi::userTargetAs(std::string_view name, std::string_view refusal) const {
    QWidget* w = userTarget(name);
    if (!w) {
        return nullptr;
    }
    auto* target = qobject_cast<W*>(w);
    if (!target) {
        fail(std::string(name) + " " + std::string(refusal));
    }
    return target;
}

bool QtUi::userClick(std::string_view name) {
    auto* button = userTargetAs<QAbstractButton>(name, "cannot be clicked");
    if (!button) {
        return false;
    }
    button->click();
    return true;
}

bool QtUi::userCheck(std::string_view name, bool on) {
    auto* button = userTargetAs<QAbstractButton>(name, "is not an option");
    if (!button) {
        return false;
    }
    if (!button->isCheckable()) {
        return fail(std::string(name) + " is not an option");
    }
    if (!on && button->isChecked() && button->group() && button->group()->exclusive()) {
        return fail(std::string(name) + " is one of exclusive options: choose another instead");
    }
    button->setChecked(on);
    return true;
}

bool QtUi::userSelect(std::string_view name, int index) {
    QWidget* w = userTarget(name);
    if (!w) {
        return false;
    }
    if (auto* combo = qobject_cast<QComboBox*>(w)) {
        if (index < 0 || index >= combo->count()) {
            return fail("no row " + std::to_string(index) + " in " + std::string(name));
        }
        combo->setCurrentIndex(index);
        return true;
    }
    if (auto* list = qobject_cast<QListWidget*>(w)) {
        if (index < 0 || index >= list->count()) {
            return fail("no row " + std::to_string(index) + " in " + std::string(name));
        }
        // A click on a row: it becomes current, then the click itself.
        list->setCurrentRow(index);
        emit list->itemClicked(list->item(index));
        return true;
    }
    return fail(std::string(name) + " is not a combo or list");
}

bool QtUi::userSlide(std::string_view name, int v) {
    auto* slider = userTargetAs<QSlider>(name, "is not a slider");
    if (!slider) {
        return false;
    }
    slider->setValue(v);
    return true;
}

bool QtUi::userDrag(std::string_view name, int v) {
    auto* slider = userTargetAs<QSlider>(name, "is not a slider");
    if (!slider) {
        return false;
    }
    slider->setSliderDown(true);
    slider->setSliderPosition(v);
    // The drag ends where it is; the release is not a separate setting here.
    Quiet quiet(*this);
    slider->setSliderDown(false);
    return true;
}

bool QtUi::userType(std::string_view name, std::string_view text) {
    QWidget* w = userTarget(name);
    if (!w) {
        return false;
    }
    if (!qobject_cast<QLineEdit*>(w) && !qobject_cast<QTextEdit*>(w) &&
        !qobject_cast<QPlainTextEdit*>(w)) {
        return fail(std::string(name) + " is not an edit");
    }
    {
        Quiet quiet(*this);
        w->setProperty("textkey", QVariant());
        setWidgetText(w, qs(text));
    }
    adaptor_->emitNote(notify::kTextChanged, w);
    return true;
}

// When the window is not active (hidden in the tray, or no display) the
// toolkit sends no focus events: the focus is then kept here and its events
// are sent by hand, so the notifications are the same.
void QtUi::moveFocusTo(QWidget* w) {
    if (QApplication::focusWidget() == w || syntheticFocus_ == w) {
        return;
    }
    w->setFocus(Qt::OtherFocusReason);
    if (QApplication::focusWidget() == w) {
        syntheticFocus_ = nullptr;
        return;
    }
    if (syntheticFocus_) {
        sendFocus(syntheticFocus_, QEvent::FocusOut);
    }
    syntheticFocus_ = w;
    sendFocus(w, QEvent::FocusIn);
}

bool QtUi::userFocus(std::string_view name) {
    QWidget* w = userTarget(name);
    if (!w) {
        return false;
    }
    moveFocusTo(w);
    return true;
}

std::optional<Point> QtUi::screenCentre(std::string_view name) const {
    QWidget* w = widget(name);
    if (!w || !w->isVisible()) {
        return std::nullopt;
    }
    const QPoint at = w->mapToGlobal(w->rect().center());
    return Point{at.x(), at.y()};
}

bool QtUi::userHover(std::string_view name, bool inside) {
    QWidget* w = widget(name);
    if (!w) {
        return fail("no control " + std::string(name));
    }
    // The toolkit's own events, as the pointer gives them.
    if (inside) {
        const QPointF at(w->width() / 2.0, w->height() / 2.0);
        QEnterEvent e(at, at, QPointF(w->mapToGlobal(at.toPoint())));
        QCoreApplication::sendEvent(w, &e);
    } else {
        QEvent e(QEvent::Leave);
        QCoreApplication::sendEvent(w, &e);
    }
    return true;
}

bool QtUi::userBlur(std::string_view name) {
    QWidget* w = widget(name);
    if (!w) {
        return fail("no control " + std::string(name));
    }
    if (QApplication::focusWidget() == w) {
        w->clearFocus();
        return true;
    }
    if (syntheticFocus_ == w) {
        syntheticFocus_ = nullptr;
        sendFocus(w, QEvent::FocusOut);
        return true;
    }
    return fail(std::string(name) + " does not have the focus");
}

bool QtUi::userColor(std::string_view name, uint32_t argb) {
    auto* palette = userTargetAs<ColorPaletteWidget>(name, "is not a colour palette");
    if (!palette) {
        return false;
    }
    palette->setColor(argb);
    emit palette->colorPicked(argb);
    return true;
}

// ---- menu ------------------------------------------------------------------------

bool QtUi::openMenu(std::string_view file, Point at, const std::vector<MenuItem>& topItems) {
    closeMenu();
    const MenuFile menuFile = readMenuFile(skinPath(skinFolder(), resolve(file)));
    if (!menuFile.error.empty()) {
        return fail(menuFile.error);
    }
    // No parent widget: the menu takes the skin's look from its own copy of
    // the style sheet, whether or not the window is shown.
    auto* menu = new QMenu;
    menu->setObjectName("_rxt_menu");
    menu->setStyleSheet(skinStyleSheet());
    menu->setWindowIcon(programIcon());
    auto addItem = [this](QMenu* m, const QString& name, const QString& text) {
        QAction* a = m->addAction(text);
        a->setObjectName(name);
        if (const std::optional<bool> mark = menuChecked(name.toStdString())) {
            a->setCheckable(true);
            a->setChecked(*mark);
        }
        connect(a, &QAction::triggered, this, [this, name] {
            deliver({std::string(notify::kMenu), name.toStdString(), 0});
        });
    };
    for (const auto& item : topItems) {
        addItem(menu, qs(item.name), qs(item.text));
    }
    std::function<void(QMenu*, const std::vector<MenuEntry>&)> build =
        [&](QMenu* m, const std::vector<MenuEntry>& entries) {
            for (const auto& e : entries) {
                const QString text = qs(e.textKey.empty() ? e.text : translate(e.textKey));
                if (e.separator) {
                    m->addSeparator();
                } else if (!e.children.empty()) {
                    QMenu* sub = m->addMenu(text);
                    sub->setStyleSheet(m->styleSheet());
                    sub->menuAction()->setObjectName(qs(e.name));
                    build(sub, e.children);
                } else {
                    addItem(m, qs(e.name), text);
                }
            }
        };
    build(menu, menuFile.entries);
    connect(menu, &QMenu::aboutToHide, menu, &QObject::deleteLater);
    menu_ = menu;
    menu->popup(QPoint(at.x, at.y));
    return true;
}

void QtUi::closeMenu() {
    if (menu_) {
        menu_->hide();
        menu_ = nullptr;  // deleted once hidden
    }
}

bool QtUi::menuOpen() const {
    return menu_ && menu_->isVisible();
}

bool QtUi::userMenu(std::string_view item) {
    if (!menuOpen()) {
        return fail("no menu is open");
    }
    QAction* action = findAction(menu_, qs(item));
    if (!action) {
        return fail("no menu item " + std::string(item));
    }
    QPointer<QMenu> menu = menu_;
    menu_ = nullptr;
    menu->hide();  // as a chosen item closes the menu
    action->trigger();
    return true;
}

Point QtUi::cursorPosition() const {
    const QPoint p = QCursor::pos();
    return {p.x(), p.y()};
}

// ---- tray ------------------------------------------------------------------------

QIcon QtUi::iconFor(std::string_view icon) const {
    QIcon image(qs(skinPath(skinFolder(), icon)));
    if (image.isNull() || image.availableSizes().isEmpty()) {
        image = QIcon::fromTheme(QStringLiteral("rxt-config"));
    }
    if (image.isNull() || image.availableSizes().isEmpty()) {
        // No picture in the skin: a plain mark, so the icon is still there.
        QPixmap mark(32, 32);
        mark.fill(Qt::transparent);
        QPainter p(&mark);
        p.setRenderHint(QPainter::Antialiasing);
        p.setBrush(QColor(0x01, 0x99, 0xCB));
        p.setPen(Qt::NoPen);
        p.drawEllipse(2, 2, 28, 28);
        p.end();
        image = QIcon(mark);
    }
    return image;
}

void QtUi::setProgramIcon(std::string_view icon) {
    programIcon_ = iconFor(icon);
    // Every window the toolkit opens from now on carries it too.
    QApplication::setWindowIcon(programIcon_);
    if (window_) {
        window_->setWindowIcon(programIcon_);
    }
}

QIcon QtUi::programIcon() const {
    return programIcon_;
}

bool QtUi::trayAreaAvailable() const {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

bool QtUi::trayMessage(std::string_view title, std::string_view text) {
    if (!tray_ || !QSystemTrayIcon::isSystemTrayAvailable()) {
        return false;
    }
    tray_->showMessage(qs(title), qs(text), programIcon_, 10000);
    return true;
}

bool QtUi::createTray(std::string_view icon, std::string_view tooltip) {
    removeTray();
    const QIcon image = iconFor(icon);
    tray_ = new QSystemTrayIcon(image, this);
    tray_->setToolTip(qs(tooltip));
    connect(tray_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason r) {
        if (r == QSystemTrayIcon::Trigger) {
            deliver({std::string(notify::kTray), "tray", kTrayLeftUp});
        } else if (r == QSystemTrayIcon::Context) {
            deliver({std::string(notify::kTray), "tray", kTrayRightUp});
        }
    });
    tray_->show();
    return true;
}

void QtUi::removeTray() {
    delete tray_;
    tray_ = nullptr;
}

bool QtUi::trayVisible() const {
    return tray_ != nullptr;
}

bool QtUi::userTray(bool left) {
    if (!tray_) {
        return fail("no tray icon");
    }
    emit tray_->activated(left ? QSystemTrayIcon::Trigger : QSystemTrayIcon::Context);
    return true;
}

}  // namespace rxt::ui
