// The settings window's content: the presets list (reorderable by drag, a remove button per
// row), "デフォルトに戻す" with its confirmation, the add form, and the shortcut recorder.
#pragma once

#include "input/GlobalHotKey.h"
#include "platform/KeyDownMonitors.h"
#include "settings/AppSettings.h"

#include <QWidget>
#include <optional>
#include <set>
#include <vector>

class QLabel;
class QLayout;
class QLineEdit;
class QMessageBox;
class QPushButton;
class QStackedWidget;
class QToolButton;

namespace nivu {

class PresetListWidget;
class QtShortcutRecorderField;

class QtSettingsView final : public QWidget {
public:
    // The width the view is laid out for; it grows only where its content needs more.
    static constexpr int preferredWidth = 560;

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

    // Laid out at the preferred width (or wider, where a row needs it), as high as its wrapped
    // texts then need: the window never gives it less.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    // A new palette (a theme change) recolours the secondary texts and the symbols.
    void changeEvent(QEvent* event) override;

private:
    // The builders, top to bottom.
    QLayout* presetsSection();
    QWidget* presetsArea();
    QWidget* presetRow(const WindowSizePreset& preset);
    QLayout* resetRow();
    QWidget* addForm();
    QWidget* divider();
    QLayout* shortcutSection(HotKeyRegistry& hotKeys, KeyDownMonitors& monitors);
    QLabel* secondaryLabel(const QString& text, QWidget* parent);

    void recolour();
    // Tab goes from top to bottom; of the rows' remove buttons only the current row's is a stop.
    void orderTabStops();
    void followFocus(QWidget* now);
    void updateAddButton();

    AppSettings& settings_;
    QStackedWidget* presetsArea_ = nullptr;
    PresetListWidget* list_ = nullptr;
    QLabel* placeholder_ = nullptr;
    QLabel* explanation_ = nullptr;
    QPushButton* reset_ = nullptr;
    QLineEdit* name_ = nullptr;
    QLineEdit* width_ = nullptr;
    QLineEdit* height_ = nullptr;
    QPushButton* add_ = nullptr;
    QtShortcutRecorderField* recorder_ = nullptr;
    std::vector<QToolButton*> removeButtons_;
    // The row whose remove button takes the focus once the list is rebuilt after a removal
    // made from the keyboard.
    std::optional<int> focusRemoveAt_;
    Subscription settingsChanges_;
};

} // namespace nivu
