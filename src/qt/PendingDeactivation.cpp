// Waiting out Qt's delayed deactivation before a menu opens.
#include "qt/PendingDeactivation.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QTimer>
#include <QWindow>
#include <algorithm>

namespace nivu {

PendingDeactivation::PendingDeactivation(std::function<std::uint64_t()> keyboardFocus,
                                         std::chrono::milliseconds bound,
                                         std::function<bool()> qtCountsActive)
    : keyboardFocus_(std::move(keyboardFocus))
    , bound_(bound)
    , qtCountsActive_(qtCountsActive ? std::move(qtCountsActive) : [] {
        return QGuiApplication::applicationState() == Qt::ApplicationActive;
    }) {}

bool PendingDeactivation::focusIsElsewhere() const {
    const std::uint64_t focus = keyboardFocus_();
    const auto windows = QGuiApplication::allWindows();
    return std::none_of(windows.begin(), windows.end(), [focus](QWindow* window) {
        return window->handle() && static_cast<std::uint64_t>(window->winId()) == focus;
    });
}

bool PendingDeactivation::waitOut() {
    if (waiting_) {
        return false;
    }
    if (!keyboardFocus_ || !qtCountsActive_() || !focusIsElsewhere()) {
        return true;
    }
    QEventLoop loop;
    QObject::connect(qGuiApp, &QGuiApplication::applicationStateChanged, &loop,
                     [&loop](Qt::ApplicationState state) {
                         if (state != Qt::ApplicationActive) {
                             loop.quit();
                         }
                     });
    QTimer::singleShot(bound_, &loop, &QEventLoop::quit);
    waiting_ = true;
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    waiting_ = false;
    return true;
}

} // namespace nivu
