#include "app/qt/notify_adaptor.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QSlider>
#include <QTextEdit>
#include <QWidget>

#include "app/qt/color_palette.h"

namespace rxt::ui {

NotifyAdaptor::NotifyAdaptor(Sink sink, std::function<bool()> quiet, QObject* parent)
    : QObject(parent), sink_(std::move(sink)), quiet_(std::move(quiet)) {}

void NotifyAdaptor::emitNote(std::string_view type, const QObject* sender, int64_t value) {
    if (quiet_ && quiet_()) {
        return;
    }
    sink_({std::string(type), sender->objectName().toStdString(), value});
}

void NotifyAdaptor::attach(QWidget* root) {
    attachWidget(root);
    for (QWidget* w : root->findChildren<QWidget*>()) {
        attachWidget(w);
    }
}

void NotifyAdaptor::attachWidget(QWidget* w) {
    if (w->objectName().isEmpty() || w->property("_rxt_attached").toBool()) {
        return;
    }
    // Names given by the toolkit itself (inner parts of a combo box ...) are
    // not controls of the skin.
    if (w->objectName().startsWith("qt_") || w->objectName().startsWith("_rxt")) {
        return;
    }
    w->setProperty("_rxt_attached", true);
    w->installEventFilter(this);

    if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        connect(button, &QAbstractButton::clicked, this, [this, button] {
            if (!button->isCheckable()) {
                emitNote(notify::kClick, button);
            }
        });
        connect(button, &QAbstractButton::toggled, this,
                [this, button](bool on) { emitNote(notify::kSelectChanged, button, on ? 1 : 0); });
    } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
        connect(combo, &QComboBox::currentIndexChanged, this, [this, combo](int index) {
            if (index >= 0) {
                emitNote(notify::kItemSelect, combo, index);
            }
        });
    } else if (auto* list = qobject_cast<QListWidget*>(w)) {
        connect(list, &QListWidget::currentRowChanged, this, [this, list](int row) {
            if (row >= 0) {
                emitNote(notify::kItemSelect, list, row);
            }
        });
        connect(list, &QListWidget::itemClicked, this, [this, list](QListWidgetItem* item) {
            emitNote(notify::kItemClick, list, list->row(item));
        });
    } else if (auto* slider = qobject_cast<QSlider*>(w)) {
        // Set: a value change not made by dragging, or the end of a drag.
        connect(slider, &QSlider::valueChanged, this, [this, slider](int v) {
            if (!slider->isSliderDown()) {
                emitNote(notify::kValueChanged, slider, v);
            }
        });
        connect(slider, &QSlider::sliderMoved, this,
                [this, slider](int v) { emitNote(notify::kMoveValueChanged, slider, v); });
        connect(slider, &QSlider::sliderReleased, this,
                [this, slider] { emitNote(notify::kValueChanged, slider, slider->value()); });
    } else if (auto* line = qobject_cast<QLineEdit*>(w)) {
        connect(line, &QLineEdit::textEdited, this,
                [this, line] { emitNote(notify::kTextChanged, line); });
    } else if (auto* text = qobject_cast<QTextEdit*>(w)) {
        connect(text, &QTextEdit::textChanged, this,
                [this, text] { emitNote(notify::kTextChanged, text); });
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(w)) {
        connect(plain, &QPlainTextEdit::textChanged, this,
                [this, plain] { emitNote(notify::kTextChanged, plain); });
    } else if (auto* palette = qobject_cast<ColorPaletteWidget*>(w)) {
        connect(palette, &ColorPaletteWidget::colorPicked, this, [this, palette](uint32_t c) {
            emitNote(notify::kColorChanged, palette, static_cast<int64_t>(c));
        });
    }
}

bool NotifyAdaptor::eventFilter(QObject* watched, QEvent* event) {
    // The window's own focus is not a control's.
    if (auto* w = qobject_cast<QWidget*>(watched); w && w->isWindow()) {
        return QObject::eventFilter(watched, event);
    }
    if (event->type() == QEvent::FocusIn) {
        emitNote(notify::kSetFocus, watched);
    } else if (event->type() == QEvent::FocusOut) {
        emitNote(notify::kKillFocus, watched);
    } else if (event->type() == QEvent::Enter) {
        emitNote(notify::kMouseEnter, watched);
    } else if (event->type() == QEvent::Leave) {
        emitNote(notify::kMouseLeave, watched);
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace rxt::ui
