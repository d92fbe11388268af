// The Qt badge: text, centring, placement on the screen, and a window that stays out of the way.
#include "qt/QtIndicatorView.h"

#include "ui/IndicatorPanel.h"

#include <QApplication>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QImage>
#include <QScreen>
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

TEST(QtIndicatorViewTest, ShowsTheRoundedSizeCentredInTheBadge) {
    Badge badge;
    badge.panel->update({1279.5, 719.4});
    EXPECT_EQ(badge.view->labelText(), QString::fromUtf8("1280 \u00D7 719"));
    const QRect label = badge.view->labelRect();
    EXPECT_EQ(badge.view->widget().size(), QSize(120, 28));
    EXPECT_LE(std::abs(label.center().x() - 60), 1);
    EXPECT_LE(std::abs(label.center().y() - 14), 1);

    badge.panel->update({123456789012.0, 987654321098.0});
    EXPECT_LT(badge.view->labelRect().x(), 0) << "a wide text stays centred and is clipped";
    EXPECT_LE(std::abs(badge.view->labelRect().center().x() - 60), 1);
}

TEST(QtIndicatorViewTest, PlacementConvertsFromScreenCoordinatesWithYUp) {
    Badge badge;
    const QRect screen = QGuiApplication::primaryScreen()->virtualGeometry();
    const int bottom = screen.y() + screen.height();
    badge.panel->moveNearPointer({500, 400}); // the pointer is 400 points above the bottom
    EXPECT_EQ(badge.view->widget().pos(), QPoint(516, bottom - 400 + 16));
    badge.panel->moveNearPointer({static_cast<double>(screen.width()) - 5, 3});
    EXPECT_EQ(badge.view->widget().pos().x(), screen.width() + 11) << "no clamping";
}

TEST(QtIndicatorViewTest, AppearsOnlyOnceItIsPlacedAndNotAtAllWhenHiddenAtOnce) {
    Badge badge;
    const QRect screen = QGuiApplication::primaryScreen()->virtualGeometry();
    QWidget& widget = badge.view->widget();
    badge.panel->show();
    badge.panel->update({640, 480});
    badge.panel->moveNearPointer({300, 200});
    EXPECT_FALSE(widget.isVisible()) << "not mapped at its old place";
    finishPass();
    EXPECT_TRUE(widget.isVisible());
    EXPECT_EQ(widget.pos(), QPoint(316, screen.y() + screen.height() - 200 + 16));

    badge.panel->hide();
    badge.panel->show();
    badge.panel->hide();
    finishPass();
    EXPECT_FALSE(widget.isVisible()) << "a show taken back in the same pass never maps";
    badge.panel->show();
    badge.panel->show();
    finishPass();
    EXPECT_TRUE(widget.isVisible());
}

TEST(QtIndicatorViewTest, BadgeNeverActivatesNivuAndIsOpaqueAndShapedWithoutCompositor) {
    Badge badge;
    badge.panel->update({640, 480});
    badge.panel->show();
    finishPass();
    QWidget& widget = badge.view->widget();
    EXPECT_TRUE(widget.isVisible());
    EXPECT_EQ(QApplication::activeWindow(), nullptr) << "showing it never activates Nivu";
    EXPECT_FALSE(widget.mask().contains(QPoint(0, 0))) << "corners cut by the window shape";
    EXPECT_TRUE(widget.mask().contains(QPoint(60, 14)));

    const QImage pixels = widget.grab().toImage();
    EXPECT_EQ(qAlpha(pixels.pixel(6, 14)), 255) << "opaque without a compositor";
    EXPECT_LT(qGray(pixels.pixel(6, 14)), 10);
    badge.panel->hide();
    EXPECT_FALSE(widget.isVisible());
}

TEST(QtIndicatorViewTest, TranslucentUnderACompositor) {
    Badge badge(/*compositing=*/true);
    badge.panel->update({640, 480});
    badge.panel->show();
    finishPass();
    EXPECT_TRUE(badge.view->widget().mask().isEmpty());
    const QImage pixels = badge.view->widget().grab().toImage();
    EXPECT_NEAR(qAlpha(pixels.pixel(60, 3)), 209, 2) << "black at 0.82";
    EXPECT_EQ(qAlpha(pixels.pixel(0, 0)), 0) << "rounded corners are see-through";
}

} // namespace
} // namespace nivu
