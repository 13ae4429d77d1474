// Entries in words, in the texts of the editor pages.
#include "EntryWords.h"

#include "config/EventRules.h"
#include "config/ReactionRules.h"
#include "config/ValueEntry.h"
#include "text/Cp1251.h"
#include "text/LanguageTable.h"
#include "text/TextPair.h"

namespace korvex {

namespace {

constexpr TextPair EventKindRows[] = {
    {"Не задано", "Not set"},  {"LIN", ""}, {"Источник", "Source"}, {"Таймаут", "Timeout"},
    {"Напряжение", "Voltage"},
};

constexpr TextPair ReactionKindRows[] = {
    {"Не задана", "Not set"}, {"LIN", ""},
    {"Вывод", "Pin"},         {"Управление магнитолой", "Radio control"},
    {"Источник", "Source"},   {"Управление событиями", "Event manage"},
};

// Labels and units of the event and reaction pages.
constexpr TextPair PressLabel{"Нажатие", "Press"};
constexpr TextPair OnceText{"Однократно", "One time only"};
constexpr TextPair SourceLabel{"Источник", "Source"};
constexpr TextPair OnPowerUp{"При включении", "On power up"};
constexpr TextPair OnResponse{"При реакции %u", "On response %u"};
constexpr TextPair AfterLabel{"через", "after"};
constexpr TextPair ForMoreThan{"В течении более", "For more than"};
constexpr TextPair MilliSeconds{"мСек", "mSec"};
constexpr TextPair MilliVolts{"мВ", "mV"};
constexpr TextPair Volts{"В", "V"};
constexpr const char* VoltageInputs[] = {"No", "LIN Master", "LIN Slave"};
constexpr TextPair TriggerText{"Триггер", "Trigger"};
constexpr TextPair PinLabel{"Ножка", "Pin"};
constexpr TextPair ModeLabel{"Режим", "Mode"};
constexpr TextPair MinDurationLabel{"Мин. длит.", "Min. durat."};
constexpr TextPair ChannelLabels[] = {{"Канал 1", "Ch 1"}, {"Канал 2", "Ch 2"}};
constexpr TextPair ReplayLabel{"Мин. длит./Повтор", "Min. durat./Replay"};
constexpr TextPair SaveBeforeChanging{"Сохранить перед сменой", "Save before changing"};
constexpr TextPair SelectLabel{"Выбрать", "Select"};
constexpr TextPair SkipLabel{"Пропустить", "Skip"};
constexpr TextPair EventLabel{"событие", "event"};
constexpr TextPair YesText{"Да", "Yes"};
constexpr TextPair NoText{"Нет", "No"};

QString Word(const TextPair& pair, int language) {
    return LangText(pair, language);
}

// A row of a table in words, or its number when the table has no such row.
QString RowOrNumber(NameTable table, int row, int language) {
    const QString text = TableText(table, row, language);
    return text.isNull() ? QString::number(row) : text;
}

QString ItemOrNumber(const char* key, int row, int language) {
    const QStringList items = LanguageTableItems(key, language);
    return row < items.size() ? items.at(row) : QString::number(row);
}

// LIN names are shown as they are, in quotes; a row beyond the table as its number.
QString QuotedOrNumber(PlainNameTable table, int row) {
    if (row < 0 || static_cast<std::size_t>(row) >= table.size())
        return QString::number(row);
    return QLatin1Char('"') + QString::fromUtf8(table[static_cast<std::size_t>(row)]) +
           QLatin1Char('"');
}

QString Labelled(const TextPair& label, const QString& value, int language) {
    return Word(label, language) + QStringLiteral(": ") + value;
}

QString WithUnit(qint64 value, const TextPair& unit, int language) {
    return QString::number(value) + QLatin1Char(' ') + Word(unit, language);
}

// " 1 3" for bits 0 and 2: the numbers of the set bits counted from 1.
QString MaskNumbers(std::uint8_t mask) {
    QString text;
    for (int i = 0; i < 8; ++i) {
        if ((mask & (1u << i)) != 0)
            text += QLatin1Char(' ') + QString::number(i + 1);
    }
    return text;
}

bool EntryInRange(int entry) {
    return entry >= 0 && entry < EntryCount;
}

// A field of entry n, read from the image.
template <typename V> V Read(const ConfigImage& image, int entry, Field<V> field) {
    return Get(image.bytes, EntryField(entry, field));
}

QString EventDetails(const ConfigImage& image, int n, int kindByte, int language) {
    QStringList parts;
    const int code = Read(image, n, entry::eventCode);
    switch (kindByte) {
    case kind::EventLin:
        parts << Word(EventKindNames[kind::EventLin], language) + QLatin1Char(' ') +
                     QuotedOrNumber(LinKeyTable, code);
        break;
    case kind::EventSource:
        parts << Word(EventKindNames[kind::EventSource], language);
        break;
    case kind::EventTimeout:
        parts << Word(EventKindNames[kind::EventTimeout], language);
        parts << TimeoutTypeName(code, language);
        parts << Word(AfterLabel, language) + QLatin1Char(' ') +
                     WithUnit(Read(image, n, entry::eventTimeout), MilliSeconds, language);
        break;
    case kind::EventVoltage: {
        const std::uint16_t voltage = Read(image, n, entry::eventVoltage);
        parts << Word(EventKindNames[kind::EventVoltage], language);
        parts << (code < int(std::size(VoltageInputs)) ? QLatin1String(VoltageInputs[code])
                                                       : QString::number(code));
        parts << QLatin1String((voltage & VoltageAboveBit) != 0 ? "> " : "< ") +
                     WithUnit(voltage & VoltageThresholdMask, MilliVolts, language);
        parts << Word(ForMoreThan, language) + QLatin1Char(' ') +
                     WithUnit(Read(image, n, entry::eventVoltageTime), MilliSeconds, language);
        break;
    }
    default:
        return QString::number(kindByte);
    }
    parts << Labelled(PressLabel,
                      ItemOrNumber("MainForm_ComboBoxEventEvent_Caption",
                                   Read(image, n, entry::eventPress), language),
                      language);
    if (Read(image, n, entry::eventOnce) != 0)
        parts << Word(OnceText, language);
    const std::uint8_t mask = Read(image, n, entry::eventSourceMask);
    parts << Word(SourceLabel, language) + QLatin1Char(':') +
                 (mask == 0
                      ? QLatin1Char(' ') +
                            LanguageTableItems("MainForm_ComboBoxEventSRCMASK_Caption", language)
                                .value(0)
                      : MaskNumbers(mask));
    return parts.join(QStringLiteral(", "));
}

QString ChannelText(const ConfigImage& image, int n, int channel, int language) {
    const bool first = channel == 0;
    const int action = Read(image, n, first ? entry::vout1Action : entry::vout2Action);
    const std::uint16_t code = Read(image, n, first ? entry::vout1Code : entry::vout2Code);
    const char* key = first ? "MainForm_ComboBoxReactionAnalogVOUT1type_Caption"
                            : "MainForm_ComboBoxReactionAnalogVOUT2type_Caption";
    QString text = Labelled(ChannelLabels[channel], ItemOrNumber(key, action, language), language);
    // "not touch" (1) and "restore" (5) use no voltage.
    if (action != 1 && action != 5)
        text += QLatin1Char(' ') + CodeToVolts(code) + QLatin1Char(' ') + Word(Volts, language);
    if (Read(image, n, first ? entry::vout1Save : entry::vout2Save) != 0)
        text += QStringLiteral(", ") + Word(SaveBeforeChanging, language);
    return text;
}

} // namespace

const NameTable EventKindNames{EventKindRows};
const NameTable ReactionKindNames{ReactionKindRows};
const TextPair PowerOnEventName{"Включение питания", "Power On"};
const PlainNameTable VoltageInputNames{VoltageInputs};

QString TimeoutTypeName(int code, int language) {
    if (code == 0)
        return Word(OnPowerUp, language);
    if (code > 0 && code <= EntryCount)
        return LangFormat(OnResponse, language, static_cast<unsigned>(code));
    return QString::number(code);
}

QString EntryCaption(const ConfigImage& image, int entry) {
    if (!EntryInRange(entry))
        return {};
    const QString number = QString::number(entry + 1);
    if (IsEntryEmpty(image.bytes, entry))
        return number;
    QByteArray field;
    for (int i = 0; i < EntryNameSize; ++i) {
        const std::uint8_t b = image.bytes[static_cast<std::size_t>(EntryOffset(entry) + i)];
        if (b == 0)
            break;
        field += char(b);
    }
    if (field.isEmpty())
        return number + QLatin1Char('*');
    return number + QStringLiteral("* (") + DecodeCp1251(field) + QLatin1Char(')');
}

namespace {

// The entry as the editor shows it: the display's rules applied to a copy, so that the words
// and the window never disagree (a stored short press of a timeout event shows as any press).
ConfigImage AsShown(const ConfigImage& stored, int entry, int language) {
    ConfigImage image = stored;
    ShowEventPart(image.bytes, entry, language);
    ShowReaction(image.bytes, entry, language);
    return image;
}

} // namespace

QString EventText(const ConfigImage& stored, int entry, int language) {
    if (!EntryInRange(entry))
        return {};
    const ConfigImage image = AsShown(stored, entry, language);
    const int kindByte = Read(image, entry, entry::eventKind);
    if (kindByte == kind::EventNone)
        return Word(EventKindNames[kind::EventNone], language);
    return EventDetails(image, entry, kindByte, language);
}

QString ReactionText(const ConfigImage& stored, int entry, int language) {
    if (!EntryInRange(entry))
        return {};
    const ConfigImage image = AsShown(stored, entry, language);
    const int kindByte = Read(image, entry, entry::reactionKind);
    const int code = Read(image, entry, entry::reactionCode);
    const std::uint8_t option = Read(image, entry, entry::reactionOption);
    if (kindByte >= int(ReactionKindNames.size()))
        return QString::number(kindByte);
    QStringList parts{Word(ReactionKindNames[static_cast<std::size_t>(kindByte)], language)};
    switch (kindByte) {
    case kind::ReactionLin:
        parts.first() += QLatin1Char(' ') + QuotedOrNumber(LinCommandTable, code);
        if (option != 0)
            parts << Word(TriggerText, language);
        break;
    case kind::ReactionPin:
        parts << Labelled(PinLabel, RowOrNumber(ReactionPins, code, language), language);
        if (code != 0) {
            parts << Labelled(
                ModeLabel,
                ItemOrNumber("MainForm_ComboBoxEventReactionPinMODE_Caption", option, language),
                language);
            parts << Labelled(
                MinDurationLabel,
                WithUnit(Read(image, entry, entry::pinDuration), MilliSeconds, language), language);
        }
        break;
    case kind::ReactionRadioControl:
        parts << ChannelText(image, entry, 0, language) << ChannelText(image, entry, 1, language);
        parts << Labelled(ReplayLabel,
                          WithUnit(Read(image, entry, entry::voutTime), MilliSeconds, language),
                          language);
        break;
    case kind::ReactionSource:
        parts << Labelled(SelectLabel,
                          ItemOrNumber("MainForm_ComboBoxEventReactionSRC_Caption", code, language),
                          language);
        // Only "next" and "previous" skip sources; only a chosen source is saved before.
        if (code == 0 || code == 9) {
            if (option != 0)
                parts << Word(SkipLabel, language) + QLatin1Char(':') + MaskNumbers(option);
        } else if (code != 10 && Read(image, entry, entry::sourceSave) != 0) {
            parts << Word(SaveBeforeChanging, language);
        }
        break;
    case kind::ReactionEventControl:
        parts << ItemOrNumber("MainForm_ComboBoxReactionEventHandleType_Caption", code, language);
        parts << (option == 0
                      ? Word(PowerOnEventName, language)
                      : Word(EventLabel, language) + QLatin1Char(' ') + QString::number(option));
        break;
    default:
        break;
    }
    return parts.join(QStringLiteral(", "));
}

std::vector<EntryFieldWord> EntryFieldWords(const ConfigBytes& bytes, int n, int language) {
    std::vector<EntryFieldWord> fields;
    if (!EntryInRange(n))
        return fields;
    const auto at = [&](auto field) { return Get(bytes, EntryField(n, field)); };
    const auto add = [&]<typename V>(Field<V> field, const QString& label, const QString& value,
                                     const TextPair* unit = nullptr) {
        ParameterWord word;
        word.label = label;
        word.value = value;
        if (unit != nullptr)
            word.unit = Word(*unit, language);
        word.stored = at(field);
        fields.push_back({EntryField(n, field).offset, int(sizeof(V)), std::move(word)});
    };
    const auto yesNo = [&](auto field) {
        return Word(at(field) != 0 ? YesText : NoText, language);
    };
    const auto kindName = [&](NameTable table, std::uint8_t row) {
        return Word(table[row], language);
    };

    const std::uint8_t eventKind = at(entry::eventKind);
    const int eventCode = at(entry::eventCode);
    switch (eventKind) {
    case kind::EventLin:
        add(entry::eventCode, kindName(EventKindNames, eventKind),
            QuotedOrNumber(LinKeyTable, eventCode));
        break;
    case kind::EventTimeout:
        add(entry::eventCode, kindName(EventKindNames, eventKind),
            TimeoutTypeName(eventCode, language));
        add(entry::eventTimeout, Word(AfterLabel, language),
            QString::number(at(entry::eventTimeout)), &MilliSeconds);
        break;
    case kind::EventVoltage: {
        const std::uint16_t voltage = at(entry::eventVoltage);
        add(entry::eventCode, kindName(EventKindNames, eventKind),
            eventCode < int(std::size(VoltageInputs)) ? QLatin1String(VoltageInputs[eventCode])
                                                      : QString::number(eventCode));
        add(entry::eventVoltage, kindName(EventKindNames, eventKind),
            QLatin1String((voltage & VoltageAboveBit) != 0 ? "> " : "< ") +
                QString::number(voltage & VoltageThresholdMask),
            &MilliVolts);
        add(entry::eventVoltageTime, Word(ForMoreThan, language),
            QString::number(at(entry::eventVoltageTime)), &MilliSeconds);
        break;
    }
    default:
        break;
    }
    // Press, once and sources sit below the pages of every kind that can fire.
    if (eventKind >= kind::EventLin && eventKind <= kind::EventVoltage) {
        const std::uint8_t mask = at(entry::eventSourceMask);
        add(entry::eventSourceMask, Word(SourceLabel, language),
            mask == 0 ? ItemOrNumber("MainForm_ComboBoxEventSRCMASK_Caption", 0, language)
                      : MaskNumbers(mask).trimmed());
        add(entry::eventPress, Word(PressLabel, language),
            ItemOrNumber("MainForm_ComboBoxEventEvent_Caption", at(entry::eventPress), language));
        add(entry::eventOnce, Word(OnceText, language), yesNo(entry::eventOnce));
    }

    const std::uint8_t reactionKind = at(entry::reactionKind);
    const int code = at(entry::reactionCode);
    const std::uint8_t option = at(entry::reactionOption);
    switch (reactionKind) {
    case kind::ReactionLin:
        add(entry::reactionCode, kindName(ReactionKindNames, reactionKind),
            QuotedOrNumber(LinCommandTable, code));
        add(entry::reactionOption, Word(TriggerText, language), yesNo(entry::reactionOption));
        break;
    case kind::ReactionPin:
        add(entry::reactionCode, Word(PinLabel, language),
            RowOrNumber(ReactionPins, code, language));
        add(entry::reactionOption, Word(ModeLabel, language),
            ItemOrNumber("MainForm_ComboBoxEventReactionPinMODE_Caption", option, language));
        add(entry::pinDuration, Word(MinDurationLabel, language),
            QString::number(at(entry::pinDuration)), &MilliSeconds);
        break;
    case kind::ReactionRadioControl: {
        constexpr U16Field codes[] = {entry::vout1Code, entry::vout2Code};
        constexpr U8Field actions[] = {entry::vout1Action, entry::vout2Action};
        constexpr U8Field saves[] = {entry::vout1Save, entry::vout2Save};
        constexpr const char* actionKeys[] = {"MainForm_ComboBoxReactionAnalogVOUT1type_Caption",
                                              "MainForm_ComboBoxReactionAnalogVOUT2type_Caption"};
        for (int c = 0; c < 2; ++c) {
            const QString channel = Word(ChannelLabels[c], language);
            add(codes[c], channel, CodeToVolts(at(codes[c])), &Volts);
            add(actions[c], channel, ItemOrNumber(actionKeys[c], at(actions[c]), language));
            add(saves[c], channel + QLatin1Char(' ') + Word(SaveBeforeChanging, language),
                yesNo(saves[c]));
        }
        add(entry::voutTime, Word(ReplayLabel, language), QString::number(at(entry::voutTime)),
            &MilliSeconds);
        break;
    }
    case kind::ReactionSource:
        add(entry::reactionCode, Word(SelectLabel, language),
            ItemOrNumber("MainForm_ComboBoxEventReactionSRC_Caption", code, language));
        add(entry::reactionOption, Word(SkipLabel, language),
            option == 0 ? Word(NoText, language) : MaskNumbers(option).trimmed());
        add(entry::sourceSave, Word(SaveBeforeChanging, language), yesNo(entry::sourceSave));
        break;
    case kind::ReactionEventControl:
        add(entry::reactionCode, kindName(ReactionKindNames, reactionKind),
            ItemOrNumber("MainForm_ComboBoxReactionEventHandleType_Caption", code, language));
        add(entry::reactionOption, Word(EventLabel, language),
            option == 0 ? Word(PowerOnEventName, language) : QString::number(option));
        break;
    default:
        break;
    }
    return fields;
}

QString SourceMaskNumbers(std::uint8_t mask) {
    return MaskNumbers(mask);
}

} // namespace korvex
