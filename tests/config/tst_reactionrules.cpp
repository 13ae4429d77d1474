// The reaction editor's rules without a window: what its display stores and shows, by kind,
// and what its handlers store.
#include "config/ReactionRules.h"
#include "config/Vocabulary.h"

#include <QtTest>

#include <tuple>

using namespace korvex;

class TestReactionRules : public QObject {
    Q_OBJECT
private slots:
    void pinWithoutPinResetsModeAndDuration();
    void radioControlClampAndDurationOverride();
    void sourceSkipAndSaveTable();
    void eventControlPowerOnOnlyForSimulate();
    void linListFollowsLinTypes();
    void unknownAndRepeatedKinds();
};

namespace {

constexpr int N = 2; // entry 2 at offset 66: every field at an offset other than its own

struct Entry {
    ConfigBytes bytes{};
    EntryRef e{bytes, N};
    explicit Entry(std::uint8_t reactionKind) { e.set(entry::reactionKind, reactionKind); }
    ReactionView show() { return ShowReaction(bytes, N, LangEnglish); }
};

} // namespace

void TestReactionRules::pinWithoutPinResetsModeAndDuration() {
    // pin, mode, duration -> mode and duration stored, both controls enabled, duration shown
    using R = std::tuple<int, int, QString, bool>;
    const std::tuple<int, int, int, R> rows[] = {
        {0, 2, 500, {0, 0, "0", false}}, // "Not defined"
        {3, 2, 500, {2, 500, "500", true}},
        {13, 3, 30000, {3, 30000, "30000", true}},
    };
    for (const auto& [pin, mode, duration, expected] : rows) {
        Entry x(kind::ReactionPin);
        ChooseReactionPin(x.bytes, N, pin);
        ChooseReactionPinMode(x.bytes, N, mode);
        x.e.set(entry::pinDuration, std::uint16_t(duration));
        const ReactionView v = x.show();
        QCOMPARE(v.pinModeEnabled, v.pinDurationEnabled);
        QCOMPARE(v.pinModeItem, int(x.e.get(entry::reactionOption)));
        QCOMPARE(R(x.e.get(entry::reactionOption), x.e.get(entry::pinDuration), v.pinDurationText,
                   v.pinModeEnabled),
                 expected);
    }
    Entry x(kind::ReactionPin);
    x.e.set(entry::pinDuration, 1234);
    QCOMPARE(EnterReactionPinDuration(x.bytes, N, QStringLiteral("30001"), LangEnglish).result, 1);
    QCOMPARE(int(x.e.get(entry::pinDuration)), 1234);
    QCOMPARE(EnterReactionPinDuration(x.bytes, N, QStringLiteral("30000"), LangEnglish).result, 0);
    QCOMPARE(std::make_pair(int(x.bytes[66 + 24]), int(x.bytes[66 + 25])),
             std::make_pair(0x30, 0x75));
}

void TestReactionRules::radioControlClampAndDurationOverride() {
    // VOUT1 = 100, VOUT1minmax = 40, channel 2 fixed at 2.50 V, KEY_REASSIGN_TO = 500.
    // action 1, code 1, action 2, voutTime -> code 1 stored, duration shown, duration enabled
    using R = std::tuple<int, QString, bool>;
    const std::tuple<int, int, int, int, R> rows[] = {
        {4, 300, 0, 200, {100, "500", false}}, // "equal" is clamped; the override shows
        {0, 10, 4, 200, {40, "500", false}},   // "set" likewise, from below
        {2, 300, 0, 200, {300, "200", true}},  // "increase on" steps: no clamp, own duration
        {0, 70, 3, 200, {70, "200", true}},    // "decrease on" on the other channel
        {1, 300, 0, 0, {300, "0", true}},      // no duration: nothing to override
    };
    for (const auto& [action1, code1, action2, time, expected] : rows) {
        Entry x(kind::ReactionRadioControl);
        Set(x.bytes, param::VOUT1, 100);
        Set(x.bytes, param::VOUT1minmax, 40);
        Set(x.bytes, param::VOUT2, 250);
        Set(x.bytes, param::VOUT2minmax, 250);
        Set(x.bytes, param::KEY_REASSIGN_TO, 500);
        ChooseReactionVoutAction(x.bytes, N, 0, action1);
        ChooseReactionVoutAction(x.bytes, N, 1, action2);
        x.e.set(entry::vout1Code, std::uint16_t(code1));
        EnterReactionVoltage(x.bytes, N, 1, QStringLiteral("4,5"));
        x.e.set(entry::voutTime, std::uint16_t(time));
        const ReactionView v = x.show();
        QCOMPARE(R(x.e.get(entry::vout1Code), v.voutTimeText, v.voutTimeEnabled), expected);
        QCOMPARE(v.voutText[0], CodeToVolts(x.e.get(entry::vout1Code)));
        QCOMPARE(int(x.e.get(entry::vout2Code)), action2 == 0 || action2 == 4 ? 250 : 450);
        QCOMPARE(int(x.e.get(entry::voutTime)), time); // the entry keeps its own duration
    }
}

