// Fills a QMenu from the core's menu model.
#include "qt/QtMenus.h"

#include <QFontMetrics>

namespace nivu {

namespace {
// The widest a title gets, in widths of the menu font's "x" (a font's average character width
// varies too much between scripts to measure by).
constexpr int widestTitle = 48;

// The title, its elidable start shortened in the middle where the whole is too wide; the
// rest (a preset's size) always shows.
QString fittedTitle(const QMenu& menu, const MenuEntry& entry) {
    const QString title = QString::fromStdString(entry.title);
    if (entry.elidableLength == 0 || entry.elidableLength > entry.title.size()) {
        return title;
    }
    const QFontMetrics metrics(menu.font());
    const int widest = metrics.horizontalAdvance(QLatin1Char('x')) * widestTitle;
    if (metrics.horizontalAdvance(title) <= widest) {
        return title;
    }
    const QString name = QString::fromStdString(entry.title.substr(0, entry.elidableLength));
    const QString rest = QString::fromStdString(entry.title.substr(entry.elidableLength));
    return metrics.elidedText(name, Qt::ElideMiddle, widest - metrics.horizontalAdvance(rest)) +
           rest;
}

// A title shows as written: an ampersand is no mnemonic, and a tab would start shortcut text.
QString literalTitle(QString title) {
    return title.replace(QLatin1Char('&'), QStringLiteral("&&"))
        .replace(QLatin1Char('\t'), QLatin1Char(' '));
}
} // namespace

std::vector<QAction*> populateMenu(QMenu& menu, Menu entries) {
    std::vector<QAction*> actions;
    for (auto& entry : entries) {
        QAction* action = entry.isSeparator
                              ? menu.addSeparator()
                              : menu.addAction(literalTitle(fittedTitle(menu, entry)));
        if (!entry.isSeparator) {
            if (action->text() != literalTitle(QString::fromStdString(entry.title))) {
                action->setToolTip(QString::fromStdString(entry.title)); // the whole name
                menu.setToolTipsVisible(true);
            }
            if (!entry.keyEquivalent.empty()) {
                // Ctrl stands for the menu modifier; the shortcut works in all of Nivu's windows.
                action->setShortcut(
                    QKeySequence(QStringLiteral("Ctrl+") +
                                 QString::fromStdString(entry.keyEquivalent).toUpper()));
                action->setShortcutContext(Qt::ApplicationShortcut);
            }
            action->setEnabled(entry.enabled);
            if (entry.action) {
                QObject::connect(action, &QAction::triggered,
                                 [run = std::move(entry.action)] { run(); });
            }
        }
        action->setVisible(!entry.hidden);
        actions.push_back(action);
    }
    return actions;
}

} // namespace nivu
