// Key presses in Nivu's own windows through an event filter on the application.
#include "qt/settings/QtKeyDownMonitors.h"

#include "common/KeyPositions.h"
#include "input/ShortcutSpec.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPointer>
#include <xkbcommon/xkbcommon.h>

namespace nivu {

namespace {
constexpr int xKeycodeToEvdev = 8;
// Key codes without a position of their own never reach the handler as shortcut keys.
constexpr std::uint16_t unknownKey = 0xFFFF;
} // namespace

QtKeyDownMonitors::QtKeyDownMonitors() = default;

QtKeyDownMonitors::~QtKeyDownMonitors() {
    if (installed_ && QCoreApplication::instance()) {
        QCoreApplication::instance()->removeEventFilter(this);
    }
}

std::optional<Subscription>
QtKeyDownMonitors::addLocalKeyDownMonitor(std::function<bool(const KeyDownEvent&)> handler) {
    if (!QCoreApplication::instance()) {
        return std::nullopt;
    }
    const auto id = nextId_++;
    handlers_.emplace(id, std::move(handler));
    updateFilter();
    return Subscription([guard = QPointer<QtKeyDownMonitors>(this), id] {
        if (guard) {
            guard->handlers_.erase(id);
            guard->updateFilter();
        }
    });
}

void QtKeyDownMonitors::updateFilter() {
    const bool wanted = !handlers_.empty();
    if (wanted == installed_) {
        return;
    }
    installed_ = wanted;
    if (wanted) {
        QCoreApplication::instance()->installEventFilter(this);
    } else {
        QCoreApplication::instance()->removeEventFilter(this);
    }
}

KeyDownEvent QtKeyDownMonitors::keyDownEvent(const QKeyEvent& event) {
    KeyDownEvent result;
    const auto position =
        virtualKeyForEvdevCode(static_cast<int>(event.nativeScanCode()) - xKeycodeToEvdev);
    result.keyCode = position.value_or(unknownKey);
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    if (position) {
        if (modifiers & Qt::ShiftModifier) {
            result.modifiers.add(Modifier::shift);
        }
        if (modifiers & Qt::ControlModifier) {
            result.modifiers.add(Modifier::control);
        }
        if (modifiers & Qt::AltModifier) {
            result.modifiers.add(Modifier::option);
        }
        if (modifiers & Qt::MetaModifier) {
            result.modifiers.add(Modifier::command);
        }
    }
    // The keysym already carries Shift (and Caps Lock) but not Control or Alt.
    char utf8[8] = {};
    const int length = xkb_keysym_to_utf8(event.nativeVirtualKey(), utf8, sizeof utf8);
    if (length > 1) {
        result.charactersIgnoringModifiers.assign(utf8, static_cast<std::size_t>(length - 1));
    }
    return result;
}

bool QtKeyDownMonitors::eventFilter(QObject* watched, QEvent* event) {
    if (handlers_.empty() || !watched->isWidgetType()) {
        return QObject::eventFilter(watched, event);
    }
    if (event->type() == QEvent::ShortcutOverride) {
        // Claim the key so that no application shortcut (Ctrl+Q, say) takes it first; the key
        // press that follows comes to the handlers.
        event->accept();
        return true;
    }
    if (event->type() != QEvent::KeyPress) {
        return QObject::eventFilter(watched, event);
    }
    const KeyDownEvent keyDown = keyDownEvent(static_cast<const QKeyEvent&>(*event));
    bool swallowed = false;
    // A handler may end its own monitor: iterate over a copy.
    const auto handlers = handlers_;
    for (const auto& [id, handler] : handlers) {
        if (handlers_.contains(id)) {
            swallowed = handler(keyDown) || swallowed;
        }
    }
    return swallowed;
}

} // namespace nivu
