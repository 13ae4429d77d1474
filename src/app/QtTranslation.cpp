// Loading Qt's Russian catalogue from the system's translations on first use.
#include "QtTranslation.h"

#include "text/TextPair.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace korvex {

bool QtTranslation::available() {
    if (!tried_) {
        tried_ = true;
        loaded_ = translator_.load(QStringLiteral("qtbase_ru"),
                                   QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    }
    return loaded_;
}

void QtTranslation::Follow(int language) {
    if (language == LangEnglish)
        QCoreApplication::removeTranslator(&translator_);
    else if (available())
        QCoreApplication::installTranslator(&translator_);
}

} // namespace korvex
