#pragma once
// The colour overlay of a control: a child widget covering it that paints the
// tint colour at the tint alpha, letting mouse events through and following
// the control's size.

#include <QWidget>

#include "app/ui/skin_ui.h"

namespace rxt::ui {

class TintOverlay : public QWidget {
    Q_OBJECT

  public:
    // The overlay of `target`, created on first use.
    static TintOverlay* of(QWidget* target, bool create);

    const Tint& tint() const { return tint_; }
    void setTint(const Tint& tint);

  protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    explicit TintOverlay(QWidget* target);

    Tint tint_;
};

}  // namespace rxt::ui
