// Waiting out Qt's delayed deactivation: only while Qt counts nivu as active and the keyboard
// focus is already in another program, and only until Qt has caught up.
#include "qt/PendingDeactivation.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <gtest/gtest.h>

namespace nivu {
namespace {

using namespace std::chrono_literals;
constexpr std::uint64_t otherProgramsWindow = 0x4a00007;

// True when waitOut ran the event loop: a zero timer started before it has fired.
bool waitedIn(PendingDeactivation pending) {
    bool loopRan = false;
    QTimer::singleShot(0, [&loopRan] { loopRan = true; });
    EXPECT_TRUE(pending.waitOut()) << "the menu opens";
    const bool waited = loopRan;
    QCoreApplication::processEvents(); // the timer of a call that did not wait
    return waited;
}

struct ActiveWindow {
    ActiveWindow() {
        widget.show();
        widget.activateWindow();
        QCoreApplication::processEvents();
    }
    std::uint64_t id() { return static_cast<std::uint64_t>(widget.windowHandle()->winId()); }
    QWidget widget;
};

TEST(PendingDeactivationTest,
     WaitsForQtToDeactivateOnlyWhileItCountsNivuActiveAndTheFocusIsElsewhere) {
    ActiveWindow active;
    ASSERT_EQ(QGuiApplication::applicationState(), Qt::ApplicationActive);
    const auto elsewhere = [] { return otherProgramsWindow; };
    // The offscreen platform never deactivates once a window is active: ask a stand-in.
    EXPECT_FALSE(waitedIn(PendingDeactivation(elsewhere, 500ms, [] { return false; })));
    EXPECT_FALSE(waitedIn(PendingDeactivation([&] { return active.id(); }))) << "focus in nivu";
    EXPECT_FALSE(waitedIn(PendingDeactivation({}))) << "nobody to ask";
    EXPECT_TRUE(waitedIn(PendingDeactivation(elsewhere, 20ms))) << "no deactivation: the bound";

    // Until Qt deactivates nivu, announced here the way Qt's xcb plugin ends up doing.
    PendingDeactivation pending(elsewhere, 60s);
    bool announced = false;
    bool secondCallRefused = false;
    QTimer::singleShot(10, [&] {
        secondCallRefused = !pending.waitOut(); // a second press during the wait
        Q_EMIT qGuiApp->applicationStateChanged(Qt::ApplicationActive); // not the awaited change
        QTimer::singleShot(10, [&] {
            announced = true;
            Q_EMIT qGuiApp->applicationStateChanged(Qt::ApplicationInactive);
        });
    });
    QElapsedTimer clock;
    clock.start();
    EXPECT_TRUE(pending.waitOut());
    EXPECT_TRUE(announced);
    EXPECT_TRUE(secondCallRefused) << "one menu, not two";
    EXPECT_LT(clock.elapsed(), 30'000) << "ended by the deactivation, not by the bound";
}

} // namespace
} // namespace nivu
