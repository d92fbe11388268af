// The user interface toolkit side of the controller, in Qt.
#pragma once

#include "platform/Shell.h"
#include "qt/PendingDeactivation.h"
#include "qt/QtIndicatorView.h"
#include "qt/settings/QtKeyDownMonitors.h"
#include "qt/settings/QtSettingsWindow.h"

#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <functional>
#include <memory>

namespace nivu {

// What window access takes on this desktop, which the explanation names.
enum class AccessNeed {
    windowManager,  // X11: an EWMH window manager
    kwinScript,     // Plasma on Wayland: KWin running, and loading Nivu's script
    gnomeExtension, // GNOME on Wayland: Nivu's extension loaded, perhaps at the next login
};

class QtShell final : public Shell {
public:
    // compositing tells whether translucency works on the screen now; keyboardFocus names the
    // window that has the keyboard focus (see PendingDeactivation); placeWindow puts the badge
    // where Qt cannot (on Wayland).
    explicit QtShell(std::function<bool()> compositing,
                     std::function<std::uint64_t()> keyboardFocus = {},
                     WindowPlacer placeWindow = {})
        : compositing_(std::move(compositing))
        , pendingDeactivation_(std::move(keyboardFocus))
        , placeWindow_(std::move(placeWindow)) {}
    ~QtShell() override;

    // What the settings window edits: the settings store (its first use loads it) and the hot
    // keys that recorded shortcuts are tried against. Without it the window is not shown.
    void editSettingsOf(std::function<AppSettings&()> settings, HotKeyRegistry& hotKeys) {
        settings_ = std::move(settings);
        hotKeys_ = &hotKeys;
    }

    void explainAccessAs(AccessNeed need) { accessNeed_ = need; }
    // Adds why the desktop refuses access, with "%1" in the text standing for detail; an open
    // explanation says it at once.
    void explainAccessRefusal(TextKey why, const QString& detail);
    // The desktop's status item made of the tray's (see DesktopSession::statusItem).
    using StatusItemMaker = std::function<std::unique_ptr<StatusItem>(std::unique_ptr<StatusItem>)>;
    void makeStatusItemsWith(StatusItemMaker maker) { statusItemMaker_ = std::move(maker); }

    std::unique_ptr<IndicatorView> createIndicatorView() override;
    std::unique_ptr<StatusItem> createStatusItem() override;
    std::string localizedString(TextKey text) override;
    void showAccessibilityPrompt() override;
    void popUpMenu(Menu menu, Point location) override;
    void showSettingsWindow() override;
    void showAboutPanel() override;
    void terminate() override;

    // What is missing for window access, in a line (nivu-inspect prints it too).
    static QString accessHeading(AccessNeed need);

private:
    std::function<bool()> compositing_;
    PendingDeactivation pendingDeactivation_;
    WindowPlacer placeWindow_;
    StatusItemMaker statusItemMaker_;
    static QString accessExplanation(AccessNeed need);
    QString accessText() const;

    AccessNeed accessNeed_ = AccessNeed::windowManager;
    QString refusal_; // why the desktop refuses access, in the user's language; empty: unknown
    QPointer<QMessageBox> prompt_;
    QPointer<QDialog> about_;
    std::function<AppSettings&()> settings_;
    HotKeyRegistry* hotKeys_ = nullptr;
    QtKeyDownMonitors keyMonitors_;
    std::unique_ptr<QtSettingsWindow> settingsWindow_;
};

} // namespace nivu
