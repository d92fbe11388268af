// Nivu's KWin script, as Nivu writes it for KWin, in the engine KWin runs scripts in, on a
// stand-in KWin (tests/js/FakeKWin.js): what it reports is read by Nivu's own parser, and the
// commands it applies leave the windows where Nivu means them.
#include "bridge/Commands.h"
#include "bridge/Reports.h"
#include "kwin/ScriptFile.h"

#include <QFile>
#include <QJSEngine>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRect>
#include <gtest/gtest.h>

namespace nivu::kwin {
namespace {

using namespace bridge;

constexpr std::int64_t nivuPid = 4243;

QString fileText(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return QString::fromUtf8(file.readAll());
}

class KWinScript {
public:
    KWinScript() {
        run(fileText(QStringLiteral(NIVU_SOURCE_DIR "/tests/js/FakeKWin.js")));
        const auto script =
            writeScriptFile(QStringLiteral("org.nivu.Test"), QStringLiteral("nivu-test"));
        EXPECT_TRUE(script);
        run(fileText(script.value_or(QString())));
    }

    QJSValue run(const QString& code) {
        QJSValue value = engine_.evaluate(code);
        EXPECT_FALSE(value.isError()) << value.toString().toStdString() << " (line "
                                      << value.property(QStringLiteral("lineNumber")).toInt()
                                      << ") in " << code.toStdString();
        return value;
    }

    // The reports since the last look, each as Nivu's parser reads it.
    std::vector<Report> reports() {
        std::vector<Report> read;
        const QJsonArray texts =
            QJsonDocument::fromJson(run(QStringLiteral("fake.takeReports()")).toString().toUtf8())
                .array();
        for (const auto& text : texts) {
            const auto report = parseReport(text.toString().toUtf8());
            EXPECT_TRUE(report) << "unreadable: " << text.toString().toStdString();
            if (report) {
                read.push_back(*report);
            }
        }
        return read;
    }

    void command(const QJsonObject& command) {
        run(QStringLiteral("fake.answer(%1)")
                .arg(QString::fromUtf8(QJsonDocument(QJsonArray{command}).toJson())));
    }

    QRect frame(const QString& window) {
        const QJSValue frame = run(window + QStringLiteral(".frameGeometry"));
        const auto side = [&](const char* name) {
            return frame.property(QLatin1String(name)).toInt();
        };
        return {side("x"), side("y"), side("width"), side("height")};
    }

