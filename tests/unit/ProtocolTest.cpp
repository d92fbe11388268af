// The bridge's protocol is written once, in docs/bridge-protocol.md: its tables of reports and
// commands, read here, must agree with the C++ parser and writers, with the compositor core's
// builders and dispatch, and with what the KWin and GNOME adapters send and handle.
#include "bridge/Commands.h"
#include "bridge/Reports.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <regex>
#include <set>
#include <sstream>

namespace nivu::bridge {
namespace {

std::string sourceText(const std::string& path) {
    std::ifstream file(std::string(NIVU_SOURCE_DIR) + "/" + path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

std::set<std::string> matches(const std::string& text, const std::string& pattern) {
    std::set<std::string> found;
    const std::regex expression(pattern);
    for (auto it = std::sregex_iterator(text.begin(), text.end(), expression);
         it != std::sregex_iterator(); ++it) {
        found.insert((*it)[1].str());
    }
    return found;
}

// The rows of the table under the heading that starts with the given text: by name, the
// example and the sides that have it ("kwin", "gnome").
struct Row {
    std::string example;
    std::set<std::string> sides;
};
std::map<std::string, Row> table(const std::string& heading) {
    std::map<std::string, Row> rows;
    std::istringstream document(sourceText("docs/bridge-protocol.md"));
    bool inside = false;
    const std::regex row(R"re(^\| `(\w+)` \| `([^`]*)` \| (yes|no) \| (yes|no) \|)re");
    for (std::string line; std::getline(document, line);) {
        if (line.starts_with("## ")) {
            inside = line.starts_with("## " + heading);
        }
        std::smatch cells;
        if (inside && std::regex_search(line, cells, row)) {
            rows[cells[1]] = {cells[2], {}};
            for (const auto& [cell, side] : {std::pair{3, "kwin"}, {4, "gnome"}}) {
                if (cells[cell] == "yes") {
                    rows[cells[1]].sides.insert(side);
                }
            }
        }
    }
    return rows;
}

// The names of the rows, of those a side has where it is given.
std::set<std::string> namesOf(const std::map<std::string, Row>& rows, const char* side = nullptr) {
    std::set<std::string> names;
    for (const auto& [name, row] : rows) {
        if (!side || row.sides.contains(side)) {
            names.insert(name);
        }
    }
    return names;
}

// The kinds in the order of Report's alternatives; "drag" and "up" share one.
constexpr const char* kinds[] = {"hello",  "goodbye", "window", "size",    "closed",
                                 "active", "drag",    "hotkey", "refused", "menu"};
static_assert(std::size(kinds) == std::variant_size_v<Report>);

// The compositor core both sides share, and each side's adapter over it.
const std::string coreScript = "resources/compositor/core.js";
const std::pair<const char*, std::string> adapters[] = {
    {"kwin", "resources/kwin/nivu/contents/code/main.js"}, {"gnome", "resources/gnome/bridge.js"}};

std::string kindOf(const Report& report) {
    const auto* pointer = std::get_if<PointerReport>(&report);
    return pointer && pointer->released ? "up" : kinds[report.index()];
}

TEST(ProtocolTest, EveryReportOfTheTableIsReadAsItsKindAndEachSideSendsItsOwn) {
    const auto reports = table("Reports");
    ASSERT_EQ(reports.size(), 11U) << "the table of reports, as the document has it";
    for (const auto& [kind, row] : reports) {
        const auto report = parseReport(QByteArray::fromStdString(row.example));
        ASSERT_TRUE(report) << kind << ": " << row.example;
        EXPECT_EQ(kindOf(*report), kind) << row.example;
        EXPECT_EQ(cursorOf(*report).has_value(), row.example.find("\"x\"") != std::string::npos)
            << kind << ": the pointer read where the example gives it";
    }
    const auto all = namesOf(reports);
    EXPECT_EQ(matches(sourceText("src/bridge/Reports.cpp"), R"re(\{"(\w+)", [\w<>]+\},)re"), all);
    const std::string core = sourceText(coreScript);
    EXPECT_EQ(matches(core, R"re(\n    (\w+): (?:\([^)]*\)|\w+) =>)re"), all)
        << "the core's builders";
    // What a side sends: what the core sends for it, and what its adapter builds.
    const std::string built = R"re(Reports\.(\w+)\()re";
    for (const auto& [side, adapter] : adapters) {
        auto sent = matches(core, built);
        sent.merge(matches(sourceText(adapter), built));
        EXPECT_EQ(sent, namesOf(reports, side)) << adapter;
    }
}

TEST(ProtocolTest, EveryCommandNivuWritesIsOfTheTableAndEachSideHandlesItsOwn) {
    const auto commands = table("Commands");
    MenuEntry settings;
    settings.title = "Settings…";
    const Menu menu{settings, MenuEntry::separator()};
    const QJsonObject written[] = {
        commands::size("7", 1920, 1080),
        commands::place(QStringLiteral("Nivu size"), 4243, {700, 400}, true, false, 16),
        commands::shortcut(1, QStringLiteral("Meta+Alt+R")), commands::unshortcut(1),
        commands::statusMenu(menu)};
    std::set<std::string> names;
    for (const QJsonObject& command : written) {
        const std::string name = command.value(QStringLiteral("command")).toString().toStdString();
        names.insert(name);
        ASSERT_TRUE(commands.contains(name)) << name << " is not in the table";
        const QJsonObject example =
            QJsonDocument::fromJson(QByteArray::fromStdString(commands.at(name).example)).object();
        for (const QString& key : command.keys()) {
            EXPECT_TRUE(example.contains(key))
                << name << " writes " << key.toStdString() << ", which its example lacks";
        }
    }
    EXPECT_EQ(names.size(), commands.size()) << "every command of the table is written";
    const std::string core = sourceText(coreScript);
    const auto dispatch = core.find("switch (command.command)", core.find("    apply("));
    ASSERT_NE(dispatch, std::string::npos);
    EXPECT_EQ(matches(core.substr(dispatch, core.find("\n        }\n", dispatch) - dispatch),
                      R"re(case '(\w+)':)re"),
              names)
        << "the core's dispatch";
    // What a side handles: what the core does itself, and what its adapter has a hook for.
    const std::map<std::string, std::string> commandOfHook = {
        {"grabShortcut", "shortcut"}, {"releaseShortcut", "unshortcut"}, {"showMenu", "menu"}};
    for (const auto& [side, adapter] : adapters) {
        std::set<std::string> handled = {"size", "place"};
        for (const std::string& hook :
             matches(sourceText(adapter),
                     R"re(\b(grabShortcut|releaseShortcut|showMenu)(?:\(|: ))re")) {
            handled.insert(commandOfHook.at(hook));
        }
        EXPECT_EQ(handled, namesOf(commands, side)) << adapter;
    }
}

} // namespace
} // namespace nivu::bridge
