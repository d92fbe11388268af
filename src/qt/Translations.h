// Nivu's texts in the user's language: Japanese for a Japanese locale, English for any other.
#pragma once

class QCoreApplication;
class QLocale;

namespace nivu {

// Installs the translation for the system locale; true when one was loaded.
bool installTranslations(QCoreApplication& app);
// The same for a given locale (tests).
bool installTranslations(QCoreApplication& app, const QLocale& locale);
// Removes the installed translation: every text shows its key again.
void removeTranslations();

} // namespace nivu
