// The shortcut recorder as a widget: the shortcut in a rounded box, "記録..." / "キャンセル",
// the clear button while a shortcut is set, and the conflict message in red. While it records
// it holds the keyboard, so that it also sees combinations that other programs hold.
#pragma once

#include "platform/KeyDownMonitors.h"
#include "settings/AppSettings.h"
#include "ui/ShortcutRecorder.h"

#include <QWidget>
#include <vector>

class QLabel;
class QPushButton;
class QToolButton;

namespace nivu {

class QtShortcutRecorderField final : public QWidget {
public:
    QtShortcutRecorderField(AppSettings& settings, HotKeyRegistry& hotKeys,
                            KeyDownMonitors& monitors, QWidget* parent = nullptr);

    void refresh();
    // The field's controls in the order Tab visits them.
    std::vector<QWidget*> tabStops() const;

protected:
    // Leaving the screen (the window closes) ends recording.
    void hideEvent(QHideEvent* event) override;
    // A new palette recolours the field.
    void changeEvent(QEvent* event) override;
    // The window losing the focus ends recording.
    bool event(QEvent* event) override;
    // A click elsewhere ends recording.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Takes the keyboard from every other program (and a click anywhere in Nivu) while recording.
    void holdKeyboard(bool hold);

    ShortcutRecorder recorder_;
    QLabel* label_;
    QPushButton* record_;
    QToolButton* clear_;
    QLabel* error_;
    Subscription settingsChanges_;
    bool holdsKeyboard_ = false;
};

} // namespace nivu
