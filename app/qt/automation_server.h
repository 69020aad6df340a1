#pragma once
// `rxt-config --automation PATH`: a local socket at PATH taking automation
// requests, one a line, each connection with a session of its own.

#include <QObject>
#include <QString>
#include <memory>

#include "app/ui/automation_hook.h"

class QLocalServer;

namespace rxt::ui {

class QtUi;

class AutomationServer : public QObject {
    Q_OBJECT

  public:
    AutomationServer(QtUi& ui, AutomationHook* hook, QObject* parent = nullptr);
    ~AutomationServer() override;

    // Listens at `path` (a stale socket file there is replaced). False with
    // the reason in errorString() when it cannot.
    bool listen(const QString& path);
    QString errorString() const { return error_; }

  private:
    void accept();

    QtUi& ui_;
    AutomationHook* hook_;
    QLocalServer* server_;
    QString error_;
};

}  // namespace rxt::ui
