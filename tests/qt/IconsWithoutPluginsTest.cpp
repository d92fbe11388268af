// Nivu's icons on a Qt that finds no plugin but its platform, as on a desktop that lacks the
// SVG image plugins: the tray icon is still drawn, and a missing one is reported.
#include "qt/QtStatusItem.h"
#include "qt/SvgIcon.h"

#include <QApplication>
#include <QImage>
#include <QLibraryInfo>
#include <gtest/gtest.h>

namespace nivu {
namespace {

int paintedPixels(const QIcon& icon) {
    const QImage image = icon.pixmap(22, 22).toImage();
    int painted = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            painted += qAlpha(image.pixel(x, y)) > 0;
        }
    }
    return painted;
}

TEST(IconsWithoutPluginsTest, TheTrayIconIsDrawnAndAMissingOneReported) {
    QtStatusItem item{PendingDeactivation({})};
    ASSERT_TRUE(item.setImage("MenuBarIcon", "Nivu"));
    EXPECT_GT(paintedPixels(item.trayIcon().icon()), 50);
    EXPECT_GT(paintedPixels(svgIcon(QStringLiteral(":/icons/minus.circle.svg"))), 20);
    EXPECT_FALSE(item.setImage("missing", "Nivu"));
    EXPECT_GT(paintedPixels(item.trayIcon().icon()), 50) << "the last icon stays";
}

} // namespace
} // namespace nivu

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv(
        "QT_QPA_PLATFORM_PLUGIN_PATH",
        (QLibraryInfo::path(QLibraryInfo::PluginsPath) + QStringLiteral("/platforms")).toUtf8());
    QCoreApplication::setLibraryPaths({}); // no image or icon-engine plugin will be found
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
