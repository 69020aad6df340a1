#pragma once
// The one place where toolkit signals become notifications: a type and the
// sender's name, handed to a sink. Changes the program makes are made while
// `quiet` says so and are not reported.

#include <QObject>
#include <functional>

#include "app/ui/skin_ui.h"

class QWidget;

namespace rxt::ui {

class NotifyAdaptor : public QObject {
    Q_OBJECT

  public:
    using Sink = std::function<void(Notification)>;
    NotifyAdaptor(Sink sink, std::function<bool()> quiet, QObject* parent = nullptr);

    // Connects every named widget under `root` (and root itself).
    void attach(QWidget* root);
    // Connects one widget by its kind; widgets without a name stay silent.
    void attachWidget(QWidget* w);

    // Reports at once (unless quiet).
    void emitNote(std::string_view type, const QObject* sender, int64_t value = 0);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    Sink sink_;
    std::function<bool()> quiet_;
};

}  // namespace rxt::ui
