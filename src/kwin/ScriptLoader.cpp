// Loading the script: loadScript, then Scripting's start(), which runs it.
#include "kwin/ScriptLoader.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace nivu::kwin {

namespace {
const QString kwinService = QStringLiteral("org.kde.KWin");
const QString scripting = QStringLiteral("org.kde.kwin.Scripting");
constexpr int callTimeoutMilliseconds = 3000;
} // namespace

ScriptLoader::ScriptLoader(QDBusConnection bus, QString scriptPath, QString name)
    : bus_(std::move(bus))
    , scriptPath_(std::move(scriptPath))
    , name_(std::move(name)) {}

ScriptLoader::~ScriptLoader() {
    unload();
}

bool ScriptLoader::kwinPresent() const {
    return !kwinBusName().isEmpty();
}

QString ScriptLoader::kwinBusName() const {
    if (!bus_.isConnected() || !bus_.interface()) {
        return {};
    }
    const auto owner = bus_.interface()->serviceOwner(kwinService);
    return owner.isValid() ? owner.value() : QString();
}

bool ScriptLoader::call(const QString& path, const QString& interface, const QString& method,
                        const QVariantList& arguments, QVariant* result) const {
    auto message = QDBusMessage::createMethodCall(kwinService, path, interface, method);
    message.setArguments(arguments);
    const QDBusMessage reply = bus_.call(message, QDBus::Block, callTimeoutMilliseconds);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        return false;
    }
    if (result) {
        *result = reply.arguments().value(0);
    }
    return true;
}

bool ScriptLoader::load() {
    loaded_ = false;
    if (!kwinPresent()) {
        return false;
    }
    call(QStringLiteral("/Scripting"), scripting, QStringLiteral("unloadScript"), {name_});
    QVariant id;
    if (!call(QStringLiteral("/Scripting"), scripting, QStringLiteral("loadScript"),
              {scriptPath_, name_}, &id) ||
        id.toInt() < 0) {
        return false;
    }
    // Started through Scripting, not through the script's own object at the number loadScript
    // answers: KWin numbers a script by how many it holds, so after an unload that number's
    // object may be another running script's, whose run() returns at once. start() runs every
    // loaded script that does not run yet, ours included, on 5.27 and on 6.
    loaded_ = call(QStringLiteral("/Scripting"), scripting, QStringLiteral("start"), {});
    return loaded_;
}

QString ScriptLoader::compositorService() const {
    return kwinService;
}

void ScriptLoader::start(bridge::ScriptBridge& bridge) {
    bridge.reset();
    bridge.acceptCallsFrom(kwinBusName());
    load();
}

void ScriptLoader::checkStillRunning(QObject* context, std::function<void()> onDropped) {
    auto message = QDBusMessage::createMethodCall(kwinService, QStringLiteral("/Scripting"),
                                                  scripting, QStringLiteral("isScriptLoaded"));
    message.setArguments({name_});
    auto* watcher =
        new QDBusPendingCallWatcher(bus_.asyncCall(message, callTimeoutMilliseconds), context);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                     [watcher, onDropped = std::move(onDropped)] {
                         watcher->deleteLater();
                         const QDBusPendingReply<bool> reply = *watcher;
                         if (reply.isValid() && !reply.value()) { // no answer: KWin's own watch
                             onDropped();
                         }
                     });
}

void ScriptLoader::unload() {
    if (std::exchange(loaded_, false)) {
        call(QStringLiteral("/Scripting"), scripting, QStringLiteral("unloadScript"), {name_});
    }
}

} // namespace nivu::kwin
