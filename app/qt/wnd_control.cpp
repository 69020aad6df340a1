#include "app/qt/wnd_control.h"

#include <QEvent>

namespace rxt::ui {

CWndUI::CWndUI(QWidget* parent) : QWidget(parent) {}

CWndUI::~CWndUI() {
    if (window()) {
        window()->removeEventFilter(this);
    }
}

void CWndUI::attach(QWidget* w) {
    attached_ = w;
    // The control's screen position also changes when its window moves.
    window()->installEventFilter(this);
    follow();
}

bool CWndUI::event(QEvent* e) {
    const bool result = QWidget::event(e);
    switch (e->type()) {
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::Show:
        case QEvent::Hide:
        case QEvent::ParentChange:
            follow();
            break;
        default:
            break;
    }
    return result;
}

bool CWndUI::eventFilter(QObject* watched, QEvent* e) {
    if (watched == window() &&
        (e->type() == QEvent::Move || e->type() == QEvent::Show || e->type() == QEvent::Hide)) {
        follow();
    }
    return QWidget::eventFilter(watched, e);
}

void CWndUI::follow() {
    if (!attached_) {
        return;
    }
    QRect r = rect();
    if (attached_->isWindow()) {
        r.moveTopLeft(mapToGlobal(QPoint(0, 0)));
    } else if (attached_->parentWidget()) {
        r.moveTopLeft(mapTo(window(), QPoint(0, 0)));
        r.moveTopLeft(attached_->parentWidget()->mapFrom(window(), r.topLeft()));
    }
    attached_->setGeometry(r);
    attached_->setVisible(isVisible());
}

}  // namespace rxt::ui
