// The compositor core's tests (tests/js/CoreTest.js) in QJSEngine, the engine KWin runs Nivu's
// script in, and every report they saw the core and the adapters build, read by Nivu's parser:
// each reads as the kind, window, size and pointer it was built with.
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

// What the parser read, in the report's own terms.
QJsonObject readBack(const Report& report) {
    QJsonObject read;
    const auto withId = [&](const std::string& id) { read[QStringLiteral("id")] = id.c_str(); };
    if (const auto* window = std::get_if<WindowReport>(&report)) {
        withId(window->id);
        read[QStringLiteral("width")] = window->width;
        read[QStringLiteral("height")] = window->height;
    } else if (const auto* size = std::get_if<SizeReport>(&report)) {
        withId(size->id);
        read[QStringLiteral("width")] = size->width;
        read[QStringLiteral("height")] = size->height;
    } else if (const auto* closed = std::get_if<ClosedReport>(&report)) {
        withId(closed->id);
    } else if (const auto* active = std::get_if<ActiveReport>(&report)) {
        withId(active->id);
    } else if (const auto* pointer = std::get_if<PointerReport>(&report)) {
        withId(pointer->id);
    }
    if (const auto cursor = cursorOf(report)) {
        read[QStringLiteral("x")] = cursor->first;
        read[QStringLiteral("y")] = cursor->second;
    }
    return read;
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
        const QJsonObject read = readBack(*report);
        for (auto field = read.begin(); field != read.end(); ++field) {
            EXPECT_EQ(field.value(), built.value(field.key()))
                << field.key().toStdString() << " of " << text.toStdString();
        }
        kinds.insert(built.value(QStringLiteral("report")).toString());
    }
    const auto all = result.property(QStringLiteral("kinds")).toVariant().toStringList();
    EXPECT_EQ(kinds, std::set<QString>(all.begin(), all.end())) << "every kind was built";
}

} // namespace
} // namespace nivu::bridge
