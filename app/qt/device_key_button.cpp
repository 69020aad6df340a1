#include "app/qt/device_key_button.h"

#include <QDir>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>
#include <algorithm>

#include "app/qt/circle_progress.h"

namespace rxt::ui {

namespace {

QPixmap loadImage(const QString& folder, const QString& name) {
    if (name.isEmpty()) {
        return {};
    }
    const QString path = QDir::isAbsolutePath(name) ? name : QDir(folder).filePath(name);
    return QPixmap(path);  // null when missing or unreadable
}

}  // namespace

CDeviceKeyButtonUI::CDeviceKeyButtonUI(QWidget* parent) : QPushButton(parent) {}

void CDeviceKeyButtonUI::setImageFolder(const QString& folder) {
    folder_ = folder;
    lightPixmap_ = loadImage(folder_, lightImage_);
    tinted_ = QPixmap();
    keySetPixmap_ = loadImage(folder_, keySetImage_);
    update();
}

void CDeviceKeyButtonUI::setLightImage(const QString& name) {
    lightImage_ = name;
    lightPixmap_ = loadImage(folder_, name);
    tinted_ = QPixmap();
    update();
}

void CDeviceKeyButtonUI::setKeySetImage(const QString& name) {
    keySetImage_ = name;
    keySetPixmap_ = loadImage(folder_, name);
    update();
}

void CDeviceKeyButtonUI::setNameTextColor(const QString& text) {
    if (colorFromText(text).isValid()) {
        nameTextColor_ = text;
    }
}

void CDeviceKeyButtonUI::setLight(const KeyLight& light) {
    if (light == light_) {
        return;
    }
    light_ = light;
    light_.level = std::clamp(light.level, 0, 255);
    update();
}

CDeviceKeyButtonUI::BaseState CDeviceKeyButtonUI::baseState() const {
    return {size(),      text(),     underMouse(), isDown(),
            isChecked(), hasFocus(), isEnabled(),  devicePixelRatioF()};
}

const QPixmap& CDeviceKeyButtonUI::base() {
    const BaseState now = baseState();
    if (base_.isNull() || !(now == baseOf_)) {
        base_ = QPixmap(size() * now.ratio);
        base_.setDevicePixelRatio(now.ratio);
        base_.fill(Qt::transparent);
        QPainter painter(&base_);
        QStyleOptionButton option;
        initStyleOption(&option);
        style()->drawControl(QStyle::CE_PushButton, &option, &painter, this);
        baseOf_ = now;
    }
    return base_;
}

void CDeviceKeyButtonUI::changeEvent(QEvent* event) {
    // A new style sheet, font or palette draws the button anew.
    base_ = QPixmap();
    nameFor_.clear();
    QPushButton::changeEvent(event);
}

void CDeviceKeyButtonUI::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawPixmap(0, 0, base());
    if (!keySetPixmap_.isNull()) {
        p.drawPixmap(rect(), keySetPixmap_);
    }
    if (!light_.display || light_.level == 0) {
        return;
    }
    QColor c = QColor::fromRgb(light_.color);
    c.setAlpha(light_.level);
    if (lightPixmap_.isNull()) {
        p.fillRect(rect().adjusted(2, 2, -2, -2), c);
        // The key's name stays readable on its light: dark on a bright one.
        const int seen = qGray(light_.color) * light_.level / 255;
        p.setPen(seen > 110 ? QColor(16, 18, 23) : QColor(214, 219, 228));
        p.setFont(font());
        if (nameFor_ != text() || name_.text().isEmpty()) {
            nameFor_ = text();
            name_.setText(nameFor_);
            name_.prepare(QTransform(), font());
        }
        const QSizeF size = name_.size();
        p.drawStaticText(QPointF((width() - size.width()) / 2, (height() - size.height()) / 2),
                         name_);
        return;
    }
    // The light image gives the shape; the light gives its colour and strength.
    const QRgb rgb = qRgb(c.red(), c.green(), c.blue());
    if (tinted_.isNull() || tintedFor_ != rgb) {
        tinted_ = QPixmap(lightPixmap_.size());
        tinted_.fill(Qt::transparent);
        QPainter t(&tinted_);
        t.drawPixmap(0, 0, lightPixmap_);
        t.setCompositionMode(QPainter::CompositionMode_SourceIn);
        t.fillRect(tinted_.rect(), QColor(rgb));
        tintedFor_ = rgb;
    }
    p.setOpacity(light_.level / 255.0);
    p.drawPixmap(rect(), tinted_);
}

}  // namespace rxt::ui
