// Writing the script where KWin can read it.
#include "kwin/ScriptFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>
#include <QStandardPaths>

namespace nivu::kwin {

QString scriptFilePath(const QString& scriptName) {
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) +
           QStringLiteral("/nivu/") + scriptName + QStringLiteral(".js");
}

std::optional<QString> writeScriptFile(const QString& service, const QString& scriptName) {
    const QString path = scriptFilePath(scriptName);
    QFile source(QStringLiteral(":/kwin/main.js"));
    if (!QDir().mkpath(QFileInfo(path).path()) || !source.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    // The script's first line names the bus name it reports to; the rest is the script itself.
    const QByteArray quoted = QJsonDocument(QJsonArray{service}).toJson(QJsonDocument::Compact);
    const QByteArray text =
        "var service = " + quoted.mid(1, quoted.size() - 2) + ";\n" + source.readAll();
    QSaveFile target(path);
    if (!target.open(QIODevice::WriteOnly) || target.write(text) != text.size() ||
        !target.commit()) {
        return std::nullopt;
    }
    return path;
}

} // namespace nivu::kwin
