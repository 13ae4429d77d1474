// The event half of the editor without a window: what a display stores and shows, and what each
// event control changes in the entry.
#include "config/EventRules.h"

#include <QtTest>

using namespace korvex;

class TestEventRules : public QObject {
    Q_OBJECT
private slots:
    void pressAndOnceByKind();
    void sourceMask();
    void pageFieldsAndSign();
    void numberEdits();
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
    QCOMPARE(Show(1, 0, Disabled, 1), PressOnce(Disabled, 0, Disabled, true, false, true));
    // A stored flag other than 0 or 1 reads as ticked and is stored as 1.
    QCOMPARE(Show(1, 0, Any, 5), PressOnce(Any, 1, Any, true, true, true));
    // Keys that act once: always once, whatever the press.
    QCOMPARE(Show(1, 7, Disabled, 0), PressOnce(Disabled, 1, Disabled, true, true, false));
    QCOMPARE(Show(1, 11, Any, 0), PressOnce(Any, 0, Any, true, false, true));
    // Source, timeout, voltage: Short and Long become Any, Disabled stays; once is fixed.
    QCOMPARE(Show(2, 0, Short, 1), PressOnce(Any, 0, Any, true, false, false));
    QCOMPARE(Show(2, 0, Disabled, 1), PressOnce(Disabled, 0, Disabled, true, false, false));
    QCOMPARE(Show(3, 0, Short, 0), PressOnce(Any, 1, Any, true, true, false));
    QCOMPARE(Show(3, 0, Disabled, 0), PressOnce(Disabled, 1, Disabled, true, true, false));
    QCOMPARE(Show(4, 1, Long, 0), PressOnce(Any, 1, Any, true, true, false));
    // No event, or an unknown kind: the event part is cleared and the bottom panel locked.
    QCOMPARE(Show(9, 5, Short, 1), PressOnce(Disabled, 0, Disabled, false, false, false));

    // Only the event part is cleared: the name and the reaction stay.
    ConfigBytes bytes = Event(9, 5, Short, 1);
    QCOMPARE(ShowEventPart(bytes, N, LangEnglish).page, 0);
    QCOMPARE(bytes, Event(0, 0, 0, 0));
}

void TestEventRules::sourceMask() {
    // kind, mask, language, then shown item, second item, enabled, mask stored
    using Row = std::tuple<int, int, int, int, QString, bool, int>;
    const Row rows[] = {
        {2, 0x82, LangRussian, 1, " 2 8", true, 0x82},
        {3, 0x00, LangRussian, 0, "Выбрать...", true, 0},
        // Without an event the mask goes with the rest of the event part.
        {0, 0x05, LangEnglish, 0, "Select...", false, 0},
    };
    for (const auto& [kindByte, mask, language, index, second, enabled, stored] : rows) {
        ConfigBytes bytes = Event(kindByte, 0, press::Any, 0);
        EntryRef(bytes, N).set(entry::eventSourceMask, static_cast<std::uint8_t>(mask));
        const EventView v = ShowEventPart(bytes, N, language);
        QCOMPARE(std::tuple(v.sourceMaskIndex, v.sourceMaskSecondItem, v.sourceMaskEnabled,
                            int(EntryRef(bytes, N).get(entry::eventSourceMask))),
                 std::tuple(index, second, enabled, stored));
    }

    // "Any" clears the mask, the second item asks for the dialog; all eight sources mean any.
    ConfigBytes bytes = Event(1, 0, press::Any, 0);
    EntryRef(bytes, N).set(entry::eventSourceMask, 0x30);
    QVERIFY(ChooseSourceMaskItem(bytes, N, 1));
    QVERIFY(!ChooseSourceMaskItem(bytes, N, 0));
    QCOMPARE(int(EntryRef(bytes, N).get(entry::eventSourceMask)), 0);
    QCOMPARE(int(StoreChosenSources(bytes, N, 0xFF)), 0);
    const EventView v = ShowEventPart(bytes, N, LangEnglish);
    QCOMPARE(SourceMaskItems(LangEnglish).value(v.sourceMaskIndex), QString("Any"));
}

void TestEventRules::pageFieldsAndSign() {
    // The threshold shows without the sign bit; the sign button flips from its caption.
    ConfigBytes bytes = Event(4, 3, press::Any, 0);
    const EntryRef e(bytes, N);
    e.set(entry::eventVoltage, 0xC650);
    EventView v = ShowEventPart(bytes, N, LangRussian);
    QCOMPARE(std::tuple(v.page, v.voltageInputIndex, v.voltageSign, v.voltageValueText),
             std::tuple(4, -1, QString(">"), QString("18000")));
    QCOMPARE(ToggleVoltageSign(bytes, N, v.voltageSign), QString("<"));
    QCOMPARE(int(e.get(entry::eventVoltage)), 0x4650);
    QCOMPARE(ToggleVoltageSign(bytes, N, "<"), QString(">"));
    QCOMPARE(int(e.get(entry::eventVoltage)), 0xC650);

    // A timeout type chosen while the press is off switches the press to Any; another press
    // stays until the display turns it into Any.
    bytes = Event(3, 0, press::Disabled, 0);
    ChooseTimeoutType(bytes, N, 60);
    QCOMPARE(int(e.get(entry::eventPress)), int(press::Any));
    e.set(entry::eventPress, press::Long);
    ChooseTimeoutType(bytes, N, 60);
    QCOMPARE(int(e.get(entry::eventPress)), int(press::Long));
    v = ShowEventPart(bytes, N, LangEnglish);
    QCOMPARE(std::tuple(v.page, v.timeoutTypeIndex, v.pressIndex), std::tuple(3, 60, 3));
    QCOMPARE(TimeoutTypeItems(LangEnglish).value(v.timeoutTypeIndex), QString("On response 60"));
}

void TestEventRules::numberEdits() {
    // edit (0 timeout, 1 threshold, 2 voltage time), text, refused, edit text after, field after
    using Row = std::tuple<int, QString, bool, QString, quint32>;
    const Row rows[] = {
        {0, "1000000000", false, "1000000000", 1000000000u},
        {0, "1000000001", true, "7", 7u},
        {1, "18000", false, "18000", 0xC650u},
        // Refused: the edit shows the threshold, not the sign bit with it.
        {1, "18001", true, "100", 0x8064u},
        {2, "1000000001", true, "9", 9u},
    };
    for (const auto& [edit, text, refused, editText, stored] : rows) {
        ConfigBytes bytes = Event(edit == 0 ? 3 : 4, 0, press::Any, 0);
        const EntryRef e(bytes, N);
        e.set(entry::eventTimeout, 7u);
        if (edit != 0) {
            e.set(entry::eventVoltage, 0x8064);
            e.set(entry::eventVoltageTime, 9u);
        }
        const ConfigBytes before = bytes;
        const EditNumberResult out = edit == 0 ? EnterEventTimeout(bytes, N, text, LangEnglish)
                                     : edit == 1
                                         ? EnterVoltageThreshold(bytes, N, text, LangEnglish)
                                         : EnterVoltageTime(bytes, N, text, LangEnglish);
        const quint32 after = edit == 0   ? e.get(entry::eventTimeout)
                              : edit == 1 ? e.get(entry::eventVoltage)
                                          : e.get(entry::eventVoltageTime);
        QCOMPARE(std::tuple(out.result != 0, out.editText, after),
                 std::tuple(refused, editText, stored));
        if (refused)
            QCOMPARE(bytes, before);
    }
}

QTEST_APPLESS_MAIN(TestEventRules)
#include "tst_eventrules.moc"
