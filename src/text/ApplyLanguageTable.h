// Setting a window's captions, item lists and hints from a language table, by control name.
#pragma once

#include "LanguageTable.h"

#include <span>

class QWidget;

namespace korvex {

// Sets the texts of the window and of every object under it whose "<window>_<name>_Caption",
// "_Items" or "_Hint" row the table holds. Selections, check marks and current tabs survive
// the new texts, and no change handler runs.
void ApplyLanguageTable(std::span<const LanguageRow> table, QWidget* window, int language);

} // namespace korvex
