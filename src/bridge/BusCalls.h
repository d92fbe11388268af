// D-Bus calls that never wait: the answer, or the error where none came in time, goes to a
// function that lives as long as a context object. A compositor that is busy or hung must not
// stall Nivu's loop for the seconds its answers take.
#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QString>
#include <functional>

namespace nivu::bridge {

// How long a call to the compositor may take before it counts as unanswered.
constexpr int busCallTimeoutMilliseconds = 3000;

// Sends the call; then(reply) runs with its answer, unless the context has gone.
void callThen(const QDBusConnection& bus, const QDBusMessage& message, QObject* context,
              std::function<void(const QDBusMessage&)> then);

// Asks the bus which program owns the service; then(owner) runs with its unique name, empty
// where none does.
void ownerThen(const QDBusConnection& bus, const QString& service, QObject* context,
               std::function<void(const QString&)> then);

} // namespace nivu::bridge
