// The reaction editor's rules without a window: what its display stores and shows, by kind,
// and what its handlers store.
#include "config/Vocabulary.h"
#include "editor/ReactionRules.h"

#include <QtTest>

using namespace korvex;

class TestReactionRules : public QObject {
    Q_OBJECT
private slots:
    void pinWithoutPinResetsModeAndDuration();
    void pinDurationEntry();
    void radioControlClampsSetAndEqual();
    void radioControlDurationOverride();
    void sourceSkipAndSaveTable();
    void eventControlPowerOnOnlyForSimulate();
    void linListFollowsLinTypes();
    void kindChangesAndUnknownKinds();
};

namespace {

constexpr int N = 2; // entry 2 at offset 66: every field at an offset other than its own

ConfigBytes WithReaction(std::uint8_t reactionKind) {
    ConfigBytes bytes{};
    EntryRef(bytes, N).set(entry::reactionKind, reactionKind);
    return bytes;
}

} // namespace

void TestReactionRules::pinWithoutPinResetsModeAndDuration() {
    struct Row {
        int pin, mode, duration;
        int modeAfter, durationAfter;
        bool enabled;
        const char* text;
    };
    const Row rows[] = {
        {0, 2, 500, 0, 0, false, "0"}, // "Not defined"
        {0, 0, 0, 0, 0, false, "0"},
        {3, 2, 500, 2, 500, true, "500"},
        {13, 3, 30000, 3, 30000, true, "30000"},
    };
    for (const Row& r : rows) {
        ConfigBytes bytes = WithReaction(kind::ReactionPin);
        const EntryRef e(bytes, N);
        e.set(entry::reactionCode, std::uint8_t(r.pin));
        e.set(entry::reactionOption, std::uint8_t(r.mode));
        e.set(entry::pinDuration, std::uint16_t(r.duration));
        const ReactionView v = ShowReaction(bytes, N, LangEnglish);
        QCOMPARE(v.page, int(kind::ReactionPin));
        QCOMPARE(v.pinItem, r.pin);
        QCOMPARE(int(e.get(entry::reactionOption)), r.modeAfter);
        QCOMPARE(int(e.get(entry::pinDuration)), r.durationAfter);
        QCOMPARE(v.pinModeItem, r.modeAfter);
        QCOMPARE(v.pinModeEnabled, r.enabled);
        QCOMPARE(v.pinDurationEnabled, r.enabled);
        QCOMPARE(v.pinDurationText, QString::fromLatin1(r.text));
    }
}

void TestReactionRules::pinDurationEntry() {
    ConfigBytes bytes = WithReaction(kind::ReactionPin);
    const EntryRef e(bytes, N);
    e.set(entry::pinDuration, 1234);
    QCOMPARE(EnterReactionPinDuration(bytes, N, QStringLiteral("30001"), LangEnglish).result, 1);
    QCOMPARE(int(e.get(entry::pinDuration)), 1234);
    QCOMPARE(EnterReactionPinDuration(bytes, N, QStringLiteral("30000"), LangEnglish).result, 0);
    QCOMPARE(int(bytes[EntryOffset(N) + 24]), 0x30);
    QCOMPARE(int(bytes[EntryOffset(N) + 25]), 0x75);

    ConfigBytes radio = WithReaction(kind::ReactionRadioControl);
    QCOMPARE(EnterReactionVoutTime(radio, N, QStringLiteral("5001"), LangEnglish).result, 1);
    QCOMPARE(EnterReactionVoutTime(radio, N, QStringLiteral("5000"), LangEnglish).result, 0);
    QCOMPARE(int(EntryRef(radio, N).get(entry::voutTime)), 5000);
}

void TestReactionRules::radioControlClampsSetAndEqual() {
    struct Row {
        int action, code, after;
    };
    // VOUT1 = 100 and VOUT1minmax = 40: the range is 40..100 whichever end is the default.
    const Row rows[] = {
        {4, 300, 100},                               // "equal"
        {0, 300, 100},                               // "set"
        {0, 10, 40},   {4, 70, 70},   {2, 300, 300}, // "increase on" steps from the current voltage
        {3, 10, 10},   {1, 300, 300}, {5, 300, 300},
    };
    for (const Row& r : rows) {
        ConfigBytes bytes = WithReaction(kind::ReactionRadioControl);
        Set(bytes, param::VOUT1, 100);
        Set(bytes, param::VOUT1minmax, 40);
        Set(bytes, param::VOUT2, 250);
        Set(bytes, param::VOUT2minmax, 250);
        const EntryRef e(bytes, N);
        e.set(entry::vout1Action, std::uint8_t(r.action));
        e.set(entry::vout1Code, std::uint16_t(r.code));
        e.set(entry::vout2Code, 260);
        const ReactionView v = ShowReaction(bytes, N, LangEnglish);
        QCOMPARE(int(e.get(entry::vout1Code)), r.after);
        QCOMPARE(v.voutText[0], CodeToVolts(std::uint16_t(r.after)));
        QCOMPARE(v.voutActionItem[0], r.action);
        // Channel 2 "set" with its own one-point range.
        QCOMPARE(int(e.get(entry::vout2Code)), 250);
        QCOMPARE(v.voutText[1], QStringLiteral("2.50"));
    }
}

