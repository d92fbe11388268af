// The shell's dialogs and menus: About and the explanation of missing window access, each
// shown once and never blocking; the tray menu's entries as written, and hidden when asked;
// the preset menu's keyboard choice while the pointer rests where it opened; on Wayland, the
// badge and the menus as windows of their own.
#include "qt/QtShell.h"

#include "qt/DesktopCoordinates.h"
#include "qt/QtIndicatorView.h"
#include "qt/QtStatusItem.h"
#include "qt/ToplevelMenu.h"
#include "qt/Translations.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <gtest/gtest.h>
#include <optional>

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

// The menu of that title that Nivu shows, if any.
QMenu* shownMenu(const QString& title) {
    for (auto* widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible() && widget->windowTitle() == title) {
            return qobject_cast<QMenu*>(widget);
        }
    }
    return nullptr;
}

// Where Qt last saw the pointer: over another window of Nivu's, far from where menus open.
struct PointerSeenElsewhere {
    PointerSeenElsewhere() {
        window.setGeometry(0, 0, 40, 40);
        window.show();
        QTest::mouseMove(window.windowHandle(), QPoint(10, 10));
    }
    QWidget window;
};

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

// On Wayland Qt knows the pointer only over Nivu's windows, and its last place there may be long
// ago. Arrow keys typed as the menu opens under the pointer choose the preset, though the
// pointer's first report in the menu comes after them and far from where Qt last saw it; once
// the pointer moves, the menu follows it; a click on an entry chooses it, also where Qt last saw
// a press (the same preset chosen again from the same place).
TEST(QtShellTest, OnWaylandThePresetMenuFollowsThePointerOnlyOnceItMoves) {
    const struct {
        const char* why;
        std::optional<QPoint> to; // from the menu's corner, where it enters; none: the 5th entry
        bool click;               // on the 5th entry, instead of Return
        int chosen;
    } rows[] = {
        {"the pointer rests at the corner", QPoint(0, 0), false, 2},
        {"it trembles by a pixel", QPoint(1, 1), false, 2},
        {"it moves onto the fifth entry", std::nullopt, false, 4},
        {"a click on the fifth entry", std::nullopt, true, 4},
        {"the same click again, where Qt last saw a press", std::nullopt, true, 4},
    };
    const PointerSeenElsewhere elsewhere;
    for (const auto& row : rows) {
        QtShell shell([] { return true; }, {}, [](OwnWindow, const Placement&) {});
        int chosen = -1;
        Menu entries(5);
        for (int i = 0; i < 5; ++i) {
            entries[i].title = "Preset " + std::to_string(i);
            entries[i].action = [&chosen, i] { chosen = i; };
        }
        QTimer::singleShot(0, [&] {
            QMenu* menu = shownMenu(titleOf(OwnWindow::presetMenu));
            ASSERT_NE(menu, nullptr);
            for (int i = 0; i < 3; ++i) {
                QTest::keyClick(menu, Qt::Key_Down);
            }
            const QPoint to = row.to.value_or(menu->actionGeometry(menu->actions()[4]).center());
            QEnterEvent enter(QPointF(0, 0), QPointF(0, 0), menu->mapToGlobal(QPointF(0, 0)));
            QApplication::sendEvent(menu, &enter);
            // As a hand moves; a click's move in one step (as the test's hand on GNOME makes
            // it), which Qt counts as too few to be a move by themselves.
            const int steps = row.click ? 1 : std::max({1, to.x(), to.y()}) / 2 + 1;
            for (int step = 0; step <= steps; ++step) {
                const QPoint at = to * step / steps;
                QMouseEvent move(QEvent::MouseMove, at, menu->mapToGlobal(at), Qt::NoButton,
                                 Qt::NoButton, Qt::NoModifier);
                QApplication::sendEvent(menu, &move);
            }
            if (row.click) {
                QTest::mouseClick(menu->windowHandle(), Qt::LeftButton, {}, to);
            } else {
                QTest::keyClick(menu, Qt::Key_Return);
            }
            if (menu->isVisible()) {
                menu->close();
            }
        });
        shell.popUpMenu(entries, desktopPointFromLogical(600, 400));
        EXPECT_EQ(chosen, row.chosen) << row.why;
    }
}

