// Reading GNOME's extension states: ACTIVE (ENABLED before 46) 1, ERROR 3, OUT_OF_DATE 4; the
// others are on their way, or turned off.
#include "gnome/ExtensionRefusal.h"

namespace nivu::gnome {

namespace {
constexpr double errorState = 3;
constexpr double outOfDateState = 4;
} // namespace

ExtensionRefusal refusalOf(const QVariantMap& info, bool userExtensionsEnabled) {
    const double state = info.value(QStringLiteral("state")).toDouble();
    if (state == outOfDateState) {
        return ExtensionRefusal::outOfDate;
    }
    if (state == errorState) {
        return ExtensionRefusal::error;
    }
    return userExtensionsEnabled ? ExtensionRefusal::none : ExtensionRefusal::userExtensionsOff;
}

TextKey refusalText(ExtensionRefusal refusal) {
    switch (refusal) {
    case ExtensionRefusal::outOfDate:
        return Text::tr("GNOME does not run Nivu's extension: the copy it found is out of date for "
                        "this version of GNOME. Update Nivu, or remove the folder %1 from "
                        "~/.local/share/gnome-shell/extensions, then log out and back in once.",
                        "拡張機能がこのGNOMEには古いことの説明");
    case ExtensionRefusal::error:
        return Text::tr("GNOME stopped Nivu's extension after an error: %1. Update Nivu, then "
                        "log out and back in once.",
                        "拡張機能がエラーで止められたことの説明");
    case ExtensionRefusal::userExtensionsOff:
        return Text::tr("Extensions are turned off in GNOME, so Nivu's extension does not run. "
                        "Turn extensions on in the Extensions app, or run: gsettings set "
                        "org.gnome.shell disable-user-extensions false",
                        "拡張機能全体がオフになっていることの説明");
    case ExtensionRefusal::notTurnedOn:
        return Text::tr("GNOME did not turn Nivu's extension on. Turn it on in the Extensions "
                        "app, or run: gnome-extensions enable %1",
                        "拡張機能をオンにできなかったことの説明");
    case ExtensionRefusal::replaced:
        return Text::tr("Nivu replaced an older copy of its extension in %1 with its own. GNOME "
                        "loads it when you log in: log out and back in once.",
                        "古い拡張機能を置き換えたことの説明");
    case ExtensionRefusal::none:
        break;
    }
    return {};
}

QString refusalDetail(ExtensionRefusal refusal, const QVariantMap& info, const QString& uuid) {
    return refusal == ExtensionRefusal::error ? info.value(QStringLiteral("error")).toString()
                                              : uuid;
}

} // namespace nivu::gnome
