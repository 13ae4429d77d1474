// The event half of the editor: display rules and control handlers on the image.
#include "EventRules.h"

#include "config/EntryWords.h"
#include "config/Vocabulary.h"
#include "text/LanguageTable.h"

#include <algorithm>

namespace korvex {

const TextPair EventSourcesCaption1{"Событие при", "Event on"};
const TextPair EventSourcesCaption2{"источниках:", "sources:"};

namespace {

constexpr TextPair MilliVolts{"мВ", "mV"};
constexpr const char* PressKey = "MainForm_ComboBoxEventEvent_Caption";
constexpr const char* SourceMaskKey = "MainForm_ComboBoxEventSRCMASK_Caption";

int IndexIn(int code, int count) {
    return code >= 0 && code < count ? code : -1;
}

QStringList PlainItems(PlainNameTable table) {
    QStringList items;
    items.reserve(static_cast<qsizetype>(table.size()));
    for (const char* name : table)
        items << QString::fromUtf8(name);
    return items;
}

// One display of the event part. The once box stores whatever it is set to, so every change of
// its state goes through showOnce.
class EventDisplay {
public:
    EventDisplay(ConfigBytes& bytes, int n, int language)
        : e_(bytes, n), bytes_(bytes), language_(language) {}

    EventView run() {
        NormaliseEventPart(bytes_, e_.number());
        // 1. Press and once as stored.
        view_.pressIndex = IndexIn(e_.get(entry::eventPress), press::Any + 1);
        showOnce(e_.get(entry::eventOnce) != 0, view_.onceEnabled);
        // 2. Source mask.
        const std::uint8_t mask = e_.get(entry::eventSourceMask);
        if (mask != 0) {
            view_.sourceMaskSecondItem = SourceMaskNumbers(mask);
            view_.sourceMaskIndex = 1;
        } else {
            view_.sourceMaskSecondItem = SourceMaskItems(language_).value(1);
            view_.sourceMaskIndex = 0;
        }
        // 3. The page of the kind.
        const std::uint8_t kindByte = e_.get(entry::eventKind);
        view_.page = kindByte;
        showKind(kindByte);
        // 5. A press that is off or short leaves nothing for the user to choose.
        if (view_.pressEnabled && view_.onceEnabled) {
            const std::uint8_t p = e_.get(entry::eventPress);
            if (p == press::Disabled || p == press::Short)
                showOnce(false, false);
        }
        // 6. Sources matter only for an event that can fire.
        view_.sourceMaskEnabled = view_.pressEnabled;
        if (!view_.pressEnabled)
            view_.sourceMaskIndex = 0;
        // 7. Second pass.
        if (kindByte == kind::EventLin) {
            onceRule();
        } else if (kindByte != kind::EventNone) {
            if (e_.get(entry::eventPress) != press::Disabled) {
                e_.set(entry::eventPress, press::Any);
                view_.pressIndex = press::Any;
            }
            showKind(kindByte);
        }
        return view_;
    }

private:
    void showOnce(bool ticked, bool enabled) {
        view_.onceChecked = ticked;
        view_.onceEnabled = enabled;
        SetOnce(bytes_, e_.number(), ticked);
    }

    void onceRule() {
        const std::uint8_t code = e_.get(entry::eventCode);
        if (IsOneShotKey(code) || e_.get(entry::eventPress) == press::Short)
            showOnce(true, false);
        else
            showOnce(e_.get(entry::eventOnce) != 0, true);
    }

    void showKind(std::uint8_t kindByte) {
        const int code = e_.get(entry::eventCode);
        switch (kindByte) {
        case kind::EventLin:
            view_.linKeyIndex = IndexIn(code, static_cast<int>(LinKeyTable.size()));
            view_.pressEnabled = true;
            onceRule();
            break;
        case kind::EventSource:
            view_.pressEnabled = true;
            showOnce(false, false);
            break;
        case kind::EventTimeout:
            view_.timeoutTypeIndex = IndexIn(code, TimeoutTypeCount);
            view_.timeoutText =
                ShowNumber(bytes_, EntryField(e_.number(), entry::eventTimeout).offset, 4);
            view_.pressEnabled = true;
            showOnce(true, false);
            break;
        case kind::EventVoltage:
            view_.pressEnabled = true;
            showOnce(true, false);
            view_.voltageInputIndex = IndexIn(code, VoltageInputCount);
            view_.voltageUnit = LangText(MilliVolts, language_);
            view_.voltageSign = e_.eventVoltageAbove() ? QStringLiteral(">") : QStringLiteral("<");
            view_.voltageValueText = QString::number(e_.eventVoltageThreshold());
            view_.voltageTimeText =
                ShowNumber(bytes_, EntryField(e_.number(), entry::eventVoltageTime).offset, 4);
            break;
        default:
            // Normalised above: no event.
            view_.page = 0;
            view_.pressIndex = 0;
            view_.pressEnabled = false;
            showOnce(false, false);
            break;
        }
    }

