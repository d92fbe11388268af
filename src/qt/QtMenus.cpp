// Fills a QMenu from the core's menu model.
#include "qt/QtMenus.h"

namespace nivu {

namespace {
// A title shows as written: an ampersand is no mnemonic, and a tab would start shortcut text.
QString literalTitle(const std::string& title) {
    return QString::fromStdString(title)
        .replace(QLatin1Char('&'), QStringLiteral("&&"))
        .replace(QLatin1Char('\t'), QLatin1Char(' '));
}
} // namespace

std::vector<QAction*> populateMenu(QMenu& menu, Menu entries) {
    std::vector<QAction*> actions;
    for (auto& entry : entries) {
        QAction* action =
            entry.isSeparator ? menu.addSeparator() : menu.addAction(literalTitle(entry.title));
        if (!entry.isSeparator) {
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
