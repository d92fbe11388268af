// The user interface toolkit side of the controller, in Qt.
#include "qt/QtShell.h"

#include "qt/AboutPanel.h"
#include "qt/DesktopCoordinates.h"
#include "qt/QtIndicatorView.h"
#include "qt/QtMenus.h"
#include "qt/QtStatusItem.h"
#include "qt/SettledQuit.h"
#include "qt/ToplevelMenu.h"
#include "qt/Translated.h"

#include <QApplication>
#include <QIcon>

namespace nivu {

namespace {
// Shown without blocking the event loop, raised if it is already open.
void present(QWidget* box) {
    box->show();
    box->raise();
    box->activateWindow();
}
} // namespace

QtShell::~QtShell() {
    delete prompt_;
    delete about_;
    settingsWindow_.reset(); // before the key monitors it may still use
}

std::unique_ptr<IndicatorView> QtShell::createIndicatorView() {
    return std::make_unique<QtIndicatorView>(compositing_, placeWindow_);
}

std::unique_ptr<StatusItem> QtShell::createStatusItem() {
    auto tray = std::make_unique<QtStatusItem>(pendingDeactivation_, placeWindow_);
    return statusItemMaker_ ? statusItemMaker_(std::move(tray)) : std::move(tray);
}

std::string QtShell::localizedString(TextKey text) {
    return translated(text).toStdString();
}

QString QtShell::accessHeading(AccessNeed need) {
    switch (need) {
    case AccessNeed::kwinScript:
        return translated(Text::tr("Nivu cannot reach KWin's scripting",
                                   "KWinのスクリプト機能に届かないことを伝える見出し"));
    case AccessNeed::gnomeExtension:
        return translated(Text::tr("Nivu needs its GNOME Shell extension",
                                   "GNOME Shell拡張機能が必要なことを伝える見出し"));
    case AccessNeed::windowManager:
        break;
    }
    return translated(Text::tr("Nivu needs a window manager to see and resize windows",
                               "ウィンドウマネージャが必要なことを伝える見出し"));
}

QString QtShell::accessExplanation(AccessNeed need) {
    switch (need) {
    case AccessNeed::kwinScript:
        return translated(
            Text::tr("On Plasma, Nivu sees and resizes windows through a small KWin script that "
                     "it loads itself. KWin is not running, or did not load the script. Nivu "
                     "tries again every second; nothing else is needed.",
                     "KWinスクリプトの読み込みを待っていることの説明"));
    case AccessNeed::gnomeExtension:
        return translated(Text::tr(
            "On GNOME, Nivu sees and resizes windows through a small GNOME Shell extension, "
            "which Nivu installs and turns on itself. GNOME loads a newly installed extension "
            "only when you log in: log out and back in once, and Nivu starts working. Where the "
            "extension was only turned off, Nivu works again within a second.",
            "GNOME Shell拡張機能が次のログインで読み込まれることの説明"));
    case AccessNeed::windowManager:
        break;
    }
    return translated(
        Text::tr("Start a window manager that supports EWMH, such as Openbox, Xfwm, KWin or "
                 "Mutter. Nivu notices it within a second; nothing else is needed.",
                 "ウィンドウマネージャの起動を促す説明"));
}

QString QtShell::accessText() const {
    const QString explanation = accessExplanation(accessNeed_);
    return refusal_.isEmpty() ? explanation : refusal_ + QStringLiteral("\n\n") + explanation;
}

void QtShell::explainAccessRefusal(TextKey why, const QString& detail) {
    const QString text = translated(why);
    refusal_ = text.contains(QStringLiteral("%1")) ? text.arg(detail) : text;
    if (prompt_) {
        prompt_->setInformativeText(accessText());
    }
}

void QtShell::showAccessibilityPrompt() {
    if (!prompt_) {
        prompt_ = new QMessageBox(QMessageBox::Information, QStringLiteral("Nivu"),
                                  accessHeading(accessNeed_), QMessageBox::Ok);
        prompt_->setInformativeText(accessText());
        prompt_->setObjectName(QStringLiteral("explanation"));
        prompt_->setAttribute(Qt::WA_DeleteOnClose);
        prompt_->setWindowModality(Qt::NonModal);
    }
    present(prompt_);
}

void QtShell::popUpMenu(Menu entries, Point location) {
    if (!pendingDeactivation_.waitOut()) {
        return;
    }
    QMenu menu;
    populateMenu(menu, std::move(entries));
    const QPoint at = qtPointFromDesktop(location);
    if (placeWindow_) {
        makeToplevel(menu);
        menu.setWindowTitle(titleOf(OwnWindow::presetMenu));
        placeWindow_(OwnWindow::presetMenu,
                     {at, /*atPointer=*/false, /*takesFocus=*/true, std::nullopt});
    }
    menu.exec(at);
}

void QtShell::showSettingsWindow() {
    if (!settings_ || !hotKeys_) {
        return;
    }
    if (!settingsWindow_) {
        settingsWindow_ = std::make_unique<QtSettingsWindow>(settings_(), *hotKeys_, keyMonitors_);
    }
    settingsWindow_->present();
}

void QtShell::showAboutPanel() {
    if (!about_) {
        about_ = new AboutPanel;
    }
    present(about_);
}

void QtShell::terminate() {
    quitOnceFramesSettle();
}

} // namespace nivu
