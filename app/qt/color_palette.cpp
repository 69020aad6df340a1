#include "app/qt/color_palette.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "app/qt/circle_progress.h"

namespace rxt::ui {

namespace {
constexpr int kBarHeight = 16;
constexpr int kGap = 6;
}  // namespace

ColorPaletteWidget::ColorPaletteWidget(QWidget* parent) : QWidget(parent) {
    // Reached by Tab too: the arrow keys move the selection.
    setFocusPolicy(Qt::StrongFocus);
    setColor(color_);
}

void ColorPaletteWidget::setColor(uint32_t argb) {
    color_ = argb;
    const QColor c = QColor::fromRgba(argb);
    if (c.hsvHue() >= 0) {
        hue_ = c.hsvHue();
    }
    saturation_ = c.hsvSaturation();
    brightness_ = c.value();
    update();
}

QString ColorPaletteWidget::colorText() const {
    return colorToText(QColor::fromRgba(color_));
}

void ColorPaletteWidget::setColorText(const QString& text) {
    if (const QColor c = colorFromText(text); c.isValid()) {
        setColor(c.rgba());
    }
}

QRect ColorPaletteWidget::fieldRect() const {
    return {0, 0, width(), std::max(height() - kBarHeight - kGap, 1)};
}

QRect ColorPaletteWidget::barRect() const {
    return {0, height() - kBarHeight, width(), kBarHeight};
}

uint32_t ColorPaletteWidget::colorAt(QPoint point) const {
    const QRect field = fieldRect();
    if (point.y() >= barRect().top()) {
        const int v = std::clamp(point.x() * 255 / std::max(width() - 1, 1), 0, 255);
        return QColor::fromHsv(hue_, saturation_, v).rgba();
    }
    const int h = std::clamp(point.x() * 359 / std::max(field.width() - 1, 1), 0, 359);
    const int s = std::clamp(255 - point.y() * 255 / std::max(field.height() - 1, 1), 0, 255);
    return QColor::fromHsv(h, s, brightness_ == 0 ? 255 : brightness_).rgba();
}

void ColorPaletteWidget::pick(QPoint point) {
    point.setX(std::clamp(point.x(), 0, width() - 1));
    point.setY(std::clamp(point.y(), 0, height() - 1));
    const uint32_t c = colorAt(point);
    if (point.y() < barRect().top()) {
        hue_ = std::clamp(point.x() * 359 / std::max(fieldRect().width() - 1, 1), 0, 359);
    }
    const int keepHue = hue_;
    setColor(c);
    hue_ = keepHue;
    emit colorPicked(c);
}

void ColorPaletteWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        pick(event->position().toPoint());
    }
}

void ColorPaletteWidget::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() & Qt::LeftButton) {
        pick(event->position().toPoint());
    }
}

void ColorPaletteWidget::keyPressEvent(QKeyEvent* event) {
    const QRect field = fieldRect();
    QPoint at(hue_ * std::max(field.width() - 1, 1) / 359,
              (255 - saturation_) * std::max(field.height() - 1, 1) / 255);
    const int step = event->modifiers() & Qt::ShiftModifier ? 16 : 4;
    switch (event->key()) {
        case Qt::Key_Left:
            at.rx() -= step;
            break;
        case Qt::Key_Right:
            at.rx() += step;
            break;
        case Qt::Key_Up:
            at.ry() -= step;
            break;
        case Qt::Key_Down:
            at.ry() += step;
            break;
        default:
            QWidget::keyPressEvent(event);
            return;
    }
    at.setY(std::clamp(at.y(), 0, field.height() - 1));
    pick(at);
}

void ColorPaletteWidget::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    update();
}

void ColorPaletteWidget::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    update();
}

void ColorPaletteWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect field = fieldRect();
    QLinearGradient hues(field.topLeft(), field.topRight());
    for (int i = 0; i <= 6; ++i) {
        hues.setColorAt(i / 6.0, QColor::fromHsv((i * 60) % 360, 255, 255));
    }
    p.fillRect(field, hues);
    QLinearGradient fade(field.topLeft(), field.bottomLeft());
    fade.setColorAt(0, QColor(255, 255, 255, 0));
    fade.setColorAt(1, QColor(255, 255, 255, 255));
    p.fillRect(field, fade);

    const QRect bar = barRect();
    QLinearGradient shade(bar.topLeft(), bar.topRight());
    shade.setColorAt(0, Qt::black);
    shade.setColorAt(1, QColor::fromHsv(hue_, saturation_, 255));
    p.fillRect(bar, shade);

    // Markers of the selection.
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::NoBrush);
    const int fx = hue_ * std::max(field.width() - 1, 1) / 359;
    const int fy = (255 - saturation_) * std::max(field.height() - 1, 1) / 255;
    p.drawEllipse(QPoint(fx, fy), 4, 4);
    const int bx = brightness_ * std::max(width() - 1, 1) / 255;
    p.drawRect(bx - 2, bar.top(), 4, bar.height() - 1);
    if (hasFocus()) {
        // The focus mark: a light frame that shows on the dark page.
        p.setPen(QPen(QColor(0x7F, 0xD8, 0xF5), 2));
        p.drawRect(rect().adjusted(1, 1, -1, -1));
    }
}

}  // namespace rxt::ui