    EntryRef e_;
    ConfigBytes& bytes_;
    int language_;
    EventView view_;
};

// EditNumber into a field of entry n.
template <typename T>
EditNumberResult EditEntryNumber(ConfigBytes& bytes, int n, Field<T> field, const QString& text,
                                 std::int32_t high, int language) {
    return EditNumber(text, 0, high, bytes, EntryField(n, field).offset, int(sizeof(T)), language);
}

} // namespace

EventView ShowEventPart(ConfigBytes& bytes, int n, int language) {
    return EventDisplay(bytes, n, language).run();
}

QStringList PressItems(int language) {
    return LanguageTableItems(PressKey, language);
}

QStringList SourceMaskItems(int language) {
    return LanguageTableItems(SourceMaskKey, language);
}

QStringList LinKeyItems() {
    return PlainItems(LinKeyTable);
}

QStringList TimeoutTypeItems(int language) {
    QStringList items;
    items.reserve(TimeoutTypeCount);
    for (int code = 0; code < TimeoutTypeCount; ++code)
        items << TimeoutTypeName(code, language);
    return items;
}

QStringList VoltageInputItems() {
    return PlainItems(VoltageInputNames);
}

QString CapturePanelCaption(bool autoCapture, int language) {
    static constexpr TextPair On{"Получать события автоматически", "Receive events automatically"};
    static constexpr TextPair Off{"Получить событие по клику", "Get Event on click"};
    return LangText(autoCapture ? On : Off, language);
}

QString CapturePanelHint(bool autoCapture, int language) {
    static constexpr TextPair On{"Делать внешние события, они автоматически вводятся",
                                 "Make external events, they are automatically entered"};
    static constexpr TextPair Off{"Кликнуть для получения события после нажатия кнопки",
                                  "Click to get Event after button click"};
    return LangText(autoCapture ? On : Off, language);
}

bool ChooseEventKind(ConfigBytes& bytes, int n, int page) {
    if (Get(bytes, EntryField(n, entry::eventKind)) == page)
        return false;
    SetEventKind(bytes, n, std::uint8_t(page));
    return true;
}

void ChoosePress(ConfigBytes& bytes, int n, int index) {
    EntryRef(bytes, n).set(entry::eventPress, static_cast<std::uint8_t>(index));
}

void SetOnce(ConfigBytes& bytes, int n, bool ticked) {
    EntryRef(bytes, n).set(entry::eventOnce, ticked ? 1 : 0);
}

void ChooseLinKey(ConfigBytes& bytes, int n, int index) {
    EntryRef(bytes, n).set(entry::eventCode, static_cast<std::uint8_t>(index));
}

void ChooseTimeoutType(ConfigBytes& bytes, int n, int index) {
    const EntryRef e(bytes, n);
    e.set(entry::eventCode, static_cast<std::uint8_t>(index));
    if (e.get(entry::eventPress) == press::Disabled)
        e.set(entry::eventPress, press::Any);
}

void ChooseVoltageInput(ConfigBytes& bytes, int n, int index) {
    EntryRef(bytes, n).set(entry::eventCode, static_cast<std::uint8_t>(index));
}

bool ChooseSourceMaskItem(ConfigBytes& bytes, int n, int index) {
    if (index == 0) {
        EntryRef(bytes, n).set(entry::eventSourceMask, 0);
        return false;
    }
    return index == 1;
}

std::uint8_t StoreChosenSources(ConfigBytes& bytes, int n, std::uint8_t mask) {
    const std::uint8_t stored = mask == 0xFF ? 0 : mask;
    EntryRef(bytes, n).set(entry::eventSourceMask, stored);
    return stored;
}

QString ToggleVoltageSign(ConfigBytes& bytes, int n, const QString& caption) {
    const bool above = caption != QLatin1String(">");
    EntryRef(bytes, n).setEventVoltageAbove(above);
    return above ? QStringLiteral(">") : QStringLiteral("<");
}

EditNumberResult EnterEventTimeout(ConfigBytes& bytes, int n, const QString& text, int language) {
    return EditEntryNumber(bytes, n, entry::eventTimeout, text, EventTimeMaxMs, language);
}

EditNumberResult EnterVoltageThreshold(ConfigBytes& bytes, int n, const QString& text,
                                       int language) {
    // The edit works on the threshold alone, so the sign bit is neither shown nor overwritten.
    const EntryRef e(bytes, n);
    ConfigBytes scratch = bytes;
    EntryRef(scratch, n).set(entry::eventVoltage, e.eventVoltageThreshold());
    EditNumberResult result =
        EditEntryNumber(scratch, n, entry::eventVoltage, text, EventVoltageMaxMv, language);
    if (result.result == 0)
        e.setEventVoltageThreshold(EntryRef(scratch, n).get(entry::eventVoltage));
    return result;
}

EditNumberResult EnterVoltageTime(ConfigBytes& bytes, int n, const QString& text, int language) {
    return EditEntryNumber(bytes, n, entry::eventVoltageTime, text, EventTimeMaxMs, language);
}

} // namespace korvex
