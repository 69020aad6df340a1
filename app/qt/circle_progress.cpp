#include "app/qt/circle_progress.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace rxt::ui {

QColor colorFromText(const QString& text) {
    QString hex = text.trimmed();
    if (hex.startsWith('#')) {
        hex.remove(0, 1);
    }
    bool ok = false;
    const uint v = hex.toUInt(&ok, 16);
    if (!ok || (hex.size() != 6 && hex.size() != 8)) {
        return {};
    }
    QColor c = QColor::fromRgba(v);
    if (hex.size() == 6) {
        c.setAlpha(255);
    }
    return c;
}

QString colorToText(const QColor& color) {
    return QStringLiteral("#%1").arg(color.rgba(), 8, 16, QLatin1Char('0')).toUpper();
}

CCircleProgressUI::CCircleProgressUI(QWidget* parent) : QWidget(parent) {}

void CCircleProgressUI::setRange(int minimum, int maximum) {
    minimum_ = minimum;
    maximum_ = std::max(minimum, maximum);
    value_ = std::clamp(value_, minimum_, maximum_);
    update();
}

void CCircleProgressUI::setValue(int v) {
    value_ = std::clamp(v, minimum_, maximum_);
    update();
}

void CCircleProgressUI::setText(const QString& t) {
    text_ = t;
    update();
}

void CCircleProgressUI::setBackgroundColor(const QColor& c) {
    background_ = c;
    update();
}

void CCircleProgressUI::setForegroundColor(const QColor& c) {
    foreground_ = c;
    update();
}

QString CCircleProgressUI::bkColorText() const {
    return colorToText(background_);
}
void CCircleProgressUI::setBkColorText(const QString& t) {
    if (const QColor c = colorFromText(t); c.isValid()) {
        setBackgroundColor(c);
    }
}
QString CCircleProgressUI::foreColorText() const {
    return colorToText(foreground_);
}
void CCircleProgressUI::setForeColorText(const QString& t) {
    if (const QColor c = colorFromText(t); c.isValid()) {
        setForegroundColor(c);
    }
}

double CCircleProgressUI::sweepDegrees() const {
    // Measured from the minimum; an empty range shows nothing rather than
    // dividing by zero.
    const double span = static_cast<double>(maximum_) - minimum_;
    if (span <= 0) {
        return 0;
    }
    return std::clamp((value_ - minimum_) / span * 360.0, 0.0, 360.0);
}

void CCircleProgressUI::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    p.setPen(Qt::NoPen);
    p.setBrush(background_);
    p.drawEllipse(r);
    const double sweep = sweepDegrees();
    if (sweep > 0) {
        p.setBrush(foreground_);
        // The pie starts at the bottom (90 degrees clockwise from the right)
        // and runs clockwise; Qt counts anticlockwise in 1/16 degree.
        p.drawPie(r, -90 * 16, -static_cast<int>(sweep * 16));
    }
    const QRectF inner = r.adjusted(10, 10, -10, -10);
    if (inner.width() > 0 && inner.height() > 0) {
        p.setBrush(QColor(0xFF, 0xFF, 0xFF));
        p.drawEllipse(inner);
    }
    if (!text_.isEmpty()) {
        p.setPen(palette().color(QPalette::WindowText));
        p.drawText(rect(), Qt::AlignCenter, text_);
    }
}

}  // namespace rxt::ui
