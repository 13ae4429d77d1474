// Qt's own texts (standard buttons, file dialogs, the edit menus) in the program's language.
#pragma once

#include <QStringList>
#include <QTranslator>

namespace korvex {

class QtTranslation {
public:
    // Installs Qt's Russian texts for Russian and removes them for English. Without the
    // translation file Qt stays English.
    void Follow(int language);
    // Whether Qt's Russian texts were found.
    bool available();
    // Where the catalogue is looked for, first found first.
    static QStringList Directories();

private:
    QTranslator translator_;
    bool tried_ = false;
    bool loaded_ = false;
};

} // namespace korvex
