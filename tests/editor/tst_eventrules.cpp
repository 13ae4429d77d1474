// The event half of the editor without a window: what a display stores and shows, and what each
// event control changes in the entry.
#include "editor/EventRules.h"

#include <QtTest>

using namespace korvex;

class TestEventRules : public QObject {
    Q_OBJECT
private slots:
    void pressAndOnceByKind();
    void sourceMask();
    void pageFields();
    void timeoutTypeAndSign();
    void numberEdits();
    void lists();
};

namespace {

constexpr int N = 2; // tab 3

ConfigBytes Event(int kindByte, int code, int pressType, int once) {
    ConfigBytes bytes{};
    const EntryRef e(bytes, N);
    e.setName("Test");
    e.set(entry::eventKind, static_cast<std::uint8_t>(kindByte));
    e.set(entry::eventCode, static_cast<std::uint8_t>(code));
    e.set(entry::eventPress, static_cast<std::uint8_t>(pressType));
    e.set(entry::eventOnce, static_cast<std::uint8_t>(once));
    e.set(entry::reactionKind, kind::ReactionLin);
    return bytes;
}

// stored press, stored once, shown press, press enabled, once ticked, once enabled
using PressOnce = std::tuple<int, int, int, bool, bool, bool>;

PressOnce Show(int kindByte, int code, int pressType, int once) {
    ConfigBytes bytes = Event(kindByte, code, pressType, once);
    const EventView v = ShowEventPart(bytes, N, LangEnglish);
    const EntryRef e(bytes, N);
    // The name and the reaction part are not the event step's.
    if (e.name() != "Test" || e.get(entry::reactionKind) != kind::ReactionLin)
        return {-1, -1, -1, false, false, false};
    return {e.get(entry::eventPress), e.get(entry::eventOnce), v.pressIndex,
            v.pressEnabled,           v.onceChecked,           v.onceEnabled};
}

} // namespace

void TestEventRules::pressAndOnceByKind() {
    using press::Any, press::Disabled, press::Long, press::Short;
    // LIN, an ordinary key (code 0): Short locks the once flag on, Long and Any keep the choice,
    // Disabled clears it and leaves the box unticked.
    QCOMPARE(Show(1, 0, Short, 0), PressOnce(Short, 1, Short, true, true, false));
    QCOMPARE(Show(1, 0, Long, 0), PressOnce(Long, 0, Long, true, false, true));
    QCOMPARE(Show(1, 0, Long, 1), PressOnce(Long, 1, Long, true, true, true));
    QCOMPARE(Show(1, 0, Any, 1), PressOnce(Any, 1, Any, true, true, true));
    QCOMPARE(Show(1, 0, Disabled, 1), PressOnce(Disabled, 0, Disabled, true, false, true));
    // A stored flag other than 0 or 1 reads as ticked and is stored as 1.
    QCOMPARE(Show(1, 0, Any, 5), PressOnce(Any, 1, Any, true, true, true));
    // Keys that act once: always once, whatever the press.
    QCOMPARE(Show(1, 7, Disabled, 0), PressOnce(Disabled, 1, Disabled, true, true, false));
    QCOMPARE(Show(1, 7, Long, 0), PressOnce(Long, 1, Long, true, true, false));
    QCOMPARE(Show(1, 67, Any, 0), PressOnce(Any, 1, Any, true, true, false));
    QCOMPARE(Show(1, 11, Any, 0), PressOnce(Any, 0, Any, true, false, true));
    // Source, timeout, voltage: Short and Long become Any, Disabled stays; once is fixed.
    QCOMPARE(Show(2, 0, Short, 1), PressOnce(Any, 0, Any, true, false, false));
    QCOMPARE(Show(2, 0, Long, 0), PressOnce(Any, 0, Any, true, false, false));
    QCOMPARE(Show(2, 0, Disabled, 1), PressOnce(Disabled, 0, Disabled, true, false, false));
    QCOMPARE(Show(3, 0, Short, 0), PressOnce(Any, 1, Any, true, true, false));
    QCOMPARE(Show(3, 0, Disabled, 0), PressOnce(Disabled, 1, Disabled, true, true, false));
    QCOMPARE(Show(4, 1, Long, 0), PressOnce(Any, 1, Any, true, true, false));
    QCOMPARE(Show(4, 1, Any, 0), PressOnce(Any, 1, Any, true, true, false));
    // No event, or an unknown kind: the event part is cleared and the bottom panel locked.
    QCOMPARE(Show(0, 5, Any, 1), PressOnce(Disabled, 0, Disabled, false, false, false));
    QCOMPARE(Show(9, 5, Short, 1), PressOnce(Disabled, 0, Disabled, false, false, false));

    ConfigBytes bytes = Event(9, 5, Short, 1);
    const EventView v = ShowEventPart(bytes, N, LangEnglish);
    QCOMPARE(v.page, 0);
    ConfigBytes cleared = Event(0, 0, 0, 0);
    QCOMPARE(bytes, cleared);
}

