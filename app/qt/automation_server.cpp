#include "app/qt/automation_server.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>

#include "app/qt/qt_ui.h"
#include "app/ui/automation_session.h"

namespace rxt::ui {

AutomationServer::AutomationServer(QtUi& ui, AutomationHook* hook, QObject* parent)
    : QObject(parent), ui_(ui), hook_(hook), server_(new QLocalServer(this)) {
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, &AutomationServer::accept);
}

AutomationServer::~AutomationServer() {
    server_->close();
}

bool AutomationServer::listen(const QString& path) {
    QLocalServer::removeServer(path);
    if (!server_->listen(path)) {
        error_ = server_->errorString();
        return false;
    }
    return true;
}

void AutomationServer::accept() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        QPointer<QLocalSocket> guard(socket);
        auto session = std::make_shared<AutomationSession>(ui_, hook_, [guard](std::string line) {
            if (guard) {
                guard->write(line.data(), static_cast<qint64>(line.size()));
                guard->flush();
            }
        });
        session->setOpenDialogAnswerer(
            [this](const DialogAnswer& a) { return ui_.answerOpenDialog(a); });
        // The session lives as long as its connection. Requests run outside
        // the readyRead handler: a request may open a modal box, and the
        // socket does not report more data to a handler still running.
        connect(socket, &QLocalSocket::readyRead, socket, [socket, session] {
            const QByteArray bytes = socket->readAll();
            QMetaObject::invokeMethod(
                socket,
                [session, bytes] {
                    session->feed(
                        std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
                },
                Qt::QueuedConnection);
        });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    }
}

}  // namespace rxt::ui
