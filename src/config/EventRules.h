// The event half of the editor without a window: what its controls show for an entry, the
// rules that tie press type, once flag and source mask together (stored back into the entry),
// and the change of the entry that each event control makes. The widgets only apply the view
// and forward their input here.
#pragma once

#include "config/ConfigImage.h"
#include "config/ValueEntry.h"
#include "text/TextPair.h"

#include <QString>
#include <QStringList>

#include <cstdint>

namespace korvex {

// eventPress: the rows of the press list.
namespace press {
constexpr std::uint8_t Disabled = 0;
constexpr std::uint8_t Short = 1;
constexpr std::uint8_t Long = 2;
constexpr std::uint8_t Any = 3;
} // namespace press

// Limits of the event edits.
constexpr std::int32_t EventTimeMaxMs = 1000000000;
constexpr std::int32_t EventVoltageMaxMv = 18000;
// Timeout types: "On power up", then "On response 1".."On response 60".
constexpr int TimeoutTypeCount = EntryCount + 1;
constexpr int VoltageInputCount = 3;

// The caption lines of the source dialog when it picks the sources of an event.
extern const TextPair EventSourcesCaption1; // "Event on"
extern const TextPair EventSourcesCaption2; // "sources:"

// The caption and hint of the capture panel on page 0, for automatic capture on or off.
QString CapturePanelCaption(bool autoCapture, int language);
QString CapturePanelHint(bool autoCapture, int language);

// What the event controls show after a display. A list index of -1 selects no item (a stored
// code beyond the list).
struct EventView {
    int page = 0; // PageControlEvent

    int pressIndex = 0; // ComboBoxEventEvent
    bool pressEnabled = false;
    bool onceChecked = false; // CheckBoxEventOnce
    bool onceEnabled = false;
    int sourceMaskIndex = 0;      // ComboBoxEventSRCMASK: 0 "Any", 1 the second item
    QString sourceMaskSecondItem; // "Select..." or the chosen sources, " 1 3"
    bool sourceMaskEnabled = false;

    int linKeyIndex = -1;       // ComboBoxEventLINx (page 1)
    int timeoutTypeIndex = -1;  // ComboBoxEditEventTimeoutTypex (page 3)
    QString timeoutText;        // EditEventTimeout
    int voltageInputIndex = -1; // ComboBoxEventVoltageInputx (page 4)
    QString voltageSign;        // SpeedButtonEventVoltageZnakx: ">" or "<"
    QString voltageValueText;   // EditEventVoltageValue: the threshold
    QString voltageUnit;        // "mV"
    QString voltageTimeText;    // EditEventVoltageTO

    friend bool operator==(const EventView&, const EventView&) = default;
};

// The event step of a display for entry n. Stores back what the rules decide: an unknown kind
// clears the event part, the once flag follows the press type and the key, and source, timeout
// and voltage events know no short or long press. Whatever the once box is set to is stored, as
// its click handler would when the display sets it.
EventView ShowEventPart(ConfigBytes& bytes, int n, int language);

// The items of the lists that the language fills.
QStringList PressItems(int language);
QStringList SourceMaskItems(int language); // "Any", "Select..."
QStringList LinKeyItems();
QStringList TimeoutTypeItems(int language);
QStringList VoltageInputItems();

// The control handlers. Each changes entry n only; the caller shows the entry afterwards.

// A page of PageControlEvent chosen: a different kind starts the event part afresh, the same kind
// changes nothing. Returns true when the kind changed.
bool ChooseEventKind(ConfigBytes& bytes, int n, int page);
void ChoosePress(ConfigBytes& bytes, int n, int index);
void SetOnce(ConfigBytes& bytes, int n, bool ticked);
void ChooseLinKey(ConfigBytes& bytes, int n, int index);
// A timeout needs a press type to run from, so "Disabled" becomes "Any".
void ChooseTimeoutType(ConfigBytes& bytes, int n, int index);
void ChooseVoltageInput(ConfigBytes& bytes, int n, int index);

// Item 0 of the source mask list means any source. Returns true when the item asks for the
// source dialog, whose result goes to StoreChosenSources.
bool ChooseSourceMaskItem(ConfigBytes& bytes, int n, int index);
// No source and all eight sources both mean any source: stores 0 then. Returns the stored mask.
std::uint8_t StoreChosenSources(ConfigBytes& bytes, int n, std::uint8_t mask);

// Flips the comparison from what the button shows: ">" becomes "<" and clears bit 15, anything
// else becomes ">" and sets it. Returns the new caption.
QString ToggleVoltageSign(ConfigBytes& bytes, int n, const QString& caption);

// Enter in the edits. A refused text leaves the entry unchanged; the edit then shows the stored
// value (for the threshold: bits 0..14 only).
EditNumberResult EnterEventTimeout(ConfigBytes& bytes, int n, const QString& text, int language);
EditNumberResult EnterVoltageThreshold(ConfigBytes& bytes, int n, const QString& text,
                                       int language);
EditNumberResult EnterVoltageTime(ConfigBytes& bytes, int n, const QString& text, int language);

} // namespace korvex
