// The configuration diff in words: a file with a known change in every block against the
// virtual controller's factory configuration, and no byte change that goes unnamed.
#include "common/TestHost.h"
#include "config/ConfigDiff.h"
#include "config/ConfigFile.h"
#include "link/LittleEndian.h"
#include "sim/VirtualController.h"
#include "text/TextPair.h"

#include <QTemporaryDir>
#include <QtTest>

#include <cstring>
#include <utility>
#include <vector>

using namespace korvex;

class TestConfigDiff : public QObject {
    Q_OBJECT
private slots:
    void fileAgainstFactory();
    void everyByteIsNamed();
    void valuesTheDisplayReplacesAreNamed();
};

void TestConfigDiff::fileAgainstFactory() {
    const ConfigBytes factory = sim::FactoryConfiguration();
    ConfigImage edited;
    edited.bytes = factory;
    std::uint8_t* b = edited.bytes.data();
    b[1980] = 1;              // pins page
    b[1992] = 1;              // LIN page, a check box
    PutU16le(b + 1996, 1500); // LIN page, a number with its unit
    b[1998] = 1;              // sources page
    PutU16le(b + 2003, 250);  // radio control page, in volts
    b[2016] = 0x5A;           // carried, never interpreted
    // Tab 1 renamed, a byte its LIN event does not use, another source step, its last byte.
    std::memcpy(b, "MODE", 4);
    b[13] = 1;
    b[22] = 9;
    b[32] = 7;
    std::memset(b + 33, 0, 33);                                  // tab 2 emptied
    b[4 * 33 + 10] = 1, b[4 * 33 + 12] = 12, b[4 * 33 + 19] = 3; // tab 5 new: a pin on VOL UP
    b[4 * 33 + 21] = 2, b[4 * 33 + 22] = 1;
    b[5 * 33 + 10] = 9; // tab 6: an event kind the pages do not know
    QTemporaryDir dir;
    const QString file = dir.filePath("edited.KSWA");
    test::TestHost host;
    QVERIFY(SaveConfigFile(file, edited, host, LangEnglish).ok());
    ConfigImage loaded;
    QVERIFY(LoadConfigFile(file, loaded, host));

    const QStringList expected = {
        "X2/1: No power -> Output +12V",
        "Swap VOLDN and OK (for VW): [ ] -> [x]",
        "Long press over: 1000 -> 1500 mSec",
        "Number of sources: 4 (1, 2, 3, 4) -> 2 (1, 2)",
        "Ch 1 Default voltage: 3.30 -> 2.50 V",
        "Byte 2016: 00 -> 5A",
        "1* (MODE)",
        "  Name: \"SRC\" -> \"MODE\"",
        "  Byte 13: 00 -> 01",
        "  Response: Source, Select: next -> Source, Select: previous",
        "  Byte 32: 00 -> 07",
        "2* (VOL+): removed",
        "  Event: LIN \"VOL UP\", Press: Any, Source: Any",
        "  Response: Radio control, Ch 1: set 1.20 V, Ch 2: not touch, Min. durat./Replay: 200 "
        "mSec",
        "5*: added",
        "  Event: LIN \"VOL UP\", Press: Any, Source: Any",
        "  Response: Pin, Pin: X2/1(PQ ACC_ON), Mode: Full control, Min. durat.: 0 mSec",
        "6*: added",
        "  Event: Not set (unknown kind 9)",
        "  Response: Not set",
    };
    const QStringList lines = DiffConfigurations(factory, loaded.bytes, LangEnglish);
    for (qsizetype i = 0; i < std::max(lines.size(), expected.size()); ++i)
        QCOMPARE(lines.value(i), expected.value(i));
    QCOMPARE(DiffConfigurations(loaded.bytes, factory, LangRussian).mid(11, 2),
             (QStringList{"2* (VOL+): добавлена", "  Событие: LIN \"VOL UP\", Нажатие: Любое, "
                                                  "Источник: Любой"}));

    // Nothing differs: one line; the window's summary says so, or shows the first lines.
    QCOMPARE(DiffConfigurations(loaded.bytes, loaded.bytes, LangEnglish),
             QStringList{"The configurations are the same"});
    QCOMPARE(ChangeSummary(factory, factory, LangRussian),
             QStringLiteral("Конфигурация контроллера не изменится"));
    QCOMPARE(ChangeSummary(factory, loaded.bytes, LangEnglish),
             "Changes to the controller's configuration:\n" +
                 QStringList(expected.mid(0, 10)).join('\n') + "\n… and 10 more");
    QCOMPARE(DiffSummary(expected.mid(0, 3), 3, LangRussian), expected.mid(0, 3).join('\n'));
    QCOMPARE(DiffSummary(expected.mid(0, 4), 3, LangRussian).split('\n').last(),
             QStringLiteral("… и еще 1"));
}

