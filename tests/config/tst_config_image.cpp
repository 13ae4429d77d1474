// The configuration image: fields at their byte offsets, nibbles, and the invariants that kind
// changes, unknown kinds and radio-control ranges keep.
#include "config/ConfigImage.h"

#include <QtTest>

using namespace korvex;

class TestConfigImage : public QObject {
    Q_OBJECT
private slots:
    void entryFieldsAtOddOffsets();
    void parameterFieldsAtTheirOffsets();
    void nibblesAndSharedWords();
    void kindChangesStartThePartAfresh();
    void unknownKindsAreCleared();
    void radioControlCodesAreClampedIntoRange();
    void defaultsEmptyEntriesAndParameterRegion();
};

namespace {

ConfigBytes Filled(std::uint8_t value) {
    ConfigBytes bytes;
    bytes.fill(value);
    return bytes;
}

// `count` bytes from `offset` as hexadecimal text, to compare runs of bytes at once.
QByteArray Hex(const ConfigBytes& bytes, int offset, int count) {
    QByteArray raw;
    for (int i = offset; i < offset + count; ++i)
        raw.append(static_cast<char>(bytes[static_cast<std::size_t>(i)]));
    return raw.toHex();
}

int ChangedCount(const ConfigBytes& a, const ConfigBytes& b) {
    int count = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        count += a[i] != b[i] ? 1 : 0;
    return count;
}

} // namespace

void TestConfigImage::entryFieldsAtOddOffsets() {
    ConfigBytes bytes = Filled(0xA5);
    EntryRef e1(bytes, 1);
    // eventTimeout of entry 1 is at image offset 46.
    e1.set(entry::eventTimeout, 0x11223344u);
    QCOMPARE(Hex(bytes, 45, 6), QByteArray("a544332211a5"));
    QCOMPARE(ChangedCount(Filled(0xA5), bytes), 4);
    QCOMPARE(e1.get(entry::eventTimeout), 0x11223344u);
    // The voltage time overlaps the timeout's last two bytes.
    e1.set(entry::eventVoltageTime, 1000000000u);
    QCOMPARE(Hex(bytes, 46, 7), QByteArray("443300ca9a3ba5"));

    // The reaction fields of the last entry end just before the parameter region.
    bytes = Filled(0xA5);
    EntryRef last(bytes, 59);
    last.set(entry::vout1Code, 0x01F4);
    last.set(entry::vout2Code, 0x0102);
    last.set(entry::voutTime, 5000);
    last.set(entry::vout2Save, 1);
    QCOMPARE(Hex(bytes, 1968, 13), QByteArray("a5f40102018813a5a5a501a5a5"));
    QCOMPARE(last.get(entry::reactionCode), std::uint8_t{0xF4});
    QCOMPARE(last.get(entry::vout2Code), std::uint16_t{0x0102});
}

void TestConfigImage::parameterFieldsAtTheirOffsets() {
    // Each field written on its own changes exactly its own bytes.
    for (const auto& [field, offset] : {std::pair{param::X21, 1980},
                                        {param::X26, 1985},
                                        {param::LIN1MODE, 1988},
                                        {param::LINTYPE, 1991},
                                        {param::HEAT_VAR_ENABLE, 1995},
                                        {param::PULSESRCNUM, 1998},
                                        {param::LINPROTOCOLVERSION, 1999},
                                        {param::LINTYPESLAVE, 2002},
                                        {param::LIGHT_DIAG_USE, 2011},
                                        {param::Light_Max, 2014}}) {
        ConfigBytes bytes{};
        Set(bytes, field, 0xFF);
        QCOMPARE(ChangedCount(ConfigBytes{}, bytes), 1);
        QCOMPARE(bytes[static_cast<std::size_t>(offset)], std::uint8_t{0xFF});
    }
    for (const auto& [field, offset] : {std::pair{param::PAR_LongTO, 1996},
                                        {param::KEY_REASSIGN_TO, 2000},
                                        {param::VOUT1, 2003},
                                        {param::VOUT2, 2005},
                                        {param::VOUT1minmax, 2007},
                                        {param::VOUT2minmax, 2009}}) {
        ConfigBytes bytes{};
        Set(bytes, field, 0x0123);
        QCOMPARE(ChangedCount(ConfigBytes{}, bytes), 2);
        QCOMPARE(Hex(bytes, offset, 2), QByteArray("2301"));
        QCOMPARE(Get(bytes, field), std::uint16_t{0x0123});
    }
}

