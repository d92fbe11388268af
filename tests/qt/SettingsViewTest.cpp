// The settings window on the offscreen platform: the add form, remove, reorder, reset, the
// shortcut recorder driven by key events, and the one window.
#include "FakeHotKeys.h"
#include "InMemoryUserDefaults.h"
#include "qt/QtShell.h"
#include "qt/settings/PresetListWidget.h"
#include "qt/settings/QtKeyDownMonitors.h"
#include "qt/settings/QtSettingsView.h"
#include "qt/settings/QtSettingsWindow.h"
#include "qt/settings/QtShortcutRecorderField.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace nivu {
namespace {

class SettingsViewTest : public ::testing::Test {
protected:
    SettingsViewTest() {
        window.present();
        QApplication::processEvents();
    }
    ~SettingsViewTest() override { window.close(); }

    QtSettingsView& view() { return window.view(); }
    QtShortcutRecorderField& field() { return view().recorderField(); }
    void settle() { QApplication::processEvents(); }

    // A key as X delivers it: position from the scan code, characters from the keysym.
    // Returns whether anything accepted it.
    bool press(int evdev, std::uint32_t keysym, Qt::KeyboardModifiers modifiers,
               QWidget* target = nullptr) {
        const QString text =
            keysym < 0x80 ? QString(QChar(static_cast<char16_t>(keysym))) : QString();
        QKeyEvent event(QEvent::KeyPress, Qt::Key_unknown, modifiers,
                        static_cast<quint32>(evdev + 8), keysym, 0, text);
        QWidget* receiver = target ? target : &view().nameField();
        return QApplication::sendEvent(receiver, &event) && event.isAccepted();
    }

