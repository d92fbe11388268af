// Nivu's texts in the user's language.
#include "qt/Translations.h"

#include <QCoreApplication>
#include <QLocale>
#include <QTranslator>

namespace nivu {

namespace {
QTranslator* installed = nullptr;
} // namespace

void removeTranslations() {
    if (installed) {
        QCoreApplication::removeTranslator(installed);
        delete installed;
        installed = nullptr;
    }
}

bool installTranslations(QCoreApplication& app) {
    return installTranslations(app, QLocale());
}

bool installTranslations(QCoreApplication& app, const QLocale& locale) {
    // The status menu's keys are English and the settings window's keys Japanese; each file
    // translates the other language's keys, so every text follows the locale.
    removeTranslations();
    auto* translator = new QTranslator(&app);
    const bool japanese = locale.language() == QLocale::Japanese;
    if (!translator->load(japanese ? QStringLiteral(":/i18n/nivu_ja.qm")
                                   : QStringLiteral(":/i18n/nivu_en.qm"))) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    installed = translator;
    return true;
}

} // namespace nivu