void TestConfigImage::nibblesAndSharedWords() {
    ConfigBytes bytes{};
    Set(bytes, param::X27, 1);
    Set(bytes, param::X29, 1);
    Set(bytes, param::X29, 0);
    QCOMPARE(Hex(bytes, 1986, 1), QByteArray("01"));
    Set(bytes, param::X29, 1);
    Set(bytes, param::X27, 0);
    QCOMPARE(Hex(bytes, 1986, 1), QByteArray("10"));
    // A value wider than a nibble never spills into the other half.
    Set(bytes, param::X28, 0xF3);
    Set(bytes, param::X210, 0x1F);
    QCOMPARE(Hex(bytes, 1986, 3), QByteArray("10f300"));
    QCOMPARE(Get(bytes, param::X28), std::uint8_t{3});
    QCOMPARE(Get(bytes, param::X210), std::uint8_t{0xF});

    // Threshold and direction of a voltage event share one word.
    EntryRef e(bytes, 2);
    e.setEventVoltageAbove(true);
    e.setEventVoltageThreshold(0xFFFF);
    QCOMPARE(e.get(entry::eventVoltage), std::uint16_t{0xFFFF});
    e.setEventVoltageThreshold(18000);
    QVERIFY(e.eventVoltageAbove());
    e.setEventVoltageAbove(false);
    QCOMPARE(e.get(entry::eventVoltage), std::uint16_t{18000});

    // A full 10-byte name has no terminator; reading stops at the field's end.
    bytes = Filled(0x55);
    EntryRef named(bytes, 3);
    named.setName("0123456789EXTRA");
    QCOMPARE(named.name(), QByteArray("0123456789"));
    QCOMPARE(Hex(bytes, 109, 1), QByteArray("55"));
    named.setName("AB");
    QCOMPARE(Hex(bytes, 99, 11), QByteArray("4142000000000000000055"));
    QCOMPARE(named.name(), QByteArray("AB"));
}

void TestConfigImage::kindChangesStartThePartAfresh() {
    ConfigBytes bytes{};
    Set(bytes, param::VOUT1, 250);
    Set(bytes, param::VOUT2, 120);
    EntryRef e(bytes, 4);
    e.setName("TAB");
    SetEventKind(bytes, 4, kind::EventLin);
    e.set(entry::eventCode, 12);

    // An output pin with mode and duration, then a source: nothing of the pin survives.
    SetReactionKind(bytes, 4, kind::ReactionPin);
    e.set(entry::reactionCode, 5);
    e.set(entry::reactionOption, 3);
    e.set(entry::pinDuration, 30000);
    bytes[static_cast<std::size_t>(EntryOffset(4) + 32)] = 0x77;
    SetReactionKind(bytes, 4, kind::ReactionSource);
    QCOMPARE(Hex(bytes, EntryOffset(4) + ReactionPartOffset, ReactionPartSize),
             QByteArray("040000000000000000000000"));
    QCOMPARE(e.get(entry::eventCode), std::uint8_t{12});

    // Radio control starts both channels at the default voltages.
    SetReactionKind(bytes, 4, kind::ReactionRadioControl);
    QCOMPARE(e.get(entry::vout1Code), std::uint16_t{250});
    QCOMPARE(e.get(entry::vout2Code), std::uint16_t{120});
    QCOMPARE(e.get(entry::vout1Action), VoutActionSet);

    // An event kind change clears the event part alone.
    e.set(entry::eventSourceMask, 0x81);
    e.set(entry::eventTimeout, 1000000000u);
    e.set(entry::eventOnce, 1);
    SetEventKind(bytes, 4, kind::EventVoltage);
    QCOMPARE(Hex(bytes, EntryOffset(4) + EventPartOffset, EventPartSize),
             QByteArray("0400000000000000000000"));
    QCOMPARE(e.name(), QByteArray("TAB"));
    QCOMPARE(e.get(entry::vout2Code), std::uint16_t{120});
    QVERIFY(IsEntryEmpty(bytes, 3) && IsEntryEmpty(bytes, 5));

    // The last entry's parts end where the parameter blocks begin: nothing beyond is touched.
    const ConfigBytes full = Filled(0xAB);
    for (const std::uint8_t k : {kind::ReactionPin, kind::ReactionRadioControl}) {
        ConfigBytes last = full;
        SetReactionKind(last, 59, k);
        SetEventKind(last, 59, kind::EventVoltage);
        QCOMPARE(Hex(last, 1980, ConfigImageSize - 1980), Hex(full, 1980, ConfigImageSize - 1980));
        QCOMPARE(Hex(last, 0, EntryOffset(59) + EventPartOffset),
                 Hex(full, 0, EntryOffset(59) + EventPartOffset));
    }
}

