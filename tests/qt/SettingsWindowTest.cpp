// The settings window on the offscreen platform, opened through the shell as the tray menu does:
// editing the presets, recording the shortcut from key events, its texts in the locale's
// language, readable on light and dark palettes and whole in every state, the keyboard, and
// the settings file behind it.
#include "FakeHotKeys.h"
#include "InMemoryUserDefaults.h"
#include "TemporaryDirectory.h"
#include "app/StatusMenu.h"
#include "input/GlobalHotKey.h"
#include "qt/QtShell.h"
#include "qt/QtUserDefaults.h"
#include "qt/ReadableColors.h"
#include "qt/Translated.h"
#include "qt/Translations.h"
#include "qt/settings/PresetListWidget.h"
#include "qt/settings/QtSettingsView.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace nivu {
namespace {

class SettingsWindowTest : public ::testing::Test {
protected:
    SettingsWindowTest() { openSettings(); }
    ~SettingsWindowTest() override {
        window()->close();
        removeTranslations(); // every test process starts with the keys
    }

    static void settle() {
        for (int pass = 0; pass < 3; ++pass) {
            QApplication::processEvents();
        }
    }
    void openSettings() {
        shell->editSettingsOf([this]() -> AppSettings& { return settings; }, hotKeys);
        shell->showSettingsWindow();
        settle();
    }
    static QWidget* window() {
        for (auto* widget : QApplication::topLevelWidgets()) {
            if (widget->objectName() == QStringLiteral("settings")) {
                return widget;
            }
        }
        return nullptr;
    }
    // Found by name and then by class: Qt 6.8's findChild needs Q_OBJECT in the class it
    // looks for, which Nivu's widgets do without.
    template <typename Widget> static Widget& part(const char* name) {
        auto* found =
            dynamic_cast<Widget*>(window()->findChild<QWidget*>(QString::fromLatin1(name)));
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
    static std::string focusName() {
        return QApplication::focusWidget() ? QApplication::focusWidget()->objectName().toStdString()
                                           : "";
    }
    static QWidget* row(int index) {
        auto& list = part<PresetListWidget>("presets");
        return list.itemWidget(list.item(index));
    }
    // Ctrl+R, which another program holds, recorded: the conflict message shows.
    void showConflict() {
        platform.taken.insert({0x0F, 0x1000});
        part<QPushButton>("record").click();
        press(19, 'r', Qt::ControlModifier);
        settle();
    }
    static void chooseInResetDialog(QMessageBox::ButtonRole role) {
        QMessageBox* dialog = part<QtSettingsView>("view").confirmReset();
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
    std::unique_ptr<QtShell> shell = std::make_unique<QtShell>([] { return false; });
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
    openSettings();
    EXPECT_FALSE(recording());
    press(30, 'a', Qt::NoModifier);
    EXPECT_EQ(field("name").text(), QStringLiteral("aa")) << "keys are delivered normally";
}

TEST_F(SettingsWindowTest, TextsAreJapaneseForAJapaneseLocaleAndEnglishOtherwise) {
    const auto statusMenu = [this] {
        return StatusMenu::entries(*shell, StatusMenu::Actions{}, [] { return false; });
    };
    ASSERT_TRUE(installTranslations(*qApp, QLocale(QLocale::German, QLocale::Germany)));
    const Menu english = statusMenu();
    EXPECT_EQ(english[2].title, "Settings\u2026");
    EXPECT_EQ(translated(Text::tr("追加")), QStringLiteral("Add"));
    EXPECT_EQ(shell->localizedString({"VGA (640 \u00D7 480)"}), "VGA (640 \u00D7 480)");

    ASSERT_TRUE(installTranslations(*qApp, QLocale(QLocale::Japanese, QLocale::Japan)));
    const Menu japanese = statusMenu();
    EXPECT_EQ(japanese[6].title, "Nivu を終了");
    for (std::size_t i = 0; i < japanese.size(); ++i) {
        EXPECT_TRUE(japanese[i].isSeparator || japanese[i].title != english[i].title) << i;
    }
    EXPECT_EQ(shell->localizedString(
                  Text::tr("No presets configured", "プリセット未設定時のプレースホルダー")),
              "プリセットが設定されていません");
}

TEST_F(SettingsWindowTest, TextsReadOnLightAndDarkPalettesAndFollowAChangeOfTheme) {
    EXPECT_DOUBLE_EQ(contrastRatio(Qt::black, Qt::white), 21);
    EXPECT_NEAR(contrastRatio(QColor(0x77, 0x77, 0x77), Qt::white), 4.48, 0.01);
    showConflict();
    const QPalette light = QApplication::palette();
    QPalette dark = light;
    for (const auto& [role, colour] : {std::pair{QPalette::Window, 0x232629},
                                       {QPalette::WindowText, 0xfcfcfc},
                                       {QPalette::Base, 0x1b1e20},
                                       {QPalette::Text, 0xfcfcfc},
                                       {QPalette::Button, 0x31363b},
                                       {QPalette::ButtonText, 0xfcfcfc}}) {
        dark.setColor(role, QColor::fromRgb(static_cast<QRgb>(colour)));
    }
    dark.setColor(QPalette::PlaceholderText, QColor(0xfc, 0xfc, 0xfc, 0x80));
    for (const QPalette& palette : {dark, light}) { // one window, the theme changed each way
        QApplication::setPalette(palette);
        settle();
        const auto readable = [](const QColor& text, const QColor& background, const char* what) {
            EXPECT_GE(contrastRatio(text, background), readableContrast)
                << what << " " << text.name().toStdString() << " on "
                << background.name().toStdString();
        };
        const QColor window = palette.color(QPalette::Window);
        for (const char* name : {"explanation", "conflict", "placeholder"}) {
            readable(part<QLabel>(name).palette().color(QPalette::WindowText), window, name);
        }
        const QColor base = palette.color(QPalette::Base);
        const QColor size =
            row(0)->findChild<QLabel*>("size")->palette().color(QPalette::WindowText);
        readable(size, base, "a preset's size");
        const QColor selected =
            part<PresetListWidget>("presets").palette().color(QPalette::Highlight);
        readable(size, selected, "a size on the selected row");
        readable(palette.color(QPalette::WindowText), selected, "a name on the selected row");
        const QImage symbol =
            row(0)->findChild<QToolButton*>("remove")->icon().pixmap(16, 16).toImage();
        int opaque = 0;
        for (int y = 0; y < symbol.height(); ++y) {
            for (int x = 0; x < symbol.width(); ++x) {
                if (const QColor pixel = symbol.pixelColor(x, y); pixel.alpha() == 255) {
                    ++opaque;
                    readable(pixel, base, "the remove symbol");
                }
            }
        }
        EXPECT_GT(opaque, 0);
    }
}

// The window's visible controls, outside the list's scrolled rows: each inside the window, none
// over another, and none given less height than its text needs.
void expectWholeAndApart(QWidget& window, const std::string& state) {
    auto& list = *window.findChild<QWidget*>(QStringLiteral("presets"));
    std::vector<std::pair<QWidget*, QRect>> placed;
    for (QWidget* control : window.findChildren<QWidget*>()) {
        const bool counts = qobject_cast<QLabel*>(control) ||
                            qobject_cast<QAbstractButton*>(control) ||
                            qobject_cast<QLineEdit*>(control) || control == &list;
        if (!counts || !control->isVisible() || list.isAncestorOf(control)) {
            continue;
        }
        const std::string name = state + ": " + control->objectName().toStdString() + " " +
                                 control->metaObject()->className();
        const QRect rect(control->mapTo(&window, QPoint()), control->size());
        EXPECT_TRUE(window.rect().contains(rect)) << name;
        const int needed = control->hasHeightForWidth() ? control->heightForWidth(control->width())
                                                        : control->minimumSizeHint().height();
        EXPECT_GE(control->height(), needed) << name;
        for (const auto& [other, otherRect] : placed) {
            EXPECT_FALSE(rect.intersects(otherRect))
                << name << " over " << other->objectName().toStdString();
        }
        placed.emplace_back(control, rect);
    }
}

TEST_F(SettingsWindowTest, NothingOverlapsOrIsCutInEitherLanguageAtTwiceTheFontSize) {
    const QFont font = QApplication::font();
    for (const auto& [language, scale] :
         {std::pair{QLocale::Japanese, 1.0}, {QLocale::Japanese, 2.0}, {QLocale::English, 2.0}}) {
        window()->close();
        shell = std::make_unique<QtShell>([] { return false; }); // texts and fonts taken anew
        ASSERT_TRUE(installTranslations(*qApp, QLocale(language)));
        QFont larger = font;
        larger.setPointSizeF(font.pointSizeF() * scale);
        QApplication::setFont(larger);
        settings.setPresets(WindowSizePreset::builtInPresets());
        openSettings();
        const std::string state =
            QLocale::languageToCode(language).toStdString() + " at " + std::to_string(scale) + "x";
        expectWholeAndApart(*window(), state);
        showConflict();
        expectWholeAndApart(*window(), state + " with the conflict message");
        settings.setPresets({});
        settle();
        expectWholeAndApart(*window(), state + " with the message and no presets");
    }
    QApplication::setFont(font);
}

TEST_F(SettingsWindowTest, ALongNameIsElidedAndItsRowKeepsItsSizeAndRemoveButtonInView) {
    const std::string name = "A name as long as a sentence " + std::string(300, 'W');
    settings.setPresets({{Uuid::random(), name, 640, 480}});
    settle();
    auto& list = part<PresetListWidget>("presets");
    EXPECT_FALSE(list.horizontalScrollBar()->isVisible());
    for (const char* part : {"size", "remove"}) {
        const QWidget* shown = row(0)->findChild<QWidget*>(part);
        const QRect rect(shown->mapTo(list.viewport(), QPoint()), shown->size());
        EXPECT_TRUE(list.viewport()->rect().contains(rect)) << part;
    }
    const auto* label = row(0)->findChild<QLabel*>("presetName");
    EXPECT_TRUE(label->text().startsWith(QStringLiteral("A name")));
    EXPECT_TRUE(label->text().endsWith(QChar(0x2026))) << label->text().toStdString();
    EXPECT_EQ(label->toolTip().toStdString(), name) << "the whole name";
}

TEST_F(SettingsWindowTest, TheKeyboardReachesEveryControlTopToBottomAndClosesTheWindow) {
    settings.setPresets(
        {{Uuid::random(), "A", 1, 1}, {Uuid::random(), "B", 2, 2}, {Uuid::random(), "C", 3, 3}});
    settle();
    window()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window()));
    auto& list = part<PresetListWidget>("presets");
    list.setFocus();
    settle();
    EXPECT_EQ(list.currentRow(), 0) << "a row to show the focus on";
    std::vector<std::string> order;
    for (int stop = 0; stop < 8; ++stop) {
        QWidget* focused = QApplication::focusWidget();
        order.push_back(focusName());
        const QImage withFocus = focused->grab().toImage();
        QTest::keyClick(focused, Qt::Key_Tab);
        EXPECT_NE(focused->grab().toImage(), withFocus) << order.back() << ": the focus shows";
    }
    EXPECT_EQ(order, (std::vector<std::string>{"presets", "remove", "reset", "name", "width",
                                               "height", "record", "clear"}))
        << "the add button is left out while it is disabled";

