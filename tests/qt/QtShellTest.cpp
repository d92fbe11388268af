// The shell's dialogs and menus: About and the explanation of missing window access, each
// shown once and never blocking; the tray menu's entries as written, and hidden when asked.
#include "qt/QtShell.h"

#include "qt/QtStatusItem.h"
#include "qt/Translations.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <gtest/gtest.h>

namespace nivu {
namespace {

template <typename Dialog = QWidget> Dialog* dialogNamed(const char* name) {
    Dialog* found = nullptr;
    for (auto* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == QLatin1String(name) && widget->isVisible()) {
            EXPECT_EQ(found, nullptr) << "two " << name << " dialogs";
            found = qobject_cast<Dialog*>(widget);
        }
    }
    return found;
}

TEST(QtShellTest, AboutAndTheExplanationShowOnceWithoutBlocking) {
    QApplication::setApplicationVersion(QStringLiteral("1.2.3"));
    QtShell shell([] { return false; });
    for (const QLocale& locale : {QLocale(QLocale::English), QLocale(QLocale::Japanese)}) {
        ASSERT_TRUE(installTranslations(*qApp, locale));
        shell.showAboutPanel();
        shell.showAboutPanel();
        QWidget* about = dialogNamed("about");
        ASSERT_NE(about, nullptr);
        EXPECT_EQ(about->findChild<QLabel*>("name")->text(), QStringLiteral("Nivu 1.2.3"));
        EXPECT_FALSE(about->findChild<QLabel*>("icon")->pixmap().isNull()) << "the icon is there";
        const QLabel* summary = about->findChild<QLabel*>("summary");
        EXPECT_FALSE(summary->wordWrap());
        EXPECT_GE(summary->width(), summary->sizeHint().width()) << "one whole line";
        EXPECT_NE(summary->text().contains(QStringLiteral("プリセット")),
                  locale.language() == QLocale::English);
        const auto buttons = about->findChild<QDialogButtonBox*>()->buttons();
        ASSERT_EQ(buttons.size(), 1);
        EXPECT_TRUE(buttons[0]->icon().isNull()) << "no stock icon on OK";
        about->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    removeTranslations();

    shell.showAccessibilityPrompt();
    shell.showAccessibilityPrompt();
    QMessageBox* prompt = dialogNamed<QMessageBox>("explanation");
    ASSERT_NE(prompt, nullptr);
    EXPECT_EQ(prompt->windowModality(), Qt::NonModal) << "polling goes on while it is open";
    EXPECT_TRUE(prompt->informativeText().contains(QStringLiteral("EWMH")));
    prompt->close();

    // On Plasma's Wayland session what is missing is KWin's scripting, not a window manager.
    QtShell plasma([] { return true; });
    plasma.explainAccessAs(AccessNeed::kwinScript);
    plasma.showAccessibilityPrompt();
    prompt = dialogNamed<QMessageBox>("explanation");
    ASSERT_NE(prompt, nullptr);
    EXPECT_TRUE(prompt->text().contains(QStringLiteral("KWin")));
    EXPECT_FALSE(prompt->informativeText().contains(QStringLiteral("window manager")));
    prompt->close();
}

// GNOME's refusal, learnt while the explanation is open: said at once, in the user's language,
// with GNOME's own words where it gave some.
TEST(QtShellTest, TheExplanationSaysWhyGnomeRefusesTheExtension) {
    const struct {
        QLocale locale;
        const char* says;
    } rows[] = {
        {QLocale(QLocale::English), "after an error: SyntaxError: x. Update Nivu"},
        {QLocale(QLocale::Japanese), "エラーのため Nivu の拡張機能を止めました: SyntaxError: x"}};
    for (const auto& row : rows) {
        ASSERT_TRUE(installTranslations(*qApp, row.locale));
        QtShell gnome([] { return true; });
        gnome.explainAccessAs(AccessNeed::gnomeExtension);
        gnome.showAccessibilityPrompt();
        QMessageBox* prompt = dialogNamed<QMessageBox>("explanation");
        ASSERT_NE(prompt, nullptr);
        gnome.explainAccessRefusal(
            Text::tr("GNOME stopped Nivu's extension after an error: %1. Update Nivu, then "
                     "log out and back in once.",
                     "拡張機能がエラーで止められたことの説明"),
            QStringLiteral("SyntaxError: x"));
        EXPECT_TRUE(prompt->informativeText().contains(QString::fromUtf8(row.says)))
            << prompt->informativeText().toStdString();
        prompt->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    removeTranslations();
}

TEST(QtShellTest, TheTrayMenuShowsTitlesAsWrittenWithoutMnemonicsOrShortcutColumns) {
    QtStatusItem item{PendingDeactivation({})};
    MenuEntry ampersand;
    ampersand.title = "A&B (640 \u00D7 480)";
    MenuEntry tab;
    tab.title = "Wide\tscreen";
    // A long name is shortened in the middle; its size and the name's ends stay.
    const std::string name = "Begin" + std::string(300, 'x') + "End";
    MenuEntry longName;
    longName.title = name + " (640 \u00D7 480)";
    longName.elidableLength = name.size();
    item.setMenu({ampersand, tab, longName});
    item.setEntryHidden(1, true);
    const auto actions = item.menu().actions();
    ASSERT_EQ(actions.size(), 3);
    EXPECT_TRUE(actions[0]->isVisible() && !actions[1]->isVisible());
    EXPECT_EQ(actions[0]->iconText(), QString::fromUtf8("A&B (640 \u00D7 480)"));
    EXPECT_FALSE(actions[1]->text().contains(QLatin1Char('\t'))) << "one entry, not text and key";
    EXPECT_TRUE(actions[2]->text().startsWith(QStringLiteral("Begin")) &&
                actions[2]->text().endsWith(QString::fromUtf8("End (640 \u00D7 480)")) &&
                actions[2]->text().contains(QChar(0x2026)))
        << actions[2]->text().toStdString();
    const QFontMetrics metrics = item.menu().fontMetrics();
    EXPECT_LE(metrics.horizontalAdvance(actions[2]->text()),
              50 * metrics.horizontalAdvance(QLatin1Char('x')));
    EXPECT_EQ(actions[2]->toolTip().toStdString(), longName.title) << "the whole name";
}

} // namespace
} // namespace nivu
