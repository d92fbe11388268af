// Nivu's texts in the user's language, on the Qt side.
#pragma once

#include "common/Text.h"

#include <QCoreApplication>
#include <QString>

namespace nivu {

// The translation of a marked text; its key where there is none.
inline QString translated(TextKey text) {
    return QCoreApplication::translate(Text::context, text.key, text.comment);
}

} // namespace nivu
