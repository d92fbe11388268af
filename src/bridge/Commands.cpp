// Writing commands for the compositor side.
#include "bridge/Commands.h"

#include <QJsonArray>

namespace nivu::bridge::commands {

QJsonObject size(const std::string& id, int width, int height) {
    return {{QStringLiteral("command"), QStringLiteral("size")},
            {QStringLiteral("id"), QString::fromStdString(id)},
            {QStringLiteral("width"), width},
            {QStringLiteral("height"), height}};
}

QJsonObject place(const QString& title, std::int64_t pid, QPoint topLeft, bool atPointer,
                  bool takesFocus, std::optional<int> besidePointer) {
    QJsonObject command{{QStringLiteral("command"), QStringLiteral("place")},
                        {QStringLiteral("title"), title},
                        {QStringLiteral("pid"), static_cast<double>(pid)},
                        {QStringLiteral("x"), topLeft.x()},
                        {QStringLiteral("y"), topLeft.y()},
                        {QStringLiteral("focus"), takesFocus}};
    if (atPointer) {
        command.insert(QStringLiteral("atPointer"), true);
    }
    if (besidePointer) {
        command.insert(QStringLiteral("besidePointer"), *besidePointer);
    }
    return command;
}

QJsonObject statusMenu(const Menu& entries) {
    QJsonArray titles;
    for (const MenuEntry& entry : entries) {
        if (entry.isSeparator) {
            titles.append(QJsonObject{{QStringLiteral("separator"), true}});
        } else {
            titles.append(
                QJsonObject{{QStringLiteral("title"), QString::fromStdString(entry.title)},
                            {QStringLiteral("hidden"), entry.hidden},
                            {QStringLiteral("enabled"), entry.enabled}});
        }
    }
    return {{QStringLiteral("command"), QStringLiteral("menu")},
            {QStringLiteral("entries"), titles}};
}

QJsonObject shortcut(std::uint32_t number, const QString& keys) {
    return {{QStringLiteral("command"), QStringLiteral("shortcut")},
            {QStringLiteral("shortcut"), static_cast<double>(number)},
            {QStringLiteral("keys"), keys}};
}

QJsonObject unshortcut(std::uint32_t number) {
    return {{QStringLiteral("command"), QStringLiteral("unshortcut")},
            {QStringLiteral("shortcut"), static_cast<double>(number)}};
}

} // namespace nivu::bridge::commands
