#include "app/qt/control_server.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <deque>
#include <memory>
#include <string>

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

namespace {

// One connection's lines. A request may open a modal box whose event loop
// delivers more lines: they wait until it is answered, so that answers
// keep the order of the requests.
struct Connection {
    std::string buffer;
    std::deque<std::string> waiting;
    bool busy = false;
};

}  // namespace

void ControlServer::accept() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        auto state = std::make_shared<Connection>();
        QPointer<QLocalSocket> guard(socket);
        auto pump = [this, guard, state] {
            while (!state->busy && !state->waiting.empty()) {
                const std::string line = std::move(state->waiting.front());
                state->waiting.pop_front();
                state->busy = true;
                const std::string answer =
                    encodeControlAnswer(handler_.control(decodeControlRequest(line)));
                state->busy = false;
                if (!guard) {
                    return;
                }
                guard->write(answer.data(), static_cast<qint64>(answer.size()));
                guard->flush();
            }
        };
        // Requests run outside the readyRead handler: the socket reports no
        // more data to a handler still running.
        connect(socket, &QLocalSocket::readyRead, socket, [socket, state, pump] {
            const QByteArray bytes = socket->readAll();
            state->buffer.append(bytes.constData(), static_cast<size_t>(bytes.size()));
            for (size_t nl = state->buffer.find('\n'); nl != std::string::npos;
                 nl = state->buffer.find('\n')) {
                state->waiting.push_back(state->buffer.substr(0, nl));
                state->buffer.erase(0, nl + 1);
            }
            if (state->buffer.size() > kMaxControlLine) {
                state->buffer.clear();
                socket->disconnectFromServer();
                return;
            }
            QMetaObject::invokeMethod(socket, pump, Qt::QueuedConnection);
        });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    }
}

}  // namespace rxt::ui
