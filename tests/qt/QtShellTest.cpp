// The shell's dialogs and menus: About with name, version, icon and description; the explanation
// without a window manager; one of each at a time; menu titles as written.
#include "qt/QtShell.h"

#include "qt/QtMenus.h"

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

TEST(QtMenusTest, TitlesShowAsWrittenWithoutMnemonicsOrShortcutColumns) {
    QMenu menu;
    MenuEntry ampersand;
    ampersand.title = "A&B (640 \u00D7 480)";
    MenuEntry tab;
    tab.title = "Wide\tscreen";
    const auto actions = populateMenu(menu, {ampersand, tab});
    EXPECT_EQ(actions[0]->iconText(), QString::fromUtf8("A&B (640 \u00D7 480)"));
    EXPECT_FALSE(actions[1]->text().contains(QLatin1Char('\t'))) << "one entry, not text and key";
}

} // namespace
} // namespace nivu
