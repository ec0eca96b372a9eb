#include "platform/realtime_kit.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>

namespace wexon::platform {

namespace {

const QString kService = QStringLiteral("org.freedesktop.RealtimeKit1");
const QString kPath = QStringLiteral("/org/freedesktop/RealtimeKit1");

std::string errorText(const QDBusMessage& reply) {
    QString text = reply.errorMessage();
    if (text.isEmpty()) {
        text = reply.errorName();
    }
    return text.toStdString();
}

// The system bus, or nothing with `why` set.
std::optional<QDBusConnection> systemBus(std::string& why) {
    if (QCoreApplication::instance() == nullptr) {
        why = "no application to reach the system bus from";
        return std::nullopt;
    }
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) {
        why = "no system bus";
        if (QString text = bus.lastError().message(); !text.isEmpty()) {
            why += ": " + text.toStdString();
        }
        return std::nullopt;
    }
    return bus;
}

// One property of the service, or an invalid variant with `why` set.
QVariant property(QDBusConnection& bus, const char* name, int timeoutMs, std::string& why) {
    QDBusMessage call = QDBusMessage::createMethodCall(
        kService, kPath, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    call << kService << QString::fromLatin1(name);
    QDBusMessage reply = bus.call(call, QDBus::Block, timeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        why = errorText(reply);
        return {};
    }
    QVariant value = reply.arguments().constFirst();
    if (value.canConvert<QDBusVariant>()) {
        value = value.value<QDBusVariant>().variant();
    }
    if (!value.isValid()) {
        why = std::string("the real-time service gave no ") + name;
    }
    return value;
}

} // namespace

std::optional<keying::RealTimeService::Limits> RealtimeKitService::limits(std::string& why) {
    auto bus = systemBus(why);
    if (!bus) {
        return std::nullopt;
    }
    QVariant maxPriority = property(*bus, "MaxRealtimePriority", m_timeoutMs, why);
    if (!maxPriority.isValid()) {
        return std::nullopt;
    }
    Limits limits;
    bool ok = false;
    limits.maxPriority = maxPriority.toInt(&ok);
    if (!ok) {
        why = "the real-time service gave an unusable priority";
        return std::nullopt;
    }
    // The run limit is optional: older services have no such property, and
    // the program's own limit then stands.
    std::string ignored;
    QVariant runLimit = property(*bus, "RTTimeUSecMax", m_timeoutMs, ignored);
    if (runLimit.isValid()) {
        limits.runLimitUs = runLimit.toLongLong(&ok);
        if (!ok || limits.runLimitUs < 0) {
            limits.runLimitUs = 0;
        }
    }
    return limits;
}

bool RealtimeKitService::makeThreadRealtime(std::uint64_t threadId, int priority,
                                            std::string& why) {
    auto bus = systemBus(why);
    if (!bus) {
        return false;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kService,
                                                       QStringLiteral("MakeThreadRealtime"));
    call << QVariant::fromValue(static_cast<qulonglong>(threadId))
         << QVariant::fromValue(static_cast<uint>(priority));
    QDBusMessage reply = bus->call(call, QDBus::Block, m_timeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        why = errorText(reply);
        return false;
    }
    return true;
}

} // namespace wexon::platform
