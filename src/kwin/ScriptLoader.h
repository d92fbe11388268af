// Loads Nivu's script into KWin over KWin's D-Bus scripting interface, and unloads it.
#pragma once

#include "bridge/CompositorLink.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QString>
#include <chrono>
#include <functional>

namespace nivu::kwin {

class ScriptLoader final : public bridge::CompositorLink {
public:
    // scriptPath: the script's main file, readable by KWin; name: the name it runs under.
    ScriptLoader(QDBusConnection bus, QString scriptPath, QString name);
    ~ScriptLoader() override;

    QString compositorService() const override;
    bool running() const override { return loaded_; }
    // The script calls at once: the bridge takes KWin's calls before it starts. stepTaken runs
    // when the load has ended, the script started or not.
    void start(bridge::ScriptBridge& bridge, std::function<void()> stepTaken) override;
    void forget() override { loaded_ = false; }
    // KWin's scripting answers whether the script still runs: any program on the bus may
    // unload it.
    void checkStillRunning(QObject* context, std::function<void()> onDropped) override;

    // Replaces a script of the same name left by an earlier Nivu and starts ours, without
    // waiting for KWin, which may be slow or hung: running() once KWin has started it.
    // onKWin gets KWin's unique bus name, the sender of the script's calls, before that. A
    // load under way is not begun again; one that KWin refuses or never answers ends with
    // loading() false and running() false.
    void load(std::function<void(const QString& kwin)> onKWin = {},
              std::function<void()> onEnded = {});
    bool loading() const { return loading_; }
    // Turns the event loop until a load under way has ended, for at most the timeout: at
    // Nivu's start, which then finds access without explaining first (KWin answers within
    // milliseconds; a KWin that does not also holds up Qt's start on its display).
    void awaitLoad(std::chrono::milliseconds timeout);
    // Waits for KWin's answer: at Nivu's end, so that the script goes first.
    void unload();

private:
    // Calls KWin's scripting; then runs with the answer, or with the error where none came.
    void ask(const QString& method, const QVariantList& arguments,
             std::function<void(const QDBusMessage&)> then);
    // Unloads a script of our name, loads ours and starts it.
    void replaceScript();
    void finishLoad(bool started);

    QDBusConnection bus_;
    QString scriptPath_;
    QString name_;
    bool loaded_ = false;
    bool loading_ = false;
    std::function<void()> onEnded_;   // the load's own
    std::function<void()> loadEnded_; // while one waits for that
    QObject lifetime_; // answers still awaited end with the loader: declared last, gone first
};

} // namespace nivu::kwin