void TestReactionRules::radioControlDurationOverride() {
    struct Row {
        int reassign, time, action1, action2;
        const char* text;
        bool enabled;
    };
    const Row rows[] = {
        {500, 200, 0, 0, "500", false}, {500, 0, 0, 0, "0", true},   {500, 200, 0, 3, "200", true},
        {500, 200, 2, 0, "200", true},  {0, 200, 0, 0, "200", true}, {500, 200, 4, 5, "500", false},
    };
    for (const Row& r : rows) {
        ConfigBytes bytes = WithReaction(kind::ReactionRadioControl);
        Set(bytes, param::KEY_REASSIGN_TO, std::uint16_t(r.reassign));
        Set(bytes, param::VOUT1minmax, 500);
        Set(bytes, param::VOUT2minmax, 500);
        const EntryRef e(bytes, N);
        e.set(entry::voutTime, std::uint16_t(r.time));
        e.set(entry::vout1Action, std::uint8_t(r.action1));
        e.set(entry::vout2Action, std::uint8_t(r.action2));
        e.set(entry::vout2Save, 7);
        const ReactionView v = ShowReaction(bytes, N, LangEnglish);
        QCOMPARE(v.voutTimeText, QString::fromLatin1(r.text));
        QCOMPARE(v.voutTimeEnabled, r.enabled);
        QCOMPARE(int(e.get(entry::voutTime)), r.time); // the entry keeps its own duration
        QVERIFY(!v.voutSave[0]);
        QVERIFY(v.voutSave[1]);
        QCOMPARE(int(e.get(entry::vout2Save)), 1);
    }
}

void TestReactionRules::sourceSkipAndSaveTable() {
    struct Row {
        int code, mask, save;
        bool skipEnabled;
        int maskAfter, saveAfter;
        bool saveEnabled;
        const char* caption;
    };
    const Row rows[] = {
        {0, 0x05, 1, true, 0x05, 0, false, "Skip:  1 3"},  // next
        {9, 0x81, 1, true, 0x81, 0, false, "Skip:  1 8"},  // previous
        {0, 0x00, 0, true, 0x00, 0, false, "Skip:  no"},   //
        {3, 0x05, 1, false, 0x00, 1, true, "Skip:  no"},   // a source clears the skip list
        {8, 0xFF, 0, false, 0x00, 0, true, "Skip:  no"},   //
        {10, 0x05, 1, false, 0x00, 0, false, "Skip:  no"}, // restore
        {11, 0x05, 1, false, 0x00, 1, true, "Skip:  no"},  // any other value
    };
    for (const Row& r : rows) {
        ConfigBytes bytes = WithReaction(kind::ReactionSource);
        const EntryRef e(bytes, N);
        e.set(entry::reactionCode, std::uint8_t(r.code));
        e.set(entry::reactionOption, std::uint8_t(r.mask));
        e.set(entry::sourceSave, std::uint8_t(r.save));
        const ReactionView v = ShowReaction(bytes, N, LangEnglish);
        QCOMPARE(v.sourceItem, r.code);
        QCOMPARE(v.skipEnabled, r.skipEnabled);
        QCOMPARE(int(e.get(entry::reactionOption)), r.maskAfter);
        QCOMPARE(int(e.get(entry::sourceSave)), r.saveAfter);
        QCOMPARE(v.sourceSaveChecked, r.saveAfter != 0);
        QCOMPARE(v.sourceSaveEnabled, r.saveEnabled);
        QCOMPARE(v.skipCaption, QString::fromLatin1(r.caption));
    }
    QCOMPARE(SkipButtonCaption(0, LangRussian), QStringLiteral("Пропустить:  нет"));
    QCOMPARE(SkipButtonCaption(0x42, LangRussian), QStringLiteral("Пропустить:  2 7"));
    // The dialog's choice is stored as made, all or none.
    ConfigBytes bytes = WithReaction(kind::ReactionSource);
    SetReactionSkipMask(bytes, N, 0xFF);
    QCOMPARE(int(EntryRef(bytes, N).get(entry::reactionOption)), 0xFF);
}

