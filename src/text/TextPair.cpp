// Bilingual text pairs and the choice of language.
#include "TextPair.h"

#include <QLocale>

namespace korvex {

QString LangText(const TextPair& pair, int language) {
    if (language == LangEnglish && pair.en != nullptr && pair.en[0] != '\0')
        return QString::fromUtf8(pair.en);
    return QString::fromUtf8(pair.ru != nullptr ? pair.ru : "");
}

int SystemDefaultLanguage() {
    const QLocale::Language lang = QLocale::system().language();
    return (lang == QLocale::Russian || lang == QLocale::Ukrainian) ? LangRussian : LangEnglish;
}

} // namespace korvex
