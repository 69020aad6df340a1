#pragma once
// "DeviceKeyButton": a key of the keyboard picture. Besides being a button it
// shows the key's light: its light image drawn in the light colour at the
// light level, over its key-set image.

#include <QPushButton>
#include <QStaticText>

#include "app/ui/skin_ui.h"

namespace rxt::ui {

class CDeviceKeyButtonUI : public QPushButton {
    Q_OBJECT
    Q_PROPERTY(QString lightimage READ lightImage WRITE setLightImage)
    Q_PROPERTY(QString keysetimage READ keySetImage WRITE setKeySetImage)
    Q_PROPERTY(QString tvnametextcolor READ nameTextColor WRITE setNameTextColor)

  public:
    explicit CDeviceKeyButtonUI(QWidget* parent = nullptr);

    // Image names are resolved against this folder (the skin folder).
    void setImageFolder(const QString& folder);

    QString lightImage() const { return lightImage_; }
    void setLightImage(const QString& name);
    QString keySetImage() const { return keySetImage_; }
    void setKeySetImage(const QString& name);
    // Accepted ("#RRGGBB", with or without '#') and kept, but it changes
    // nothing in the picture.
    QString nameTextColor() const { return nameTextColor_; }
    void setNameTextColor(const QString& text);

    const KeyLight& light() const { return light_; }
    void setLight(const KeyLight& light);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    // The button as the style draws it, kept while nothing of it changes:
    // a light effect repaints every key many times a second, and the
    // style sheet's drawing of a hundred buttons cost the UI most of a core.
    struct BaseState {
        QSize size;
        QString text;
        bool hover = false;
        bool down = false;
        bool checked = false;
        bool focus = false;
        bool enabled = true;
        qreal ratio = 1.0;
        bool operator==(const BaseState&) const = default;
    };
    BaseState baseState() const;
    const QPixmap& base();

    QPixmap base_;
    BaseState baseOf_;
    QPixmap tinted_;    // the light image in the light's colour
    QStaticText name_;  // the key's name laid out once, drawn over its light
    QString nameFor_;
    QRgb tintedFor_ = 0;

    QString folder_;
    QString lightImage_;
    QString keySetImage_;
    QString nameTextColor_;
    QPixmap lightPixmap_;
    QPixmap keySetPixmap_;
    KeyLight light_;
};

}  // namespace rxt::ui
