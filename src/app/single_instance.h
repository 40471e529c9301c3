#pragma once

#include <QObject>
#include <QStringList>

#include <functional>
#include <vector>

class QLocalServer;
class QLocalSocket;

// One program per user and display. The first start listens on a local
// socket named for both; a later start hands its files to it and ends, and
// the first raises its window and opens them.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    // The socket's name for this user on this display: in the user's runtime
    // folder when there is one, else in the system's temporary folder.
    static QString socketName();

    // Hands files (absolute paths; none to raise the window only) to the
    // program listening at name. False when none took them in time.
    static bool handOver(const QString& name, const QStringList& files);

    // Listens at name, taking over a socket that a program left behind when
    // it ended without closing it. False when that fails.
    bool listen(const QString& name);

    // Where handed files go; those handed before it is set wait for it.
    void deliverTo(std::function<void(const QStringList& files)> receiver);

private:
    void take(QLocalSocket* socket);

    QLocalServer* m_server = nullptr;
    std::function<void(const QStringList&)> m_receiver;
    std::vector<QStringList> m_waiting;
};

// paths made absolute against the current folder, as a later start hands them.
QStringList absolutePaths(const QStringList& paths);
