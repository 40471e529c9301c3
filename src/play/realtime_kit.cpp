#include "play/realtime_kit.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusVariant>

#include <atomic>

namespace {

const QString kService = QStringLiteral("org.freedesktop.RealtimeKit1");
const QString kPath = QStringLiteral("/org/freedesktop/RealtimeKit1");
// A missing or hung service must not hold up the start of a thread for long.
constexpr int kTimeoutMs = 1000;

std::atomic<bool> unreachable{false};

// The reply, or nothing; a service that does not answer is not asked again.
std::optional<QDBusMessage> call(const QDBusMessage& message)
{
    const QDBusMessage reply = QDBusConnection::systemBus().call(message, QDBus::Block, kTimeoutMs);
    if (reply.type() == QDBusMessage::ReplyMessage)
        return reply;
    const QDBusError::ErrorType error = QDBusError(reply).type();
    if (error == QDBusError::NoReply || error == QDBusError::Timeout || error == QDBusError::TimedOut ||
        error == QDBusError::ServiceUnknown || error == QDBusError::Disconnected || error == QDBusError::NoServer)
        unreachable = true;
    return std::nullopt;
}

std::optional<qlonglong> property(const QString& name)
{
    QDBusMessage get = QDBusMessage::createMethodCall(kService, kPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                                      QStringLiteral("Get"));
    get << kService << name;
    const std::optional<QDBusMessage> reply = call(get);
    if (!reply || reply->arguments().isEmpty())
        return std::nullopt;
    bool ok = false;
    const qlonglong value = reply->arguments().first().value<QDBusVariant>().variant().toLongLong(&ok);
    return ok ? std::optional(value) : std::nullopt;
}

} // namespace

std::optional<RealtimeKitLimits> readRealtimeKitLimits()
{
    // Qt's bus connections belong to the application object.
    if (unreachable || !QCoreApplication::instance() || !QDBusConnection::systemBus().isConnected()) {
        unreachable = true;
        return std::nullopt;
    }
    const std::optional<qlonglong> priority = property(QStringLiteral("MaxRealtimePriority"));
    if (!priority)
        return std::nullopt;
    std::optional<qlonglong> rtTime = property(QStringLiteral("RTTimeUSecMax"));
    if (!rtTime && !unreachable)
        rtTime = property(QStringLiteral("RTTimeNSecMax")); // its name in old versions, in microseconds all the same
    if (!rtTime)
        return std::nullopt;
    return RealtimeKitLimits{int(*priority), int64_t(*rtTime)};
}

bool askRealtimeKitFor(uint64_t threadId, int priority)
{
    QDBusMessage make =
        QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("MakeThreadRealtime"));
    make << qulonglong(threadId) << uint(priority);
    return call(make).has_value();
}
