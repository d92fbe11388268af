// The settings window on the offscreen platform, opened through the shell as the tray menu does:
// editing the presets, recording the shortcut from key events, its texts in the locale's
// language, and the settings file behind it.
#include "FakeHotKeys.h"
#include "InMemoryUserDefaults.h"
#include "TemporaryDirectory.h"
#include "app/StatusMenu.h"
#include "input/GlobalHotKey.h"
#include "qt/QtShell.h"
#include "qt/QtUserDefaults.h"
#include "qt/Translations.h"
#include "qt/settings/PresetListWidget.h"
#include "qt/settings/QtSettingsView.h"
#include "qt/settings/SettingsText.h"

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

class SettingsWindowTest : public ::testing::Test {
protected:
    SettingsWindowTest() {
        shell.editSettingsOf([this]() -> AppSettings& { return settings; }, hotKeys);
        shell.showSettingsWindow();
        settle();
    }
    ~SettingsWindowTest() override {
        window()->close();
        removeTranslations(); // every test process starts with the keys
    }

    static void settle() { QApplication::processEvents(); }
    static QWidget* window() {
        for (auto* widget : QApplication::topLevelWidgets()) {
            if (widget->objectName() == QStringLiteral("settings")) {
                return widget;
            }
        }
        return nullptr;
    }
    template <typename Widget> static Widget& part(const char* name) {
        auto* found = window()->findChild<Widget*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return *found;
    }
    static QLineEdit& field(const char* name) { return part<QLineEdit>(name); }
    static QString shortcutShown() { return part<QLabel>("shortcut").text(); }
    static bool recording() {
        return part<QPushButton>("record").text() == QStringLiteral("キャンセル");
    }
    static bool shown(const char* name) { return part<QWidget>(name).isVisibleTo(window()); }

    // A key as X delivers it: position from the scan code, characters from the keysym.
    static void press(int evdev, std::uint32_t keysym, Qt::KeyboardModifiers modifiers) {
        const QString text =
            keysym < 0x80 ? QString(QChar(static_cast<char16_t>(keysym))) : QString();
        QKeyEvent event(QEvent::KeyPress, Qt::Key_unknown, modifiers,
                        static_cast<quint32>(evdev + 8), keysym, 0, text);
        QApplication::sendEvent(&field("name"), &event);
    }
    static void chooseInResetDialog(QMessageBox::ButtonRole role) {
        QMessageBox* dialog = window()->findChild<QtSettingsView*>()->confirmReset();
        for (auto* button : dialog->buttons()) {
            if (dialog->buttonRole(button) == role) {
                button->click();
            }
        }
        settle();
    }

    test::InMemoryUserDefaults defaults;
    AppSettings settings{defaults};
    test::FakeHotKeys platform;
    HotKeyRegistry hotKeys{platform};
    QtShell shell{[] { return false; }};
};

