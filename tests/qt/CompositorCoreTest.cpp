// The compositor core's tests (tests/js/CoreTest.js) in QJSEngine, the engine KWin runs Nivu's
// script in, and every report they saw the core and the adapters build, read by Nivu's parser:
// each reads as every field it was built with.
#include "bridge/Reports.h"

#include <QFile>
#include <QJSEngine>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>
#include <set>

namespace nivu::bridge {
namespace {

QString fileText(const QString& path) {
    QFile file(QStringLiteral(NIVU_SOURCE_DIR "/") + path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return QString::fromUtf8(file.readAll());
}

QJsonObject withCursor(QJsonObject object, const Cursor& cursor) {
    object[QStringLiteral("x")] = cursor.first;
    object[QStringLiteral("y")] = cursor.second;
    return object;
}

// What the parser read, written back in the protocol's terms: the report as it was built.
QJsonObject readBack(const Report& report) {
    struct Writer {
        QJsonObject operator()(const HelloReport&) const { return {{"report", "hello"}}; }
        QJsonObject operator()(const GoodbyeReport&) const { return {{"report", "goodbye"}}; }
        QJsonObject operator()(const WindowReport& r) const {
            return {{"report", "window"},       {"id", r.id.c_str()},    {"app", r.app.c_str()},
                    {"role", r.role.c_str()},   {"pid", r.pid},          {"width", r.width},
                    {"height", r.height},       {"normal", r.normal},    {"dialog", r.dialog},
                    {"resizable", r.resizable}, {"existing", r.existing}};
        }
        QJsonObject operator()(const SizeReport& r) const {
            const QJsonObject size{
                {"report", "size"}, {"id", r.id.c_str()}, {"width", r.width}, {"height", r.height}};
            return r.cursor ? withCursor(size, *r.cursor) : size;
        }
        QJsonObject operator()(const ClosedReport& r) const {
            return {{"report", "closed"}, {"id", r.id.c_str()}};
        }
        QJsonObject operator()(const ActiveReport& r) const {
            return {{"report", "active"}, {"id", r.id.c_str()}};
        }
        QJsonObject operator()(const PointerReport& r) const {
            return withCursor({{"report", r.released ? "up" : "drag"}, {"id", r.id.c_str()}},
                              r.cursor);
        }
        QJsonObject operator()(const HotKeyReport& r) const {
            return withCursor({{"report", "hotkey"}, {"shortcut", qint64(r.shortcut)}}, r.cursor);
        }
        QJsonObject operator()(const RefusedReport& r) const {
            return {{"report", "refused"}, {"shortcut", qint64(r.shortcut)}};
        }
        QJsonObject operator()(const MenuReport& r) const {
            return {{"report", "menu"}, {"entry", qint64(r.entry)}};
        }
    };
    return std::visit(Writer{}, report);
}

TEST(CompositorCoreTest, TheCoresCasesPassInKWinsEngineAndNivuReadsEveryReportAsBuilt) {
    QJSEngine engine;
    const QJSValue result = engine.evaluate(
        fileText(QStringLiteral("resources/compositor/core.js")) +
        fileText(QStringLiteral("tests/js/FakeSide.js")) +
        fileText(QStringLiteral("tests/js/CoreTest.js")) + QStringLiteral("\nrunCoreTests();"));
    ASSERT_FALSE(result.isError()) << result.toString().toStdString();
    const auto failures = result.property(QStringLiteral("failures")).toVariant().toStringList();
    for (const QString& failure : failures) {
        ADD_FAILURE() << failure.toStdString();
    }

    std::set<QString> kinds;
    const auto reports = result.property(QStringLiteral("reports")).toVariant().toStringList();
    for (const QString& text : reports) {
        const auto report = parseReport(text.toUtf8());
        ASSERT_TRUE(report) << "unreadable: " << text.toStdString();
        const QJsonObject built = QJsonDocument::fromJson(text.toUtf8()).object();
        EXPECT_EQ(readBack(*report), built) << text.toStdString();
        kinds.insert(built.value(QStringLiteral("report")).toString());
    }
    const auto all = result.property(QStringLiteral("kinds")).toVariant().toStringList();
    EXPECT_EQ(kinds, std::set<QString>(all.begin(), all.end())) << "every kind was built";
}

} // namespace
} // namespace nivu::bridge
