// Loading Qt's Russian catalogue on first use: from translations/ beside the program, where a
// Windows installation and its unzipped folder carry it, else from Qt's own translations.
#include "QtTranslation.h"

#include "text/TextPair.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace korvex {

QStringList QtTranslation::Directories() {
    return {QCoreApplication::applicationDirPath() + QStringLiteral("/translations"),
            QLibraryInfo::path(QLibraryInfo::TranslationsPath)};
}

bool QtTranslation::available() {
    if (!tried_) {
        tried_ = true;
        for (const QString& dir : Directories()) {
            loaded_ = translator_.load(QStringLiteral("qtbase_ru"), dir);
            if (loaded_)
                break;
        }
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
