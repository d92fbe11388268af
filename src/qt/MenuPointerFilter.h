// The pointer in a menu of Nivu's on Wayland, measured in the menu's own coordinates.
//
// A menu follows the pointer, and takes a press as a choice, only once the pointer has moved
// from where the menu opened. Qt measures that against the pointer's last known place on the
// screen, which a Wayland program learns only over its own windows, so at times long ago:
// - the compositor's first report of the resting pointer inside the menu, late under load,
//   counted as a move and took the keyboard's choice away (arrow keys typed at once chose the
//   wrong preset, or none);
// - a click on an entry where the last click in a window of Nivu's had been (the same preset
//   chosen again from the same place) counted as a press without a move, and closed the menu.
// Here the pointer moves once it leaves the place it entered the menu at, and a press and a
// release on the same entry choose it.
#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <optional>

class QAction;

namespace nivu {

class MenuPointerFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::optional<QPoint> restingAt_; // where the pointer was first seen in the menu
    bool moved_ = false;
    QPointer<QAction> pressed_; // the entry under the last press
};

} // namespace nivu
