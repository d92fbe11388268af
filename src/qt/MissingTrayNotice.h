// Tells the user that no system tray runs, where Nivu's icon and menu would be: one line on
// stderr and, where a notification server runs, a desktop notification.
#pragma once

namespace nivu {

void announceMissingTray();

} // namespace nivu
