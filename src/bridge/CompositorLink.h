// What differs between compositors in bringing up Nivu's side inside them: KWin loads a script
// on request; GNOME Shell runs an extension that is installed and enabled once and reports in
// whenever Nivu's service appears.
#pragma once

#include "bridge/ScriptBridge.h"

#include <QObject>
#include <QString>
#include <functional>

namespace nivu::bridge {

class CompositorLink {
public:
    CompositorLink() = default;
    CompositorLink(const CompositorLink&) = delete;
    CompositorLink& operator=(const CompositorLink&) = delete;
    virtual ~CompositorLink() = default;

    // The compositor's well-known name on the session bus, watched for its going away.
    virtual QString compositorService() const = 0;
    // Whether Nivu's side runs in the compositor now; asking changes nothing.
    virtual bool running() const = 0;
    // Brings Nivu's side up where it does not run, with the bridge made ready for its calls:
    // the permission flow's own step. It may take a while, or a new login; stepTaken runs
    // where it ends within this run of Nivu, later on the main loop.
    virtual void start(ScriptBridge& bridge, std::function<void()> stepTaken) = 0;
    // The compositor went away or dropped Nivu's side: nothing runs any more.
    virtual void forget() = 0;
    // Whether Nivu's side says goodbye itself when it stops; then nothing asks in between.
    virtual bool saysGoodbye() const { return false; }
    // Asks, without waiting, whether Nivu's side still runs; onDropped runs when it does not.
    // The question ends with context.
    virtual void checkStillRunning(QObject* context, std::function<void()> onDropped) = 0;
};

} // namespace nivu::bridge
