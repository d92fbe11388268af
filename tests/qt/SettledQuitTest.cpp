// Quitting hides each shown window once its update request comes (no frame of it pending), or
// at the bound for a window whose frame is never answered, and quits only then.
#include "qt/SettledQuit.h"

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <gtest/gtest.h>
#include <optional>

namespace nivu {
namespace {

using namespace std::chrono_literals;

// Calls a function on the events of one kind that reach an object, before anyone else sees
// them; swallows them when told to.
class EventSpy : public QObject {
public:
    EventSpy(QObject* watched, QEvent::Type type, std::function<bool()> onEvent)
        : type_(type)
        , onEvent_(std::move(onEvent)) {
        watched->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        return event->type() == type_ && onEvent_();
    }

private:
    QEvent::Type type_;
    std::function<bool()> onEvent_;
};

TEST(SettledQuitTest, HidesEachWindowAtItsUpdateRequestOrAtTheBoundAndQuitsOnlyThen) {
    QWidget answered;
    QWidget neverAnswered;
    for (QWidget* widget : {&answered, &neverAnswered}) {
        widget->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(widget));
    }
    std::vector<QWidget*> hidden;
    EventSpy answeredHides(&answered, QEvent::Hide,
                           [&] { return hidden.push_back(&answered), false; });
    EventSpy neverAnsweredHides(&neverAnswered, QEvent::Hide,
                                [&] { return hidden.push_back(&neverAnswered), false; });
    std::vector<QWidget*> shownAtQuit;
    EventSpy quit(qApp, QEvent::Quit, [&] {
        for (QWidget* widget : {&answered, &neverAnswered}) {
            if (widget->isVisible()) {
                shownAtQuit.push_back(widget);
            }
        }
        return false;
    });

    std::optional<EventSpy> unanswered;
    QTimer::singleShot(0, [&] {
        hideAsFramesSettleThenQuit({&neverAnswered, &answered}, 300ms);
        // A compositor that does not answer this window's frame: no update request reaches it.
        unanswered.emplace(neverAnswered.windowHandle(), QEvent::UpdateRequest,
                           [] { return true; });
    });
    QApplication::exec();

    EXPECT_EQ(hidden, (std::vector<QWidget*>{&answered, &neverAnswered}))
        << "the answered window at its request, the other at the bound";
    EXPECT_TRUE(shownAtQuit.empty()) << "quit only after both were hidden";
}

} // namespace
} // namespace nivu
