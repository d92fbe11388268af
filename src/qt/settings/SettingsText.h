// Texts of the settings window: Japanese keys looked up in the user's language.
#pragma once

#include <QCoreApplication>
#include <QString>

namespace nivu {

inline QString settingsText(const char* key) {
    return QCoreApplication::translate("Nivu", key);
}

} // namespace nivu