void TestEventRules::sourceMask() {
    struct Row {
        int kindByte;
        std::uint8_t mask;
        int language;
        int index;
        QString second;
        bool enabled;
        int storedMask;
    };
    const Row rows[] = {
        {1, 0x05, LangEnglish, 1, " 1 3", true, 0x05},
        {2, 0x82, LangRussian, 1, " 2 8", true, 0x82},
        {1, 0x00, LangEnglish, 0, "Select...", true, 0},
        {3, 0x00, LangRussian, 0, "Выбрать...", true, 0},
        // Without an event the mask goes with the rest of the event part.
        {0, 0x05, LangEnglish, 0, "Select...", false, 0},
    };
    for (const Row& r : rows) {
        ConfigBytes bytes = Event(r.kindByte, 0, press::Any, 0);
        EntryRef(bytes, N).set(entry::eventSourceMask, r.mask);
        const EventView v = ShowEventPart(bytes, N, r.language);
        QCOMPARE(v.sourceMaskIndex, r.index);
        QCOMPARE(v.sourceMaskSecondItem, r.second);
        QCOMPARE(v.sourceMaskEnabled, r.enabled);
        QCOMPARE(int(EntryRef(bytes, N).get(entry::eventSourceMask)), r.storedMask);
    }

    // "Any" clears the mask; the second item asks for the dialog and leaves the mask alone.
    ConfigBytes bytes = Event(1, 0, press::Any, 0);
    const EntryRef e(bytes, N);
    e.set(entry::eventSourceMask, 0x30);
    QVERIFY(ChooseSourceMaskItem(bytes, N, 1));
    QCOMPARE(int(e.get(entry::eventSourceMask)), 0x30);
    QVERIFY(!ChooseSourceMaskItem(bytes, N, 0));
    QCOMPARE(int(e.get(entry::eventSourceMask)), 0);

    // What the dialog returns: all eight and none both mean any source.
    QCOMPARE(int(StoreChosenSources(bytes, N, 0x82)), 0x82);
    QCOMPARE(ShowEventPart(bytes, N, LangEnglish).sourceMaskSecondItem, QString(" 2 8"));
    QCOMPARE(int(StoreChosenSources(bytes, N, 0xFF)), 0);
    QCOMPARE(int(e.get(entry::eventSourceMask)), 0);
    const EventView v = ShowEventPart(bytes, N, LangEnglish);
    QCOMPARE(v.sourceMaskIndex, 0);
    QCOMPARE(SourceMaskItems(LangEnglish).value(v.sourceMaskIndex), QString("Any"));
    QCOMPARE(int(StoreChosenSources(bytes, N, 0)), 0);
}

void TestEventRules::pageFields() {
    ConfigBytes bytes = Event(1, 75, press::Any, 0);
    QCOMPARE(ShowEventPart(bytes, N, LangEnglish).linKeyIndex, 75);
    bytes = Event(1, 76, press::Any, 0);
    QCOMPARE(ShowEventPart(bytes, N, LangEnglish).linKeyIndex, -1);

    bytes = Event(3, 60, press::Any, 0);
    EntryRef(bytes, N).set(entry::eventTimeout, 1000000000u);
    EventView v = ShowEventPart(bytes, N, LangEnglish);
    QCOMPARE(v.page, 3);
    QCOMPARE(v.timeoutTypeIndex, 60);
    QCOMPARE(v.timeoutText, QString("1000000000"));
    bytes = Event(3, 61, press::Any, 0);
    QCOMPARE(ShowEventPart(bytes, N, LangEnglish).timeoutTypeIndex, -1);

    bytes = Event(4, 2, press::Any, 0);
    const EntryRef e(bytes, N);
    e.set(entry::eventVoltage, 0xC650);
    e.set(entry::eventVoltageTime, 250u);
    v = ShowEventPart(bytes, N, LangRussian);
    QCOMPARE(v.page, 4);
    QCOMPARE(v.voltageInputIndex, 2);
    QCOMPARE(v.voltageSign, QString(">"));
    QCOMPARE(v.voltageValueText, QString("18000"));
    QCOMPARE(v.voltageUnit, QString("мВ"));
    QCOMPARE(v.voltageTimeText, QString("250"));
    e.set(entry::eventVoltage, 0x0064);
    e.set(entry::eventCode, 3);
    v = ShowEventPart(bytes, N, LangEnglish);
    QCOMPARE(v.voltageSign, QString("<"));
    QCOMPARE(v.voltageValueText, QString("100"));
    QCOMPARE(v.voltageUnit, QString("mV"));
    QCOMPARE(v.voltageInputIndex, -1);
}

