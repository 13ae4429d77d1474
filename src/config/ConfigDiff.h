// Two configurations compared in words: what the user would see change on the pages and tabs,
// for korvex-cli's diff and for the window's questions before it overwrites a controller.
#pragma once

#include "config/ConfigImage.h"
#include "text/TextPair.h"

#include <QString>
#include <QStringList>

namespace korvex {

inline constexpr TextPair ConfigsSameText{"Конфигурации совпадают",
                                          "The configurations are the same"};
inline constexpr TextPair EntryAddedText{"%s: добавлена", "%s: added"};
inline constexpr TextPair EntryRemovedText{"%s: удалена", "%s: removed"};
inline constexpr TextPair TabNameLabel{"Имя", "Name"};
inline constexpr TextPair UnknownKindText{"(неизвестный вид %u)", "(unknown kind %u)"};
inline constexpr TextPair ByteChangedText{"Байт %d: %s -> %s", "Byte %d: %s -> %s"};
inline constexpr TextPair MoreLinesText{"… и еще %d", "… and %d more"};
inline constexpr TextPair NothingChangesText{"Конфигурация контроллера не изменится",
                                             "The controller's configuration does not change"};
inline constexpr TextPair ChangesHeadingText{"Изменения конфигурации контроллера:",
                                             "Changes to the controller's configuration:"};

// Noted after a change that no user made: the display filled the value in by its rules.
inline constexpr TextPair EditorRuleNote{" (правило редактора)", " (the editor's rule)"};
inline constexpr TextPair ShortPressRuleNote{" (правило редактора для короткого нажатия)",
                                             " (the editor's rule for a short press)"};

// What differs from `before` to `after`, one line per parameter and one block per entry (its tab
// caption, then indented lines). Where an entry's part reads alike, a differing value is named by
// its control as stored; bytes the tool does not interpret as bytes. One line saying so when
// nothing differs. Every differing byte shows up in some line.
QStringList DiffConfigurations(const ConfigBytes& before, const ConfigBytes& after, int language);

// The configuration as the editor stores it once every page and entry has been shown: the
// display's rules applied. Two configurations alike under it differ by no choice of the user's.
ConfigBytes AsEditorShows(const ConfigBytes& bytes);

// The lines of DiffConfigurations, where a change is only what the editor's rules make of
// `before` noted as such.
QStringList DiffNotingRules(const ConfigBytes& before, const ConfigBytes& after, int language);
// Only the noted changes, each on one line with its entry's caption.
QStringList RuleMadeChanges(const ConfigBytes& before, const ConfigBytes& after, int language);

// The first `maxLines` lines, and a last line "… and N more" for the rest.
QString DiffSummary(const QStringList& lines, int maxLines, int language);

// The window's summary of what writing `after` changes on a controller that holds `before`: a
// heading and the first lines of the diff (the editor's rules noted), or a line saying nothing
// changes.
QString ChangeSummary(const ConfigBytes& before, const ConfigBytes& after, int language);

} // namespace korvex
