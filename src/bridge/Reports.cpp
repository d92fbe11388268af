// Reading the compositor side's reports.
#include "bridge/Reports.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>

namespace nivu::bridge {

namespace {
constexpr int largestSide = 1 << 16;
constexpr int largestEntry = 1000;

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

std::optional<Cursor> cursor(const QJsonObject& fact) {
    const auto x = coordinate(fact.value(QLatin1String("x")));
    const auto y = coordinate(fact.value(QLatin1String("y")));
    if (!x || !y) {
        return std::nullopt;
    }
    return Cursor(*x, *y);
}

std::optional<std::string> text(const QJsonObject& fact, const char* key) {
    const QJsonValue value = fact.value(QLatin1String(key));
    return value.isString() ? std::optional(value.toString().toStdString()) : std::nullopt;
}

std::optional<Report> windowReport(const QJsonObject& fact, std::string id) {
    const auto width = side(fact.value(QLatin1String("width")));
    const auto height = side(fact.value(QLatin1String("height")));
    const QJsonValue pid = fact.value(QLatin1String("pid"));
    if (!width || !height || !pid.isDouble() || pid.toDouble() < 0 || pid.toDouble() > 0x7fffffff) {
        return std::nullopt;
    }
    const auto flag = [&](const char* key) { return fact.value(QLatin1String(key)).toBool(); };
    return WindowReport{std::move(id),
                        text(fact, "app").value_or(""),
                        text(fact, "role").value_or(""),
                        static_cast<std::int32_t>(pid.toDouble()),
                        *width,
                        *height,
                        flag("normal"),
                        flag("dialog"),
                        flag("resizable"),
                        flag("existing")};
}
} // namespace

std::optional<Report> parseReport(const QByteArray& json) {
    const QJsonObject fact = QJsonDocument::fromJson(json).object();
    const QString kind = fact.value(QLatin1String("report")).toString();
    if (kind == QLatin1String("hello")) {
        return HelloReport{};
    }
    if (kind == QLatin1String("goodbye")) {
        return GoodbyeReport{};
    }
    if (kind == QLatin1String("hotkey") || kind == QLatin1String("refused")) {
        const QJsonValue number = fact.value(QLatin1String("shortcut"));
        if (!number.isDouble() || number.toDouble() < 1 || number.toDouble() > 0xffffffff ||
            number.toDouble() != std::floor(number.toDouble())) {
            return std::nullopt;
        }
        const auto shortcut = static_cast<std::uint32_t>(number.toDouble());
        if (kind == QLatin1String("refused")) {
            return RefusedReport{shortcut};
        }
        const auto at = cursor(fact);
        return at ? std::optional<Report>(HotKeyReport{shortcut, *at}) : std::nullopt;
    }
    if (kind == QLatin1String("menu")) {
        const QJsonValue entry = fact.value(QLatin1String("entry"));
        if (!entry.isDouble() || entry.toDouble() < 0 || entry.toDouble() > largestEntry ||
            entry.toDouble() != std::floor(entry.toDouble())) {
            return std::nullopt;
        }
        return MenuReport{static_cast<std::size_t>(entry.toDouble())};
    }
    auto id = text(fact, "id");
    if (!id) {
        return std::nullopt;
    }
    if (kind == QLatin1String("active")) {
        return ActiveReport{std::move(*id)};
    }
    if (id->empty()) {
        return std::nullopt;
    }
    if (kind == QLatin1String("closed")) {
        return ClosedReport{std::move(*id)};
    }
    if (kind == QLatin1String("drag") || kind == QLatin1String("up")) {
        const auto at = cursor(fact);
        if (!at) {
            return std::nullopt;
        }
        return PointerReport{std::move(*id), kind == QLatin1String("up"), *at};
    }
    if (kind == QLatin1String("size")) {
        const auto width = side(fact.value(QLatin1String("width")));
        const auto height = side(fact.value(QLatin1String("height")));
        const auto at = cursor(fact);
        if (!width || !height || (!at && fact.contains(QLatin1String("x")))) {
            return std::nullopt;
        }
        return SizeReport{std::move(*id), *width, *height, at};
    }
    if (kind == QLatin1String("window")) {
        return windowReport(fact, std::move(*id));
    }
    return std::nullopt;
}

std::optional<Cursor> cursorOf(const Report& report) {
    if (const auto* size = std::get_if<SizeReport>(&report)) {
        return size->cursor;
    }
    if (const auto* pointer = std::get_if<PointerReport>(&report)) {
        return pointer->cursor;
    }
    if (const auto* hotKey = std::get_if<HotKeyReport>(&report)) {
        return hotKey->cursor;
    }
    return std::nullopt;
}

} // namespace nivu::bridge
