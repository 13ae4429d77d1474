// The configuration as text: every image reads back byte for byte in both languages, a snippet
// changes only what it names, and a wrong line is refused with its place and what was expected.
#include "common/TestHost.h"
#include "config/ConfigText.h"
#include "sim/VirtualController.h"
#include "text/Cp1251.h"

#include <QDir>
#include <QRandomGenerator>
#include <QtTest>

using namespace korvex;

class TestConfigText : public QObject {
    Q_OBJECT
private slots:
    void everyImageReadsBack();
    void snippets();
    void wrongLines_data();
    void wrongLines();
    void handWrittenLines();
    void wordsTypedWithTheOtherKeyboard_data();
    void wordsTypedWithTheOtherKeyboard();
};

namespace {

// Random bytes, with the entries that an editor would make mixed in: known kinds with small
// values and code-page-1251 names, so that words are written as well as raw lines.
ConfigBytes RandomImage(QRandomGenerator& rng) {
    ConfigBytes b{};
    const int style = rng.bounded(3);
    for (auto& byte : b)
        byte = style == 0 ? std::uint8_t(rng.bounded(256))
                          : std::uint8_t(rng.bounded(4) == 0 ? rng.bounded(256) : rng.bounded(3));
    for (int n = 0; n < EntryCount && style != 0; ++n) {
        const int base = EntryOffset(n);
        if (rng.bounded(3) == 0) {
            std::fill_n(b.begin() + base, EntrySize, 0);
            continue;
        }
        static const char* names[] = {"VOL+", "Громк", "Ёж ёлка", "  x ", "MODE\x01", ""};
        const QByteArray name = EncodeCp1251(QString::fromUtf8(names[rng.bounded(6)]).left(10))
                                    .value_or(QByteArray("\x01\x1F", 2));
        EntryRef(b, n).setName(name);
        b[size_t(base + EventPartOffset)] = std::uint8_t(rng.bounded(6));
        b[size_t(base + ReactionPartOffset)] = std::uint8_t(rng.bounded(7));
    }
    return b;
}

} // namespace

void TestConfigText::everyImageReadsBack() {
    QRandomGenerator rng(20261209);
    std::vector<ConfigBytes> images{FactoryBytes(), ConfigBytes{}};
    for (const QString& name : QDir(QStringLiteral(KORVEX_SAMPLES_DIR)).entryList({"*.KSWA"})) {
        ConfigImage image;
        test::TestHost host;
        QVERIFY(LoadConfigFile(QStringLiteral(KORVEX_SAMPLES_DIR "/") + name, image, host));
        images.push_back(image.bytes);
    }
    QVERIFY(images.size() >= 3);
    // 10,000 by default; the sanitizer run, ten times slower, may ask for fewer.
    const int count = qEnvironmentVariableIsSet("KORVEX_TEXT_IMAGES")
                          ? qEnvironmentVariableIntValue("KORVEX_TEXT_IMAGES")
                          : 10000;
    for (int i = 0; i < count; ++i)
        images.push_back(RandomImage(rng));
    int worded = 0;
    for (const ConfigBytes& want : images) {
        for (const int lang : {LangRussian, LangEnglish}) {
            for (const bool all : {false, true}) {
                ConfigTextOptions o;
                o.language = lang;
                o.all = all;
                const QString text = WriteConfigText(want, o);
                worded += text.contains(QLatin1String("\nkey = \"")) ? 1 : 0;
                ConfigBytes got{};
                // Read in the other language: the reader's words do not depend on it.
                const ConfigTextResult r = ApplyConfigText(text, got, 1 - lang);
                QVERIFY2(r.ok && r.whole,
                         qPrintable(r.error.text + QLatin1Char(' ') + r.error.expected));
                if (got != want) {
                    int at = 0;
                    while (got[size_t(at)] == want[size_t(at)])
                        ++at;
                    QFAIL(qPrintable(QStringLiteral("byte %1 differs in\n").arg(at) + text));
                }
            }
        }
    }
    QVERIFY(worded > count / 10); // the words are used, not only raw lines
}

