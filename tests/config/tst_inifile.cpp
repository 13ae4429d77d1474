// The private-profile layer: reading files the Windows profile functions wrote, and writes
// that change one line and keep the rest of the file.
#include "config/IniFile.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace korvex;

class TestIniFile : public QObject {
    Q_OBJECT
private slots:
    void readsWindowsAndHandWrittenFiles();
    void writesKeepEverythingElse();
    void refusesWritesThatBreakTheFile();
};

void TestIniFile::readsWindowsAndHandWrittenFiles() {
    IniFile ini(QString{});
    ini.FromBytes("\xEF\xBB\xBF"
                  "orphan=1\r\n"
                  "[Main]\r\n"
                  "Key=Value\r\n"
                  "  Spaced  =  two words  \r\n"
                  "; Key=commented out\r\n"
                  "Quoted=\"c:\\a b\\\"\r\n"
                  "Путь=C:\\Файлы\\конфиг.KSWA\r\n"
                  "[main]\r\n"
                  "Key=second section of the same name\n"
                  "[ Other ]\n"
                  "key=lf only\n"
                  "N= -17 \nHex=0x1F\nPart=12abc\nBig=2147483648\n");
    QCOMPARE(ini.ReadString(u"main", u"KEY", "-"), QStringLiteral("Value"));
    QCOMPARE(ini.ReadString(u"Main", u"spaced", "-"), QStringLiteral("two words"));
    QCOMPARE(ini.ReadString(u"Main", u"Quoted", "-"), QStringLiteral("c:\\a b\\"));
    QCOMPARE(ini.ReadString(u"Main", u"путь", "-"), QStringLiteral("C:\\Файлы\\конфиг.KSWA"));
    QCOMPARE(ini.ReadString(u"Other", u"KEY", "-"), QStringLiteral("lf only"));
    QVERIFY(!ini.HasKey(u"Main", u"; Key"));
    QCOMPARE(ini.ReadString(u"", u"orphan", "-"), QStringLiteral("-"));
    QCOMPARE(ini.ReadString(u"Missing", u"Key", "-"), QStringLiteral("-"));

    QCOMPARE(ini.ReadInteger(u"Other", u"N", 7), -17);
    QCOMPARE(ini.ReadInteger(u"Other", u"Hex", 7), 31);
    QCOMPARE(ini.ReadInteger(u"Other", u"Part", 7), 7); // not a whole number
    QCOMPARE(ini.ReadInteger(u"Other", u"Big", 7), 7);  // beyond 32 bits
    QCOMPARE(ini.ReadInteger(u"Other", u"Missing", 7), 7);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    IniFile missing(dir.filePath("none.ini"));
    QVERIFY(missing.Load());
    QVERIFY(missing.ToBytes().isEmpty());
    IniFile directory(dir.path());
    QVERIFY(!directory.Load());
}

void TestIniFile::writesKeepEverythingElse() {
    IniFile ini(QString{});
    ini.FromBytes("; settings\n"
                  "[First]\n"
                  "  KeyA = old \n"
                  "# note\n"
                  "\n"
                  "[Second]\n"
                  "x=1\n"
                  "\n"
                  "\n");
    QVERIFY(ini.WriteString(u"first", u"keya", "new"));   // in place, file's spelling kept
    QVERIFY(ini.WriteString(u"FIRST", u"KeyB", "added")); // after the section's last line
    QVERIFY(ini.WriteInteger(u"Second", u"y", -5));       // before the trailing blank lines
    QVERIFY(ini.WriteString(u"Third", u"z", "a=b; c"));   // new section at the end
    QVERIFY(ini.WriteString(u"Third", u"z", "again"));    // then replaced, not repeated
    QCOMPARE(ini.ToBytes(), QByteArray("; settings\r\n"
                                       "[First]\r\n"
                                       "KeyA=new\r\n"
                                       "# note\r\n"
                                       "KeyB=added\r\n"
                                       "\r\n"
                                       "[Second]\r\n"
                                       "x=1\r\n"
                                       "y=-5\r\n"
                                       "\r\n"
                                       "\r\n"
                                       "[Third]\r\n"
                                       "z=again\r\n"));

    // A configuration file keeps its own line ends, LF or a lone CR.
    for (const QByteArray& end : {QByteArray("\n"), QByteArray("\r")}) {
        IniFile kept(QString{});
        kept.KeepLineEnds(true);
        kept.FromBytes("[S]" + end + "k=1" + end);
        QVERIFY(kept.WriteString(u"S", u"k", "2") && kept.WriteString(u"S", u"n", "3"));
        QCOMPARE(kept.ToBytes(), "[S]" + end + "k=2" + end + "n=3" + end);
    }

    // Only the first of two sections of the same name is written to, as it is the one read.
    ini.FromBytes("\xEF\xBB\xBF[S]\r\n[s]\r\nk=1\r\n");
    QVERIFY(ini.WriteString(u"S", u"k", "2"));
    QCOMPARE(ini.ToBytes(), QByteArray("\xEF\xBB\xBF[S]\r\nk=2\r\n[s]\r\nk=1\r\n"));
}

void TestIniFile::refusesWritesThatBreakTheFile() {
    IniFile ini(QString{});
    const QByteArray original("[S]\r\nk=1\r\n");
    ini.FromBytes(original);
    QVERIFY(!ini.WriteString(u"S", u"k", "1\r\n[Injected]"));
    QVERIFY(!ini.WriteString(u"S", u"a=b", "1"));
    QVERIFY(!ini.WriteString(u"S", u"[T]", "1"));
    QVERIFY(!ini.WriteString(u"S", u"  ", "1"));
    QVERIFY(!ini.WriteString(u"S]x", u"k", "1"));
    QCOMPARE(ini.ToBytes(), original);
}

QTEST_GUILESS_MAIN(TestIniFile)
#include "tst_inifile.moc"
