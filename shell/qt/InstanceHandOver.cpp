#include "InstanceHandOver.h"

#include "MainFrame.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QTimer>

#include <unistd.h>

namespace kadivo {

namespace {

// One path a connection, as UTF-8 ending in a line end; the listener answers "ok" once it
// has taken it.
constexpr int kConnectMs = 500;
constexpr int kAnswerMs = 5000;
constexpr qint64 kLongestPath = 64 * 1024;
const QByteArray kTaken = "ok\n";

bool Answers(const QString& socketName) {
    QLocalSocket probe;
    probe.connectToServer(socketName);
    return probe.waitForConnected(kConnectMs);
}

}  // namespace

QString InstanceSocketName() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) folder = QDir::tempPath();
    return QDir(folder).filePath(QString("kadivo-%1.socket").arg(getuid()));
}

bool HandToRunningInstance(const QString& socketName, const std::string& path) {
    QLocalSocket socket;
    socket.connectToServer(socketName);
    if (!socket.waitForConnected(kConnectMs)) return false;
    const QString absolute = QFileInfo(QString::fromStdString(path)).absoluteFilePath();
    socket.write(absolute.toUtf8() + '\n');
    if (!socket.waitForBytesWritten(kAnswerMs)) return false;
    QByteArray answer;
    while (answer.size() < kTaken.size() && socket.waitForReadyRead(kAnswerMs)) answer += socket.readAll();
    return answer == kTaken;
}

InstanceListener::InstanceListener(const QString& socketName, std::function<void(const std::string&)> open)
    : server_(std::make_unique<QLocalServer>()), open_(std::move(open)) {
    // Listening with access options puts a new socket in place of any old one, so a program
    // that answers must be asked first; what does not answer was left behind.
    if (Answers(socketName)) return;
    QLocalServer::removeServer(socketName);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    server_->listen(socketName);
    connect(server_.get(), &QLocalServer::newConnection, this, [this] { TakeConnection(); });
}

InstanceListener::~InstanceListener() = default;

bool InstanceListener::Listening() const { return server_->isListening(); }

void InstanceListener::TakeConnection() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine()) {
                if (socket->bytesAvailable() > kLongestPath) socket->abort();
                return;
            }
            const QByteArray line = socket->readLine(kLongestPath).trimmed();
            socket->write(kTaken);
            socket->flush();
            socket->disconnectFromServer();
            // Opened after the answer, so that the other start ends while a question of
            // this one (a damaged file, a missing video) waits for the user.
            if (!line.isEmpty())
                QTimer::singleShot(0, this, [this, path = QString::fromUtf8(line).toStdString()] { open_(path); });
        });
    }
}

std::unique_ptr<InstanceListener> ListenForSequences(MainFrame& frame, const QString& socketName) {
    return std::make_unique<InstanceListener>(socketName, [&frame](const std::string& path) {
        frame.OpenSequence(path);
        if (frame.isMinimized()) frame.showNormal();
        frame.raise();
        frame.activateWindow();
    });
}

}  // namespace kadivo
