// The shell's dialogs: About with name, version, icon and description; the explanation shown
// without a window manager; one of each at a time.
#include "qt/QtShell.h"

#include <QApplication>
#include <QMessageBox>
#include <gtest/gtest.h>

namespace nivu {
namespace {

TEST(QtShellTest, AboutShowsNameVersionIconAndDescriptionOnce) {
    QApplication::setApplicationVersion(QStringLiteral("1.2.3"));
    QtShell shell([] { return false; });
    shell.showAboutPanel();
    QMessageBox* about = shell.aboutPanel();
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(about->isVisible());
    EXPECT_TRUE(about->text().contains(QStringLiteral("Nivu")));
    EXPECT_TRUE(about->text().contains(QStringLiteral("1.2.3")));
    EXPECT_FALSE(about->informativeText().isEmpty());
    EXPECT_FALSE(about->iconPixmap().isNull()) << "the icon resource is there";
    shell.showAboutPanel();
    EXPECT_EQ(shell.aboutPanel(), about) << "raised, not opened twice";
}

TEST(QtShellTest, ExplanationDoesNotBlockAndNamesWhatIsNeeded) {
    QtShell shell([] { return false; });
    shell.showAccessibilityPrompt();
    QMessageBox* prompt = shell.accessibilityPrompt();
    ASSERT_NE(prompt, nullptr);
    EXPECT_TRUE(prompt->isVisible());
    EXPECT_EQ(prompt->windowModality(), Qt::NonModal) << "polling goes on while it is open";
    EXPECT_TRUE(prompt->informativeText().contains(QStringLiteral("EWMH")));
}

} // namespace
} // namespace nivu
