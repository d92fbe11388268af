// Tells the user that no system tray runs.
#include "qt/MissingTrayNotice.h"

#include "common/Warning.h"
#include "qt/Translated.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QFile>
#include <QStringList>
#include <QVariantMap>

namespace nivu {

namespace {
constexpr TextKey message =
    Text::tr("no system tray is running; Nivu works on and shows its icon once a tray starts",
             "トレイが無いことを伝える通知（標準エラー出力にも出る）");

// Only a session bus that runs already: asking libdbus for one would start a new one.
bool sessionBusRuns() {
    return qEnvironmentVariableIsSet("DBUS_SESSION_BUS_ADDRESS") ||
           QFile::exists(qEnvironmentVariable("XDG_RUNTIME_DIR") + QStringLiteral("/bus"));
}
} // namespace

void announceMissingTray() {
    const QString text = translated(message);
    warn(text.toStdString());
    if (!sessionBusRuns()) {
        return;
    }
    const QString service = QStringLiteral("org.freedesktop.Notifications");
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface() || !bus.interface()->isServiceRegistered(service)) {
        return;
    }
    QDBusInterface notifications(service, QStringLiteral("/org/freedesktop/Notifications"), service,
                                 bus);
    notifications.asyncCall(QStringLiteral("Notify"), QStringLiteral("Nivu"), 0u,
                            QStringLiteral("nivu"), QStringLiteral("Nivu"), text, QStringList(),
                            QVariantMap(), -1);
}

} // namespace nivu
