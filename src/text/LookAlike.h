// Words typed with the other keyboard: Cyrillic and Latin letters that look the same (Cyrillic О
// and Latin O) count as one letter when a typed word is matched against the known words.
#pragma once

#include <QString>

namespace korvex {

// `word` in lower case with every Cyrillic letter that has a Latin twin of the same look (in
// either case) replaced by that twin: spellings that look alike fold to the same text.
QString FoldLookAlikes(const QString& word);

} // namespace korvex
