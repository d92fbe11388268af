// The one settings window.
#include "qt/settings/QtSettingsWindow.h"

#include "qt/settings/QtSettingsView.h"

#include <QGuiApplication>
#include <QScreen>
#include <QShortcut>
#include <QVBoxLayout>

namespace nivu {

QtSettingsWindow::QtSettingsWindow(AppSettings& settings, HotKeyRegistry& hotKeys,
                                   KeyDownMonitors& monitors)
    : QWidget(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint |
                           Qt::WindowMaximizeButtonHint)
    , view_(new QtSettingsView(settings, hotKeys, monitors, this)) {
    setWindowTitle(QString::fromUtf8(title));
    setObjectName(QStringLiteral("settings"));
    view_->setObjectName(QStringLiteral("view"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_, 0, Qt::AlignTop | Qt::AlignHCenter);
    // Sized once from the content's fitting size; the user may resize it afterwards.
    resize(view_->sizeHint());
    // Recording takes these keys first: Escape then ends the recording, not the window.
    for (const QKeySequence& keys :
         {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)}) {
        QObject::connect(new QShortcut(keys, this), &QShortcut::activated, this, &QWidget::close);
    }
}

void QtSettingsWindow::present() {
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    show();
    raise();
    activateWindow();
}

} // namespace nivu
