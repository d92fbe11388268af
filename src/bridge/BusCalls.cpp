// Asynchronous D-Bus calls, each answer tied to its context's lifetime.
#include "bridge/BusCalls.h"

#include <QDBusPendingCallWatcher>

namespace nivu::bridge {

void callThen(const QDBusConnection& bus, const QDBusMessage& message, QObject* context,
              std::function<void(const QDBusMessage&)> then) {
    auto* watcher =
        new QDBusPendingCallWatcher(bus.asyncCall(message, busCallTimeoutMilliseconds), context);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                     [watcher, then = std::move(then)] {
                         watcher->deleteLater();
                         then(watcher->reply());
                     });
}

void ownerThen(const QDBusConnection& bus, const QString& service, QObject* context,
               std::function<void(const QString&)> then) {
    auto message = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("GetNameOwner"));
    message.setArguments({service});
    callThen(bus, message, context, [then = std::move(then)](const QDBusMessage& reply) {
        const bool owned = reply.type() == QDBusMessage::ReplyMessage;
        then(owned ? reply.arguments().value(0).toString() : QString());
    });
}

} // namespace nivu::bridge
