// The fixed tables of names that the configuration's codes index. A row's position is the value
// the controller stores, so the order of every table is binding.
#pragma once

#include "text/TextPair.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <span>

namespace korvex {

// A table of names in both languages; a single text has an empty English half, so it reads the
// same in either language.
using NameTable = std::span<const TextPair>;
// A table of names shown as they are in both languages.
using PlainNameTable = std::span<const char* const>;
// Rows of LinCommandTable, in the order in which a LIN type offers them.
using CommandRows = std::span<const std::uint8_t>;

extern const NameTable PowerPinLevels;         // X21..X24
extern const NameTable OpenCollectorPinLevels; // X25..X210
extern const NameTable LinSlaveTypes;          // LIN1MODE
extern const NameTable LinMasterTypes;         // LIN2MODE
extern const NameTable SlaveEncodings;         // LINTYPESLAVE, unless LIN1MODE is 3 or 5
extern const NameTable SlaveEncodingsVW2;      // LINTYPESLAVE when LIN1MODE is 5
extern const NameTable SlaveEncodingsAUDI2;    // LINTYPESLAVE when LIN1MODE is 3
extern const NameTable LinSpeeds;              // LINSPEED
extern const NameTable HeaterPins;             // TEMP_RELAY_PIN
extern const NameTable ReactionPins;           // reactionCode of output-pin reactions
extern const PlainNameTable LinKeyTable;       // eventCode of LIN events; 76 rows
extern const PlainNameTable LinCommandTable;   // reactionCode of LIN reactions; 71 rows

// Hints of the controls that show the tables.
extern const TextPair PinLevelHint;
extern const TextPair LinSlaveHint;
extern const TextPair LinMasterHint;
extern const TextPair LinSlaveTypeHint;

// Every row of a table in the given language, in table order: the items of its choice box.
QStringList TableTexts(NameTable table, int language);
// One row in the given language; a null string for a row beyond the table.
QString TableText(NameTable table, int row, int language);

// The encoding table that LINTYPESLAVE indexes for a slave type.
NameTable SlaveEncodingsFor(int lin1mode);

// The commands a master type (LIN2MODE 0..16) or slave type (LIN1MODE 0..13) offers; empty for
// a type beyond its table.
CommandRows LinMasterCommandRows(int lin2mode);
CommandRows LinSlaveCommandRows(int lin1mode);

// The items of the LIN reaction list: the master type's commands, then the slave type's when it
// offers more than one.
QStringList LinReactionList(int lin1mode, int lin2mode);

// Between positions in the LIN reaction list and rows of LinCommandTable, by exact text. A name
// that occurs twice maps to its first occurrence; anything not found maps to 0.
int LinCommandIndexOf(const QStringList& items, int listIndex);
int LinListIndexOf(const QStringList& items, int row);

// The name of a key code; nothing for codes beyond LinKeyTable.
std::optional<QString> LinKeyName(int value);

// Keys that act once per press; an event on one of them always reacts only once.
bool IsOneShotKey(int value);

} // namespace korvex
