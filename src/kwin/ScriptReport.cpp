// Reading the KWin script's reports.
#include "kwin/ScriptReport.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>

namespace nivu::kwin {

namespace {
constexpr int largestSide = 1 << 16;

std::optional<int> side(const QJsonValue& value) {
    const double number = value.toDouble(-1);
    if (!value.isDouble() || number < 0 || number > largestSide ||
        number != static_cast<int>(number)) {
        return std::nullopt;
    }
    return static_cast<int>(number);
}
// A coordinate of the desktop: finite and far inside what any screen arrangement reaches.
std::optional<double> coordinate(const QJsonValue& value) {
    const double number = value.toDouble(std::nan(""));
    if (!value.isDouble() || !std::isfinite(number) || std::abs(number) > largestSide * 4.0) {
        return std::nullopt;
    }
    return number;
}
} // namespace

std::optional<ScriptReport> parseScriptReport(const QByteArray& json) {
    const QJsonObject fact = QJsonDocument::fromJson(json).object();
    const QString kind = fact.value(QLatin1String("e")).toString();
    ScriptReport report;
    if (kind == QLatin1String("hotkey")) {
        const QJsonValue number = fact.value(QLatin1String("n"));
        const auto x = coordinate(fact.value(QLatin1String("x")));
        const auto y = coordinate(fact.value(QLatin1String("y")));
        if (!number.isDouble() || number.toDouble() < 1 || number.toDouble() > 0xffffffff || !x ||
            !y) {
            return std::nullopt;
        }
        report.kind = ScriptReport::Kind::hotKey;
        report.shortcut = static_cast<std::uint32_t>(number.toDouble());
        report.cursor = std::pair(*x, *y);
        return report;
    }
    if (!fact.value(QLatin1String("id")).isString()) {
        return std::nullopt;
    }
    report.id = fact.value(QLatin1String("id")).toString().toStdString();
    if (kind == QLatin1String("active")) {
        report.kind = ScriptReport::Kind::active;
        return report;
    }
    if (report.id.empty()) {
        return std::nullopt;
    }
    if (kind == QLatin1String("closed")) {
        report.kind = ScriptReport::Kind::closed;
        return report;
    }
    const bool pointerReport = kind == QLatin1String("drag") || kind == QLatin1String("up");
    if (fact.contains(QLatin1String("x")) || pointerReport) {
        const auto x = coordinate(fact.value(QLatin1String("x")));
        const auto y = coordinate(fact.value(QLatin1String("y")));
        if (!x || !y) {
            return std::nullopt;
        }
        report.cursor = std::pair(*x, *y);
    }
    if (pointerReport) {
        report.kind =
            kind == QLatin1String("drag") ? ScriptReport::Kind::drag : ScriptReport::Kind::up;
        return report;
    }
    const auto width = side(fact.value(QLatin1String("w")));
    const auto height = side(fact.value(QLatin1String("h")));
    if (!width || !height) {
        return std::nullopt;
    }
    report.width = *width;
    report.height = *height;
    if (kind == QLatin1String("size")) {
        report.kind = ScriptReport::Kind::size;
        return report;
    }
    if (kind != QLatin1String("window")) {
        return std::nullopt;
    }
    const QJsonValue pid = fact.value(QLatin1String("pid"));
    if (!pid.isDouble() || pid.toDouble() < 0 || pid.toDouble() > 0x7fffffff) {
        return std::nullopt;
    }
    report.kind = ScriptReport::Kind::window;
    report.pid = static_cast<std::int32_t>(pid.toDouble());
    report.resourceClass = fact.value(QLatin1String("cls")).toString().toStdString();
    report.role = fact.value(QLatin1String("role")).toString().toStdString();
    report.normal = fact.value(QLatin1String("normal")).toBool();
    report.dialog = fact.value(QLatin1String("dialog")).toBool();
    report.resizable = fact.value(QLatin1String("resizable")).toBool();
    report.existing = fact.value(QLatin1String("existing")).toBool();
    return report;
}

} // namespace nivu::kwin