void TestReactionRules::eventControlPowerOnOnlyForSimulate() {
    struct Row {
        int type, target, after;
    };
    const Row rows[] = {{1, 0, 1}, {2, 0, 1}, {0, 0, 0}, {1, 7, 7}, {0, 60, 60}};
    for (const Row& r : rows) {
        ConfigBytes bytes = WithReaction(kind::ReactionEventControl);
        ChooseEventHandleType(bytes, N, r.type);
        ChooseEventHandleTarget(bytes, N, r.target);
        const ReactionView v = ShowReaction(bytes, N, LangEnglish);
        QCOMPARE(v.eventHandleTypeItem, r.type);
        QCOMPARE(v.eventHandleNumItem, r.after);
        QCOMPARE(int(EntryRef(bytes, N).get(entry::reactionOption)), r.after);
    }
}

void TestReactionRules::linListFollowsLinTypes() {
    // Find a master type that offers a command the list of "No settings" does not.
    ConfigBytes bytes = WithReaction(kind::ReactionLin);
    const QStringList none = LinReactionList(0, 0);
    int type = 1;
    while (type < int(LinMasterTypes.size()) && LinReactionList(0, type).size() <= none.size())
        ++type;
    QVERIFY(type < int(LinMasterTypes.size()));
    Set(bytes, param::LIN2MODE, std::uint8_t(type));
    const QStringList items = LinReactionList(0, type);
    const int last = int(items.size()) - 1;
    const int row = LinCommandIndexOf(items, last);
    QVERIFY(!none.contains(QString::fromUtf8(LinCommandTable[std::size_t(row)])));

    ChooseReactionLinCommand(bytes, N, last);
    const EntryRef e(bytes, N);
    QCOMPARE(int(e.get(entry::reactionCode)), row);
    ReactionView v = ShowReaction(bytes, N, LangEnglish);
    QCOMPARE(v.linItems, items);
    QCOMPARE(v.linItem, LinListIndexOf(items, row));

    // Another master type no longer offers it: the first item is shown, the row is kept.
    Set(bytes, param::LIN2MODE, 0);
    v = ShowReaction(bytes, N, LangEnglish);
    QCOMPARE(v.linItems, none);
    QCOMPARE(v.linItem, 0);
    QCOMPARE(int(e.get(entry::reactionCode)), row);

    // A trigger byte other than 1 is shown ticked and stored as the box stores it.
    e.set(entry::reactionOption, 5);
    QVERIFY(ShowReaction(bytes, N, LangEnglish).linTrigger);
    QCOMPARE(int(e.get(entry::reactionOption)), 1);
    SetReactionLinTrigger(bytes, N, false);
    QVERIFY(!ShowReaction(bytes, N, LangEnglish).linTrigger);
}

void TestReactionRules::kindChangesAndUnknownKinds() {
    ConfigBytes bytes{};
    Set(bytes, param::VOUT1, 120);
    Set(bytes, param::VOUT2, 330);
    const EntryRef e(bytes, N);
    e.set(entry::eventKind, kind::EventLin);
    // An unknown kind clears the reaction part only, byte 32 included.
    e.set(entry::reactionKind, 6);
    bytes[EntryOffset(N) + 32] = 0x5A;
    QCOMPARE(ShowReaction(bytes, N, LangEnglish).page, 0);
    QCOMPARE(int(e.get(entry::reactionKind)), 0);
    QCOMPARE(int(bytes[EntryOffset(N) + 32]), 0);
    QCOMPARE(int(e.get(entry::eventKind)), int(kind::EventLin));

    QVERIFY(ChooseReactionKind(bytes, N, kind::ReactionPin));
    ChooseReactionPin(bytes, N, 4);
    ChooseReactionPinMode(bytes, N, 2);
    QVERIFY(!ChooseReactionKind(bytes, N, kind::ReactionPin)); // the same page keeps the fields
    QCOMPARE(int(e.get(entry::reactionOption)), 2);
    QVERIFY(ChooseReactionKind(bytes, N, kind::ReactionRadioControl));
    QCOMPARE(int(e.get(entry::vout1Code)), 120);
    QCOMPARE(int(e.get(entry::vout2Code)), 330);
    QCOMPARE(int(e.get(entry::voutTime)), 0);
    EnterReactionVoltage(bytes, N, 1, QStringLiteral("4,5"));
    ChooseReactionVoutAction(bytes, N, 1, 2);
    QCOMPARE(int(e.get(entry::vout2Code)), 450);
    QCOMPARE(int(e.get(entry::vout2Action)), 2);
    QCOMPARE(int(e.get(entry::vout1Code)), 120);
}

QTEST_APPLESS_MAIN(TestReactionRules)
#include "tst_reactionrules.moc"
