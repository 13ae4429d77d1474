// The reaction editor's rules, kept apart from its widgets so that they hold for every caller.
#include "ReactionRules.h"

#include "config/EntryWords.h"
#include "config/Vocabulary.h"

namespace korvex {

const TextPair SkipDialogFirstLine{"Пропускать", "Skip"};
const TextPair SkipDialogSecondLine{"источники:", "sources:"};
const TextPair ReactionVout1Hint{"Напряжение на 1-м выходе аналогового управления",
                                 "Voltage at the 1st analog control output"};
const TextPair ReactionVout2Hint{"Напряжение на 2-м выходе аналогового управления",
                                 "Voltage at the 2nd analog control output"};
const TextPair ReactionVoutTimeHint{
    "Минимальная длительность выдачи реакции на аналоговый выход управления",
    "The minimum duration of the response to the analog control output"};

namespace {

constexpr TextPair SkipCaptionStart{"Пропустить: ", "Skip: "};
constexpr TextPair SkipCaptionNone{" нет", " no"};

// Radio-control actions that change the voltage by a step rather than set it.
constexpr std::uint8_t VoutActionIncrease = 2;
constexpr std::uint8_t VoutActionDecrease = 3;

constexpr U16Field VoutCodes[2] = {entry::vout1Code, entry::vout2Code};
constexpr U8Field VoutActions[2] = {entry::vout1Action, entry::vout2Action};
constexpr U8Field VoutSaves[2] = {entry::vout1Save, entry::vout2Save};

std::uint8_t Byte(int item) {
    return static_cast<std::uint8_t>(item);
}

std::uint8_t Flag(bool ticked) {
    return ticked ? 1 : 0;
}

int ChannelIndex(int channel) {
    Q_ASSERT(channel == 0 || channel == 1);
    return channel == 0 ? 0 : 1;
}

void ShowLin(const ConfigBytes& bytes, const EntryRef& e, ReactionView& view) {
    view.linItems = ReactionLinItems(bytes);
    view.linItem = LinListIndexOf(view.linItems, e.get(entry::reactionCode));
    view.linTrigger = e.get(entry::reactionOption) != 0;
    // The trigger box stores what it shows when the display sets it.
    e.set(entry::reactionOption, Flag(view.linTrigger));
}

void ShowPin(const EntryRef& e, ReactionView& view) {
    view.pinItem = e.get(entry::reactionCode);
    const bool pin = view.pinItem != 0;
    if (!pin) {
        // Without a pin there is nothing to drive, so mode and duration have no meaning.
        e.set(entry::reactionOption, 0);
        e.set(entry::pinDuration, 0);
    }
    view.pinModeEnabled = pin;
    view.pinDurationEnabled = pin;
    view.pinModeItem = e.get(entry::reactionOption);
    view.pinDurationText = QString::number(e.get(entry::pinDuration));
}

void ShowRadioControl(ConfigBytes& bytes, const EntryRef& e, ReactionView& view) {
    // Clamped first, so that the edits show the codes as stored.
    ClampRadioControlCodes(bytes, e.number());
    bool stepping = false;
    for (int c = 0; c < 2; ++c) {
        view.voutText[c] = CodeToVolts(e.get(VoutCodes[c]));
        const std::uint8_t action = e.get(VoutActions[c]);
        stepping = stepping || action == VoutActionIncrease || action == VoutActionDecrease;
        view.voutActionItem[c] = action;
        view.voutSave[c] = e.get(VoutSaves[c]) != 0;
        e.set(VoutSaves[c], Flag(view.voutSave[c]));
    }
    const std::uint16_t time = e.get(entry::voutTime);
    const std::uint16_t reassign = Get(bytes, param::KEY_REASSIGN_TO);
    // The controller uses the global override instead of an entry's own duration, except for
    // the stepping actions; the entry keeps its value for when the override is removed.
    if (!stepping && time != 0 && reassign != 0) {
        view.voutTimeText = QString::number(reassign);
        view.voutTimeEnabled = false;
    } else {
        view.voutTimeText = QString::number(time);
        view.voutTimeEnabled = true;
    }
}

void ShowSource(const EntryRef& e, ReactionView& view, int language) {
    const std::uint8_t code = e.get(entry::reactionCode);
    view.sourceItem = code;
    const bool stepping = code == ReactionSourceNext || code == ReactionSourcePrevious;
    // Only "next" and "previous" skip sources; only a chosen source is saved before changing.
    view.skipEnabled = stepping;
    if (!stepping)
        e.set(entry::reactionOption, 0);
    if (stepping || code == ReactionSourceRestore) {
        e.set(entry::sourceSave, 0);
        view.sourceSaveEnabled = false;
        view.sourceSaveChecked = false;
    } else {
        view.sourceSaveEnabled = true;
        view.sourceSaveChecked = e.get(entry::sourceSave) != 0;
        e.set(entry::sourceSave, Flag(view.sourceSaveChecked));
    }
    // After the mask rule, so that the button never names sources that are not stored.
    view.skipCaption = SkipButtonCaption(e.get(entry::reactionOption), language);
}

void ShowEventControl(const EntryRef& e, ReactionView& view) {
    const std::uint8_t type = e.get(entry::reactionCode);
    // Only "Simulate" may name the power-on event.
    if ((type == EventHandleDisable || type == EventHandleEnable) &&
        e.get(entry::reactionOption) == 0)
        e.set(entry::reactionOption, 1);
    view.eventHandleTypeItem = type;
    view.eventHandleNumItem = e.get(entry::reactionOption);
}

} // namespace

QStringList ReactionLinItems(const ConfigBytes& bytes) {
    return LinReactionList(Get(bytes, param::LIN1MODE), Get(bytes, param::LIN2MODE));
}

QString SkipButtonCaption(std::uint8_t mask, int language) {
    return LangText(SkipCaptionStart, language) +
           (mask == 0 ? LangText(SkipCaptionNone, language) : SourceMaskNumbers(mask));
}

ReactionView ShowReaction(ConfigBytes& bytes, int n, int language) {
    ReactionView view;
    NormaliseReactionPart(bytes, n);
    const EntryRef e(bytes, n);
    view.page = e.get(entry::reactionKind);
    switch (view.page) {
    case kind::ReactionLin:
        ShowLin(bytes, e, view);
        break;
    case kind::ReactionPin:
        ShowPin(e, view);
        break;
    case kind::ReactionRadioControl:
        ShowRadioControl(bytes, e, view);
        break;
    case kind::ReactionSource:
        ShowSource(e, view, language);
        break;
    case kind::ReactionEventControl:
        ShowEventControl(e, view);
        break;
    default:
        break;
    }
    return view;
}

bool ChooseReactionKind(ConfigBytes& bytes, int n, int page) {
    const EntryRef e(bytes, n);
    if (e.get(entry::reactionKind) == Byte(page))
        return false;
    SetReactionKind(bytes, n, Byte(page));
    return true;
}

void ChooseReactionLinCommand(ConfigBytes& bytes, int n, int listIndex) {
    EntryRef(bytes, n).set(entry::reactionCode,
                           Byte(LinCommandIndexOf(ReactionLinItems(bytes), listIndex)));
}

void SetReactionLinTrigger(ConfigBytes& bytes, int n, bool ticked) {
    EntryRef(bytes, n).set(entry::reactionOption, Flag(ticked));
}

void ChooseReactionPin(ConfigBytes& bytes, int n, int item) {
    EntryRef(bytes, n).set(entry::reactionCode, Byte(item));
}

void ChooseReactionPinMode(ConfigBytes& bytes, int n, int item) {
    EntryRef(bytes, n).set(entry::reactionOption, Byte(item));
}

EditNumberResult EnterReactionPinDuration(ConfigBytes& bytes, int n, const QString& text,
                                          int language) {
    return EditNumber(text, 0, PinDurationMax, bytes, EntryField(n, entry::pinDuration).offset, 2,
                      language);
}

void EnterReactionVoltage(ConfigBytes& bytes, int n, int channel, const QString& text) {
    EntryRef(bytes, n).set(VoutCodes[ChannelIndex(channel)], VoltsToCode(text));
}

EditNumberResult EnterReactionVoutTime(ConfigBytes& bytes, int n, const QString& text,
                                       int language) {
    return EditNumber(text, 0, VoutTimeMax, bytes, EntryField(n, entry::voutTime).offset, 2,
                      language);
}

void ChooseReactionVoutAction(ConfigBytes& bytes, int n, int channel, int item) {
    EntryRef(bytes, n).set(VoutActions[ChannelIndex(channel)], Byte(item));
}

void SetReactionVoutSave(ConfigBytes& bytes, int n, int channel, bool ticked) {
    EntryRef(bytes, n).set(VoutSaves[ChannelIndex(channel)], Flag(ticked));
}

void ChooseReactionSource(ConfigBytes& bytes, int n, int item) {
    EntryRef(bytes, n).set(entry::reactionCode, Byte(item));
}

void SetReactionSourceSave(ConfigBytes& bytes, int n, bool ticked) {
    EntryRef(bytes, n).set(entry::sourceSave, Flag(ticked));
}

void SetReactionSkipMask(ConfigBytes& bytes, int n, std::uint8_t mask) {
    EntryRef(bytes, n).set(entry::reactionOption, mask);
}

void ChooseEventHandleType(ConfigBytes& bytes, int n, int item) {
    EntryRef(bytes, n).set(entry::reactionCode, Byte(item));
}

void ChooseEventHandleTarget(ConfigBytes& bytes, int n, int item) {
    EntryRef(bytes, n).set(entry::reactionOption, Byte(item));
}

} // namespace korvex