void TestConfigDiff::everyByteIsNamed() {
    // A change of any one byte, wherever it is, makes at least one line of its own.
    const ConfigBytes factory = sim::FactoryConfiguration();
    for (int i = 0; i < ConfigImageSize; ++i) {
        ConfigBytes changed = factory;
        changed[static_cast<std::size_t>(i)] ^= 0x21;
        const QStringList lines = DiffConfigurations(factory, changed, LangEnglish);
        QVERIFY2(!lines.isEmpty() && lines.first() != "The configurations are the same",
                 qPrintable(QString::number(i)));
    }
}

void TestConfigDiff::valuesTheDisplayReplacesAreNamed() {
    // Each entry reads alike on both sides, as the display shows it, and the stored value differs;
    // or a change has exactly one line.
    struct Case {
        std::vector<std::pair<int, std::uint8_t>> both; // on top of the factory entries
        int offset;
        std::uint8_t after;
        const char* caption;
        const char* line;
        const char* nextLine = nullptr; // the byte after it changed too, with this line
    };
    const Case cases[] = {
        {{}, 20, 1, "1* (SRC)", "  One time only: No -> Yes"},        // short press forces it
        {{}, 24, 1, "1* (SRC)", "  Save before changing: No -> Yes"}, // "next" saves nothing
        {{}, 33 + 24, 0x04, "2* (VOL+)", "  Ch 2: 3.30 -> 2.60 V"},   // "not touch": no volts
        {{{66 + 10, 3}, {66 + 19, 1}}, 66 + 19, 3, "3*", "  Press: Short -> Any"}, // a timeout
        {{{66 + 21, 1}, {66 + 23, 2}}, 66 + 23, 1, "3*", "  Trigger: 2 -> 1"},     // alike: numbers
        {{{66 + 21, 2}}, 66 + 25, 1, "3*", "  Min. durat.: 0 -> 256 mSec"},        // without a pin
        {{{66 + 21, 2}}, 66 + 26, 1, "3*", "  Byte 92: 00 -> 01"}, // a pin reaction ends there
        {{{66 + 21, 2}}, 66 + 25, 1, "3*", "  Min. durat.: 0 -> 256 mSec", "  Byte 92: 00 -> 01"},
        {{}, 33 + 32, 1, "2* (VOL+)", "  Byte 65: 00 -> 01"}, // after the reaction, once
        {{{66 + 21, 2}},
         66 + 10,
         4,
         "3*", // a voltage event is a kind the pages know
         "  Event: Not set -> Voltage, No, < 0 mV, For more than 0 mSec, Press: Disabled, One "
         "time only, Source: Any"},
    };
    for (const Case& c : cases) {
        ConfigBytes before = sim::FactoryConfiguration();
        for (const auto& [offset, value] : c.both)
            before[static_cast<std::size_t>(offset)] = value;
        ConfigBytes after = before;
        after[static_cast<std::size_t>(c.offset)] = c.after;
        QStringList lines{c.caption, c.line};
        if (c.nextLine != nullptr) {
            after[static_cast<std::size_t>(c.offset + 1)] = c.after;
            lines << c.nextLine;
        }
        QCOMPARE(DiffConfigurations(before, after, LangEnglish), lines);
    }
    // A voltage code beyond 5.00 V is named as stored, not as the edit would limit it.
    ConfigBytes high = sim::FactoryConfiguration();
    high[2003] = high[2004] = 0xFF;
    QCOMPARE(DiffConfigurations(sim::FactoryConfiguration(), high, LangEnglish),
             QStringList{"Ch 1 Default voltage: 3.30 -> 0xFFFF V"});
    ConfigBytes once = sim::FactoryConfiguration();
    once[20] = 1;
    QCOMPARE(DiffConfigurations(sim::FactoryConfiguration(), once, LangRussian).value(1),
             QStringLiteral("  Однократно: Нет -> Да"));
}

QTEST_MAIN(TestConfigDiff)
#include "tst_configdiff.moc"
