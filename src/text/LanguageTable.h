// The language table: the captions, item lists and hints of the main window's controls, found
// by the control's name.
#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <span>

namespace korvex {

// Key "<form>_<control>_<Caption|Items|Hint>"; Russian and English texts in UTF-8. The caption
// of a list control holds the whole list, each line ending in "\r\n". A row with an empty key
// ends the table.
struct LanguageRow {
    const char* key;
    const char* ru;
    const char* en;
};

// The main window's table: 92 rows and the terminating row.
extern const std::span<const LanguageRow> MainFormLanguageTable;

// The row with exactly this key (case-sensitive), or null. A control whose name ends in "x"
// never takes table texts, so a key whose part before its last "_" ends in "x" finds nothing.
const LanguageRow* LookupLanguageKey(QStringView key, std::span<const LanguageRow> table);

// The row's text in the given language: English when the language is 1 and the English text is
// not empty, else Russian.
QString LanguageRowText(const LanguageRow& row, int language);

// The lines of a text as a list control takes them: split at line ends, without the empty
// piece after the last one.
QStringList LanguageTextLines(const QString& text);

// The items that the main table holds for a key (such as "MainForm_ComboBoxEventEvent_Caption")
// in the given language; empty for a key the table lacks.
QStringList LanguageTableItems(const char* key, int language);

} // namespace korvex
