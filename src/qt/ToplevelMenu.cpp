// A menu as a window of its own, for the Wayland compositors that run Nivu's side.
#include "qt/ToplevelMenu.h"

#include "qt/MenuPointerFilter.h"

#include <QGuiApplication>
#include <QMenu>
#include <QWindow>

namespace nivu {

namespace {
// Closes the menu once Nivu has lost the keyboard after the menu had it. A window of Nivu's
// that takes it meanwhile does not count: a compositor may hand every new window the keyboard,
// the badge too, whose side gives it back.
class CloseWhenNivuLosesTheKeyboard final : public QObject {
public:
    explicit CloseWhenNivuLosesTheKeyboard(QMenu& menu)
        : QObject(&menu)
        , menu_(menu) {
        connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, [this](QWindow* now) {
            if (!menu_.isVisible()) {
                hadKeyboard_ = false;
            } else if (now && now == menu_.windowHandle()) {
                hadKeyboard_ = true;
            } else if (!now && hadKeyboard_) {
                hadKeyboard_ = false;
                menu_.hide(); // ends exec(), as a chosen entry does
            }
        });
    }

private:
    QMenu& menu_;
    bool hadKeyboard_ = false;
};
} // namespace

void makeToplevel(QMenu& menu) {
    menu.setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    new CloseWhenNivuLosesTheKeyboard(menu);
    menu.installEventFilter(new MenuPointerFilter(&menu));
}

} // namespace nivu
