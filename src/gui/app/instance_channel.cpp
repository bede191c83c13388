#include "gui/app/instance_channel.h"

#include <QDeadlineTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <QUrl>
#include <filesystem>
#include <memory>

#include "gui/app/single_instance.h"
#include "quelt_version.h"

namespace quelt {

namespace {

constexpr qint64 kMaxMessageBytes = 1 << 20;  // a command line is far smaller
constexpr int kReadWaitMs = 5000;

}  // namespace

QString InstanceSocketPath() {
    const std::filesystem::path folder =
        std::filesystem::path(SingleInstanceLock::LockPath()).parent_path();
    return QString::fromStdString((folder / (QUELT_APP_ID ".socket")).string());
}

InstanceServer::InstanceServer(QObject* parent)
    : QObject(parent), server_(new QLocalServer(this)) {
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, &InstanceServer::Accept);
}

bool InstanceServer::Listen() {
    QLocalServer::removeServer(InstanceSocketPath());
    return server_->listen(InstanceSocketPath());
}

void InstanceServer::Accept() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        // The message arrives in pieces; it is complete at the empty line.
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (socket->bytesAvailable() + socket->pos() > kMaxMessageBytes) {
                socket->abort();
                return;
            }
            const QByteArray text = socket->peek(socket->bytesAvailable());
            if (!text.startsWith("\n") && !text.contains("\n\n")) return;
            QStringList files;
            for (const QByteArray& line : socket->readAll().split('\n'))
                if (!line.isEmpty()) files << QUrl::fromEncoded(line).toLocalFile();
            socket->write("ok\n");
            socket->flush();
            emit handedOver(files);
        });
    }
}

bool HandOverToRunningInstance(const QStringList& files, int waitMs) {
    QByteArray message;
    for (const QString& file : files) message += QUrl::fromLocalFile(file).toEncoded() + '\n';
    message += '\n';
    const QDeadlineTimer deadline(waitMs);
    do {
        QLocalSocket socket;
        socket.connectToServer(InstanceSocketPath());
        if (socket.waitForConnected(1000)) {
            socket.write(message);
            if (!socket.waitForBytesWritten(kReadWaitMs)) return false;
            while (!socket.canReadLine())
                if (!socket.waitForReadyRead(kReadWaitMs)) return false;
            return socket.readLine() == "ok\n";
        }
        // The running copy holds the lock but may not be listening yet.
        QThread::msleep(200);
    } while (!deadline.hasExpired());
    return false;
}

}  // namespace quelt
