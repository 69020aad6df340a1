#pragma once
// The program's control socket (platform/control_socket.h): rxtctl's
// requests, one a line, each carried out by the window on the UI thread.

#include <QObject>
#include <QString>

#include "app/ui/control_handler.h"

class QLocalServer;

namespace rxt::ui {

class ControlServer : public QObject {
    Q_OBJECT

  public:
    explicit ControlServer(ControlHandler& handler, QObject* parent = nullptr);
    ~ControlServer() override;

    // Listens in the user's private runtime folder (made when missing); the
    // caller is the one instance, so a socket left there is stale.
    bool listen();
    QString errorString() const { return error_; }
    QString path() const { return path_; }

  private:
    void accept();

    ControlHandler& handler_;
    QLocalServer* server_;
    QString error_;
    QString path_;
};

}  // namespace rxt::ui