    // A row's remove button, reached and pressed from the keyboard.
    list.setFocus();
    QTest::keyClick(&list, Qt::Key_Down);
    QTest::keyClick(&list, Qt::Key_Tab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    settle();
    ASSERT_EQ(settings.presets().size(), 2u);
    EXPECT_EQ(settings.presets()[1].name, "C") << "B went";
    EXPECT_EQ(QApplication::focusWidget(), row(1)->findChild<QWidget*>("remove")) << "C's next";

    part<QPushButton>("record").click();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_TRUE(window()->isVisible()) << "recording takes Escape first";
    press(1, 0xff1b, Qt::NoModifier);
    EXPECT_FALSE(recording());
    for (const auto& [key, modifiers] :
         {std::pair{Qt::Key_Escape, Qt::NoModifier}, {Qt::Key_W, Qt::ControlModifier}}) {
        openSettings();
        window()->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window()));
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
        EXPECT_FALSE(window()->isVisible())
            << QKeySequence(key | modifiers).toString().toStdString();
    }
}

TEST_F(SettingsWindowTest, RecordingHoldsTheKeyboardUntilItEndsInAnyWay) {
    QWidget& recorder = part<QWidget>("recorder");
    const auto record = [&] {
        part<QPushButton>("record").click();
        EXPECT_EQ(QWidget::keyboardGrabber(), &recorder);
    };
    const auto released = [&](const char* how) {
        EXPECT_FALSE(recording()) << how;
        EXPECT_EQ(QWidget::keyboardGrabber(), nullptr) << how;
    };
    record();
    press(30, 'A', Qt::ShiftModifier);
    released("a combination");
    record();
    QTest::mouseClick(&field("width"), Qt::LeftButton);
    released("a click elsewhere");
    QWidget other;
    other.show();
    window()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window()));
    record();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    released("another window took the focus");
    record();
    window()->close();
    released("the window closed");
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
