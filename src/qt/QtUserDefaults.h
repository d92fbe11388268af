// User defaults in an INI file through QSettings (~/.config/nivu/nivu.conf), synced after every
// write.
#pragma once

#include "platform/UserDefaults.h"

#include <QSettings>
#include <QString>

namespace nivu {

class QtUserDefaults final : public UserDefaults {
public:
    // The user's file: $XDG_CONFIG_HOME/nivu/nivu.conf (~/.config/nivu/nivu.conf).
    QtUserDefaults();
    // A given file, for tests and tools.
    explicit QtUserDefaults(const QString& filePath);

    std::optional<std::string> dataForKey(std::string_view key) const override;
    void setData(std::string_view key, std::string_view bytes) override;
    void removeObject(std::string_view key) override;

private:
    mutable QSettings settings_;
};

} // namespace nivu
