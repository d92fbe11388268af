// The shortcut recorder as a widget: the shortcut in a rounded box, "記録..." / "キャンセル",
// the clear button while a shortcut is set, and the conflict message in red.
#pragma once

#include "platform/KeyDownMonitors.h"
#include "settings/AppSettings.h"
#include "ui/ShortcutRecorder.h"

#include <QWidget>

class QLabel;
class QPushButton;
class QToolButton;

namespace nivu {

class QtShortcutRecorderField final : public QWidget {
public:
    QtShortcutRecorderField(AppSettings& settings, HotKeyRegistry& hotKeys,
                            KeyDownMonitors& monitors, QWidget* parent = nullptr);

    void refresh();

protected:
    // Leaving the screen (the window closes) ends recording.
    void hideEvent(QHideEvent* event) override;

private:
    ShortcutRecorder recorder_;
    QLabel* label_;
    QPushButton* record_;
    QToolButton* clear_;
    QLabel* error_;
    Subscription settingsChanges_;
};

} // namespace nivu
