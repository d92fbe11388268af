// Nivu's GNOME Shell extension as the compositor side: it runs once GNOME has loaded and
// enabled it, and reports in ("hello") whenever Nivu's service appears. Bringing it up is the
// permission flow's step: enabling it where GNOME knows it; else installing it into the user's
// extensions (from a build tree) and adding it to the enabled ones, which GNOME loads at the
// next login.
#pragma once

#include "bridge/CompositorLink.h"
#include "common/Signal.h"
#include "gnome/ExtensionRefusal.h"

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <chrono>

namespace nivu::gnome {

class ExtensionLink final : public bridge::CompositorLink {
public:
    // bundled: the folder that holds the extension's kinds (legacy/, module/) beside a program
    // run from its build tree; empty or missing for an installed Nivu.
    ExtensionLink(QDBusConnection bus, bridge::ScriptBridge& bridge, QString uuid, QString bundled);

    QString compositorService() const override;
    bool running() const override { return running_; }
    // stepTaken runs when the extension says hello within this run.
    void start(bridge::ScriptBridge& bridge, std::function<void()> stepTaken) override;
    void forget() override { running_ = false; }
    // The extension says goodbye when it is turned off, and the shell's name is watched.
    bool saysGoodbye() const override { return true; }
    void checkStillRunning(QObject*, std::function<void()>) override {}

    // GNOME Shell's unique bus name, the sender of the extension's calls; empty without it.
    QString shellBusName() const;
    // Where GNOME says the extension is enabled, waits up to the timeout for it to report in:
    // Nivu's start then finds access at once.
    void awaitRunning(std::chrono::milliseconds timeout);

    // Called where GNOME will not run the extension: why and what to do, with the text's "%1".
    std::function<void(TextKey why, const QString& detail)> onRefused;

private:
    void takeStep(const QVariantMap& info);
    void enable();
    void refuse(ExtensionRefusal refusal, const QString& detail);
    // Copies Nivu's own extension into the user's extensions, in the kind the shell loads, in
    // place of an older copy where replacing.
    void install(bool replacing);
    QString userCopy() const;
    // Run from its build tree, beside the extension's kinds.
    bool fromBuildTree() const;
    // The folder of the extension that comes with Nivu; empty where there is none.
    QString ownCopy(const QString& kind) const;
    // Its metadata's version; 0 where there is none.
    double ownVersion() const;

    QDBusConnection bus_;
    QString uuid_;
    QString bundled_;
    bool running_ = false;
    bool stepTaken_ = false; // once per run: the step's outcome needs no repeating
    bool asking_ = false;    // the shell's answers are awaited: no second question
    std::function<void()> onRunning_;
    Subscription reports_;
    QObject lifetime_; // the answers still awaited end with this
};

} // namespace nivu::gnome
