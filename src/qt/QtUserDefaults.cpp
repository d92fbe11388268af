// User defaults through QSettings.
#include "qt/QtUserDefaults.h"

#include <QByteArray>
#include <QVariant>

namespace nivu {

namespace {
QString toQString(std::string_view key) {
    return QString::fromUtf8(key.data(), static_cast<qsizetype>(key.size()));
}
} // namespace

// The native format on Linux is INI in $XDG_CONFIG_HOME/nivu/nivu.conf.
QtUserDefaults::QtUserDefaults()
    : settings_(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("nivu"),
                QStringLiteral("nivu")) {}

QtUserDefaults::QtUserDefaults(const QString& filePath)
    : settings_(filePath, QSettings::IniFormat) {}

std::optional<std::string> QtUserDefaults::dataForKey(std::string_view key) const {
    const QVariant value = settings_.value(toQString(key));
    // Only byte values count; a hand-written string or number is "not data".
    if (value.typeId() != QMetaType::QByteArray) {
        return std::nullopt;
    }
    const QByteArray bytes = value.toByteArray();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

void QtUserDefaults::setData(std::string_view key, std::string_view bytes) {
    const QString name = toQString(key);
    const QByteArray value(bytes.data(), static_cast<qsizetype>(bytes.size()));
    // The settings store writes the shortcut back at every launch as it read it: an unchanged
    // value leaves the file alone, so a launch writes nothing.
    const QVariant stored = settings_.value(name);
    if (stored.typeId() == QMetaType::QByteArray && stored.toByteArray() == value) {
        return;
    }
    settings_.setValue(name, value);
    settings_.sync();
}

void QtUserDefaults::removeObject(std::string_view key) {
    settings_.remove(toQString(key));
    settings_.sync();
}

} // namespace nivu
