// Configuration files: the hexadecimal blocks, the file's layout, and what loading makes of
// short, odd, lower-case, missing and foreign content.
#include "common/TestFiles.h"
#include "common/TestHost.h"
#include "config/ConfigFile.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>

using namespace korvex;

class TestKswa : public QObject {
    Q_OBJECT
private slots:
    void hexEncodeAndDecode();
    void saveThenLoadKeepsEveryByte();
    void savedFileLayout();
    void loadsShortMissingAndForeignValues();
    void saveKeepsOtherContent();
    void failedSaveReportsAndResumesMonitor();
};

namespace {

using test::ReadAll;
using test::WriteAll;

ConfigImage RandomImage(quint32 seed) {
    QRandomGenerator random(seed);
    ConfigImage image;
    for (auto& byte : image.bytes)
        byte = static_cast<std::uint8_t>(random.bounded(256));
    for (auto& byte : image.shadowCopy)
        byte = static_cast<std::uint8_t>(random.bounded(256));
    return image;
}

QByteArray Block(const ConfigImage& image, int offset, int count) {
    return QByteArray(reinterpret_cast<const char*>(image.bytes.data()) + offset, count);
}

QByteArray Zeros(int digits) {
    return QByteArray(digits, '0');
}

} // namespace

void TestKswa::hexEncodeAndDecode() {
    const std::uint8_t pinMode[] = {0x01, 0x00, 0x00, 0x00, 0x01, 0x00, 0x10, 0x00};
    QCOMPARE(HexEncode(pinMode, 8), QStringLiteral("0100000001001000"));
    const std::uint8_t high[] = {0xAB, 0xCD, 0xEF, 0x9F};
    char buffer[10];
    std::memset(buffer, 'x', sizeof buffer);
    HexEncode(high, 4, buffer);
    QCOMPARE(QByteArray(buffer), QByteArray("ABCDEF9F")); // upper case and a terminating zero
    QCOMPARE(buffer[9], 'x');                             // and nothing beyond it

    struct Case {
        QString text;
        int count;
        int decoded;
        QByteArray bytes; // the `count` bytes stored; the byte after them must stay untouched
    };
    const Case cases[] = {
        {"abcdef0199", 5, 5, QByteArray("\xAB\xCD\xEF\x01\x99", 5)}, // lower case as upper
        {"1234", 5, 2, QByteArray("\x12\x34\x00\x00\x00", 5)},       // short: rest zeroed
        {"12345", 5, 2, QByteArray("\x12\x34\x00\x00\x00", 5)},      // lone digit dropped
        {"1 G2z-", 3, 3, QByteArray("\x10\x02\x00", 3)},             // strays count as 0
        {"0102030405", 2, 2, QByteArray("\x01\x02", 2)},             // excess ignored
        {QStringLiteral("AB") + QChar(0) + "FCD", 3, 1, QByteArray("\xAB\x00\x00", 3)},
        {"", 4, 0, QByteArray(4, '\0')},
    };
    for (const Case& c : cases) {
        std::uint8_t out[8];
        std::memset(out, 0xEE, sizeof out);
        QCOMPARE(HexDecode(c.text, c.count, out), c.decoded);
        QCOMPARE(QByteArray(reinterpret_cast<char*>(out), c.count + 1), c.bytes + '\xEE');
    }
}

void TestKswa::saveThenLoadKeepsEveryByte() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("round.KSWA");
    test::TestHost host;
    ConfigImage saved = RandomImage(1);
    // Bytes the tool never interprets must survive too.
    saved.bytes[2015] = 0xA5;
    saved.bytes[2018] = 0xFF;
    for (int entry = 0; entry < 60; ++entry)
        saved.bytes[size_t(33 * entry + 32)] = static_cast<std::uint8_t>(0xC0 + entry);
    QCOMPARE(SaveConfigFile(path, saved, host, LangEnglish).error, QString());
    QCOMPARE(host.monitorSuspend, 0);
    QCOMPARE(host.maxMonitorSuspend, 1);

    ConfigImage loaded = RandomImage(2);
    const ConfigBytes shadow = loaded.shadowCopy;
    QVERIFY(LoadConfigFile(path, loaded, host));
    QVERIFY(loaded.bytes == saved.bytes);
    QVERIFY(loaded.shadowCopy == shadow); // loading is not a transfer
    QCOMPARE(host.monitorSuspend, 0);
    QVERIFY(host.boxes.isEmpty());
}

void TestKswa::savedFileLayout() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("layout.KSWA");
    test::TestHost host;
    ConfigImage image;
    for (int i = 1980; i < ConfigImageSize; ++i)
        image.bytes[size_t(i)] = static_cast<std::uint8_t>(i - 1980 + 1); // 01 .. 27 hex
    image.bytes[33 * 59] = 0x5A;                                          // first byte of entry 60
    QCOMPARE(SaveConfigFile(path, image, host, LangEnglish).error, QString());

    QByteArray expected = "[PARAM]\r\n"
                          "PINMODE=0102030405060708\r\n"
                          "LINPARAM=090A0B0C0D0E0F1011121314151617\r\n"
                          "LINPARAM2=2021222324252627\r\n"
                          "ANAPARAM=18191A1B1C1D1E1F\r\n"
                          "[EVENTS]\r\n";
    for (int n = 1; n <= 60; ++n)
        expected += QByteArray("EVRESP") + QByteArray::number(n).rightJustified(2, '0') + '=' +
                    (n == 60 ? "5A" + Zeros(64) : Zeros(66)) + "\r\n";
    QCOMPARE(ReadAll(path), expected);
}

