// The program as a desktop starts it: a file given on the command line opens, a second start
// hands its file to the running window and ends, and a second start without one is refused.
#include "common/TestFiles.h"
#include "config/ConfigFile.h"
#include "config/ConfigText.h"
#include "host/HandOver.h"
#include "host/QuietHost.h"

#include <QProcess>
#include <QtTest>

#ifdef Q_OS_UNIX
#include <csignal>
#endif

using namespace korvex;
using namespace korvex::test;

class TestHandOver : public QObject {
    Q_OBJECT
private slots:
    void messageForm_data();
    void messageForm();
    void secondStartHandsItsFile();
};

void TestHandOver::messageForm_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("whole");
    QTest::addColumn<bool>("bad");
    QTest::addColumn<QString>("name");
    QTest::addRow("longer than any name") << QByteArray("\xFF\xFF\xFF\x7F", 4) << false << true << "";
    QTest::addRow("more than it says") << QByteArray("\x01\0\0\0ab", 6) << false << true << "";
    QTest::addRow("length cut short") << QByteArray("\x03\0", 2) << false << false << "";
    QTest::addRow("name cut short") << QByteArray("\x03\0\0\0ab", 6) << false << false << "";
    QTest::addRow("whole, UTF-8")
        << QByteArray("\x07\0\0\0/\xD0\xB0.txt", 11) << true << false << QString::fromUtf8("/а.txt");
}

void TestHandOver::messageForm() {
    QFETCH(QByteArray, bytes);
    QFETCH(bool, whole);
    QFETCH(bool, bad);
    QFETCH(QString, name);
    bool isWhole = false;
    bool isBad = false;
    QCOMPARE(HandOverName(bytes, &isWhole, &isBad), name);
    QCOMPARE(isWhole, whole);
    QCOMPARE(isBad, bad);
    if (whole)
        QCOMPARE(HandOverMessage(name), bytes);
}

void TestHandOver::secondStartHandsItsFile() {
    // A copy of the program keeps its settings beside it, away from the build's.
    QTemporaryDir dir;
    const QString program = dir.filePath(QFileInfo(KORVEX_SETUP_PROGRAM).fileName());
    QVERIFY(QFile::copy(KORVEX_SETUP_PROGRAM, program));
    QVERIFY(QDir(dir.path()).mkdir("run"));
    QFile::setPermissions(dir.filePath("run"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("XDG_RUNTIME_DIR", dir.filePath("run"));
    env.insert("XDG_DATA_HOME", dir.filePath("data"));
    const QString ini = dir.filePath("korvex-setup.ini");
    WriteAll(ini, "[MainSettings]\r\nLang=1\r\n");
    QStringList files;
    for (const char* name : {"first.KSWA", "second.KSWA"}) {
        ConfigImage image;
        image.bytes = FactoryBytes();
        image.bytes[1980] = files.size() + 1;
        QuietHost host;
        files << dir.filePath(name);
        QVERIFY(SaveConfigFile(files.last(), image, host, LangEnglish).error.isEmpty());
    }
    const auto start = [&](QProcess& process, const QStringList& arguments) {
        process.setProcessEnvironment(env);
        process.start(program, arguments);
        QVERIFY(process.waitForStarted());
    };
    QProcess first;
    start(first, {files[0]});
    // Opened: the file is the first of the recent files.
    QTRY_VERIFY_WITH_TIMEOUT(ReadAll(ini).contains("first.KSWA"), 30000);

    QProcess second;
    start(second, {files[1]});
    QVERIFY(second.waitForFinished(30000));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    QTRY_VERIFY_WITH_TIMEOUT(ReadAll(ini).contains("second.KSWA"), 30000);
    QCOMPARE(first.state(), QProcess::Running);

#ifdef Q_OS_UNIX
    // Without a file the refusal stands, naming the lock; a signal while it shows ends the start
    // as a close would.
    QProcess third;
    start(third, {});
    QByteArray said;
    QTRY_VERIFY_WITH_TIMEOUT((said += third.readAllStandardError()).contains("Lock file: "),
                             30000);
    QVERIFY2(said.contains("is already running") &&
                 said.contains(QFile::encodeName(dir.filePath("run/KORVEX_SETUP_UTILITY.lock"))),
             said.constData());
    ::kill(pid_t(third.processId()), SIGTERM);
    QVERIFY(third.waitForFinished(30000));
    QCOMPARE(third.exitStatus(), QProcess::NormalExit);
    QCOMPARE(third.exitCode(), 0);

    ::kill(pid_t(first.processId()), SIGTERM);
    QVERIFY(first.waitForFinished(30000));
    QCOMPARE(first.exitCode(), 0);
#else
    first.kill();
    QVERIFY(first.waitForFinished(30000));
#endif
}

QTEST_GUILESS_MAIN(TestHandOver)
#include "tst_handover.moc"
