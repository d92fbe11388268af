// The status item as a QSystemTrayIcon.
#include "qt/QtStatusItem.h"

#include "qt/MissingTrayNotice.h"
#include "qt/QtMenus.h"
#include "qt/SvgIcon.h"
#include "qt/ToplevelMenu.h"

#include <QCursor>
#include <QGuiApplication>
#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <utility>

namespace nivu {

namespace {
// Shown when the named image is missing, so that the item can still be found and clicked.
QIcon placeholderIcon() {
    QPixmap pixmap(22, 22);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(0x25, 0x31, 0x3a));
    painter.setPen(QPen(QColor(0xee, 0xf2, 0xf5), 1.5));
    painter.drawRoundedRect(QRectF(2, 3, 18, 16), 3, 3);
    return QIcon(pixmap);
}
} // namespace

QtStatusItem::QtStatusItem(PendingDeactivation pendingDeactivation, WindowPlacer placeWindow)
    : pendingDeactivation_(std::move(pendingDeactivation))
    , placeWindow_(std::move(placeWindow)) {
    if (placeWindow_) {
        makeToplevel(menu_);
        menu_.setWindowTitle(titleOf(OwnWindow::statusMenu));
    }
    tray_.setIcon(placeholderIcon());
    QObject::connect(&tray_, &QSystemTrayIcon::activated,
                     [this](QSystemTrayIcon::ActivationReason reason) {
                         // The context menu opens on the right button; the left opens it too.
                         // A press soon after an earlier one arrives as a double click.
                         const bool leftButton = reason == QSystemTrayIcon::Trigger ||
                                                 reason == QSystemTrayIcon::DoubleClick;
                         if (leftButton) {
                             openMenu();
                         }
                     });
}

void QtStatusItem::openMenu() {
    if (menu_.isVisible()) {
        return;
    }
    if (!pendingDeactivation_.waitOut()) {
        return;
    }
    if (placeWindow_) { // Qt knows the pointer only over its own windows
        placeWindow_(OwnWindow::statusMenu,
                     {QPoint(), /*atPointer=*/true, /*takesFocus=*/true, std::nullopt});
    }
    menu_.popup(QCursor::pos());
}

QtStatusItem::~QtStatusItem() {
    tray_.hide();
}

bool QtStatusItem::setImage(const std::string& name, const std::string& accessibilityDescription) {
    tray_.setToolTip(QString::fromStdString(accessibilityDescription));
    const QIcon icon = svgIcon(QStringLiteral(":/icons/%1.svg").arg(QString::fromStdString(name)));
    if (icon.isNull()) {
        return false; // the placeholder stays
    }
    tray_.setIcon(icon);
    return true;
}

void QtStatusItem::setMenu(Menu entries) {
    menu_.clear();
    actions_ = populateMenu(menu_, std::move(entries));
    tray_.setContextMenu(&menu_);
    tray_.show();
    // Qt embeds the icon by itself when a tray starts later. Off X (in tests) there is none.
    if (QGuiApplication::platformName() == QStringLiteral("xcb") &&
        !QSystemTrayIcon::isSystemTrayAvailable() && !std::exchange(trayMissingAnnounced_, true)) {
        announceMissingTray();
    }
}

void QtStatusItem::setEntryHidden(std::size_t index, bool hidden) {
    if (index < actions_.size()) {
        actions_[index]->setVisible(!hidden);
    }
}

} // namespace nivu
