// The pointer in a menu of Nivu's on Wayland, measured in the menu's own coordinates.
#include "qt/MenuPointerFilter.h"

#include <QApplication>
#include <QMenu>
#include <QMouseEvent>

namespace nivu {

bool MenuPointerFilter::eventFilter(QObject* watched, QEvent* event) {
    auto* menu = qobject_cast<QMenu*>(watched);
    if (!menu) {
        return QObject::eventFilter(watched, event);
    }
    switch (event->type()) {
    case QEvent::Show: // a menu opened again: the pointer rests until it moves in this opening
        restingAt_.reset();
        moved_ = false;
        pressed_ = nullptr;
        return false;
    case QEvent::MouseMove: {
        const auto* move = static_cast<const QMouseEvent*>(event);
        const QPoint at = move->position().toPoint();
        if (!moved_ && move->buttons() == Qt::NoButton &&
            (!restingAt_ ||
             (at - *restingAt_).manhattanLength() < QApplication::startDragDistance())) {
            restingAt_ = restingAt_.value_or(at);
            return true;
        }
        moved_ = true;
        return false;
    }
    case QEvent::Leave: // only the menu moved, away from the pointer
        return !moved_;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease: {
        const auto* click = static_cast<const QMouseEvent*>(event);
        if (click->button() != Qt::LeftButton) {
            return false;
        }
        moved_ = true;
        QAction* under = menu->actionAt(click->position().toPoint());
        if (event->type() == QEvent::MouseButtonPress) {
            pressed_ = under;
            menu->setActiveAction(under);
        } else if (under && under == pressed_ && under->isEnabled() && !under->isSeparator()) {
            menu->hide(); // as a chosen entry closes a menu, before its action runs
            under->trigger();
        }
        return true;
    }
    default:
        return false;
    }
}

} // namespace nivu
