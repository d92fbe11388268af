// Waiting out Qt's delayed deactivation before a menu opens.
#include "qt/PendingDeactivation.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QTimer>
#include <QWindow>
#include <algorithm>

namespace nivu {

PendingDeactivation::PendingDeactivation(std::function<std::uint64_t()> keyboardFocus,
                                         std::chrono::milliseconds bound)
    : keyboardFocus_(std::move(keyboardFocus))
    , bound_(bound) {}

bool PendingDeactivation::focusIsElsewhere() const {
    const std::uint64_t focus = keyboardFocus_();
    const auto windows = QGuiApplication::allWindows();
    return std::none_of(windows.begin(), windows.end(), [focus](QWindow* window) {
        return window->handle() && static_cast<std::uint64_t>(window->winId()) == focus;
    });
}

void PendingDeactivation::waitOut() const {
    if (!keyboardFocus_ || QGuiApplication::applicationState() != Qt::ApplicationActive ||
        !focusIsElsewhere()) {
        return;
    }
    QEventLoop loop;
    QObject::connect(qGuiApp, &QGuiApplication::applicationStateChanged, &loop,
                     [&loop](Qt::ApplicationState state) {
                         if (state != Qt::ApplicationActive) {
                             loop.quit();
                         }
                     });
    QTimer::singleShot(bound_, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

} // namespace nivu
