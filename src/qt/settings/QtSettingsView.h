// The settings window's content: the presets list (reorderable by drag, a remove button per
// row), "デフォルトに戻す" with its confirmation, the add form, and the shortcut recorder.
#pragma once

#include "input/GlobalHotKey.h"
#include "platform/KeyDownMonitors.h"
#include "settings/AppSettings.h"

#include <QWidget>
#include <set>

class QLabel;
class QLineEdit;
class QMessageBox;
class QPushButton;

namespace nivu {

class PresetListWidget;
class QtShortcutRecorderField;

class QtSettingsView final : public QWidget {
public:
    static constexpr int fixedWidth = 560;

    QtSettingsView(AppSettings& settings, HotKeyRegistry& hotKeys, KeyDownMonitors& monitors,
                   QWidget* parent = nullptr);

    // Redraws from the settings store.
    void refresh();
    // The edits, each assigning a whole new list to the store.
    void addPreset();
    void deletePreset(const Uuid& id);
    void movePresets(const std::set<std::size_t>& sources, std::size_t destination);
    void resetPresets();
    // Opens the confirmation; returns the dialog (shown window-modal, closed by either button).
    QMessageBox* confirmReset();

private:
    void updateAddButton();

    AppSettings& settings_;
    PresetListWidget* list_;
    QLabel* placeholder_;
    QPushButton* reset_;
    QLineEdit* name_;
    QLineEdit* width_;
    QLineEdit* height_;
    QPushButton* add_;
    QtShortcutRecorderField* recorder_;
    Subscription settingsChanges_;
};

} // namespace nivu
