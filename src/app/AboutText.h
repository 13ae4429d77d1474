// What the About box says: the program and its version, the Qt it runs on, where its settings
// and the configuration snapshots are kept, and the command-line tool beside it.
#pragma once

#include "text/TextPair.h"

#include <QString>

namespace korvex {

inline constexpr TextPair AboutTitle{"О программе", "About"};

// `settingsPath` is the settings file the window uses.
QString AboutText(const QString& settingsPath, int language);

} // namespace korvex