    // Shows an editor of 400 x 300 (its frame 400 x 330) with its top left there.
    void showEditor(const QString& name, int x, int y) {
        run(QStringLiteral("var %1 = fake.window({frame: {x: %2, y: %3, width: 400, height: 330}});"
                           "fake.show(%1); workspace.activeWindow = %1;")
                .arg(name)
                .arg(x)
                .arg(y));
    }

private:
    QJSEngine engine_;
};

TEST(KWinScriptTest, WhatTheScriptReportsNivuReadsAsMeant) {
    KWinScript kwin;
    auto reports = kwin.reports();
    ASSERT_EQ(reports.size(), 1U);
    EXPECT_TRUE(std::holds_alternative<HelloReport>(reports[0]));

    kwin.showEditor(QStringLiteral("editor"), 100, 100);
    reports = kwin.reports();
    ASSERT_EQ(reports.size(), 2U);
    const auto* window = std::get_if<WindowReport>(&reports[0]);
    ASSERT_TRUE(window);
    const std::string id = window->id;
    EXPECT_EQ(window->app, "editor");
    EXPECT_EQ(window->pid, 500);
    EXPECT_EQ(std::pair(window->width, window->height), std::pair(400, 300)) << "the client area";
    EXPECT_TRUE(window->normal && window->resizable && !window->dialog && !window->existing);
    ASSERT_TRUE(std::holds_alternative<ActiveReport>(reports[1]));
    EXPECT_EQ(std::get<ActiveReport>(reports[1]).id, id);

    kwin.run(QStringLiteral("fake.drag(editor, 600, 500); editor.interactiveMoveResizeFinished()"));
    reports = kwin.reports();
    ASSERT_EQ(reports.size(), 3U);
    const auto* size = std::get_if<SizeReport>(&reports[0]);
    ASSERT_TRUE(size);
    EXPECT_EQ(std::tuple(size->id, size->width, size->height), std::tuple(id, 500, 370));
    EXPECT_EQ(size->cursor, Cursor(600, 500));
    const auto* step = std::get_if<PointerReport>(&reports[1]);
    const auto* up = std::get_if<PointerReport>(&reports[2]);
    ASSERT_TRUE(step && up);
    EXPECT_EQ(std::tuple(step->id, step->released, step->cursor),
              std::tuple(id, false, Cursor(600, 500)));
    EXPECT_EQ(std::tuple(up->id, up->released), std::tuple(id, true));

    kwin.command(commands::shortcut(3, QStringLiteral("Meta+Alt+R")));
    kwin.run(
        QStringLiteral("workspace.cursorPos = {x: 700, y: 400}; fake.registered['Meta+Alt+R']()"));
    reports = kwin.reports();
    ASSERT_EQ(reports.size(), 1U);
    const auto* hotKey = std::get_if<HotKeyReport>(&reports[0]);
    ASSERT_TRUE(hotKey);
    EXPECT_EQ(std::pair(hotKey->shortcut, hotKey->cursor), std::pair(3U, Cursor(700, 400)));
    kwin.command(commands::unshortcut(3));
    kwin.run(QStringLiteral("fake.registered['Meta+Alt+R']()"));
    EXPECT_TRUE(kwin.reports().empty()) << "a shortcut Nivu let go reports no press";

    kwin.run(QStringLiteral("fake.close(editor)"));
    reports = kwin.reports();
    ASSERT_EQ(reports.size(), 1U);
    ASSERT_TRUE(std::holds_alternative<ClosedReport>(reports[0]));
    EXPECT_EQ(std::get<ClosedReport>(reports[0]).id, id);
}

TEST(KWinScriptTest, ASizeFitsTheWorkAreaOfTheWindowsMonitorAndMovesTheWindowJustInside) {
    // Two monitors of 1280 x 800 side by side; each work area is 1280 x 760.
    struct Row {
        const char* what;
        QPoint topLeft;
        QSize size;
        QRect frame;
    };
    const Row rows[] = {
        {"fits where it is", {100, 100}, {640, 480}, {100, 100, 640, 510}},
        {"larger than the work area", {100, 100}, {1920, 1080}, {0, 0, 1280, 760}},
        {"reaching past the monitor's right", {1000, 100}, {640, 480}, {640, 100, 640, 510}},
        {"reaching past the panel", {100, 500}, {640, 480}, {100, 250, 640, 510}},
        {"on the right monitor", {1400, 300}, {1920, 1080}, {1280, 0, 1280, 760}},
    };
    for (const Row& row : rows) {
        KWinScript kwin;
        kwin.run(QStringLiteral("fake.monitors.push({x: 1280, y: 0, width: 1280, height: 800})"));
        kwin.showEditor(QStringLiteral("editor"), row.topLeft.x(), row.topLeft.y());
        const auto reports = kwin.reports();
        const auto* window = std::get_if<WindowReport>(&reports.at(1));
        ASSERT_TRUE(window);
        kwin.command(commands::size(window->id, row.size.width(), row.size.height()));
        EXPECT_EQ(kwin.frame(QStringLiteral("editor")), row.frame) << row.what;
    }
}

TEST(KWinScriptTest, DuringADragTheBadgeKeepsBesideThePointerOnTheMonitorUnderIt) {
    struct Row {
        const char* what;
        QPoint pointer;
        QPoint badge;
    };
    const Row rows[] = {
        {"right of and below the pointer", {600, 400}, {616, 416}},
        {"left where the left monitor ends", {1200, 400}, {1064, 416}},
        {"above where the right monitor ends", {1300, 780}, {1316, 724}},
    };
    KWinScript kwin;
    kwin.run(QStringLiteral("fake.monitors.push({x: 1280, y: 0, width: 1280, height: 800})"));
    kwin.showEditor(QStringLiteral("editor"), 100, 100);
    kwin.command(commands::place(QStringLiteral("Nivu size"), nivuPid, {0, 0}, false, false, 16));
    kwin.run(QStringLiteral("var badge = fake.window({frame: {x: 0, y: 0, width: 120, height: 40},"
                            " window: {caption: 'Nivu size', pid: %1}}); fake.show(badge)")
                 .arg(nivuPid));
    kwin.reports();
    for (const Row& row : rows) {
        kwin.run(
            QStringLiteral("fake.drag(editor, %1, %2)").arg(row.pointer.x()).arg(row.pointer.y()));
        EXPECT_EQ(kwin.frame(QStringLiteral("badge")).topLeft(), row.badge) << row.what;
    }
    for (const Report& report : kwin.reports()) {
        EXPECT_FALSE(std::holds_alternative<WindowReport>(report)) << "the badge is not reported";
    }
    EXPECT_TRUE(
        kwin.run(QStringLiteral("badge.keepAbove && badge.skipTaskbar && badge.skipSwitcher"))
            .toBool());
}

TEST(KWinScriptTest, AMenuShownBeforeNivuPlacesItIsTakenBackFromTheReportedWindows) {
    KWinScript kwin;
    kwin.showEditor(QStringLiteral("editor"), 100, 100);
    kwin.run(QStringLiteral("var menu = fake.window({frame: {x: 0, y: 0, width: 200, height: 300},"
                            " window: {caption: 'Nivu presets', pid: %1}}); fake.show(menu)")
                 .arg(nivuPid));
    const auto reports = kwin.reports();
    const auto* menu = std::get_if<WindowReport>(&reports.back());
    ASSERT_TRUE(menu) << "shown before its place, the menu counts as a program's window";

    kwin.command(commands::place(QStringLiteral("Nivu presets"), nivuPid, {700, 400}, false, true,
                                 std::nullopt));
    EXPECT_EQ(kwin.frame(QStringLiteral("menu")).topLeft(), QPoint(700, 400));
    kwin.run(QStringLiteral("menu.frameGeometry = {x: 700, y: 400, width: 200, height: 320}"));
    const auto after = kwin.reports();
    ASSERT_EQ(after.size(), 1U) << "the menu's window closed for Nivu, and nothing of it since";
    ASSERT_TRUE(std::holds_alternative<ClosedReport>(after[0]));
    EXPECT_EQ(std::get<ClosedReport>(after[0]).id, menu->id);
    EXPECT_TRUE(kwin.run(QStringLiteral("workspace.activeWindow === menu")).toBool())
        << "a menu is given the keyboard";
}

} // namespace
} // namespace nivu::kwin
