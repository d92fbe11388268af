// Key presses in Nivu's own windows through an event filter on the application, which sees
// them (and the shortcut check before them) ahead of every widget.
#pragma once

#include "platform/KeyDownMonitors.h"

#include <QObject>
#include <map>

class QKeyEvent;

namespace nivu {

class QtKeyDownMonitors final : public QObject, public KeyDownMonitors {
public:
    QtKeyDownMonitors();
    ~QtKeyDownMonitors() override;

    std::optional<Subscription>
    addLocalKeyDownMonitor(std::function<bool(const KeyDownEvent&)> handler) override;

    // The core's view of a Qt key event: key position from the native scan code, modifiers
    // with Super as Command and Alt as Option, and the key's characters without Control/Alt.
    static KeyDownEvent keyDownEvent(const QKeyEvent& event);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void updateFilter();

    std::map<std::uint64_t, std::function<bool(const KeyDownEvent&)>> handlers_;
    std::uint64_t nextId_ = 0;
    bool installed_ = false;
};

} // namespace nivu
