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

TEST(PendingDeactivationTest, NoWaitWhenInactiveOrFocusedOrUnaskable) {
    // The offscreen platform never deactivates once a test has activated a window: ask a stand-in.
    EXPECT_FALSE(waitedIn(PendingDeactivation(
        [] { return otherProgramsWindow; }, std::chrono::milliseconds(500), [] { return false; })))
        << "nothing to wait for while Qt counts nivu as inactive";

    ActiveWindow active;
    ASSERT_EQ(QGuiApplication::applicationState(), Qt::ApplicationActive);
    EXPECT_FALSE(waitedIn(PendingDeactivation([&] { return active.id(); })))
        << "the focus is in nivu's own window: it stays active";
    EXPECT_FALSE(waitedIn(PendingDeactivation({})));
}

TEST(PendingDeactivationTest, WaitsUntilQtDeactivatesWhenTheFocusIsElsewhere) {
    ActiveWindow active;
    ASSERT_EQ(QGuiApplication::applicationState(), Qt::ApplicationActive);
    // The offscreen platform never deactivates; announce it the way Qt's xcb plugin ends up doing.
    PendingDeactivation pending([] { return otherProgramsWindow; }, std::chrono::seconds(60));
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

TEST(PendingDeactivationTest, GivesUpAfterItsBound) {
    ActiveWindow active;
    PendingDeactivation pending([] { return otherProgramsWindow; }, std::chrono::milliseconds(20));
    EXPECT_TRUE(pending.waitOut());
    EXPECT_EQ(QGuiApplication::applicationState(), Qt::ApplicationActive)
        << "no deactivation came; the menu opens anyway";
}

} // namespace
} // namespace nivu
