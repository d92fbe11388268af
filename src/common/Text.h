// Texts the user reads, marked where they are written so that lupdate finds them, and looked up
// in the user's language by the shell.
#pragma once

// lupdate reads this as Qt's Q_DECLARE_TR_FUNCTIONS: every Text::tr call is in the context Nivu.
#define NIVU_TRANSLATION_CONTEXT(context)

namespace nivu {

// A text's key in the translations, and the note that tells translators where it shows (it
// also tells apart two uses of one key).
struct TextKey {
    const char* key = "";
    const char* comment = "";
};

struct Text {
    NIVU_TRANSLATION_CONTEXT(Nivu)
    static constexpr const char* context = "Nivu";
    static constexpr TextKey tr(const char* key, const char* comment = "") {
        return {key, comment};
    }
};

} // namespace nivu
