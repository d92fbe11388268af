// Loading the script: loadScript, then Scripting's start(), which runs it. Every call on the
// way is asynchronous: the access poll asks for a load each second, and a KWin that is busy
// must not stall Nivu's loop for the seconds its answers take.
#include "kwin/ScriptLoader.h"

#include "bridge/BusCalls.h"

#include <QEventLoop>
#include <QTimer>

namespace nivu::kwin {

namespace {
const QString kwinService = QStringLiteral("org.kde.KWin");
const QString scriptingPath = QStringLiteral("/Scripting");
const QString scripting = QStringLiteral("org.kde.kwin.Scripting");

bool answered(const QDBusMessage& reply) {
    return reply.type() == QDBusMessage::ReplyMessage;
}

QDBusMessage scriptingCall(const QString& method, const QVariantList& arguments) {
    auto message = QDBusMessage::createMethodCall(kwinService, scriptingPath, scripting, method);
    message.setArguments(arguments);
    return message;
}
} // namespace

ScriptLoader::ScriptLoader(QDBusConnection bus, QString scriptPath, QString name)
    : bus_(std::move(bus))
    , scriptPath_(std::move(scriptPath))
    , name_(std::move(name)) {}

ScriptLoader::~ScriptLoader() {
    unload();
}

void ScriptLoader::ask(const QString& method, const QVariantList& arguments,
                       std::function<void(const QDBusMessage&)> then) {
    bridge::callThen(bus_, scriptingCall(method, arguments), &lifetime_, std::move(then));
}

void ScriptLoader::load(std::function<void(const QString& kwin)> onKWin,
                        std::function<void()> onEnded) {
    if (loading_) {
        return;
    }
    loaded_ = false;
    if (!bus_.isConnected()) {
        return;
    }
    loading_ = true;
    onEnded_ = std::move(onEnded);
    bridge::ownerThen(bus_, kwinService, &lifetime_,
                      [this, onKWin = std::move(onKWin)](const QString& kwin) {
                          if (kwin.isEmpty()) {
                              return finishLoad(false);
                          }
                          if (onKWin) {
                              onKWin(kwin);
                          }
                          replaceScript();
                      });
}

void ScriptLoader::replaceScript() {
    ask(QStringLiteral("unloadScript"), {name_}, [this](const QDBusMessage&) {
        ask(QStringLiteral("loadScript"), {scriptPath_, name_}, [this](const QDBusMessage& id) {
            if (!answered(id) || id.arguments().value(0).toInt() < 0) {
                return finishLoad(false);
            }
            // Started through Scripting, not through the script's own object at the number
            // loadScript answers: KWin numbers a script by how many it holds, so after an
            // unload that number's object may be another running script's, whose run() returns
            // at once. start() runs every loaded script that does not run yet, ours included,
            // on 5.27 and on 6.
            ask(QStringLiteral("start"), {},
                [this](const QDBusMessage& started) { finishLoad(answered(started)); });
        });
    });
}

void ScriptLoader::finishLoad(bool started) {
    loading_ = false;
    loaded_ = started;
    if (auto ended = std::exchange(onEnded_, nullptr)) {
        ended();
    }
    if (loadEnded_) {
        loadEnded_();
    }
}

void ScriptLoader::awaitLoad(std::chrono::milliseconds timeout) {
    if (!loading_) {
        return;
    }
    QEventLoop loop;
    QTimer::singleShot(timeout, &loop, &QEventLoop::quit);
    loadEnded_ = [&loop] { loop.quit(); };
    loop.exec();
    loadEnded_ = nullptr;
}

QString ScriptLoader::compositorService() const {
    return kwinService;
}

void ScriptLoader::start(bridge::ScriptBridge& bridge, std::function<void()> stepTaken) {
    if (loading_) {
        return;
    }
    bridge.reset();
    load([&bridge](const QString& kwin) { bridge.acceptCallsFrom(kwin); }, std::move(stepTaken));
}

void ScriptLoader::checkStillRunning(QObject* context, std::function<void()> onDropped) {
    bridge::callThen(bus_, scriptingCall(QStringLiteral("isScriptLoaded"), {name_}), context,
                     [onDropped = std::move(onDropped)](const QDBusMessage& reply) {
                         // No answer is KWin's own watch's to tell.
                         if (answered(reply) && !reply.arguments().value(0).toBool()) {
                             onDropped();
                         }
                     });
}

void ScriptLoader::unload() {
    // A load under way is abandoned; KWin may still have started the script, so it goes too.
    qDeleteAll(lifetime_.findChildren<QObject*>(Qt::FindDirectChildrenOnly));
    const bool wasLoaded = std::exchange(loaded_, false);
    if (const bool wasLoading = std::exchange(loading_, false); wasLoaded || wasLoading) {
        bus_.call(scriptingCall(QStringLiteral("unloadScript"), {name_}), QDBus::Block,
                  bridge::busCallTimeoutMilliseconds);
    }
}

} // namespace nivu::kwin
