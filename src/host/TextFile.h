// Saving a text the user asked for (the log window's contents) as a plain UTF-8 file.
#pragma once

#include <QString>

namespace korvex {

class UiHost;

// Writes the whole text or nothing: an existing file is replaced only once the new one is
// complete. A failure is shown, with its reason in the given language, and returns false.
bool SaveTextFile(const QString& path, const QString& text, UiHost& host, int language);

} // namespace korvex
