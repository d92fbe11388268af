// Bringing Nivu's GNOME Shell extension up: asked and done without waiting, once per run.
#include "gnome/ExtensionLink.h"

#include "bridge/BusCalls.h"
#include "common/Warning.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTimer>

namespace nivu::gnome {

using bridge::callThen;

namespace {
const QString shellService = QStringLiteral("org.gnome.Shell");
const QString shellPath = QStringLiteral("/org/gnome/Shell");
const QString extensionsInterface = QStringLiteral("org.gnome.Shell.Extensions");
constexpr double enabledState = 1;     // GNOME's ExtensionState.ENABLED
constexpr double perUserType = 2;      // GNOME's ExtensionType.PER_USER
constexpr int firstModuleVersion = 45; // GNOME loads extensions as modules from here on

QDBusMessage extensionsCall(const QString& method, const QString& uuid) {
    auto message =
        QDBusMessage::createMethodCall(shellService, shellPath, extensionsInterface, method);
    message.setArguments({uuid});
    return message;
}

// Writes each file of the folder into the target folder, whole or not at all.
bool copyFolder(const QString& from, const QString& to) {
    if (!QDir().mkpath(to)) {
        return false;
    }
    for (const QString& name : QDir(from).entryList(QDir::Files)) {
        QFile source(from + u'/' + name);
        QSaveFile target(to + u'/' + name);
        if (!source.open(QIODevice::ReadOnly) || !target.open(QIODevice::WriteOnly)) {
            return false;
        }
        const QByteArray bytes = source.readAll();
        if (target.write(bytes) != bytes.size() || !target.commit()) {
            return false;
        }
    }
    return true;
}

// GSettings' text of a list of strings, "['a', 'b']" or "@as []", as a list.
QStringList stringList(const QString& text) {
    QStringList items;
    static const QRegularExpression quoted(QStringLiteral("'([^'\\\\]*)'"));
    for (const auto& match : quoted.globalMatch(text)) {
        items << match.captured(1);
    }
    return items;
}
} // namespace

ExtensionLink::ExtensionLink(QDBusConnection bus, bridge::ScriptBridge& bridge, QString uuid,
                             QString bundled)
    : bus_(std::move(bus))
    , uuid_(std::move(uuid))
    , bundled_(std::move(bundled))
    , reports_(bridge.reports.connect([this](const bridge::Report& report) {
        if (std::holds_alternative<bridge::HelloReport>(report)) {
            running_ = true;
            if (auto step = std::exchange(onRunning_, nullptr)) {
                step();
            }
        }
    })) {}

QString ExtensionLink::compositorService() const {
    return shellService;
}

QString ExtensionLink::shellBusName() const {
    if (!bus_.isConnected() || !bus_.interface()) {
        return {};
    }
    const auto owner = bus_.interface()->serviceOwner(shellService);
    return owner.isValid() ? owner.value() : QString();
}

void ExtensionLink::start(bridge::ScriptBridge& bridge, std::function<void()> stepTaken) {
    onRunning_ = std::move(stepTaken);
    if (asking_) {
        return;
    }
    asking_ = true;
    bridge::ownerThen(bus_, shellService, &lifetime_, [this, &bridge](const QString& shell) {
        bridge.acceptCallsFrom(shell);
        if (shell.isEmpty() || std::exchange(stepTaken_, true)) {
            asking_ = false;
            return;
        }
        callThen(bus_, extensionsCall(QStringLiteral("GetExtensionInfo"), uuid_), &lifetime_,
                 [this](const QDBusMessage& reply) {
                     asking_ = false;
                     if (reply.type() != QDBusMessage::ReplyMessage) {
                         stepTaken_ = false; // asked again at the next poll
                         return;
                     }
                     takeStep(qdbus_cast<QVariantMap>(reply.arguments().value(0)));
                 });
    });
}

void ExtensionLink::takeStep(const QVariantMap& info) {
    if (info.isEmpty()) {
        install(/*replacing=*/false);
        return;
    }
    // A copy an earlier Nivu left in the user's extensions hides the one installed with Nivu.
    if (info.value(QStringLiteral("type")).toDouble() == perUserType &&
        info.value(QStringLiteral("version")).toDouble() < ownVersion()) {
        install(/*replacing=*/true);
        return;
    }
    if (info.value(QStringLiteral("state")).toDouble() == enabledState) {
        return;
    }
    // Turning it on helps only where GNOME would run it: it answers true all the same.
    auto property = QDBusMessage::createMethodCall(
        shellService, shellPath, QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("Get"));
    property.setArguments({extensionsInterface, QStringLiteral("UserExtensionsEnabled")});
    callThen(bus_, property, &lifetime_, [this, info](const QDBusMessage& reply) {
        const bool userExtensionsEnabled =
            reply.type() != QDBusMessage::ReplyMessage ||
            qdbus_cast<QDBusVariant>(reply.arguments().value(0)).variant().toBool();
        const ExtensionRefusal refusal = refusalOf(info, userExtensionsEnabled);
        if (refusal == ExtensionRefusal::none) {
            enable();
        } else {
            refuse(refusal, refusalDetail(refusal, info, uuid_));
        }
    });
}

void ExtensionLink::enable() {
    callThen(bus_, extensionsCall(QStringLiteral("EnableExtension"), uuid_), &lifetime_,
             [this](const QDBusMessage& reply) {
                 if (reply.type() != QDBusMessage::ReplyMessage ||
                     !reply.arguments().value(0).toBool()) {
                     refuse(ExtensionRefusal::notTurnedOn, uuid_);
                 }
             });
}

void ExtensionLink::refuse(ExtensionRefusal refusal, const QString& detail) {
    const TextKey why = refusalText(refusal);
    QString text = QString::fromUtf8(why.key);
    warn((text.contains(QStringLiteral("%1")) ? text.arg(detail) : text).toStdString());
    if (onRefused) {
        onRefused(why, detail);
    }
}

QString ExtensionLink::userCopy() const {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/gnome-shell/extensions/") + uuid_;
}

bool ExtensionLink::fromBuildTree() const {
    return !bundled_.isEmpty() && QDir(bundled_).exists();
}

QString ExtensionLink::ownCopy(const QString& kind) const {
    if (fromBuildTree()) {
        return bundled_ + u'/' + kind + u'/' + uuid_;
    }
    // Installed with Nivu, in the kind its GNOME loads.
    for (const QString& folder : QStandardPaths::locateAll(
             QStandardPaths::GenericDataLocation, QStringLiteral("gnome-shell/extensions/") + uuid_,
             QStandardPaths::LocateDirectory)) {
        if (folder != userCopy()) {
            return folder;
        }
    }
    return {};
}

double ExtensionLink::ownVersion() const {
    QFile metadata(ownCopy(QStringLiteral("module")) + QStringLiteral("/metadata.json"));
    if (!metadata.open(QIODevice::ReadOnly)) {
        return 0;
    }
    return QJsonDocument::fromJson(metadata.readAll())
        .object()
        .value(QStringLiteral("version"))
        .toDouble();
}

void ExtensionLink::install(bool replacing) {
    // An installed Nivu's own copy is GNOME's to find at the next login; only one run from its
    // build tree, or one whose copy an older one hides, writes into the user's extensions.
    if (ownCopy(QStringLiteral("module")).isEmpty() || (!replacing && !fromBuildTree())) {
        warn("GNOME Shell does not know Nivu's extension " + uuid_.toStdString() +
             ": install Nivu's package, then log out and in once");
        return;
    }
    auto version = QDBusMessage::createMethodCall(shellService, shellPath,
                                                  QStringLiteral("org.freedesktop.DBus.Properties"),
                                                  QStringLiteral("Get"));
    version.setArguments({shellService, QStringLiteral("ShellVersion")});
    callThen(bus_, version, &lifetime_, [this, replacing](const QDBusMessage& reply) {
        const QString text =
            qdbus_cast<QDBusVariant>(reply.arguments().value(0)).variant().toString();
        const int major = text.section(u'.', 0, 0).toInt();
        const QString kind = major > 0 && major < firstModuleVersion ? QStringLiteral("legacy")
                                                                     : QStringLiteral("module");
        const QString target = userCopy();
        if (!copyFolder(ownCopy(kind), target)) {
            warn("cannot write Nivu's GNOME Shell extension to " + target.toStdString());
            return;
        }
        if (replacing) {
            refuse(ExtensionRefusal::replaced, target);
            return; // it is in GNOME's settings already
        }
        // Enabled in GNOME's settings: the shell loads it at the next login.
        auto* get = new QProcess();
        QObject::connect(get, &QProcess::finished, get, [get, uuid = uuid_] {
            get->deleteLater();
            QStringList enabled = stringList(QString::fromUtf8(get->readAllStandardOutput()));
            if (get->exitCode() != 0 || enabled.contains(uuid)) {
                return;
            }
            enabled << uuid;
            QString list;
            for (const QString& item : enabled) {
                list += (list.isEmpty() ? QStringLiteral("[") : QStringLiteral(", ")) + u'\'' +
                        item + u'\'';
            }
            QProcess::startDetached(QStringLiteral("gsettings"),
                                    {QStringLiteral("set"), QStringLiteral("org.gnome.shell"),
                                     QStringLiteral("enabled-extensions"), list + u']'});
        });
        get->start(QStringLiteral("gsettings"),
                   {QStringLiteral("get"), QStringLiteral("org.gnome.shell"),
                    QStringLiteral("enabled-extensions")});
        warn("installed Nivu's GNOME Shell extension in " + target.toStdString() +
             "; GNOME loads it at the next login");
    });
}

void ExtensionLink::awaitRunning(std::chrono::milliseconds timeout) {
    if (running_ || shellBusName().isEmpty()) {
        return;
    }
    // A nested loop, so that the extension's hello is taken while Nivu waits; the shell's
    // answer is awaited there too, since a busy shell may take seconds.
    QEventLoop loop;
    QObject waiting;
    QTimer::singleShot(timeout, &waiting, [&loop] { loop.quit(); });
    callThen(bus_, extensionsCall(QStringLiteral("GetExtensionInfo"), uuid_), &waiting,
             [&loop](const QDBusMessage& reply) {
                 const auto info = qdbus_cast<QVariantMap>(reply.arguments().value(0));
                 if (info.value(QStringLiteral("state")).toDouble() != enabledState) {
                     loop.quit(); // GNOME will not run it before the user's next step
                 }
             });
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (running_) {
            loop.quit();
        }
    });
    check.start(10);
    loop.exec();
}

} // namespace nivu::gnome
