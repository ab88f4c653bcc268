#include "platform/qt/qt_instance_guard.h"

#include <QByteArray>
#include <QLocalServer>
#include <QLocalSocket>
#include <QObject>
#include <QString>
#include <QVariant>

#include <cstdio>
#include <cstring>
#include <utility>

namespace osa {

namespace {

// A request is one short line; anything longer is not ours.
constexpr qint64 MaxRequestBytes = 64;

} // namespace

QtInstanceGuard::QtInstanceGuard(RaiseHandler onRaise, posix::InstancePaths paths)
    : onRaise_(std::move(onRaise)), paths_(std::move(paths)) {}

QtInstanceGuard::~QtInstanceGuard() = default;

bool QtInstanceGuard::Listening() const {
    return server_ && server_->isListening();
}

bool QtInstanceGuard::ClaimFirstInstance() {
    if (lock_.Valid()) return true; // claimed already
    posix::LockResult r = posix::TryLockFile(paths_.lock);
    switch (r.outcome) {
    case posix::LockOutcome::HeldElsewhere:
        return false;
    case posix::LockOutcome::Failed:
        std::fprintf(stderr, "osactl: single-instance lock %s unusable (%s: %s); running anyway\n",
                     paths_.lock.c_str(), r.failedCall.c_str(), std::strerror(r.error));
        return true;
    case posix::LockOutcome::Acquired:
        break;
    }
    lock_ = std::move(r.fd);
    StartServer();
    return true;
}

void QtInstanceGuard::StartServer() {
    const QString path = QString::fromLocal8Bit(paths_.socket.c_str());
    // We hold the lock, so a socket file here was left by a controller that
    // is gone; remove it or listen() fails with "address in use".
    QLocalServer::removeServer(path);
    server_ = std::make_unique<QLocalServer>();
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(path)) {
        std::fprintf(
            stderr, "osactl: cannot listen on %s (%s); a second controller cannot raise this one\n",
            paths_.socket.c_str(), server_->errorString().toLocal8Bit().constData());
        server_.reset();
        return;
    }
    QLocalServer* server = server_.get();
    QObject::connect(server, &QLocalServer::newConnection, server, [this, server] {
        while (QLocalSocket* socket = server->nextPendingConnection()) {
            auto readRequest = [this, socket] {
                // Reads what is there; the request may come in pieces.
                QByteArray buffer = socket->property("osa_request").toByteArray();
                buffer += socket->read(MaxRequestBytes - buffer.size());
                if (buffer.contains('\n')) {
                    socket->disconnectFromServer();
                    if (buffer.startsWith("raise\n") && onRaise_) onRaise_();
                    return;
                }
                if (buffer.size() >= MaxRequestBytes) {
                    socket->abort();
                    return;
                }
                socket->setProperty("osa_request", buffer);
            };
            QObject::connect(socket, &QLocalSocket::readyRead, socket, readRequest);
            QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            // The whole request may have arrived before the connection was taken.
            if (socket->bytesAvailable() > 0) readRequest();
        }
    });
}

void QtInstanceGuard::RaiseFirstInstance(std::string_view) {
    int error = posix::SendRaiseRequest(paths_.socket);
    if (error != 0)
        std::fprintf(stderr,
                     "osactl: cannot ask the running controller to come forward via %s: %s\n",
                     paths_.socket.c_str(), std::strerror(error));
}

} // namespace osa
