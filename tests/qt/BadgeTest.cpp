// The badge on the offscreen platform: its text centred, its place beside the pointer, and a
// window that stays out of the way, opaque and shaped without a compositor.
#include "qt/QtIndicatorView.h"
#include "ui/IndicatorPanel.h"

#include <QApplication>
#include <QImage>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

namespace nivu {
namespace {

struct Badge {
    explicit Badge(bool compositing = false) {
        auto owned = std::make_unique<QtIndicatorView>([compositing] { return compositing; });
        view = owned.get();
        panel = std::make_unique<IndicatorPanel>(std::move(owned));
    }
    QtIndicatorView* view;
    std::unique_ptr<IndicatorPanel> panel;
};

// The rest of the event-loop pass in which the badge was ordered front.
void finishPass() {
    QCoreApplication::processEvents();
}

TEST(BadgeTest, ShowsTheRoundedSizeCentredBesideThePointerOnceItIsPlaced) {
    Badge badge;
    QWidget& widget = badge.view->widget();
    const QRect screen = QGuiApplication::primaryScreen()->virtualGeometry();
    badge.panel->show();
    badge.panel->update({1279.5, 719.4});
    badge.panel->moveNearPointer({300, 200}); // y counts up from the bottom of the screen
    EXPECT_FALSE(widget.isVisible()) << "not mapped at its old place";
    finishPass();
    EXPECT_TRUE(widget.isVisible());
    EXPECT_EQ(widget.pos(), QPoint(316, screen.y() + screen.height() - 200 + 16));
    EXPECT_EQ(badge.view->labelText(), QString::fromUtf8("1280 \u00D7 719"));
    EXPECT_EQ(widget.size(), QSize(120, 28));
    EXPECT_LE((badge.view->labelRect().center() - QPoint(60, 14)).manhattanLength(), 2);
    badge.panel->update({123456789012.0, 987654321098.0});
    EXPECT_LT(badge.view->labelRect().x(), 0) << "a wide text stays centred and is clipped";
    EXPECT_LE(std::abs(badge.view->labelRect().center().x() - 60), 1);
    badge.panel->moveNearPointer({static_cast<double>(screen.width()) - 5, 3});
    EXPECT_EQ(widget.pos(), QPoint(screen.width() - 141, screen.y() + screen.height() - 47))
        << "left of and above a pointer in the screen's bottom-right corner";

    for (int width = 640; width < 650; ++width) { // faster than frames: the last one is painted
        badge.panel->update({static_cast<double>(width), 480});
        finishPass();
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return badge.view->paintedText() == "649 \u00D7 480"; }))
        << badge.view->paintedText().toStdString();

    badge.panel->hide();
    badge.panel->show();
    badge.panel->hide();
    finishPass();
    EXPECT_FALSE(widget.isVisible()) << "a show taken back in the same pass never maps";

    badge.panel->show(); // the next resize, after a rest
    badge.panel->update({800, 600});
    EXPECT_TRUE(QTest::qWaitFor([&] { return badge.view->paintedText() == "800 \u00D7 600"; }))
        << "not the last size: " << badge.view->paintedText().toStdString();
}

TEST(BadgeTest, NeverActivatesNivuAndIsOpaqueAndShapedWithoutACompositor) {
    for (const bool compositing : {false, true}) {
        Badge badge(compositing);
        badge.panel->update({640, 480});
        badge.panel->show();
        finishPass();
        QWidget& widget = badge.view->widget();
        EXPECT_EQ(QApplication::activeWindow(), nullptr) << "showing it never activates Nivu";
        const QImage pixels = widget.grab().toImage();
        int white = 0; // the text, across the middle
        for (int x = 0; x < pixels.width(); ++x) {
            white += qGray(pixels.pixel(x, pixels.height() / 2)) > 200;
        }
        EXPECT_GT(white, 5);
        if (compositing) {
            EXPECT_TRUE(widget.mask().isEmpty());
            EXPECT_NEAR(qAlpha(pixels.pixel(60, 3)), 209, 2) << "black at 0.82";
            EXPECT_EQ(qAlpha(pixels.pixel(0, 0)), 0) << "rounded corners are see-through";
        } else {
            EXPECT_FALSE(widget.mask().contains(QPoint(0, 0))) << "corners cut by the shape";
            EXPECT_TRUE(widget.mask().contains(QPoint(60, 14)));
            EXPECT_EQ(qAlpha(pixels.pixel(6, 14)), 255);
            EXPECT_LT(qGray(pixels.pixel(6, 14)), 10);
        }
    }
}

} // namespace
} // namespace nivu
