#pragma once
// "Wnd": a place in the skin for a window of its own. Whenever the control
// moves, is resized, shown or hidden, the attached window follows: placed
// over the control's rectangle (in screen coordinates when it is a window of
// its own) and shown or hidden with it.

#include <QPointer>
#include <QWidget>

namespace rxt::ui {

class CWndUI : public QWidget {
    Q_OBJECT

  public:
    explicit CWndUI(QWidget* parent = nullptr);
    ~CWndUI() override;

    void attach(QWidget* window);
    QWidget* attached() const { return attached_; }

  protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void follow();

    QPointer<QWidget> attached_;
};

}  // namespace rxt::ui