void TestConfigImage::unknownKindsAreCleared() {
    const auto normalised = [](std::uint8_t eventKind, std::uint8_t reactionKind) {
        ConfigBytes bytes = Filled(0x33);
        Set(bytes, EntryField(7, entry::eventKind), eventKind);
        Set(bytes, EntryField(7, entry::reactionKind), reactionKind);
        const bool eventCleared = NormaliseEventPart(bytes, 7);
        const bool reactionCleared = NormaliseReactionPart(bytes, 7);
        return std::tuple{eventCleared, reactionCleared, Hex(bytes, EntryOffset(7) + 9, 25)};
    };
    // From the name's last byte to the next entry's first.
    const QByteArray cleared = "33" + QByteArray(46, '0') + "33";
    for (auto [eventKind, reactionKind] : {std::pair{5, 6}, {0, 0}, {255, 255}})
        QCOMPARE(normalised(eventKind, reactionKind), std::tuple(true, true, cleared));
    QCOMPARE(normalised(4, 5),
             std::tuple(false, false, "3304" + QByteArray(20, '3') + "05" + QByteArray(24, '3')));
    QCOMPARE(std::get<2>(normalised(1, 9)),
             "3301" + QByteArray(20, '3') + QByteArray(24, '0') + "33");
}

void TestConfigImage::radioControlCodesAreClampedIntoRange() {
    ConfigBytes bytes{};
    // Output 1's ends given high first: the smaller one is still the lower end.
    Set(bytes, param::VOUT1, 300);
    Set(bytes, param::VOUT1minmax, 100);
    Set(bytes, param::VOUT2, 10);
    Set(bytes, param::VOUT2minmax, 60000); // compared as unsigned 16-bit values
    SetReactionKind(bytes, 0, kind::ReactionRadioControl);
    EntryRef e(bytes, 0);
    const auto clamp = [&](std::uint8_t action, std::uint16_t code1, std::uint16_t code2) {
        e.set(entry::vout1Action, action);
        e.set(entry::vout2Action, action);
        e.set(entry::vout1Code, code1);
        e.set(entry::vout2Code, code2);
        const bool changed = ClampRadioControlCodes(bytes, 0);
        return std::tuple{changed, e.get(entry::vout1Code), e.get(entry::vout2Code)};
    };
    using R = std::tuple<bool, std::uint16_t, std::uint16_t>;
    QCOMPARE(clamp(VoutActionSet, 50, 65000), R(true, 100, 60000));
    QCOMPARE(clamp(VoutActionEqual, 301, 9), R(true, 300, 10));
    QCOMPARE(clamp(VoutActionSet, 100, 60000), R(false, 100, 60000));
    QCOMPARE(clamp(VoutActionEqual, 300, 10), R(false, 300, 10));
    for (std::uint8_t action : {1, 2, 3, 5})
        QCOMPARE(clamp(action, 499, 0), R(false, 499, 0));
    e.set(entry::vout2Action, VoutActionSet); // each channel by its own action
    e.set(entry::vout2Code, 0);
    QVERIFY(ClampRadioControlCodes(bytes, 0));
    QCOMPARE(e.get(entry::vout1Code), std::uint16_t{499});
    QCOMPARE(e.get(entry::vout2Code), std::uint16_t{10});

    // The same bytes mean other things under other reaction kinds.
    SetReactionKind(bytes, 1, kind::ReactionPin);
    EntryRef pin(bytes, 1);
    pin.set(entry::reactionCode, 3);
    pin.set(entry::pinDuration, 30000);
    QVERIFY(!ClampRadioControlCodes(bytes, 1));
    QCOMPARE(pin.get(entry::pinDuration), std::uint16_t{30000});
}

void TestConfigImage::defaultsEmptyEntriesAndParameterRegion() {
    ConfigBytes bytes{};
    QVERIFY(ApplyLongPressDefault(bytes));
    QCOMPARE(Get(bytes, param::PAR_LongTO), std::uint16_t{1000});
    Set(bytes, param::PAR_LongTO, 0x0100); // low byte zero is not zero
    QVERIFY(!ApplyLongPressDefault(bytes));
    QVERIFY(ApplyBacklightDefaults(bytes));
    QCOMPARE(Hex(bytes, 2012, 3), QByteArray("640532"));
    for (const U8Field field : {param::Light_Day, param::Light_Min, param::Light_Max}) {
        ConfigBytes one{};
        Set(one, field, 1);
        QVERIFY(!ApplyBacklightDefaults(one));
    }

    bytes = ConfigBytes{};
    bytes[static_cast<std::size_t>(EntryOffset(10) + 32)] = 1; // unread, but part of the entry
    QVERIFY(!IsEntryEmpty(bytes, 10));
    QVERIFY(IsEntryEmpty(bytes, 11));
    Set(bytes, param::X21, 1); // right after the last entry
    QVERIFY(IsEntryEmpty(bytes, 59));

    bytes = Filled(0xEE);
    ClearParameterRegion(bytes);
    QCOMPARE(Hex(bytes, 1979, 40), "ee" + QByteArray(78, '0'));
}

QTEST_GUILESS_MAIN(TestConfigImage)
#include "tst_config_image.moc"
