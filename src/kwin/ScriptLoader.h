// Loads Nivu's script into KWin over KWin's D-Bus scripting interface, and unloads it.
#pragma once

#include "bridge/CompositorLink.h"

#include <QDBusConnection>
#include <QString>
#include <functional>

namespace nivu::kwin {

class ScriptLoader final : public bridge::CompositorLink {
public:
    // scriptPath: the script's main file, readable by KWin; name: the name it runs under.
    ScriptLoader(QDBusConnection bus, QString scriptPath, QString name);
    ~ScriptLoader() override;

    QString compositorService() const override;
    bool running() const override { return loaded_; }
    // The script calls at once: the bridge takes KWin's calls from the start.
    void start(bridge::ScriptBridge& bridge) override;
    void forget() override { loaded_ = false; }
    // KWin's scripting answers whether the script still runs: any program on the bus may
    // unload it.
    void checkStillRunning(QObject* context, std::function<void()> onDropped) override;

    // Whether KWin is on the session bus now.
    bool kwinPresent() const;
    // KWin's unique bus name, the sender of the script's calls; empty without KWin.
    QString kwinBusName() const;
    // Replaces a script of the same name left by an earlier Nivu and starts ours; false when
    // KWin is absent or refuses.
    bool load();
    void unload();

private:
    bool call(const QString& path, const QString& interface, const QString& method,
              const QVariantList& arguments, QVariant* result = nullptr) const;

    QDBusConnection bus_;
    QString scriptPath_;
    QString name_;
    bool loaded_ = false;
};

} // namespace nivu::kwin
