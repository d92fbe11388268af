// Texts follow the locale: Japanese everywhere for a Japanese locale, English otherwise.
#include "qt/Translations.h"

#include "app/StatusMenu.h"
#include "qt/QtShell.h"

#include <QApplication>
#include <QLocale>
#include <gtest/gtest.h>

namespace nivu {
namespace {

class TranslationsTest : public ::testing::Test {
protected:
    // The other suites expect the keys, as every test process starts.
    ~TranslationsTest() override { removeTranslations(); }

    Menu statusMenu() {
        return StatusMenu::entries(shell, StatusMenu::Actions{}, [] { return false; });
    }

    QtShell shell{[] { return false; }};
};

TEST_F(TranslationsTest, JapaneseLocaleTranslatesEveryStatusMenuEntry) {
    ASSERT_TRUE(installTranslations(*qApp, QLocale(QLocale::English)));
    const Menu english = statusMenu();
    ASSERT_TRUE(installTranslations(*qApp, QLocale(QLocale::Japanese, QLocale::Japan)));
    const Menu menu = statusMenu();
    EXPECT_EQ(menu[0].title, "アクセシビリティへのアクセスを許可…");
    EXPECT_EQ(menu[6].title, "Nivu を終了");
    for (std::size_t i = 0; i < menu.size(); ++i) {
        if (!menu[i].isSeparator) {
            EXPECT_NE(menu[i].title, english[i].title) << "not translated";
        }
    }
    EXPECT_EQ(
        shell.localizedString("No presets configured", "プリセット未設定時のプレースホルダー"),
        "プリセットが設定されていません");
}

TEST_F(TranslationsTest, OtherLocalesShowTheEnglishKeysAndUnknownKeysStayAsWritten) {
    ASSERT_TRUE(installTranslations(*qApp, QLocale(QLocale::German, QLocale::Germany)));
    const Menu menu = statusMenu();
    EXPECT_EQ(menu[0].title, "Grant Accessibility Access\u2026");
    EXPECT_EQ(menu[2].title, "Settings\u2026");
    EXPECT_EQ(menu[4].title, "About Nivu");
    EXPECT_EQ(shell.localizedString("VGA (640 \u00D7 480)", ""), "VGA (640 \u00D7 480)");
}

} // namespace
} // namespace nivu
