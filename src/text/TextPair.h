// Bilingual text pairs: every message, format and generated label exists in Russian and English.
#pragma once

#include <QString>

namespace korvex {

enum Language : int { LangRussian = 0, LangEnglish = 1 };

// A Russian text and its English counterpart (UTF-8). An empty English text means the Russian
// one is shown in both languages.
struct TextPair {
    const char* ru;
    const char* en;
};

// The current user-interface language, owned by the application object. 0 until the settings
// are loaded.
struct LanguageState {
    int current = LangRussian;
};

// English when the language is 1 and the English text is not empty, otherwise Russian.
QString LangText(const TextPair& pair, int language);
inline QString LangText(const TextPair& pair, const LanguageState& state) {
    return LangText(pair, state.current);
}

// A printf-style pair filled in the given language; %s takes UTF-8 text.
template <typename... Args> QString LangFormat(const TextPair& pair, int language, Args... args) {
    return QString::asprintf(LangText(pair, language).toUtf8().constData(), args...);
}

// The language to start in before any settings exist: Russian for a Russian or Ukrainian
// system, English otherwise.
int SystemDefaultLanguage();

} // namespace korvex
