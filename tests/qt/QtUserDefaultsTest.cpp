// User defaults in an INI file through QSettings.
#include "qt/QtUserDefaults.h"

#include "TemporaryDirectory.h"

#include <QSettings>
#include <gtest/gtest.h>

namespace nivu {
namespace {

QString pathIn(const test::TemporaryDirectory& dir) {
    return QString::fromStdString((dir.path() / "nivu.conf").string());
}

TEST(QtUserDefaultsTest, BytesArePersistedAtOnceAndReadBackExactly) {
    test::TemporaryDirectory dir;
    const std::string bytes("{\"a\":\"\xe2\x8c\x98\"}\0\xff", 13);
    {
        QtUserDefaults defaults(pathIn(dir));
        defaults.setData("presetMenuShortcut", bytes);
        defaults.setData("windowSizePresets", "[]");
        defaults.removeObject("windowSizePresets");
        defaults.removeObject("absent");
    }
    QtUserDefaults reopened(pathIn(dir));
    EXPECT_EQ(reopened.dataForKey("presetMenuShortcut"), bytes);
    EXPECT_EQ(reopened.dataForKey("windowSizePresets"), std::nullopt);
}

TEST(QtUserDefaultsTest, ValuesThatAreNotBytesAndGarbageFilesReadAsAbsent) {
    test::TemporaryDirectory dir;
    test::writeFile(dir.path() / "nivu.conf",
                    "[General]\npresetMenuShortcut={\"keyCode\":1}\nwindowSizePresets=42\n"
                    "\x01\x02\xff\xfe=\n[broken\n");
    QtUserDefaults defaults(pathIn(dir));
    EXPECT_EQ(defaults.dataForKey("presetMenuShortcut"), std::nullopt);
    EXPECT_EQ(defaults.dataForKey("windowSizePresets"), std::nullopt);

    defaults.setData("windowSizePresets", "[]");
    EXPECT_EQ(QtUserDefaults(pathIn(dir)).dataForKey("windowSizePresets"), "[]");
}

} // namespace
} // namespace nivu
