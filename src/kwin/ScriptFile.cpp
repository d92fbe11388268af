// Writing the script where KWin can read it.
#include "kwin/ScriptFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace nivu::kwin {

namespace {
// The script's own default, replaced by the bus name of the program that loads it.
constexpr auto defaultService = "\"org.nivu.Nivu\"";
} // namespace

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
    QByteArray text = source.readAll();
    text.replace(defaultService, '"' + service.toUtf8() + '"');
    QSaveFile target(path);
    if (!target.open(QIODevice::WriteOnly) || target.write(text) != text.size() ||
        !target.commit()) {
        return std::nullopt;
    }
    return path;
}

} // namespace nivu::kwin