TEST_F(SettingsWindowTest, PresetsAreAddedMovedRemovedAndResetEachWrittenThroughAtOnce) {
    auto& add = part<QPushButton>("add");
    EXPECT_FALSE(add.isEnabled());
    field("name").setText(QStringLiteral("  Large  "));
    field("width").setText(QStringLiteral("800px"));
    field("height").setText(QStringLiteral("800"));
    EXPECT_FALSE(add.isEnabled());
    field("width").setText(QStringLiteral("+1200"));
    QTest::mouseClick(&add, Qt::LeftButton);
    settle();
    ASSERT_EQ(settings.presets().size(), 11u);
    EXPECT_EQ(settings.presets().back(),
              (WindowSizePreset{settings.presets().back().id, "Large", 1200, 800}));
    EXPECT_TRUE(field("name").text().isEmpty() && field("width").text().isEmpty() &&
                field("height").text().isEmpty());
    EXPECT_TRUE(defaults.contains("windowSizePresets"));

    settings.setPresets(
        {{Uuid::random(), "A", 1, 1}, {Uuid::random(), "B", 2, 2}, {Uuid::random(), "C", 3, 3}});
    settle();
    auto& list = part<PresetListWidget>("presets");
    list.setCurrentRow(0); // and drag it below the third
    const QRect last = list.visualItemRect(list.item(2));
    list.dropCurrentRowAt(QPoint(last.center().x(), last.bottom() - 1));
    settle();
    EXPECT_EQ(settings.presets()[2].name, "A");
    EXPECT_EQ(list.itemWidget(list.item(1))->findChild<QLabel*>("size")->text(),
              QString::fromUtf8("3 \u00D7 3"));
    auto* remove = list.itemWidget(list.item(1))->findChild<QToolButton*>("remove");
    QTest::mouseClick(remove, Qt::LeftButton);
    settle();
    ASSERT_EQ(settings.presets().size(), 2u);
    EXPECT_EQ(settings.presets()[0].name, "B");
    EXPECT_EQ(settings.presets()[1].name, "A");

    settings.setPresets({});
    settle();
    EXPECT_TRUE(shown("placeholder") && shown("reset"));
    EXPECT_FALSE(shown("presets"));
    const auto shortcut = settings.presetMenuShortcut();
    chooseInResetDialog(QMessageBox::RejectRole);
    EXPECT_TRUE(settings.presets().empty()) << "cancelled";
    chooseInResetDialog(QMessageBox::DestructiveRole);
    EXPECT_EQ(settings.presets(), WindowSizePreset::builtInPresets());
    EXPECT_EQ(settings.presetMenuShortcut(), shortcut) << "the shortcut stays";
}

TEST_F(SettingsWindowTest, TheRecorderTakesAModifiedKeyAndShowsConflicts) {
    field("name").setFocus();
    part<QPushButton>("record").click();
    EXPECT_EQ(shortcutShown(), QStringLiteral("キーを押してください（Escでキャンセル）"));
    press(30, 'a', Qt::NoModifier);
    EXPECT_TRUE(field("name").text().isEmpty()) << "a plain key is swallowed";
    EXPECT_TRUE(recording());
    press(30, 'A', Qt::ShiftModifier);
    EXPECT_EQ(settings.presetMenuShortcut(), (ShortcutSpec{0, 0x0200, "\u21E7A"}));
    settle();
    EXPECT_EQ(shortcutShown(), QString::fromUtf8("\u21E7A"));
    EXPECT_TRUE(platform.registered.empty()) << "trying the combination leaves nothing held";
    press(30, 'a', Qt::NoModifier);
    EXPECT_EQ(field("name").text(), QStringLiteral("a")) << "after recording keys arrive";

    part<QPushButton>("record").click();
    press(37, 'K', Qt::MetaModifier); // Caps Lock on: keysym K, but no modifier of its own
    EXPECT_EQ(settings.presetMenuShortcut(), (ShortcutSpec{0x28, 0x0100, "\u2318K"}));
    part<QPushButton>("record").click();
    press(1, 0xff1b, Qt::MetaModifier);
    EXPECT_FALSE(recording()) << "Escape cancels";
    EXPECT_EQ(settings.presetMenuShortcut(), (ShortcutSpec{0x28, 0x0100, "\u2318K"}));

    platform.taken.insert({0x0F, 0x1000});
    part<QPushButton>("record").click();
    press(19, 'r', Qt::ControlModifier);
    settle();
    EXPECT_EQ(settings.presetMenuShortcut()->displayString, "\u2318K");
    EXPECT_EQ(part<QLabel>("conflict").text(),
              QStringLiteral("このキーの組み合わせは他のアプリと衝突しているため使用できません"));
    QTest::mouseClick(&part<QToolButton>("clear"), Qt::LeftButton);
    settle();
    EXPECT_EQ(settings.presetMenuShortcut(), std::nullopt);
    EXPECT_EQ(shortcutShown(), QStringLiteral("未設定"));
    EXPECT_FALSE(shown("clear"));
    EXPECT_TRUE(shown("conflict")) << "clearing keeps the message";
    part<QPushButton>("record").click();
    settle();
    EXPECT_FALSE(shown("conflict")) << "until the next recording";

    // The shortcut in force shows as lost while another program holds it.
    settings.setPresetMenuShortcut(ShortcutSpec{0x28, 0x0100, "\u2318K"});
    const auto inForce = GlobalHotKey::create(hotKeys, 0x28, 0x0100, [] {});
    platform.holding.emit({HotKeyRegistry::signature, inForce->id()}, false);
    settle();
    EXPECT_TRUE(shown("conflict"));
    platform.holding.emit({HotKeyRegistry::signature, inForce->id()}, true);
    settle();
    EXPECT_FALSE(shown("conflict")) << "given back";

    window()->close(); // closing stops recording
    settle();
    shell.showSettingsWindow();
    EXPECT_FALSE(recording());
    press(30, 'a', Qt::NoModifier);
    EXPECT_EQ(field("name").text(), QStringLiteral("aa")) << "keys are delivered normally";
}

