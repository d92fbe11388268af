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
    QFile core(QStringLiteral(":/compositor/core.js"));
    QFile adapter(QStringLiteral(":/kwin/main.js"));
    if (!QDir().mkpath(QFileInfo(path).path()) || !core.open(QIODevice::ReadOnly) ||
        !adapter.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    // The compositor core, KWin's adapter over it, and the start that names the bus name to
    // report to: KWin runs a script's file and cannot hand it arguments.
    const QByteArray quoted = QJsonDocument(QJsonArray{service}).toJson(QJsonDocument::Compact);
    const QByteArray text = core.readAll() + "\n" + adapter.readAll() + "\nstartBridge(" +
                            quoted.mid(1, quoted.size() - 2) + ");\n";
    QSaveFile target(path);
    if (!target.open(QIODevice::WriteOnly) || target.write(text) != text.size() ||
        !target.commit()) {
        return std::nullopt;
    }
    return path;
}

} // namespace nivu::kwin
