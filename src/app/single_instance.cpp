#include "app/single_instance.h"

#include <QDataStream>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QRegularExpression>

namespace {

constexpr int kConnectMs = 1000;
// The running program answers once its event loop takes the files, which a
// dialog it shows does not stop.
constexpr int kAnswerMs = 5000;
constexpr char kTaken = '1';

QString plainName(QString text)
{
    return text.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9_.-]")), QStringLiteral("_"));
}

} // namespace

QString SingleInstance::socketName()
{
    QString display = qEnvironmentVariable("WAYLAND_DISPLAY");
    if (display.isEmpty())
        display = qEnvironmentVariable("DISPLAY");
    // The user's own runtime folder where there is one: private to the user
    // and emptied at logout, so no socket outlives the session.
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo(runtime).isDir())
        return QDir(runtime).filePath(QStringLiteral("zolva-reader-") + plainName(display));
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty())
        user = qEnvironmentVariable("USERNAME");
    if (user.isEmpty())
        user = QDir::home().dirName();
    return QStringLiteral("zolva-reader-") + plainName(user) + QLatin1Char('-') + plainName(display);
}

bool SingleInstance::handOver(const QString& name, const QStringList& files)
{
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(kConnectMs))
        return false;
    QByteArray message;
    QDataStream out(&message, QIODevice::WriteOnly);
    out << files;
    socket.write(message);
    if (!socket.waitForBytesWritten(kConnectMs))
        return false;
    while (socket.bytesAvailable() == 0) {
        if (!socket.waitForReadyRead(kAnswerMs))
            return false;
    }
    return socket.read(1) == QByteArray(1, kTaken);
}

bool SingleInstance::listen(const QString& name)
{
    if (!m_server) {
        m_server = new QLocalServer(this);
        // Only this user's programs may hand files over.
        m_server->setSocketOptions(QLocalServer::UserAccessOption);
        connect(m_server, &QLocalServer::newConnection, this, [this] {
            while (QLocalSocket* socket = m_server->nextPendingConnection())
                take(socket);
        });
    }
    if (m_server->listen(name))
        return true;
    // Nobody answered there a moment ago: what is left is a socket of a
    // program that ended without closing it.
    if (m_server->serverError() != QAbstractSocket::AddressInUseError)
        return false;
    QLocalServer::removeServer(name);
    return m_server->listen(name);
}

void SingleInstance::take(QLocalSocket* socket)
{
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
        QDataStream in(socket);
        in.startTransaction();
        QStringList files;
        in >> files;
        if (!in.commitTransaction())
            return; // the rest is on its way
        socket->write(QByteArray(1, kTaken));
        socket->flush();
        // Opening the files may wait in an event loop of its own (a message,
        // a long load), where the socket, closed by the other side by then,
        // is deleted under its own signal: the files are taken after it.
        QMetaObject::invokeMethod(
            this,
            [this, files] {
                if (m_receiver)
                    m_receiver(files);
                else
                    m_waiting.push_back(files);
            },
            Qt::QueuedConnection);
    });
}

void SingleInstance::deliverTo(std::function<void(const QStringList& files)> receiver)
{
    m_receiver = std::move(receiver);
    for (const QStringList& files : std::exchange(m_waiting, {}))
        m_receiver(files);
}

QStringList absolutePaths(const QStringList& paths)
{
    QStringList absolute;
    for (const QString& path : paths)
        absolute << QFileInfo(path).absoluteFilePath();
    return absolute;
}