void TestConfigText::snippets() {
    const ConfigBytes factory = FactoryBytes();
    ConfigBytes b = factory;
    b[size_t(EntryOffset(2))] = 'x'; // entry 3 is not free; the next ones are
    const ConfigBytes before = b;
    const QString snippet = QStringLiteral("# KORVEX-SWC-ADP snippet\n"
                                           "x21 = Выход +12В\n"
                                           "entry next = Громк\n"
                                           "event = LIN\nkey = VOL UP\npress = Any\n"
                                           "entry next = DOWN\nevent = LIN\nkey = \"VOL DN\"\n"
                                           "reaction = Radio control\nch1 = 1,5 В\n");
    const ConfigTextResult r = ApplyConfigText(snippet, b, LangEnglish);
    QVERIFY2(r.ok && !r.whole, qPrintable(r.error.expected));
    QCOMPARE(b[1980], std::uint8_t(1));
    for (int n : {3, 4}) {
        const int base = EntryOffset(n);
        QCOMPARE(b[size_t(base + EventPartOffset)], kind::EventLin);
    }
    QCOMPARE(DecodeCp1251(EntryRef(b, 3).name()), QStringLiteral("Громк"));
    QCOMPARE(Get(b, EntryField(3, entry::eventCode)), std::uint8_t(12));
    QCOMPARE(Get(b, EntryField(4, entry::vout1Code)), std::uint16_t(150));
    int changed = 0;
    for (int i = 0; i < ConfigImageSize; ++i)
        changed += b[size_t(i)] != before[size_t(i)] ? 1 : 0;
    for (int i = EntryOffset(3); i < EntryOffset(5); ++i)
        changed -= b[size_t(i)] != before[size_t(i)] ? 1 : 0;
    QCOMPARE(changed, 1); // X2/1 and the two entries, nothing else

    // A whole text gives its image whatever it is applied to.
    ConfigTextOptions o;
    const QString whole = WriteConfigText(before, o);
    ConfigBytes other{};
    other.fill(0x77);
    QVERIFY(ApplyConfigText(whole, other, LangRussian).ok);
    QVERIFY(other == before);
}

void TestConfigText::wrongLines_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("expected");
    const QString head = QStringLiteral("# KORVEX-SWC-ADP snippet\n# comment\n");
    QTest::newRow("no header") << "[PARAM]\nPINMODE=00" << 1
                               << "the first line \"# KORVEX-SWC-ADP configuration\" or";
    QTest::newRow("empty file") << "" << 1 << "the first line";
    QTest::newRow("no equals") << head + "X21 Output" << 3 << "a line KEY = value";
    QTest::newRow("unknown key") << head + "\nX99 = 1" << 4 << "a known key";
    QTest::newRow("entry key first")
        << head + "press = Short" << 3 << "a line entry N = name before";
    QTest::newRow("wrong word") << head + "LINSPEED = fast" << 3 << "one of: ";
    QTest::newRow("number too big")
        << head + "X27 = 16" << 3 << "one of: Open collector, not shorted to GND";
    QTest::newRow("long press words") << head + "PAR_LongTO = long" << 3 << "a number 0..65535";
    QTest::newRow("volts") << head + "VOUT1 = 7.5 V" << 3 << "a voltage 0.00..5.00 V";
    QTest::newRow("entry 0") << head + "entry 0 = A" << 3 << "an entry number 1..60 or next";
    QTest::newRow("entry 61") << head + "entry 61 = A" << 3 << "an entry number 1..60";
    QTest::newRow("long name") << head + "entry 5 = ABCDEFGHIJK" << 3 << "a name of at most 10";
    QTest::newRow("name outside 1251")
        << head + "entry 5 = 日本" << 3 << "a name of at most 10 characters of code page 1251";
    QTest::newRow("key of other kind")
        << head + "entry 5 = A\nevent = Timeout\nkey = VOL UP" << 5
        << "a key of this kind of event or reaction: from, after, sources, press, once";
    QTest::newRow("threshold") << head + "entry 5 =\nevent = Voltage\nvoltage = 12000" << 5
                               << "> or < and a number 0..32767 mV";
    QTest::newRow("raw past entry")
        << head + "entry 5 =\nraw 32 = 00 00" << 4 << "hexadecimal bytes from an offset 0..32";
    QTest::newRow("raw odd digits") << head + "byte 2016 = 5" << 3 << "hexadecimal bytes";
    QTest::newRow("raw past image")
        << head + "byte 2018 = 01 02" << 3 << "hexadecimal bytes from an offset 0..2018";
    QTest::newRow("no free entry")
        << head + QStringLiteral("entry next = A\nevent = LIN\n").repeated(61) << 3 + 2 * 58
        << "a free entry for entry next"; // 2 in use
}