void TestEventRules::timeoutTypeAndSign() {
    // A timeout type chosen while the press is off switches the press to Any; another press
    // stays until the display turns it into Any.
    ConfigBytes bytes = Event(3, 0, press::Disabled, 0);
    const EntryRef e(bytes, N);
    ChooseTimeoutType(bytes, N, 12);
    QCOMPARE(int(e.get(entry::eventCode)), 12);
    QCOMPARE(int(e.get(entry::eventPress)), int(press::Any));
    e.set(entry::eventPress, press::Long);
    ChooseTimeoutType(bytes, N, 0);
    QCOMPARE(int(e.get(entry::eventPress)), int(press::Long));

    // The sign button flips from its caption and keeps the threshold; twice is back.
    bytes = Event(4, 0, press::Any, 0);
    e.set(entry::eventVoltage, 0x1234);
    QString caption = ShowEventPart(bytes, N, LangEnglish).voltageSign;
    QCOMPARE(caption, QString("<"));
    caption = ToggleVoltageSign(bytes, N, caption);
    QCOMPARE(caption, QString(">"));
    QCOMPARE(int(e.get(entry::eventVoltage)), 0x9234);
    caption = ToggleVoltageSign(bytes, N, caption);
    QCOMPARE(caption, QString("<"));
    QCOMPARE(int(e.get(entry::eventVoltage)), 0x1234);

    // The list handlers store the item index as the code.
    ChooseVoltageInput(bytes, N, 2);
    QCOMPARE(int(e.get(entry::eventCode)), 2);
    ChooseLinKey(bytes, N, 40);
    QCOMPARE(int(e.get(entry::eventCode)), 40);
    ChoosePress(bytes, N, press::Short);
    QCOMPARE(int(e.get(entry::eventPress)), int(press::Short));
}

void TestEventRules::numberEdits() {
    struct Row {
        int edit; // 0 timeout, 1 threshold, 2 voltage time
        QString text;
        int result;
        QString editText;
        quint32 stored; // the field afterwards
    };
    const Row rows[] = {
        {0, "1000000000", 0, "1000000000", 1000000000u},
        {0, "1000000001", 1, "7", 7u},
        {0, "-5", 1, "7", 7u},
        {1, "18000", 0, "18000", 0xC650u},
        // Refused: the edit shows the threshold, not the sign bit with it.
        {1, "18001", 1, "100", 0x8064u},
        {1, "", 1, "100", 0x8064u},
        {2, "0", 0, "0", 0u},
        {2, "1000000001", 1, "9", 9u},
    };
    for (const Row& r : rows) {
        ConfigBytes bytes = Event(r.edit == 0 ? 3 : 4, 0, press::Any, 0);
        const EntryRef e(bytes, N);
        if (r.edit == 0) {
            e.set(entry::eventTimeout, 7u);
        } else {
            e.set(entry::eventVoltage, 0x8064);
            e.set(entry::eventVoltageTime, 9u);
        }
        const ConfigBytes before = bytes;
        EditNumberResult out;
        quint32 stored = 0;
        if (r.edit == 0) {
            out = EnterEventTimeout(bytes, N, r.text, LangEnglish);
            stored = e.get(entry::eventTimeout);
        } else if (r.edit == 1) {
            out = EnterVoltageThreshold(bytes, N, r.text, LangEnglish);
            stored = e.get(entry::eventVoltage);
        } else {
            out = EnterVoltageTime(bytes, N, r.text, LangEnglish);
            stored = e.get(entry::eventVoltageTime);
        }
        QCOMPARE(out.result, r.result);
        QCOMPARE(out.editText, r.editText);
        QCOMPARE(stored, r.stored);
        QCOMPARE(out.message.isEmpty(), r.result == 0);
        if (r.result != 0)
            QCOMPARE(bytes, before);
    }
}

void TestEventRules::lists() {
    const QStringList timeouts = TimeoutTypeItems(LangEnglish);
    QCOMPARE(timeouts.size(), 61);
    QCOMPARE(timeouts.first(), QString("On power up"));
    QCOMPARE(timeouts.at(1), QString("On response 1"));
    QCOMPARE(timeouts.last(), QString("On response 60"));
    QCOMPARE(TimeoutTypeItems(LangRussian).at(60), QString("При реакции 60"));
    QCOMPARE(PressItems(LangEnglish), QStringList({"Disabled", "Short", "Long", "Any"}));
    QCOMPARE(PressItems(LangRussian).at(2), QString("Длиное"));
    const QStringList keys = LinKeyItems();
    QCOMPARE(keys.size(), 76);
    QCOMPARE(keys.at(7), QString("ENC VOL UP"));
    QCOMPARE(VoltageInputItems(), QStringList({"No", "LIN Master", "LIN Slave"}));
}

QTEST_APPLESS_MAIN(TestEventRules)
#include "tst_eventrules.moc"
