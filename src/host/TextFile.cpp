// Saving a text file.
#include "TextFile.h"

#include "host/FileTexts.h"
#include "host/UiHost.h"

#include <QSaveFile>

namespace korvex {

bool SaveTextFile(const QString& path, const QString& text, UiHost& host) {
    QSaveFile file(path);
    const QByteArray bytes = text.toUtf8();
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    host.ShowMessageBox(mb::IconError, UnableToWriteText(path));
    return false;
}

} // namespace korvex