    test::InMemoryUserDefaults defaults;
    AppSettings settings{defaults};
    test::FakeHotKeys platform;
    HotKeyRegistry hotKeys{platform};
    QtKeyDownMonitors monitors;
    QtSettingsWindow window{settings, hotKeys, monitors};
};

TEST_F(SettingsViewTest, AddIsEnabledOnlyForValidEntriesAndClearsTheFields) {
    EXPECT_FALSE(view().addButton().isEnabled());
    view().nameField().setText(QStringLiteral("  Large  "));
    view().widthField().setText(QStringLiteral("1200"));
    view().heightField().setText(QStringLiteral("800"));
    EXPECT_TRUE(view().addButton().isEnabled());
    view().widthField().setText(QStringLiteral("800px"));
    EXPECT_FALSE(view().addButton().isEnabled());
    view().widthField().setText(QStringLiteral("+1200"));

    QTest::mouseClick(&view().addButton(), Qt::LeftButton);
    settle();

    ASSERT_EQ(settings.presets().size(), 11u);
    EXPECT_EQ(settings.presets().back().name, "Large");
    EXPECT_EQ(settings.presets().back().width, 1200);
    EXPECT_TRUE(view().nameField().text().isEmpty());
    EXPECT_TRUE(view().widthField().text().isEmpty());
    EXPECT_TRUE(view().heightField().text().isEmpty());
    EXPECT_EQ(view().presetList().count(), 11);
    EXPECT_TRUE(defaults.contains("windowSizePresets")) << "written through at once";
}

TEST_F(SettingsViewTest, RemoveButtonsAndDroppingRowsWriteTheStore) {
    settings.setPresets(
        {{Uuid::random(), "A", 1, 1}, {Uuid::random(), "B", 2, 2}, {Uuid::random(), "C", 3, 3}});
    settle();
    ASSERT_EQ(view().presetList().count(), 3);

    // Drag the first row below the third.
    auto& list = view().presetList();
    list.setCurrentRow(0);
    const QRect last = list.visualItemRect(list.item(2));
    list.dropCurrentRowAt(QPoint(last.center().x(), last.bottom() - 1));
    settle();
    ASSERT_EQ(settings.presets().size(), 3u);
    EXPECT_EQ(settings.presets()[0].name, "B");
    EXPECT_EQ(settings.presets()[2].name, "A");

    auto* row = list.itemWidget(list.item(1));
    auto* remove = row->findChild<QToolButton*>(QStringLiteral("remove"));
    ASSERT_NE(remove, nullptr);
    QTest::mouseClick(remove, Qt::LeftButton);
    settle();
    ASSERT_EQ(settings.presets().size(), 2u);
    EXPECT_EQ(settings.presets()[1].name, "A");

    settings.setPresets({});
    settle();
    EXPECT_TRUE(view().placeholder().isVisibleTo(&view()));
    EXPECT_FALSE(view().presetList().isVisibleTo(&view()));
    EXPECT_TRUE(view().resetButton().isVisibleTo(&view()));
}

TEST_F(SettingsViewTest, ResetAsksAndOnlyTheDestructiveButtonRestoresTheBuiltIns) {
    settings.setPresets({});
    const auto shortcut = settings.presetMenuShortcut();
    settle();

    QMessageBox* dialog = view().confirmReset();
    const auto buttons = dialog->buttons();
    ASSERT_EQ(buttons.size(), 2);
    QAbstractButton* destructive = nullptr;
    for (auto* button : buttons) {
        if (dialog->buttonRole(button) == QMessageBox::DestructiveRole) {
            destructive = button;
        }
    }
    ASSERT_NE(destructive, nullptr);
    EXPECT_EQ(destructive->text(), QStringLiteral("デフォルトに戻す"));
    QAbstractButton* cancel = dialog->escapeButton();
    ASSERT_NE(cancel, nullptr);
    cancel->click();
    settle();
    EXPECT_TRUE(settings.presets().empty());

    dialog = view().confirmReset();
    for (auto* button : dialog->buttons()) {
        if (dialog->buttonRole(button) == QMessageBox::DestructiveRole) {
            button->click();
        }
    }
    settle();
    EXPECT_EQ(settings.presets(), WindowSizePreset::builtInPresets());
    EXPECT_EQ(settings.presetMenuShortcut(), shortcut) << "the shortcut stays";
}

TEST_F(SettingsViewTest, RecorderIgnoresPlainKeysAndRecordsShiftA) {
    view().nameField().setFocus();
    field().recordButton().click();
    EXPECT_EQ(field().shortcutLabel().text(),
              QStringLiteral("キーを押してください（Escでキャンセル）"));

    EXPECT_TRUE(press(30, 'a', Qt::NoModifier)) << "swallowed";
    EXPECT_TRUE(view().nameField().text().isEmpty()) << "the key never reaches the field";
    EXPECT_TRUE(field().recorder().isRecording());

    press(30, 'A', Qt::ShiftModifier);
    EXPECT_FALSE(field().recorder().isRecording());
    EXPECT_EQ(settings.presetMenuShortcut(), (ShortcutSpec{0, 0x0200, "\u21E7A"}));
    settle();
    EXPECT_EQ(field().shortcutLabel().text(), QString::fromUtf8("\u21E7A"));

    press(30, 'a', Qt::NoModifier);
    EXPECT_EQ(view().nameField().text(), QStringLiteral("a")) << "after recording keys arrive";
}

TEST_F(SettingsViewTest, CapsLockDoesNotCountAndEscapeCancels) {
    field().recordButton().click();
    press(37, 'K', Qt::MetaModifier); // Caps Lock on: keysym K, but no modifier of its own
    EXPECT_EQ(settings.presetMenuShortcut(), (ShortcutSpec{0x28, 0x0100, "\u2318K"}));

    field().recordButton().click();
    press(1, 0xff1b, Qt::MetaModifier);
    EXPECT_FALSE(field().recorder().isRecording());
    EXPECT_EQ(settings.presetMenuShortcut(), (ShortcutSpec{0x28, 0x0100, "\u2318K"}));
}

TEST_F(SettingsViewTest, ARefusedCombinationShowsTheMessageUntilTheNextRecording) {
    platform.taken.insert({0x0F, 0x1000});
    field().recordButton().click();
    press(19, 'r', Qt::ControlModifier);
    settle();
    EXPECT_EQ(settings.presetMenuShortcut()->displayString, "\u2325\u2318R");
    EXPECT_TRUE(field().errorLine().isVisibleTo(&field()));
    EXPECT_EQ(field().errorLine().text(),
              QStringLiteral("このキーの組み合わせは他のアプリと衝突しているため使用できません"));

    QTest::mouseClick(&field().clearButton(), Qt::LeftButton);
    settle();
    EXPECT_EQ(settings.presetMenuShortcut(), std::nullopt);
    EXPECT_EQ(field().shortcutLabel().text(), QStringLiteral("未設定"));
    EXPECT_FALSE(field().clearButton().isVisibleTo(&field()));
    EXPECT_TRUE(field().errorLine().isVisibleTo(&field())) << "clearing keeps the message";

    field().recordButton().click();
    settle();
    EXPECT_FALSE(field().errorLine().isVisibleTo(&field()));
}

TEST_F(SettingsViewTest, ClosingTheWindowStopsRecording) {
    field().recordButton().click();
    window.close();
    settle();
    EXPECT_FALSE(field().recorder().isRecording());
    EXPECT_FALSE(field().recorder().hasMonitor());
    window.present();
    press(30, 'a', Qt::NoModifier);
    EXPECT_EQ(view().nameField().text(), QStringLiteral("a")) << "keys are delivered normally";
}

TEST(SettingsWindowTest, OneWindowTitledNivuSettingsCentredOnEveryShow) {
    test::InMemoryUserDefaults defaults;
    AppSettings settings{defaults};
    test::FakeHotKeys platform;
    HotKeyRegistry hotKeys{platform};
    QtShell shell([] { return false; });
    shell.editSettingsOf([&]() -> AppSettings& { return settings; }, hotKeys);
    shell.showSettingsWindow();
    QtSettingsWindow* first = shell.settingsWindow();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->windowTitle(), QStringLiteral("Nivu 設定"));
    EXPECT_EQ(first->view().width(), 560);
    first->view().nameField().setText(QStringLiteral("kept"));
    first->move(0, 0);
    first->close();

    shell.showSettingsWindow();
    EXPECT_EQ(shell.settingsWindow(), first) << "the same window again";
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(first->view().nameField().text(), QStringLiteral("kept"));
    const QPoint centre = first->screen()->availableGeometry().center();
    EXPECT_LE((first->frameGeometry().center() - centre).manhattanLength(), 2);
}

} // namespace
} // namespace nivu
