#pragma once
// "CircleProgress": a progress shown as a pie over a disc, with a white
// centre and the text on top.

#include <QWidget>

namespace rxt::ui {

class CCircleProgressUI : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int minimum READ minimum WRITE setMinimum)
    Q_PROPERTY(int maximum READ maximum WRITE setMaximum)
    Q_PROPERTY(int value READ value WRITE setValue)
    Q_PROPERTY(QString text READ text WRITE setText)
    Q_PROPERTY(QString bkcolor READ bkColorText WRITE setBkColorText)
    Q_PROPERTY(QString forecolor READ foreColorText WRITE setForeColorText)

  public:
    explicit CCircleProgressUI(QWidget* parent = nullptr);

    int minimum() const { return minimum_; }
    int maximum() const { return maximum_; }
    int value() const { return value_; }
    void setMinimum(int v) { setRange(v, std::max(v, maximum_)); }
    void setMaximum(int v) { setRange(std::min(minimum_, v), v); }
    void setRange(int minimum, int maximum);
    void setValue(int v);
    QString text() const { return text_; }
    void setText(const QString& t);

    QColor backgroundColor() const { return background_; }
    void setBackgroundColor(const QColor& c);
    QColor foregroundColor() const { return foreground_; }
    void setForegroundColor(const QColor& c);
    QString bkColorText() const;
    void setBkColorText(const QString& t);
    QString foreColorText() const;
    void setForeColorText(const QString& t);

    // Sweep of the pie in degrees for the current value (0 to 360).
    double sweepDegrees() const;

    QSize sizeHint() const override { return {80, 80}; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    int minimum_ = 0;
    int maximum_ = 100;
    int value_ = 0;
    QString text_;
    QColor background_{0xD0, 0xD0, 0xD0};
    QColor foreground_{0x01, 0x99, 0xCB};
};

// "#AARRGGBB", "#RRGGBB" or the same without '#' to a colour; invalid on
// anything else.
QColor colorFromText(const QString& text);
QString colorToText(const QColor& color);

}  // namespace rxt::ui