// The tray's menu is one menu, opened again and again: each opening starts with the pointer at
// rest where the menu opens, whatever it did in the last.
TEST(QtShellTest, OnWaylandAMenuOpenedAgainStartsWithThePointerAtRest) {
    const PointerSeenElsewhere elsewhere;
    QMenu menu;
    makeToplevel(menu);
    int chosen = -1;
    for (int i = 0; i < 5; ++i) {
        menu.addAction(QString::number(i), [&chosen, i] { chosen = i; });
    }
    const auto moveTo = [&menu](QPoint at) {
        QMouseEvent move(QEvent::MouseMove, at, menu.mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(&menu, &move);
    };
    menu.popup(QPoint(600, 400)); // the pointer moves onto the fifth entry, and away
    const QPoint fifth = menu.actionGeometry(menu.actions()[4]).center();
    for (int step = 0; step <= 4; ++step) {
        moveTo(fifth * step / 4);
    }
    menu.hide();
    menu.popup(QPoint(600, 400)); // it rests at the corner while the arrow keys choose
    for (int i = 0; i < 3; ++i) {
        QTest::keyClick(&menu, Qt::Key_Down);
    }
    moveTo(QPoint(0, 0));
    moveTo(QPoint(1, 1));
    QTest::keyClick(&menu, Qt::Key_Return);
    EXPECT_EQ(chosen, 2);
}

// Where the compositor side places Nivu's windows (Wayland), none is a popup or tooltip: Qt
// 6.9.1 and later refuse those where no window of Nivu's has had input, and earlier ones made
// a menu the popup of a badge that showed. The menus go where asked, take the keyboard and
// close when they lose it.
TEST(QtShellTest, WhereTheCompositorPlacesThemTheBadgeAndMenusAreWindowsOfTheirOwn) {
    std::vector<std::pair<OwnWindow, Placement>> placed;
    QtShell shell([] { return true; }, {},
                  [&](OwnWindow window, const Placement& placement) {
                      placed.emplace_back(window, placement);
                  });
    const auto view = shell.createIndicatorView();
    const QWidget& badge = static_cast<QtIndicatorView&>(*view).widget();
    EXPECT_EQ(badge.windowType(), Qt::Window);
    EXPECT_TRUE(badge.windowFlags().testFlags(
        Qt::WindowDoesNotAcceptFocus | Qt::WindowTransparentForInput | Qt::FramelessWindowHint));
    EXPECT_EQ(badge.windowTitle(), titleOf(OwnWindow::badge)) << "the compositor's only handle";
    const auto closesWhenNivuLosesTheKeyboard = [](QMenu* menu) {
        EXPECT_NE(menu, nullptr) << "no menu of that title shown";
        if (menu) {
            EXPECT_EQ(menu->windowType(), Qt::Window);
            EXPECT_EQ(menu->windowHandle()->transientParent(), nullptr);
            // The keyboard goes to the menu, to another window of Nivu's, then elsewhere (as
            // the window system tells Qt).
            QWidget badge;
            badge.show();
            for (QWindow* focus : {menu->windowHandle(), badge.windowHandle()}) {
                Q_EMIT qGuiApp->focusWindowChanged(focus);
                EXPECT_TRUE(menu->isVisible()) << "the keyboard is in Nivu";
            }
            Q_EMIT qGuiApp->focusWindowChanged(nullptr);
            EXPECT_FALSE(menu->isVisible()) << "the keyboard left Nivu";
        }
        for (auto* widget : QApplication::topLevelWidgets()) { // the test ends, whatever failed
            if (qobject_cast<QMenu*>(widget) && widget->isVisible()) {
                widget->close();
            }
        }
    };

    Menu entries(2);
    entries[0].title = "One";
    entries[1].title = "Two";
    QTimer::singleShot(0, [&] { // the menu shown carries the title that its placement names
        closesWhenNivuLosesTheKeyboard(shownMenu(titleOf(OwnWindow::presetMenu)));
    });
    shell.popUpMenu(entries, desktopPointFromLogical(300, 200)); // returns once it closed
    ASSERT_FALSE(placed.empty());
    EXPECT_EQ(placed.back().first, OwnWindow::presetMenu);
    EXPECT_EQ(placed.back().second.topLeft, QPoint(300, 200));
    EXPECT_TRUE(placed.back().second.takesFocus && !placed.back().second.atPointer);

    // The tray icon's menu, opened by Nivu at a click on the icon: only the compositor knows
    // where the pointer is.
    auto item = shell.createStatusItem();
    auto& tray = static_cast<QtStatusItem&>(*item);
    tray.setMenu(entries);
    Q_EMIT tray.trayIcon().activated(QSystemTrayIcon::Trigger);
    EXPECT_EQ(placed.back().first, OwnWindow::statusMenu);
    EXPECT_EQ(tray.menu().windowTitle(), titleOf(OwnWindow::statusMenu));
    EXPECT_TRUE(placed.back().second.takesFocus && placed.back().second.atPointer);
    EXPECT_TRUE(tray.menu().isVisible());
    closesWhenNivuLosesTheKeyboard(&tray.menu());
}

} // namespace
} // namespace nivu
