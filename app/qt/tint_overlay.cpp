#include "app/qt/tint_overlay.h"

#include <QEvent>
#include <QPainter>
#include <algorithm>

namespace rxt::ui {

namespace {
constexpr const char* kOverlayName = "_rxt_tint";
}

TintOverlay* TintOverlay::of(QWidget* target, bool create) {
    auto* overlay = target->findChild<TintOverlay*>(kOverlayName, Qt::FindDirectChildrenOnly);
    if (!overlay && create) {
        overlay = new TintOverlay(target);
    }
    return overlay;
}

TintOverlay::TintOverlay(QWidget* target) : QWidget(target) {
    setObjectName(kOverlayName);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(target->rect());
    target->installEventFilter(this);
    hide();
}

void TintOverlay::setTint(const Tint& tint) {
    Tint t = tint;
    t.alpha = std::clamp(t.alpha, 0, 255);
    if (t == tint_) {
        return;
    }
    tint_ = t;
    const bool shown = tint_.enabled && tint_.alpha > 0;
    if (shown) {
        setGeometry(parentWidget()->rect());
        raise();
    }
    setVisible(shown);
    update();
}

void TintOverlay::paintEvent(QPaintEvent*) {
    QPainter p(this);
    QColor c = QColor::fromRgb(tint_.color);
    c.setAlpha(tint_.alpha);
    p.fillRect(rect(), c);
}

bool TintOverlay::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget()) {
        if (event->type() == QEvent::Resize) {
            setGeometry(parentWidget()->rect());
        } else if (event->type() == QEvent::ChildAdded && isVisible()) {
            raise();  // stay above children added later
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace rxt::ui
