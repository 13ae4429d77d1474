// Saving a text file.
#include "TextFile.h"

#include "host/FileTexts.h"
#include "host/UiHost.h"

namespace korvex {

bool SaveTextFile(const QString& path, const QString& text, UiHost& host, int language) {
    const FileProblem problem = WriteWholeFile(path, text.toUtf8());
    if (problem.ok())
        return true;
    host.ShowMessageBox(mb::IconError, UnableToWriteText(path, problem, language));
    return false;
}

} // namespace korvex
