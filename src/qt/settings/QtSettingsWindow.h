// The one settings window: "Nivu 設定", sized once from its content and grown when the content
// needs more, centred and raised each time it is shown; closing (also with Escape or Ctrl+W)
// only hides it.
#pragma once

#include "input/GlobalHotKey.h"
#include "platform/KeyDownMonitors.h"
#include "settings/AppSettings.h"

#include <QWidget>

namespace nivu {

class QtSettingsView;

class QtSettingsWindow final : public QWidget {
public:
    static constexpr const char* title = "Nivu 設定";

    QtSettingsWindow(AppSettings& settings, HotKeyRegistry& hotKeys, KeyDownMonitors& monitors);

    // Centres the window on the screen, shows it in front and gives it the keyboard.
    void present();

private:
    QtSettingsView* view_;
};

} // namespace nivu