void TestConfigText::wrongLines() {
    QFETCH(QString, text);
    QFETCH(int, line);
    QFETCH(QString, expected);
    ConfigBytes b = FactoryBytes();
    const ConfigBytes before = b;
    const ConfigTextResult r = ApplyConfigText(text, b, LangEnglish);
    QVERIFY(!r.ok);
    QVERIFY(b == before); // all or nothing
    QCOMPARE(r.error.line, line);
    QVERIFY2(r.error.expected.startsWith(expected), qPrintable(r.error.expected));
    const QString message =
        ConfigTextMessage(QStringLiteral("/tmp/keys.txt"), r.error, LangEnglish);
    QVERIFY2(message.startsWith(QStringLiteral("keys.txt, line %1: \"").arg(line)),
             qPrintable(message));
    // The same place in Russian, the words of the text being no matter.
    const QString ru = ConfigTextMessage(QStringLiteral("keys.txt"),
                                         ApplyConfigText(text, b, LangRussian).error, LangRussian);
    QVERIFY2(ru.startsWith(QStringLiteral("keys.txt, строка %1: ").arg(line)), qPrintable(ru));
    QVERIFY(!ru.contains(expected));
}

void TestConfigText::handWrittenLines() {
    // Each line read onto the factory bytes (and on an empty configuration for entry next) must
    // set the byte it names: a key table that is wrong the same way both ways still reads back.
    struct Row {
        QString lines;
        int offset; // in the image
        int size;   // 1 or 2, little-endian
        unsigned value;
    };
    const int e1 = EntryOffset(0);
    const QList<Row> rows = {
        {"entry 1 = A\nevent = 1\nreaction = 2\npin = 3", e1 + 22, 1, 3},
        {"entry 1 = A\nevent = 1\nreaction = 2\nmode = 1", e1 + 23, 1, 1},
        {"entry 1 = A\nevent = 4\nvoltage = > 12000 mV", e1 + 13, 2, 12000u | VoltageAboveBit},
        {"entry 1 = A\nevent = 4\nvoltage = < 500 mV", e1 + 13, 2, 500},
        {"entry next = N\nevent = 1", e1 + EventPartOffset, 1, 1},
        {"X21 = 2", 1980, 1, 2},
        {"KEY_REASSIGN_TO = 513", 2000, 2, 513},
    };
    for (const Row& row : rows) {
        ConfigBytes bytes = row.lines.startsWith("entry next") ? ConfigBytes{} : FactoryBytes();
        QVERIFY2(ApplyConfigText(QStringLiteral("# KORVEX-SWC-ADP snippet\n") + row.lines, bytes,
                                 LangEnglish)
                     .ok,
                 qPrintable(row.lines));
        const unsigned got = row.size == 1
                                 ? bytes[size_t(row.offset)]
                                 : bytes[size_t(row.offset)] + 256u * bytes[size_t(row.offset + 1)];
        QVERIFY2(got == row.value, qPrintable(row.lines + " -> " + QString::number(got)));
    }
    // --all names every parameter, also those at their factory value.
    ConfigTextOptions all;
    all.all = true;
    const QString text = WriteConfigText(FactoryBytes(), all);
    for (const char* key : {"X21",
                            "X22",
                            "X23",
                            "X24",
                            "X25",
                            "X26",
                            "X27",
                            "X28",
                            "X29",
                            "X210",
                            "LIN1MODE",
                            "LIN2MODE",
                            "LINSPEED",
                            "LINPROTOCOLVERSION",
                            "LINTYPE",
                            "SWAP_VOLDN_OK",
                            "TEMP_RELAY_PIN",
                            "LIGHT_VAR_ENABLE",
                            "HEAT_VAR_ENABLE",
                            "PAR_LongTO",
                            "LINTYPESLAVE",
                            "LIGHT_DIAG_USE",
                            "Light_Day",
                            "Light_Min",
                            "Light_Max",
                            "PULSESRCNUM",
                            "VOUT1",
                            "VOUT1minmax",
                            "VOUT2",
                            "VOUT2minmax",
                            "KEY_REASSIGN_TO"})
        QVERIFY2(text.contains(QStringLiteral("\n%1 = ").arg(QLatin1String(key))), key);
    QVERIFY(IsConfigTextName("CAR.TXT") && !IsConfigTextName("car.KSWA"));
}

