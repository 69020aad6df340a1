#include "app/qt/control_server.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <memory>

#include "platform/control_socket.h"

namespace rxt::ui {

ControlServer::ControlServer(ControlHandler& handler, QObject* parent)
    : QObject(parent), handler_(handler), server_(new QLocalServer(this)) {
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, &ControlServer::accept);
}

ControlServer::~ControlServer() {
    server_->close();
}

bool ControlServer::listen() {
    const std::filesystem::path path = controlSocketPath(true);
    if (path.empty()) {
        error_ = "no private runtime folder for the control socket";
        return false;
    }
    path_ = QString::fromStdString(path.string());
    QLocalServer::removeServer(path_);
    if (!server_->listen(path_)) {
        error_ = server_->errorString();
        return false;
    }
    return true;
}

void ControlServer::accept() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        auto buffer = std::make_shared<std::string>();
        QPointer<QLocalSocket> guard(socket);
        // Requests run outside the readyRead handler: one may open a modal
        // box, and the socket reports no more data to a handler still running.
        connect(socket, &QLocalSocket::readyRead, socket, [this, socket, guard, buffer] {
            const QByteArray bytes = socket->readAll();
            buffer->append(bytes.constData(), static_cast<size_t>(bytes.size()));
            for (size_t nl = buffer->find('\n'); nl != std::string::npos; nl = buffer->find('\n')) {
                const std::string line = buffer->substr(0, nl);
                buffer->erase(0, nl + 1);
                QMetaObject::invokeMethod(
                    socket,
                    [this, guard, line] {
                        const std::string answer =
                            encodeControlAnswer(handler_.control(decodeControlRequest(line)));
                        if (guard) {
                            guard->write(answer.data(), static_cast<qint64>(answer.size()));
                            guard->flush();
                        }
                    },
                    Qt::QueuedConnection);
            }
            if (buffer->size() > kMaxControlLine) {
                socket->disconnectFromServer();
            }
        });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    }
}

}  // namespace rxt::ui
