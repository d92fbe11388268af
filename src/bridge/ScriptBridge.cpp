// The compositor side's reports in, its commands out.
#include "bridge/ScriptBridge.h"

#include <QJsonDocument>

namespace nivu::bridge {

ScriptBridge::ScriptBridge(QDBusConnection bus, QString service,
                           std::optional<std::chrono::milliseconds> keepAlive)
    : bus_(std::move(bus))
    , service_(std::move(service))
    , keepsAlive_(keepAlive.has_value()) {
    keepAlive_.setSingleShot(true);
    if (keepAlive) {
        keepAlive_.setInterval(*keepAlive);
        QObject::connect(&keepAlive_, &QTimer::timeout, [this] { answerFetch(); });
    }
}

ScriptBridge::~ScriptBridge() {
    bus_.unregisterObject(QString::fromLatin1(objectPath));
    bus_.unregisterService(service_);
}

bool ScriptBridge::publish() {
    return bus_.registerService(service_) &&
           bus_.registerVirtualObject(QString::fromLatin1(objectPath), this);
}

void ScriptBridge::acceptCallsFrom(const QString& sender) {
    sender_ = sender;
}

void ScriptBridge::send(const QJsonObject& command) {
    queued_.append(command);
    if (pendingFetch_) {
        answerFetch();
    }
}

void ScriptBridge::hold(const Standing& what, const QJsonObject& command) {
    held_[what] = command;
    send(command);
}

void ScriptBridge::release(const Standing& what) {
    held_.erase(what);
}

void ScriptBridge::reset() {
    keepAlive_.stop();
    pendingFetch_.reset();
    queued_ = QJsonArray();
    for (const auto& [_, command] : held_) {
        queued_.append(command);
    }
}

void ScriptBridge::answerFetch() {
    keepAlive_.stop();
    if (!pendingFetch_) {
        return;
    }
    const QString commands = QString::fromUtf8(
        QJsonDocument(std::exchange(queued_, QJsonArray())).toJson(QJsonDocument::Compact));
    bus_.send(pendingFetch_->createReply(commands));
    pendingFetch_.reset();
}

QString ScriptBridge::introspect(const QString&) const {
    return QStringLiteral(
               "<interface name=\"%1\">"
               "<method name=\"report\"><arg name=\"fact\" type=\"s\" direction=\"in\"/></method>"
               "<method name=\"nextCommands\"><arg type=\"s\" direction=\"out\"/></method>"
               "</interface>")
        .arg(QLatin1String(interfaceName));
}

bool ScriptBridge::handleMessage(const QDBusMessage& message, const QDBusConnection& connection) {
    if (message.interface() != QLatin1String(interfaceName)) {
        return false;
    }
    if (sender_.isEmpty() || message.service() != sender_) {
        connection.send(message.createErrorReply(
            QDBusError::AccessDenied, QStringLiteral("only the compositor reports to Nivu")));
        return true;
    }
    if (message.member() == QLatin1String("report") && message.signature() == QLatin1String("s")) {
        connection.send(message.createReply());
        if (const auto report = parseReport(message.arguments().constFirst().toString().toUtf8())) {
            cursor_ = cursorOf(*report).value_or(cursor_);
            reports.emit(*report);
        }
        return true;
    }
    if (message.member() == QLatin1String("nextCommands") && message.signature().isEmpty()) {
        if (pendingFetch_) { // started again: its earlier fetch leads nowhere
            bus_.send(pendingFetch_->createReply(QStringLiteral("[]")));
        }
        message.setDelayedReply(true);
        pendingFetch_ = message;
        if (queued_.isEmpty()) {
            if (keepsAlive_) {
                keepAlive_.start();
            }
        } else {
            answerFetch();
        }
        return true;
    }
    return false;
}

} // namespace nivu::bridge