void TestConfigText::wordsTypedWithTheOtherKeyboard_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("applies");
    // The written words: "Oткр." with a Latin O, as the tables spell it.
    QTest::newRow("a letter that differs to the eye")
        << QStringLiteral("X25 = Oткр. коллектор, замкнут нa GNB") << false;
    QTest::newRow("т is no m") << QStringLiteral("X25 = Omкр. коллектор, замкнут на GND") << false;
    QTest::newRow("as written, Latin O")
        << QStringLiteral("X25 = Oткр. коллектор, замкнут на GND") << true;
    QTest::newRow("Russian keyboard, Cyrillic О")
        << QStringLiteral("X25 = Откр. коллектор, замкнут на GND") << true;
    QTest::newRow("Latin o, a and c inside the Russian words")
        << QStringLiteral("X25 = Oткр. кoллектoр, замкнут нa GND") << true;
    QTest::newRow("capitals, all Cyrillic, GND too")
        << QStringLiteral("X25 = ОТКР. КОЛЛЕКТОР, ЗАМКНУТ НА GND") << true;
    QTest::newRow("English words with Cyrillic с, о, е")
        << QStringLiteral("X25 = Open сollector, shorted tо GND") << true;
}

void TestConfigText::wordsTypedWithTheOtherKeyboard() {
    QFETCH(QString, line);
    QFETCH(bool, applies);
    const QString head = QStringLiteral("# KORVEX-SWC-ADP snippet\n");
    const ConfigBytes factory = FactoryBytes();
    ConfigBytes reference = factory;
    QVERIFY(ApplyConfigText(head + QStringLiteral("X25 = Open collector, shorted to GND"),
                            reference, LangEnglish)
                .ok);
    QVERIFY(reference != factory);
    ConfigBytes b = factory;
    const ConfigTextResult r = ApplyConfigText(head + line, b, LangRussian);
    QCOMPARE(r.ok, applies);
    QVERIFY(b == (applies ? reference : factory));
    // What is written keeps the tables' spelling.
    ConfigTextOptions o;
    o.language = LangRussian;
    o.all = true;
    QVERIFY(WriteConfigText(b, o).contains(
        applies ? QStringLiteral("= Oткр. коллектор, замкнут на GND") : QStringLiteral("Oткр.")));
}

QTEST_GUILESS_MAIN(TestConfigText)
#include "tst_configtext.moc"
