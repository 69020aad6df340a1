// The modal boxes and dialogs of QtUi: message box, palette dialog, about
// box and the file dialogs, each taking a scripted answer first.

#include <QAbstractButton>
#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QUrl>
#include <QVBoxLayout>
#include <QWindow>
#include <optional>

#include "app/qt/circle_progress.h"
#include "app/qt/color_palette.h"
#include "app/qt/qt_ui.h"
#include "app/qt/skin_loader.h"
#include "app/ui/file_dialog.h"
#include "platform/debug_log.h"

namespace rxt::ui {

namespace {

QString qs(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

const char* const kKind = "_rxt_kind";
const char* const kAnswerColor = "_rxt_answer_color";
const char* const kAnswerPath = "_rxt_answer_path";

template <typename T = QWidget>
T* child(QWidget* parent, const char* name) {
    return parent->findChild<T*>(QString::fromLatin1(name));
}

void onClick(QWidget* parent, const char* name, std::function<void()> fn) {
    if (auto* b = child<QAbstractButton>(parent, name)) {
        QObject::connect(b, &QAbstractButton::clicked, parent, std::move(fn));
    }
}

void paintButton(QWidget* w, uint32_t argb) {
    const QColor c = QColor::fromRgba(argb);
    w->setAttribute(Qt::WA_StyledBackground, true);
    w->setStyleSheet(QStringLiteral("#%1{background-color:rgba(%2,%3,%4,%5);border-image:none;}")
                         .arg(w->objectName())
                         .arg(c.red())
                         .arg(c.green())
                         .arg(c.blue())
                         .arg(c.alpha()));
    w->setProperty("_rxt_bg", argb);
}

// Built when the skin has no file for the box: the same controls by name.
QDialog* builtInMessageBox() {
    auto* d = new QDialog;
    auto* layout = new QVBoxLayout(d);
    auto* title = new QLabel(d);
    title->setObjectName("MessageTitle");
    auto* text = new QLabel(d);
    text->setObjectName("MessageText");
    text->setWordWrap(true);
    auto* ok = new QPushButton("OK", d);
    ok->setObjectName("confirm_btn");
    auto* cancel = new QPushButton("Cancel", d);
    cancel->setObjectName("cancel_btn");
    layout->addWidget(title);
    layout->addWidget(text);
    layout->addWidget(ok);
    layout->addWidget(cancel);
    return d;
}

QDialog* builtInPaletteDialog() {
    auto* d = new QDialog;
    auto* layout = new QVBoxLayout(d);
    auto* palette = new ColorPaletteWidget(d);
    palette->setObjectName("Pallet");
    layout->addWidget(palette);
    auto* grid = new QGridLayout;
    for (int n = 0; n < 30; ++n) {
        auto* preset = new QPushButton(d);
        preset->setObjectName(QStringLiteral("ms_dpi_color_png_%1").arg(n));
        preset->setFixedSize(24, 24);
        paintButton(preset, kPresetColors[n]);
        grid->addWidget(preset, n / 10, n % 10);
    }
    layout->addLayout(grid);
    auto* show = new QPushButton(d);
    show->setObjectName("color_show_btn");
    show->setFixedHeight(24);
    layout->addWidget(show);
    auto* ok = new QPushButton("OK", d);
    ok->setObjectName("okbtn");
    auto* cancel = new QPushButton("Cancel", d);
    cancel->setObjectName("closebtn");
    layout->addWidget(ok);
    layout->addWidget(cancel);
    return d;
}

QDialog* builtInAboutBox() {
    auto* d = new QDialog;
    auto* layout = new QVBoxLayout(d);
    auto* name = new QLabel("RX-T7100 GamingMouse", d);
    auto* link = new QLabel(QStringLiteral("<a href=\"%1\">%1</a>").arg(qs(kHomepageUrl)), d);
    link->setObjectName("NetText");
    auto* close = new QPushButton("Close", d);
    close->setObjectName("closebtn");
    layout->addWidget(name);
    layout->addWidget(link);
    layout->addWidget(close);
    return d;
}

// The screen a box goes on: the main window's while it is shown, else the
// primary one.
QScreen* screenFor(const QWidget* owner) {
    if (owner && owner->screen()) {
        return owner->screen();
    }
    return QGuiApplication::primaryScreen();
}

// The main window while a person can see it (shown and not minimised).
QWidget* shownOwner(QWidget* window) {
    return window && window->isVisible() && !window->isMinimized() ? window : nullptr;
}

// Makes a dialog a top-level window owned by the main window while that is
// shown. With the main window hidden or minimised the dialog has no owner: a
// window manager may keep an owned window with its withdrawn or iconified
// owner, and without one the toolkit groups it with the program instead.
void makeTopLevel(QDialog* d, QWidget* window, Qt::WindowFlags extra = {}) {
    d->setParent(shownOwner(window), Qt::Dialog | extra);
}

// Moves `r` by as little as needed to lie inside `area`, so that no edge of
// a box is off screen where it could not be read or answered.
QPoint inside(QRect r, const QRect& area) {
    if (area.isEmpty()) {
        return r.topLeft();
    }
    if (r.right() > area.right()) {
        r.moveRight(area.right());
    }
    if (r.bottom() > area.bottom()) {
        r.moveBottom(area.bottom());
    }
    if (r.left() < area.left()) {
        r.moveLeft(area.left());
    }
    if (r.top() < area.top()) {
        r.moveTop(area.top());
    }
    return r.topLeft();
}

// Gives a dialog its shown size now, so that it can be placed by it; a size
// the skin file set is kept.
void sizeOnce(QDialog* d) {
    if (!d->testAttribute(Qt::WA_Resized)) {
        d->adjustSize();
    }
}

// Places a dialog at `at` (when given), else centred over the shown main
// window or the screen, and keeps it on screen.
void place(QDialog* d, QWidget* window, std::optional<QPoint> at) {
    QWidget* owner = shownOwner(window);
    const QScreen* screen = screenFor(owner);
    const QRect area = screen ? screen->availableGeometry() : QRect();
    // The frame is known once the native window exists (where the platform
    // can tell it before the window is shown).
    d->winId();
    const QMargins frame = d->windowHandle() ? d->windowHandle()->frameMargins() : QMargins();
    QRect r(d->pos(), d->size().grownBy(frame));
    if (at) {
        r.moveTopLeft(*at);
    } else {
        r.moveCenter(owner ? owner->frameGeometry().center() : area.center());
    }
    d->move(inside(r, area));
}

}  // namespace

QString QtUi::boxTitle(std::string_view key, std::string_view fallback) const {
    const std::string text = translate(key);
    return qs(text == key ? fallback : std::string_view(text));
}

QDialog* QtUi::loadDialog(std::string_view resource, std::string_view fallback) {
    const QString path = skinFile(resource, fallback);
    if (!QFile::exists(path)) {
        return nullptr;
    }
    SkinLoader loader(qs(skinFolder()), nullptr);
    QWidget* root = loader.loadFile(path, nullptr);
    if (!root) {
        debugLog("skin: " + loader.errors().join("; ").toStdString());
        return nullptr;
    }
    auto* dialog = qobject_cast<QDialog*>(root);
    if (!dialog) {
        // A plain widget in the skin file: give it a dialog around it.
        if (!root->layout()) {
            // Controls at fixed places give no size hint: without a least
            // size the dialog would shrink to nothing and never be mapped.
            const QRect controls = root->childrenRect();
            root->setMinimumSize(
                root->size().expandedTo(QSize(controls.right() + 1, controls.bottom() + 1)));
        }
        dialog = new QDialog;
        auto* layout = new QVBoxLayout(dialog);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(root);
        dialog->resize(root->size());
    }
    translateTexts(dialog);
    orderTabs(dialog);
    return dialog;
}

bool QtUi::answerOpenDialog(const DialogAnswer& a) {
    if (!modal_) {
        return false;
    }
    const QString kind = modal_->property(kKind).toString();
    switch (a.kind) {
        case DialogAnswer::Kind::Message:
            if (kind != "message") {
                return false;
            }
            modal_->done(a.accept ? 1 : 0);
            return true;
        case DialogAnswer::Kind::Palette:
            if (kind != "palette") {
                return false;
            }
            if (a.accept) {
                modal_->setProperty(kAnswerColor, a.color);
            }
            modal_->done(a.accept ? 1 : 2);
            return true;
        case DialogAnswer::Kind::Open:
        case DialogAnswer::Kind::Save:
            if (kind != (a.kind == DialogAnswer::Kind::Open ? "open" : "save")) {
                return false;
            }
            if (a.accept) {
                modal_->setProperty(kAnswerPath, qs(a.path));
                modal_->done(QDialog::Accepted);
            } else {
                modal_->done(QDialog::Rejected);
            }
            return true;
    }
    return false;
}

int QtUi::messageBox(std::string_view title, std::string_view message, bool isKey) {
    if (auto scripted = scriptedMessageBox(message)) {
        return *scripted;
    }
    QDialog* d = loadDialog("XML_MSG", "msgbox.ui");
    if (!d) {
        d = builtInMessageBox();
    }
    makeTopLevel(d, window_, Qt::FramelessWindowHint);
    d->setProperty(kKind, "message");
    d->setObjectName("msgwnd");
    d->setWindowTitle(boxTitle(kMessageTitleKey, "RX-T7100"));
    if (!title.empty()) {
        if (QWidget* t = child(d, "MessageTitle")) {
            setWidgetText(t, qs(title));
        }
    }
    if (!message.empty()) {
        if (QWidget* m = child(d, "MessageText")) {
            m->setProperty("textkey", isKey ? QVariant(qs(message)) : QVariant());
            setWidgetText(m, qs(isKey ? translate(message) : std::string(message)));
        }
    }
    onClick(d, "confirm_btn", [d] { d->done(1); });
    onClick(d, "cancel_btn", [d] { d->done(0); });
    onClick(d, "closebtn", [d] { d->done(0); });
    d->adjustSize();
    place(d, window_, std::nullopt);

    QPointer<QDialog> previous = modal_;
    modal_ = d;
    const int result = d->exec();
    modal_ = previous;
    delete d;
    return result == 1 ? 1 : 0;
}

PaletteResult QtUi::paletteDialog(uint32_t initial) {
    if (auto scripted = scriptedPalette(initial)) {
        return *scripted;
    }
    QDialog* d = loadDialog("XML_PALETTE", "palette.ui");
    if (!d) {
        d = builtInPaletteDialog();
    }
    makeTopLevel(d, window_);
    d->setProperty(kKind, "palette");
    d->setWindowTitle(boxTitle(kPaletteTitleKey, "Mirtel调色板"));
    sizeOnce(d);
    if (QWidget* owner = shownOwner(window_)) {
        // Beside the main window.
        const QRect main = owner->frameGeometry();
        place(d, window_, QPoint(main.right() + 1, main.top()));
    } else {
        place(d, window_, std::nullopt);
    }
    auto* palette = child<ColorPaletteWidget>(d, "Pallet");
    QWidget* show = child(d, "color_show_btn");
    uint32_t shown = initial;
    auto showColor = [&shown, palette, show](uint32_t c) {
        shown = c;
        if (show) {
            paintButton(show, c);
        }
        if (palette) {
            palette->setColor(c);
        }
    };
    showColor(initial);
    if (palette) {
        connect(palette, &ColorPaletteWidget::colorPicked, d, [&](uint32_t c) { showColor(c); });
    }
    for (int n = 0; n < 30; ++n) {
        const QByteArray name = QStringLiteral("ms_dpi_color_png_%1").arg(n).toLatin1();
        onClick(d, name.constData(), [&showColor, n] {
            showColor(kPresetColors[n]);
            debugLog("hongse");
        });
    }
    auto confirm = [d, palette] { d->done(palette ? 1 : 2); };
    onClick(d, "okbtn", confirm);
    onClick(d, "Pallet_BTN_OK", confirm);
    onClick(d, "closebtn", [d] { d->done(2); });
    onClick(d, "Pallet_BTN_CANCEL", [d] { d->done(2); });

    QPointer<QDialog> previous = modal_;
    modal_ = d;
    const int result = d->exec();
    modal_ = previous;
    PaletteResult r{result == 1 ? 1 : 2, initial};
    if (r.code == 1) {
        const QVariant answered = d->property(kAnswerColor);
        r.color = answered.isValid() ? answered.toUInt() : shown;
    }
    delete d;
    return r;
}

QWidget* QtUi::aboutWindow() const {
    return about_;
}

void QtUi::aboutBox() {
    if (about_) {
        about_->show();
        about_->raise();
        return;
    }
    QDialog* d = loadDialog("XML_ABOUT", "about.ui");
    if (!d) {
        d = builtInAboutBox();
    }
    makeTopLevel(d, window_);
    d->setAttribute(Qt::WA_DeleteOnClose);
    d->setWindowTitle(boxTitle(kAboutTitleKey, "关于"));
    sizeOnce(d);
    if (QWidget* owner = shownOwner(window_)) {
        const QRect main = owner->frameGeometry();
        place(d, window_, QPoint(2 * main.left(), main.bottom() / 2 - 80));
    } else {
        place(d, window_, std::nullopt);
    }
    onClick(d, "closebtn", [d] { d->done(2); });
    if (auto* link = child<QLabel>(d, "NetText")) {
        if (!link->text().contains("<a")) {
            // A plain text in the skin: the whole text is the link.
            link->setText(QStringLiteral("<a href=\"%1\">%2</a>")
                              .arg(qs(kHomepageUrl), link->text().toHtmlEscaped()));
        }
        link->setTextFormat(Qt::RichText);
        link->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
        connect(link, &QLabel::linkActivated, d, [this] { openUrl(kHomepageUrl); });
    } else {
        onClick(d, "NetText", [this] { openUrl(kHomepageUrl); });
    }
    connect(d, &QDialog::finished, d, [d] { d->close(); });
    about_ = d;
    d->show();
}

void QtUi::openUrl(std::string_view url) {
    QDesktopServices::openUrl(QUrl(qs(url)));
}

QString QtUi::filterText(const std::vector<FileFilter>& filters) const {
    QStringList parts;
    for (const auto& f : filters) {
        parts << qs(filterLabel(translate(f.label), f.pattern));
    }
    return parts.join(";;");
}

std::optional<std::string> QtUi::fileDialog(const FileDialogOptions& options, bool save) {
    const auto kind = save ? DialogAnswer::Kind::Save : DialogAnswer::Kind::Open;
    QString chosen;
    if (auto a = takeAnswer(kind)) {
        if (!a->accept) {
            return std::nullopt;
        }
        chosen = qs(a->path);
    } else {
        // No parent widget: the skin's style sheet stays with the main window
        // and the dialog keeps the desktop's own look. It is still kept over
        // the shown window as its transient.
        // A start folder that does not exist yet (no pictures folder made):
        // the nearest one above it that does.
        QString folder = qs(options.folder);
        while (!folder.isEmpty() && !QFileInfo(folder).isDir()) {
            const QString up = QFileInfo(folder).path();
            folder = up == folder ? QString() : up;
        }
        QFileDialog dialog(nullptr, qs(translate(options.title)), folder,
                           filterText(options.filters));
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
        if (!options.fileName.empty() && options.fileName.find('*') == std::string::npos) {
            dialog.selectFile(qs(options.fileName));
        }
        dialog.setProperty(kKind, save ? "save" : "open");
        dialog.setWindowModality(Qt::ApplicationModal);
        if (QWidget* owner = shownOwner(window_)) {
            dialog.winId();
            dialog.windowHandle()->setTransientParent(owner->windowHandle());
        }
        sizeOnce(&dialog);
        place(&dialog, window_, std::nullopt);
        QPointer<QDialog> previous = modal_;
        modal_ = &dialog;
        const int result = dialog.exec();
        modal_ = previous;
        if (result != QDialog::Accepted) {
            return std::nullopt;
        }
        const QVariant answered = dialog.property(kAnswerPath);
        if (answered.isValid()) {
            chosen = answered.toString();
        } else if (!dialog.selectedFiles().isEmpty()) {
            chosen = dialog.selectedFiles().front();
        }
    }
    if (chosen.isEmpty()) {
        return std::nullopt;
    }
    if (save && !options.defaultExtension.empty() && QFileInfo(chosen).suffix().isEmpty()) {
        chosen += "." + qs(options.defaultExtension);
    }
    return chosen.toStdString();
}

std::optional<std::string> QtUi::openFileDialog(const FileDialogOptions& options) {
    return fileDialog(options, false);
}

std::optional<std::string> QtUi::saveFileDialog(const FileDialogOptions& options) {
    return fileDialog(options, true);
}

}  // namespace rxt::ui
