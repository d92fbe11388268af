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

    // The reports since the last look, each one that Nivu's parser reads.
    std::vector<QJsonObject> sent() {
        std::vector<QJsonObject> reports;
        const QJsonArray texts =
            QJsonDocument::fromJson(run(QStringLiteral("fake.takeReports()")).toString().toUtf8())
                .array();
        for (const auto& text : texts) {
            EXPECT_TRUE(parseReport(text.toString().toUtf8()))
                << "unreadable: " << text.toString().toStdString();
            reports.push_back(QJsonDocument::fromJson(text.toString().toUtf8()).object());
        }
        return reports;
    }

    static QString answer(const QJsonObject& command) {
        return QStringLiteral("fake.answer(%1);")
            .arg(QString::fromUtf8(QJsonDocument(QJsonArray{command}).toJson()));
    }
    void command(const QJsonObject& command) { run(answer(command)); }

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

QJsonObject object(const char* json) {
    return QJsonDocument::fromJson(json).object();
}

TEST(KWinScriptTest, AWindowsLifeIsReportedAsTheProtocolSaysAndNivuReadsEachReport) {
    struct Step {
        QString action;
        std::vector<const char*> reports;
    };
    const Step steps[] = {
        {{}, {R"({"report":"hello"})"}},
        {QStringLiteral(
             "var editor = fake.window({frame: {x: 100, y: 100, width: 400, height: 330}});"
             "fake.show(editor); workspace.activeWindow = editor;"),
         {R"({"report":"window","id":"{0000-1}","app":"editor","role":"","pid":500,"width":400,)"
          R"("height":300,"normal":true,"dialog":false,"resizable":true,"existing":false})",
          R"({"report":"active","id":"{0000-1}"})"}},
        {QStringLiteral("fake.drag(editor, 600, 500); editor.interactiveMoveResizeFinished()"),
         {R"({"report":"size","id":"{0000-1}","width":500,"height":370,"x":600,"y":500})",
          R"({"report":"drag","id":"{0000-1}","x":600,"y":500})",
          R"({"report":"up","id":"{0000-1}","x":600,"y":500})"}},
        {KWinScript::answer(commands::shortcut(3, QStringLiteral("Meta+Alt+R"))) +
             QStringLiteral(
                 "workspace.cursorPos = {x: 700, y: 400}; fake.registered['Meta+Alt+R']()"),
         {R"({"report":"hotkey","shortcut":3,"x":700,"y":400})"}},
        {KWinScript::answer(commands::unshortcut(3)) +
             QStringLiteral("fake.registered['Meta+Alt+R']()"),
         {}},
        {QStringLiteral("fake.close(editor)"), {R"({"report":"closed","id":"{0000-1}"})"}},
    };
    KWinScript kwin;
    for (const Step& step : steps) {
        if (!step.action.isEmpty()) {
            kwin.run(step.action);
        }
        std::vector<QJsonObject> expected;
        for (const char* report : step.reports) {
            expected.push_back(object(report));
        }
        EXPECT_EQ(kwin.sent(), expected) << step.action.toStdString();
    }
}

// The core's placement and sizing are tested on their own (tests/js/CoreTest.js); here, that
// KWin's geometry reaches them: each monitor, a window's work area without the panel, the
// pointer during a drag, and Nivu's windows kept above, out of the switchers, and focused.
TEST(KWinScriptTest, KWinsMonitorsWorkAreasAndFocusReachTheCore) {
    KWinScript kwin;
    kwin.run(QStringLiteral("fake.monitors.push({x: 1280, y: 0, width: 1280, height: 800})"));
    kwin.showEditor(QStringLiteral("editor"), 1400, 300);
    kwin.command(commands::size("{0000-1}", 1920, 1080));
    EXPECT_EQ(kwin.frame(QStringLiteral("editor")), QRect(1280, 0, 1280, 760))
        << "the work area of the right monitor";
    kwin.sent();

    kwin.command(commands::place(QStringLiteral("Nivu size"), nivuPid, {0, 0}, false, false, 16));
    kwin.run(QStringLiteral("var badge = fake.window({frame: {x: 0, y: 0, width: 120, height: 40},"
                            " window: {caption: 'Nivu size', pid: %1}}); fake.show(badge)")
                 .arg(nivuPid));
    kwin.run(QStringLiteral("fake.drag(editor, 2500, 780)"));
    EXPECT_EQ(kwin.frame(QStringLiteral("badge")).topLeft(), QPoint(2364, 724))
        << "beside the pointer, flipped where the right monitor ends";
    EXPECT_TRUE(kwin.run(QStringLiteral("badge.keepAbove && badge.skipTaskbar && "
                                        "badge.skipSwitcher && badge.skipsCloseAnimation"))
                    .toBool());

    kwin.command(commands::place(QStringLiteral("Nivu presets"), nivuPid, {700, 400}, false, true,
                                 std::nullopt));
    kwin.run(QStringLiteral("var menu = fake.window({frame: {x: 0, y: 0, width: 200, height: 300},"
                            " window: {caption: 'Nivu presets', pid: %1}}); fake.show(menu)")
                 .arg(nivuPid));
    EXPECT_TRUE(kwin.run(QStringLiteral("workspace.activeWindow === menu")).toBool())
        << "a menu is given the keyboard";
    for (const QJsonObject& report : kwin.sent()) {
        EXPECT_NE(report.value(QStringLiteral("report")), QStringLiteral("window"))
            << "neither the badge nor the menu is reported";
    }
}

} // namespace
} // namespace nivu::kwin
