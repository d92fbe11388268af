// Reading the compositor side's reports.
#include "bridge/Reports.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>
#include <string_view>

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

// A whole number in [lowest, highest].
std::optional<double> count(const QJsonValue& value, double lowest, double highest) {
    const double number = value.toDouble(-1);
    if (!value.isDouble() || number < lowest || number > highest || number != std::floor(number)) {
        return std::nullopt;
    }
    return number;
}

std::optional<std::uint32_t> shortcut(const QJsonObject& fact) {
    const auto number = count(fact.value(QLatin1String("shortcut")), 1, 0xffffffff);
    return number ? std::optional(static_cast<std::uint32_t>(*number)) : std::nullopt;
}

// The id of a window the report is about: never empty.
std::optional<std::string> windowId(const QJsonObject& fact) {
    auto id = text(fact, "id");
    return id && !id->empty() ? id : std::nullopt;
}

// --- one reader per kind ---------------------------------------------------------------------

std::optional<Report> hello(const QJsonObject&) {
    return HelloReport{};
}

std::optional<Report> goodbye(const QJsonObject&) {
    return GoodbyeReport{};
}

std::optional<Report> window(const QJsonObject& fact) {
    auto id = windowId(fact);
    const auto width = side(fact.value(QLatin1String("width")));
    const auto height = side(fact.value(QLatin1String("height")));
    const auto pid = count(fact.value(QLatin1String("pid")), 0, 0x7fffffff);
    if (!id || !width || !height || !pid) {
        return std::nullopt;
    }
    const auto flag = [&](const char* key) { return fact.value(QLatin1String(key)).toBool(); };
    return WindowReport{std::move(*id),
                        text(fact, "app").value_or(""),
                        text(fact, "role").value_or(""),
                        static_cast<std::int32_t>(*pid),
                        *width,
                        *height,
                        flag("normal"),
                        flag("dialog"),
                        flag("resizable"),
                        flag("existing")};
}

std::optional<Report> size(const QJsonObject& fact) {
    auto id = windowId(fact);
    const auto width = side(fact.value(QLatin1String("width")));
    const auto height = side(fact.value(QLatin1String("height")));
    const auto at = cursor(fact);
    if (!id || !width || !height || (!at && fact.contains(QLatin1String("x")))) {
        return std::nullopt;
    }
    return SizeReport{std::move(*id), *width, *height, at};
}

std::optional<Report> closed(const QJsonObject& fact) {
    auto id = windowId(fact);
    return id ? std::optional<Report>(ClosedReport{std::move(*id)}) : std::nullopt;
}

std::optional<Report> active(const QJsonObject& fact) { // an empty id: no window has the focus
    auto id = text(fact, "id");
    return id ? std::optional<Report>(ActiveReport{std::move(*id)}) : std::nullopt;
}

template <bool released> std::optional<Report> pointer(const QJsonObject& fact) {
    auto id = windowId(fact);
    const auto at = cursor(fact);
    return id && at ? std::optional<Report>(PointerReport{std::move(*id), released, *at})
                    : std::nullopt;
}

std::optional<Report> hotKey(const QJsonObject& fact) {
    const auto number = shortcut(fact);
    const auto at = cursor(fact);
    return number && at ? std::optional<Report>(HotKeyReport{*number, *at}) : std::nullopt;
}

std::optional<Report> refused(const QJsonObject& fact) {
    const auto number = shortcut(fact);
    return number ? std::optional<Report>(RefusedReport{*number}) : std::nullopt;
}

std::optional<Report> menu(const QJsonObject& fact) {
    const auto entry = count(fact.value(QLatin1String("entry")), 0, largestEntry);
    return entry ? std::optional<Report>(MenuReport{static_cast<std::size_t>(*entry)})
                 : std::nullopt;
}

struct Kind {
    std::string_view name;
    std::optional<Report> (*read)(const QJsonObject& fact);
};

// Every kind of report, as docs/bridge-protocol.md lists them.
constexpr Kind kinds[] = {
    {"hello", hello},         // the compositor side runs from here on
    {"goodbye", goodbye},     // it stops
    {"window", window},       // a window, once shown
    {"size", size},           // its new size
    {"closed", closed},       // it is gone
    {"active", active},       // the focus moved
    {"drag", pointer<false>}, // a step of a move or resize by hand
    {"up", pointer<true>},    // its end
    {"hotkey", hotKey},       // a shortcut pressed
    {"refused", refused},     // a shortcut not grabbed
    {"menu", menu},           // a status menu entry chosen
};
} // namespace

std::optional<Report> parseReport(const QByteArray& json) {
    const QJsonObject fact = QJsonDocument::fromJson(json).object();
    const std::string kind = fact.value(QLatin1String("report")).toString().toStdString();
    for (const auto& [name, read] : kinds) {
        if (name == kind) {
            return read(fact);
        }
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
