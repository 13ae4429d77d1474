// An event/reaction entry in words: its tab caption, and its event and reaction as the editor
// pages would show them. Used by the tab strip, korvex-cli's dump and the configuration diff.
#pragma once

#include "config/ConfigImage.h"
#include "config/ParameterWords.h"
#include "config/Vocabulary.h"

#include <QString>

#include <vector>

namespace korvex {

// The page captions of the kinds, by eventKind (0..4) and reactionKind (0..5).
extern const NameTable EventKindNames;
extern const NameTable ReactionKindNames;
// The voltage inputs of voltage events, by eventCode (0..2).
extern const PlainNameTable VoltageInputNames;
// The target 0 of an event-control reaction: the event at power-on.
extern const TextPair PowerOnEventName;

// What a timeout runs from, by eventCode: "On power up" for 0, "On response n" for 1..60, the
// number for anything beyond.
QString TimeoutTypeName(int code, int language);

// The caption of tab entry + 1: the number alone for an all-zero entry, "7* (Volume)" with a
// name, "7*" without. Empty for an entry beyond 0..59.
QString EntryCaption(const ConfigImage& image, int entry);

// The entry's event and reaction in the given language, as the editor shows them: after the
// display's rules (an unknown kind shows as not set); a row beyond its list shows as its number.
QString EventText(const ConfigImage& image, int entry, int language);
QString ReactionText(const ConfigImage& image, int entry, int language);

// A field of an entry that a control on the pages of its kinds shows: its bytes (image offset
// and size) and the control's caption with the stored value in its words.
struct EntryFieldWord {
    int offset;
    int size;
    ParameterWord word;
};

// The fields of entry n that the pages of its stored event and reaction kinds show, read as
// stored: the rules of the display are not applied, so that a value the display replaces is
// still told from its replacement. Bytes no control of those pages shows have no field.
std::vector<EntryFieldWord> EntryFieldWords(const ConfigBytes& bytes, int entry, int language);

// " 1 3 8" for a source mask with bits 0, 2 and 7 set: the source numbers, each after a blank.
QString SourceMaskNumbers(std::uint8_t mask);

} // namespace korvex
