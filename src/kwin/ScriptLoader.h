// Loads Nivu's script into KWin over KWin's D-Bus scripting interface, and unloads it.
#pragma once

#include <QDBusConnection>
#include <QString>
#include <functional>

namespace nivu::kwin {

class ScriptLoader {
public:
    // scriptPath: the script's main file, readable by KWin; name: the name it runs under.
    ScriptLoader(QDBusConnection bus, QString scriptPath, QString name);
    ScriptLoader(const ScriptLoader&) = delete;
    ScriptLoader& operator=(const ScriptLoader&) = delete;
    ~ScriptLoader();

    // Whether KWin is on the session bus now.
    bool kwinPresent() const;
    // KWin's unique bus name, the sender of the script's calls; empty without KWin.
    QString kwinBusName() const;
    // Replaces a script of the same name left by an earlier Nivu and starts ours; false when
    // KWin is absent or refuses.
    bool load();
    void unload();
    bool isLoaded() const { return loaded_; }
    // KWin went away, or dropped the script: nothing is loaded any more.
    void forget() { loaded_ = false; }
    // Asks KWin, without waiting, whether the script still runs: any program on the bus may
    // unload it. onDropped runs when KWin says it does not; the call ends with context.
    void checkStillLoaded(QObject* context, std::function<void()> onDropped) const;

private:
    bool call(const QString& path, const QString& interface, const QString& method,
              const QVariantList& arguments, QVariant* result = nullptr) const;

    QDBusConnection bus_;
    QString scriptPath_;
    QString name_;
    bool loaded_ = false;
};

} // namespace nivu::kwin