void TestReactionRules::sourceSkipAndSaveTable() {
    // code, mask, save -> skip enabled, mask stored, save stored, save enabled, caption
    using R = std::tuple<bool, int, int, bool, QString>;
    const std::tuple<int, int, int, R> rows[] = {
        {0, 0x05, 1, {true, 0x05, 0, false, "Skip:  1 3"}},  // next
        {9, 0x81, 1, {true, 0x81, 0, false, "Skip:  1 8"}},  // previous
        {3, 0x05, 1, {false, 0x00, 1, true, "Skip:  no"}},   // a source clears the skip list
        {10, 0x05, 1, {false, 0x00, 0, false, "Skip:  no"}}, // restore
        {11, 0xFF, 3, {false, 0x00, 1, true, "Skip:  no"}},  // any other value
    };
    for (const auto& [code, mask, save, expected] : rows) {
        Entry x(kind::ReactionSource);
        ChooseReactionSource(x.bytes, N, code);
        SetReactionSkipMask(x.bytes, N, std::uint8_t(mask));
        x.e.set(entry::sourceSave, std::uint8_t(save));
        const ReactionView v = x.show();
        QCOMPARE(v.sourceSaveChecked, x.e.get(entry::sourceSave) != 0);
        QCOMPARE(R(v.skipEnabled, x.e.get(entry::reactionOption), x.e.get(entry::sourceSave),
                   v.sourceSaveEnabled, v.skipCaption),
                 expected);
    }
    QCOMPARE(SkipButtonCaption(0, LangRussian), QStringLiteral("Пропустить:  нет"));
    QCOMPARE(SkipButtonCaption(0x42, LangRussian), QStringLiteral("Пропустить:  2 7"));
}

void TestReactionRules::eventControlPowerOnOnlyForSimulate() {
    // type, target -> target stored and shown
    const std::tuple<int, int, int> rows[] = {{1, 0, 1}, {2, 0, 1}, {0, 0, 0}, {1, 7, 7}};
    for (const auto& [type, target, after] : rows) {
        Entry x(kind::ReactionEventControl);
        ChooseEventHandleType(x.bytes, N, type);
        ChooseEventHandleTarget(x.bytes, N, target);
        const ReactionView v = x.show();
        QCOMPARE(std::make_pair(v.eventHandleNumItem, int(x.e.get(entry::reactionOption))),
                 std::make_pair(after, after));
    }
}

void TestReactionRules::linListFollowsLinTypes() {
    // A master type that offers a command beyond those of "No settings".
    const QStringList none = LinReactionList(0, 0);
    int type = 1;
    while (type < int(LinMasterTypes.size()) && LinReactionList(0, type).size() <= none.size())
        ++type;
    QVERIFY(type < int(LinMasterTypes.size()));
    const QStringList items = LinReactionList(0, type);
    const int row = LinCommandIndexOf(items, int(items.size()) - 1);
    QVERIFY(!none.contains(QString::fromUtf8(LinCommandTable[std::size_t(row)])));

    Entry x(kind::ReactionLin);
    Set(x.bytes, param::LIN2MODE, std::uint8_t(type));
    ChooseReactionLinCommand(x.bytes, N, int(items.size()) - 1);
    QCOMPARE(int(x.e.get(entry::reactionCode)), row);
    QCOMPARE(x.show().linItem, LinListIndexOf(items, row));
    // Another master type no longer offers it: the first item shows, the row is kept.
    Set(x.bytes, param::LIN2MODE, 0);
    ReactionView v = x.show();
    QCOMPARE(std::make_pair(v.linItems, v.linItem), std::make_pair(none, 0));
    QCOMPARE(int(x.e.get(entry::reactionCode)), row);
    // A trigger byte other than 1 shows ticked and is stored as the box stores it.
    x.e.set(entry::reactionOption, 5);
    QVERIFY(x.show().linTrigger);
    QCOMPARE(int(x.e.get(entry::reactionOption)), 1);
}

void TestReactionRules::unknownAndRepeatedKinds() {
    // An unknown kind clears the reaction part, byte 32 included, and nothing else.
    Entry x(6);
    x.e.set(entry::eventKind, kind::EventLin);
    x.bytes[66 + 32] = 0x5A;
    QCOMPARE(x.show().page, 0);
    Entry expected(0);
    expected.e.set(entry::eventKind, kind::EventLin);
    QCOMPARE(x.bytes, expected.bytes);
    // The page already shown keeps its fields.
    QVERIFY(ChooseReactionKind(x.bytes, N, kind::ReactionPin));
    ChooseReactionPinMode(x.bytes, N, 2);
    QVERIFY(!ChooseReactionKind(x.bytes, N, kind::ReactionPin));
    QCOMPARE(int(x.e.get(entry::reactionOption)), 2);
}

QTEST_APPLESS_MAIN(TestReactionRules)
#include "tst_reactionrules.moc"
