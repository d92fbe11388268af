// Fills a QMenu from the core's menu model.
#pragma once

#include "platform/Menu.h"

#include <QMenu>
#include <vector>

namespace nivu {

// Adds the entries (actions own their callbacks); returns the QAction of each entry.
std::vector<QAction*> populateMenu(QMenu& menu, Menu entries);

} // namespace nivu
