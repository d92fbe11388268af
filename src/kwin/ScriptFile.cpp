// Writing the script where KWin can read it.
#include "kwin/ScriptFile.h"

#include "common/Warning.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>

namespace nivu::kwin {

std::optional<QString> writeScriptFile() {
    const QString folder =
        QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) + QStringLiteral("/nivu");
    const QString path = folder + QStringLiteral("/kwin-script.js");
    QFile source(QStringLiteral(":/kwin/main.js"));
    QSaveFile target(path);
    if (!QDir().mkpath(folder) || !source.open(QIODevice::ReadOnly) ||
        !target.open(QIODevice::WriteOnly) || target.write(source.readAll()) < 0 ||
        !target.commit()) {
        warn("cannot write the KWin script to " + path.toStdString());
        return std::nullopt;
    }
    return path;
}

} // namespace nivu::kwin
