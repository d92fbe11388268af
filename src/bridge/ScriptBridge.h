// Nivu's end of the compositor side's D-Bus traffic (KWin's script, GNOME Shell's extension).
// It reports with report(json); it fetches commands with nextCommands(), which Nivu answers only
// once it has some (a long poll: the compositor side calls, it is never called), or, where the
// compositor's calls time out, empty before they would. Commands thus reach only the compositor
// that asked.
#pragma once

#include "bridge/Reports.h"
#include "common/Signal.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QJsonArray>
#include <QJsonObject>
#include <QTimer>
#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <tuple>

namespace nivu::bridge {

// What a standing command is for: a later one for the same replaces it.
struct Standing {
    enum class Kind { placement, shortcut, statusMenu }; // the order a new script gets them in
    Kind kind;
    std::uint32_t shortcut = 0; // the shortcut's number
    QString window;             // the placed window's title

    static Standing placementOf(const QString& title) { return {Kind::placement, 0, title}; }
    static Standing shortcutNumber(std::uint32_t number) { return {Kind::shortcut, number, {}}; }
    static Standing statusMenu() { return {Kind::statusMenu, 0, {}}; }
    bool operator<(const Standing& other) const {
        return std::tie(kind, shortcut, window) <
               std::tie(other.kind, other.shortcut, other.window);
    }
};

class ScriptBridge final : public QDBusVirtualObject {
public:
    static constexpr auto objectPath = "/Bridge";
    static constexpr auto interfaceName = "org.nivu.Bridge";

    // service: the bus name the script reports to. keepAlive: how long a fetch may wait for a
    // command before it is answered empty; none: as long as it takes.
    ScriptBridge(QDBusConnection bus, QString service,
                 std::optional<std::chrono::milliseconds> keepAlive);
    ~ScriptBridge() override;

    // Takes the service name and publishes the object; false when another program (another
    // Nivu of this session) holds the name.
    bool publish();
    // Only calls from this bus name (the compositor's) are taken; empty: none.
    void acceptCallsFrom(const QString& sender);
    // Queues a command; it leaves with the answer to the script's pending fetch.
    void send(const QJsonObject& command);
    // Sends a standing command (a hot key, a placement), which every script started later gets
    // too; a later one for the same replaces it.
    void hold(const Standing& what, const QJsonObject& command);
    // The standing command for that is no longer sent to scripts started later.
    void release(const Standing& what);
    // The compositor side is gone: drops its pending fetch and the queue, and queues the standing
    // commands for the next script.
    void reset();

    const QDBusConnection& bus() const { return bus_; }

    // Each well-formed report of the script, in order.
    Signal<Report> reports;
    // The pointer as the latest report that gave it says, already during that report's
    // delivery: no listener depends on another's having run first.
    Cursor cursor() const { return cursor_; }

    QString introspect(const QString& path) const override;
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;

private:
    void answerFetch();

    QDBusConnection bus_;
    QString service_;
    QString sender_;
    std::optional<QDBusMessage> pendingFetch_;
    QJsonArray queued_;
    std::map<Standing, QJsonObject> held_;
    Cursor cursor_;
    bool keepsAlive_;
    QTimer keepAlive_;
};

} // namespace nivu::bridge