void TestKswa::loadsShortMissingAndForeignValues() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    test::TestHost host;

    // As the Windows profile functions write it: CRLF, no spaces; names in another case,
    // LINPARAM cut to 20 digits, lower-case digits, no EVENTS section at all.
    const QString path = dir.filePath("short.kswa");
    WriteAll(path, "[param]\r\n"
                   "pinmode=0a0b0c0d0e0f1011\r\n"
                   "LINPARAM=0102030405060708090A\r\n"
                   "ANAPARAM = 1122334455667788 \r\n");
    ConfigImage image = RandomImage(3);
    QVERIFY(LoadConfigFile(path, image, host));
    QCOMPARE(Block(image, 1980, 8), QByteArray("\x0A\x0B\x0C\x0D\x0E\x0F\x10\x11", 8));
    QCOMPARE(Block(image, 1988, 15),
             QByteArray("\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0A", 10) + QByteArray(5, '\0'));
    QCOMPARE(Block(image, 2003, 8), QByteArray("\x11\x22\x33\x44\x55\x66\x77\x88", 8));
    QCOMPARE(Block(image, 2011, 8), QByteArray(8, '\0'));    // LINPARAM2 missing
    QCOMPARE(Block(image, 0, 1980), QByteArray(1980, '\0')); // 60 empty entries
    QCOMPARE(host.monitorSuspend, 0);
    QCOMPARE(host.maxMonitorSuspend, 1);

    // One section is enough for a configuration; the rest of the image becomes zero.
    const QString eventsOnly = dir.filePath("events.KSWA");
    WriteAll(eventsOnly, "[Events]\nEVRESP02=FF\n");
    image = RandomImage(4);
    QVERIFY(LoadConfigFile(eventsOnly, image, host));
    ConfigBytes expected{};
    expected[33] = 0xFF;
    QVERIFY(image.bytes == expected);

    // Whatever is no configuration is refused and leaves the image as it was.
    const QString empty = dir.filePath("empty.KSWA");
    const QString binary = dir.filePath("data.bin");
    const QString foreign = dir.filePath("passwd");
    WriteAll(empty, QByteArray());
    WriteAll(binary, QByteArray("\x00\xFF\x55[PARAM\x01]\r\n", 11).repeated(100));
    WriteAll(foreign, "root:x:0:0:root:/root:/bin/bash\nPINMODE=FFFFFFFFFFFFFFFF\n[PARAMS]\n");
    for (const QString& path : {dir.filePath("absent.KSWA"), dir.path(), empty, binary, foreign}) {
        image = RandomImage(5);
        const ConfigImage before = image;
        QVERIFY2(!LoadConfigFile(path, image, host), qPrintable(path));
        QVERIFY(image.bytes == before.bytes);
    }
    QCOMPARE(host.monitorSuspend, 0);
}

void TestKswa::saveKeepsOtherContent() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("extra.KSWA");
    WriteAll(path, "; exported by hand\n"
                   "[Info]\n"
                   "Car=Лада\n"
                   "[PARAM]\n"
                   "Comment=kept\n"
                   "pinmode=FFFFFFFFFFFFFFFF\n"
                   "[EVENTS]\n"
                   "EVRESP61=ABCD\n"
                   "[Tail]\n"
                   "x=1\n");
    test::TestHost host;
    ConfigImage image = RandomImage(6);
    QCOMPARE(SaveConfigFile(path, image, host, LangEnglish).error, QString());

    const QByteArray text = ReadAll(path);
    // Written by hand with LF alone, it keeps LF.
    QVERIFY(text.startsWith("; exported by hand\n[Info]\nCar=Лада\n[PARAM]\nComment=kept\n"
                            "pinmode="));
    QVERIFY(text.contains("[EVENTS]\nEVRESP61=ABCD\nEVRESP01="));
    QVERIFY(text.endsWith("\n[Tail]\nx=1\n") && !text.contains('\r'));
    QCOMPARE(text.count("PINMODE="), 0); // replaced in place under its old spelling
    QCOMPARE(text.count("pinmode="), 1);

    ConfigImage loaded;
    QVERIFY(LoadConfigFile(path, loaded, host));
    QVERIFY(loaded.bytes == image.bytes);
}

void TestKswa::failedSaveReportsAndResumesMonitor() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    test::TestHost host;
    const ConfigImage image = RandomImage(7);

    const QString nowhere = dir.filePath("no/such/dir/a.KSWA");
    QVERIFY(SaveConfigFile(nowhere, image, host, LangEnglish)
                .error.startsWith(QStringLiteral("Unable to write to ") +
                                  QDir::toNativeSeparators(nowhere) + "\nReason: "));
    QCOMPARE(host.monitorSuspend, 0);
    QVERIFY(!QFileInfo::exists(dir.filePath("no")));
    QVERIFY(host.boxes.isEmpty()); // the caller shows the text

    // The program goes on: the next save works.
    const QString good = dir.filePath("good.KSWA");
    QCOMPARE(SaveConfigFile(good, image, host, LangEnglish).error, QString());
    QVERIFY(QFileInfo::exists(good));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"good.KSWA"});
}

QTEST_GUILESS_MAIN(TestKswa)
#include "tst_kswa.moc"
