// The About panel: Nivu's icon, its name and version, and one line of what it does, each on a
// line of its own in either language.
#pragma once

#include <QDialog>

namespace nivu {

class AboutPanel final : public QDialog {
public:
    AboutPanel();
};

} // namespace nivu
