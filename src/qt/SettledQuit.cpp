// Hiding each window at its update request before the application quits.
#include "qt/SettledQuit.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <utility>
#include <vector>

namespace nivu {

namespace {

// Lives from the quit's start to its end, then deletes itself.
class FrameSettler : public QObject {
public:
    FrameSettler(const QWidgetList& windows, std::chrono::milliseconds bound) {
        for (QWidget* window : windows) {
            // A paint after the last frame's answer would ask for a frame callback again.
            window->setUpdatesEnabled(false);
            windows_.emplace_back(window);
            window->windowHandle()->installEventFilter(this);
        }
        QTimer::singleShot(bound, this, [this] { finish(); });
        for (QWidget* window : windows) {
            window->windowHandle()->requestUpdate();
        }
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::UpdateRequest) {
            return false;
        }
        const auto found = std::find_if(windows_.begin(), windows_.end(), [&](const auto& window) {
            return window && window->windowHandle() == watched;
        });
        if (found != windows_.end()) {
            hide(*found);
        }
        if (std::all_of(windows_.begin(), windows_.end(),
                        [](const QPointer<QWidget>& window) { return window.isNull(); })) {
            finish();
        }
        return true;
    }

private:
    void hide(QPointer<QWidget>& window) {
        window->windowHandle()->removeEventFilter(this);
        std::exchange(window, nullptr)->hide();
    }

    void finish() {
        if (finished_) {
            return;
        }
        finished_ = true;
        // The compositor did not answer in time (a window it does not paint): hide them anyway.
        for (QPointer<QWidget>& window : windows_) {
            if (window) {
                hide(window);
            }
        }
        QCoreApplication::quit();
        deleteLater();
    }

    std::vector<QPointer<QWidget>> windows_;
    bool finished_ = false;
};

} // namespace

void hideAsFramesSettleThenQuit(const QWidgetList& windows, std::chrono::milliseconds bound) {
    if (windows.isEmpty()) {
        QCoreApplication::quit();
        return;
    }
    new FrameSettler(windows, bound);
}

void quitOnceFramesSettle(std::chrono::milliseconds bound) {
    if (QGuiApplication::platformName() != QLatin1String("wayland")) {
        QCoreApplication::quit();
        return;
    }
    QWidgetList shown;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible() && window->windowHandle()) {
            shown.append(window);
        }
    }
    hideAsFramesSettleThenQuit(shown, bound);
}

} // namespace nivu
