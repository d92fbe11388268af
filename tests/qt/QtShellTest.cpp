// The shell's dialogs and menus: About and the explanation without a window manager, each
// shown once and never blocking; the tray menu's entries as written, and hidden when asked.
#include "qt/QtShell.h"

#include "qt/QtStatusItem.h"

#include <QApplication>
#include <QMessageBox>
#include <gtest/gtest.h>

namespace nivu {
namespace {

QMessageBox* dialogNamed(const char* name) {
    QMessageBox* found = nullptr;
    for (auto* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == QLatin1String(name) && widget->isVisible()) {
            EXPECT_EQ(found, nullptr) << "two " << name << " dialogs";
            found = qobject_cast<QMessageBox*>(widget);
        }
    }
    return found;
}

TEST(QtShellTest, AboutAndTheExplanationShowOnceWithoutBlocking) {
    QApplication::setApplicationVersion(QStringLiteral("1.2.3"));
    QtShell shell([] { return false; });
    shell.showAboutPanel();
    shell.showAboutPanel();
    QMessageBox* about = dialogNamed("about");
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(about->text().contains(QStringLiteral("Nivu")));
    EXPECT_TRUE(about->text().contains(QStringLiteral("1.2.3")));
    EXPECT_FALSE(about->iconPixmap().isNull()) << "the icon resource is there";

    shell.showAccessibilityPrompt();
    shell.showAccessibilityPrompt();
    QMessageBox* prompt = dialogNamed("explanation");
    ASSERT_NE(prompt, nullptr);
    EXPECT_EQ(prompt->windowModality(), Qt::NonModal) << "polling goes on while it is open";
    EXPECT_TRUE(prompt->informativeText().contains(QStringLiteral("EWMH")));
    about->close();
    prompt->close();
}

TEST(QtShellTest, TheTrayMenuShowsTitlesAsWrittenWithoutMnemonicsOrShortcutColumns) {
    QtStatusItem item{PendingDeactivation({})};
    MenuEntry ampersand;
    ampersand.title = "A&B (640 \u00D7 480)";
    MenuEntry tab;
    tab.title = "Wide\tscreen";
    item.setMenu({ampersand, tab});
    item.setEntryHidden(1, true);
    const auto actions = item.menu().actions();
    ASSERT_EQ(actions.size(), 2);
    EXPECT_TRUE(actions[0]->isVisible() && !actions[1]->isVisible());
    EXPECT_EQ(actions[0]->iconText(), QString::fromUtf8("A&B (640 \u00D7 480)"));
    EXPECT_FALSE(actions[1]->text().contains(QLatin1Char('\t'))) << "one entry, not text and key";
}

} // namespace
} // namespace nivu
