// The reaction half of the event-reaction editor without a window: what its controls show for
// an entry, the rules that display applies to the entry, and what each control's change does to
// the entry. The reaction pages only put these values on screen and forward the user's changes.
#pragma once

#include "config/ConfigImage.h"
#include "config/ValueEntry.h"
#include "text/TextPair.h"

#include <QString>
#include <QStringList>

#include <cstdint>

namespace korvex {

// The two caption lines of the source selection dialog when it picks the sources to skip.
extern const TextPair SkipDialogFirstLine;  // "Пропускать" / "Skip"
extern const TextPair SkipDialogSecondLine; // "источники:" / "sources:"

// Hints of the radio-control edits, set whenever the language is applied.
extern const TextPair ReactionVout1Hint;
extern const TextPair ReactionVout2Hint;
extern const TextPair ReactionVoutTimeHint;

// Reaction source codes (reactionCode of a source reaction) with their own rules.
constexpr std::uint8_t ReactionSourceNext = 0;
constexpr std::uint8_t ReactionSourcePrevious = 9;
constexpr std::uint8_t ReactionSourceRestore = 10;

// Event control types (reactionCode of an event-control reaction); target 0 is power-on.
constexpr std::uint8_t EventHandleSimulate = 0;
constexpr std::uint8_t EventHandleDisable = 1;
constexpr std::uint8_t EventHandleEnable = 2;

// Ranges of the two duration edits, in milliseconds.
constexpr std::int32_t PinDurationMax = 30000;
constexpr std::int32_t VoutTimeMax = 5000;

// What the controls of PageControlReaction show. Only the members of the selected page mean
// anything; the others keep their defaults.
struct ReactionView {
    int page = 0; // PageControlReaction, = reactionKind after normalisation

    // LIN: ComboBoxReactionLINx and CheckBoxReactionLINTrigger
    QStringList linItems;
    int linItem = 0;
    bool linTrigger = false;

    // Pin: ComboBoxEventReactionPinNUMx, ComboBoxEventReactionPinMODE, EditEventReactionPinTO
    int pinItem = 0;
    int pinModeItem = 0;
    bool pinModeEnabled = false;
    QString pinDurationText;
    bool pinDurationEnabled = false;

    // Radio control: channel 0 is VOUT1, channel 1 is VOUT2
    QString voutText[2];
    int voutActionItem[2] = {0, 0};
    bool voutSave[2] = {false, false};
    QString voutTimeText; // EditReactionAnalogTO
    bool voutTimeEnabled = true;

    // Source: ComboBoxEventReactionSRC, CheckBoxEventReactionSRCSave,
    // SpeedButtonEventReactionSRCSkipx
    int sourceItem = 0;
    bool sourceSaveChecked = false;
    bool sourceSaveEnabled = false;
    bool skipEnabled = false;
    QString skipCaption;

    // Event control: ComboBoxReactionEventHandleType, ComboBoxReactionEventHandleNumx
    int eventHandleTypeItem = 0;
    int eventHandleNumItem = 0;
};

// The items of ComboBoxReactionLINx for the LIN types configured in the image.
QStringList ReactionLinItems(const ConfigBytes& bytes);

// The caption of SpeedButtonEventReactionSRCSkipx for a skip mask.
QString SkipButtonCaption(std::uint8_t mask, int language);

// The reaction step of the entry display: normalises an unknown kind, applies the rules that
// tie the fields of the kind together and stores their outcome into entry n (check boxes store
// what they show, as their handlers do when the display sets them), and returns what the
// controls show.
ReactionView ShowReaction(ConfigBytes& bytes, int n, int language);

// The change handlers. Each writes the control's value into entry n; the caller shows the entry
// again afterwards.

// A page of PageControlReaction chosen: a different kind starts the reaction part afresh, the
// same kind changes nothing. Returns true when the kind changed.
bool ChooseReactionKind(ConfigBytes& bytes, int n, int page);

// An item of ComboBoxReactionLINx chosen; the stored value is the command's table row.
void ChooseReactionLinCommand(ConfigBytes& bytes, int n, int listIndex);
void SetReactionLinTrigger(ConfigBytes& bytes, int n, bool ticked);

void ChooseReactionPin(ConfigBytes& bytes, int n, int item);
void ChooseReactionPinMode(ConfigBytes& bytes, int n, int item);
// Enter in EditEventReactionPinTO. A refused number stores nothing.
EditNumberResult EnterReactionPinDuration(ConfigBytes& bytes, int n, const QString& text,
                                          int language);

// Radio control; channel 0 is VOUT1, channel 1 is VOUT2.
void EnterReactionVoltage(ConfigBytes& bytes, int n, int channel, const QString& text);
EditNumberResult EnterReactionVoutTime(ConfigBytes& bytes, int n, const QString& text,
                                       int language);
void ChooseReactionVoutAction(ConfigBytes& bytes, int n, int channel, int item);
void SetReactionVoutSave(ConfigBytes& bytes, int n, int channel, bool ticked);

void ChooseReactionSource(ConfigBytes& bytes, int n, int item);
void SetReactionSourceSave(ConfigBytes& bytes, int n, bool ticked);
// The mask the source selection dialog returned; 0 and 255 are kept as chosen.
void SetReactionSkipMask(ConfigBytes& bytes, int n, std::uint8_t mask);

void ChooseEventHandleType(ConfigBytes& bytes, int n, int item);
void ChooseEventHandleTarget(ConfigBytes& bytes, int n, int item);

} // namespace korvex
