#pragma once
// "ColorPalette": a colour field (hue across, saturation down) over a
// brightness bar. A colour picked with the mouse emits colorPicked (the
// user's choice, "colorchanged"); setColor from the program does not.

#include <QWidget>

namespace rxt::ui {

class ColorPaletteWidget : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString color READ colorText WRITE setColorText)

  public:
    explicit ColorPaletteWidget(QWidget* parent = nullptr);

    uint32_t color() const { return color_; }  // ARGB
    void setColor(uint32_t argb);
    QString colorText() const;
    void setColorText(const QString& text);

    // The colour under a point of the widget (for the mouse and for tests).
    uint32_t colorAt(QPoint point) const;

    QSize sizeHint() const override { return {240, 180}; }

  signals:
    void colorPicked(uint32_t argb);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

  private:
    QRect fieldRect() const;
    QRect barRect() const;
    void pick(QPoint point);

    uint32_t color_ = 0xFF0199CB;
    int hue_ = 195;  // of the field, kept while brightness changes
    int saturation_ = 254;
    int brightness_ = 203;
};

}  // namespace rxt::ui