TEST_F(SettingsWindowTest, TextsAreJapaneseForAJapaneseLocaleAndEnglishOtherwise) {
    const auto statusMenu = [this] {
        return StatusMenu::entries(shell, StatusMenu::Actions{}, [] { return false; });
    };
    ASSERT_TRUE(installTranslations(*qApp, QLocale(QLocale::German, QLocale::Germany)));
    const Menu english = statusMenu();
    EXPECT_EQ(english[2].title, "Settings\u2026");
    EXPECT_EQ(settingsText("追加"), QStringLiteral("Add"));
    EXPECT_EQ(shell.localizedString("VGA (640 \u00D7 480)", ""), "VGA (640 \u00D7 480)");

    ASSERT_TRUE(installTranslations(*qApp, QLocale(QLocale::Japanese, QLocale::Japan)));
    const Menu japanese = statusMenu();
    EXPECT_EQ(japanese[6].title, "Nivu を終了");
    for (std::size_t i = 0; i < japanese.size(); ++i) {
        EXPECT_TRUE(japanese[i].isSeparator || japanese[i].title != english[i].title) << i;
    }
    EXPECT_EQ(
        shell.localizedString("No presets configured", "プリセット未設定時のプレースホルダー"),
        "プリセットが設定されていません");
}

TEST(SettingsFileTest, BytesReadBackExactlyAndAnythingElseReadsAsAbsent) {
    test::TemporaryDirectory dir;
    const auto path = QString::fromStdString((dir.path() / "nivu.conf").string());
    const std::string bytes("{\"a\":\"\xe2\x8c\x98\"}\0\xff", 13);
    QtUserDefaults defaults(path);
    defaults.setData("presetMenuShortcut", bytes);
    defaults.setData("windowSizePresets", "[]");
    const auto onDisk = [&] { return test::readFile(dir.path() / "nivu.conf"); };
    EXPECT_NE(onDisk().find("windowSizePresets"), std::string::npos) << "at once, before any kill";
    defaults.removeObject("windowSizePresets");
    EXPECT_EQ(onDisk().find("windowSizePresets"), std::string::npos);
    EXPECT_EQ(QtUserDefaults(path).dataForKey("presetMenuShortcut"), bytes);
    EXPECT_EQ(QtUserDefaults(path).dataForKey("windowSizePresets"), std::nullopt);

    test::writeFile(dir.path() / "nivu.conf",
                    "[General]\npresetMenuShortcut={\"keyCode\":1}\nwindowSizePresets=42\n"
                    "\x01\x02\xff\xfe=\n[broken\n");
    QtUserDefaults garbage(path);
    EXPECT_EQ(garbage.dataForKey("presetMenuShortcut"), std::nullopt);
    EXPECT_EQ(garbage.dataForKey("windowSizePresets"), std::nullopt);
    garbage.setData("windowSizePresets", "[]");
    EXPECT_EQ(QtUserDefaults(path).dataForKey("windowSizePresets"), "[]");
}

} // namespace
} // namespace nivu
