// Why GNOME Shell does not run Nivu's extension, as its Extensions interface tells, and what the
// user reads about it.
#pragma once

#include "common/Text.h"

#include <QVariantMap>

namespace nivu::gnome {

enum class ExtensionRefusal {
    none,              // it runs, or GNOME may still run it once it is turned on
    outOfDate,         // its metadata does not list this GNOME's version
    error,             // GNOME stopped it with an error
    userExtensionsOff, // the user turned every extension off (disable-user-extensions)
    notTurnedOn,       // GNOME refused to turn it on
    replaced,          // an older copy in the user's extensions, replaced: taken at next login
};

// info: GNOME's GetExtensionInfo answer; userExtensionsEnabled: its UserExtensionsEnabled.
ExtensionRefusal refusalOf(const QVariantMap& info, bool userExtensionsEnabled);

// Why, and what to do; "%1" stands for refusalDetail's text.
TextKey refusalText(ExtensionRefusal refusal);
// GNOME's message for an error, the extension's id where the user is to type it or remove its
// folder.
QString refusalDetail(ExtensionRefusal refusal, const QVariantMap& info, const QString& uuid);

} // namespace nivu::gnome
