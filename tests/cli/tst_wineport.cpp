// korvex-cli.exe of the Windows build under Wine, its serial port through the Windows API: COM7
// is mapped in Wine's registry to a pseudo-terminal whose far end is the virtual controller.
// Each command must give what the Linux build gives on the same controller: the same output
// (file and snapshot names aside), the same file, the same bytes in the controller.
// KORVEX_WINDOWS_CLI names the korvex-cli.exe (tools/windows-build.sh all sets it); without it
// the test is skipped.
#include "link/PtyBridge.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace korvex;

namespace {
struct Result {
    int exitCode = -1;
    QString out, err;
    std::array<std::uint8_t, sim::ConfigSize> config{};
    QByteArray firmware;
    QByteArray file;
};
} // namespace

class TestWinePort : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void sameAsTheLinuxBuild_data();
    void sameAsTheLinuxBuild();

private:
    bool runWine(const QStringList& args, QProcess& p);
    Result run(bool windows, const QStringList& args, const QString& file);

    QString exe_;
    QProcessEnvironment env_ = QProcessEnvironment::systemEnvironment();
    test::PtyBridge bridge_;
    QTemporaryDir dir_;
    std::array<std::uint8_t, sim::ConfigSize> initial_{};
};

bool TestWinePort::runWine(const QStringList& args, QProcess& p) {
    p.setProcessEnvironment(env_);
    p.start(QStringLiteral(KORVEX_SOURCE_DIR "/tools/wine-run.sh"), args);
    return p.waitForFinished(120000);
}

void TestWinePort::initTestCase() {
    exe_ = qEnvironmentVariable("KORVEX_WINDOWS_CLI");
    if (exe_.isEmpty() || QStandardPaths::findExecutable(QStringLiteral("wine")).isEmpty())
        QSKIP("KORVEX_WINDOWS_CLI names no korvex-cli.exe, or Wine is not installed");
    QVERIFY(QFileInfo(exe_).isFile());
    QVERIFY(bridge_.ok() && dir_.isValid());
    // The prefix of the Windows build's tests, whose LOCALAPPDATA takes the snapshots.
    if (!env_.contains(QStringLiteral("KORVEX_WINEPREFIX")))
        env_.insert(QStringLiteral("KORVEX_WINEPREFIX"),
                    QFileInfo(exe_).dir().absoluteFilePath(QStringLiteral("../wine")));
    env_.insert(QStringLiteral("XDG_DATA_HOME"), dir_.filePath(QStringLiteral("data")));
    QProcess reg, restart;
    QVERIFY(runWine({"reg", "add", "HKLM\\Software\\Wine\\Ports", "/v", "COM7", "/d",
                     bridge_.devicePath(), "/f"},
                    reg));
    QCOMPARE(reg.exitCode(), 0);
    // Wine reads the mapping when its server starts.
    QProcessEnvironment server = env_;
    server.insert(QStringLiteral("WINEPREFIX"), env_.value(QStringLiteral("KORVEX_WINEPREFIX")));
    restart.setProcessEnvironment(server);
    restart.start(QStringLiteral("wineserver"), {"-k"});
    QVERIFY(restart.waitForFinished(30000));
    for (std::size_t i = 0; i < initial_.size(); ++i)
        initial_[i] = static_cast<std::uint8_t>(i * 13 + 5);
}

Result TestWinePort::run(bool windows, const QStringList& args, const QString& file) {
    bridge_.stop();
    sim::VirtualController& c = bridge_.controller();
    c = sim::VirtualController();
    c.ports = QStringList{bridge_.devicePath()};
    c.config = initial_;
    bridge_.start();
    QProcess p;
    QStringList all{"--port", windows ? QStringLiteral("COM7") : bridge_.devicePath()};
    all << args;
    const QString named = windows ? QStringLiteral("Z:") + QDir::toNativeSeparators(file) : file;
    all.replaceInStrings(QStringLiteral("FILE"), named);
    Result r;
    if (windows) {
        if (!runWine(QStringList{exe_} + all, p))
            return r;
    } else {
        p.setProcessEnvironment(env_);
        p.start(QStringLiteral(KORVEX_CLI_PATH), all);
        if (!p.waitForFinished(60000))
            return r;
    }
    bridge_.stop();
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    static const QRegularExpression snapshot(QStringLiteral("(saved to |сохранен в )[^\n]*"));
    static const QRegularExpression reason(QStringLiteral("Reason: [^\n]*"));
    for (auto [stream, text] : {std::pair{QProcess::StandardOutput, &r.out},
                                std::pair{QProcess::StandardError, &r.err}}) {
        p.setReadChannel(stream);
        // Windows names the file in its own form, and the system's reason in its own words.
        *text = QString::fromUtf8(p.readAll())
                    .replace(named, QStringLiteral("FILE"))
                    .replace(QString(named).replace(u'/', u'\\'), QStringLiteral("FILE"));
        text->replace(snapshot, QStringLiteral("\\1SNAPSHOT"));
        text->replace(reason, QStringLiteral("Reason: REASON"));
    }
    r.config = c.config;
    r.firmware = c.firmware;
    QFile f(file);
    if (f.open(QIODevice::ReadOnly))
        r.file = f.readAll();
    return r;
}

void TestWinePort::sameAsTheLinuxBuild_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("source"); // copied to FILE first; empty: the command writes it
    const QString samples = QStringLiteral(KORVEX_SAMPLES_DIR "/");
    QTest::newRow("info") << QStringList{"--lang", "en", "info"} << QString();
    QTest::newRow("read-config") << QStringList{"--lang", "ru", "read-config", "FILE"} << QString();
    QTest::newRow("write-config") << QStringList{"--lang", "ru", "write-config", "FILE"}
                                  << samples + "demo.KSWA";
    QTest::newRow("update-firmware")
        << QStringList{"--lang", "en", "update-firmware", "FILE", "--yes"}
        << samples + "controller-1.37.LDR";
    // A file that is not there: the same refusal in the same words.
    QTest::newRow("no-such-file") << QStringList{"--lang", "en", "write-config", "FILE"}
                                  << QString();
}

void TestWinePort::sameAsTheLinuxBuild() {
    QFETCH(QStringList, args);
    QFETCH(QString, source);
    // The Windows side writes into a file named in Cyrillic, as a Russian user's would be.
    const QString file = dir_.filePath(QStringLiteral("Клиент.KSWA"));
    const auto prepare = [&] {
        QFile::remove(file);
        return source.isEmpty() || QFile::copy(source, file);
    };
    QVERIFY(prepare());
    const Result linux = run(false, args, file);
    QVERIFY(prepare());
    const Result windows = run(true, args, file);
    QVERIFY2(linux.exitCode == windows.exitCode,
             qPrintable(QStringLiteral("Linux %1, Windows %2: %3")
                            .arg(linux.exitCode)
                            .arg(windows.exitCode)
                            .arg(windows.err)));
    QCOMPARE(windows.out, linux.out);
    QCOMPARE(windows.err, linux.err);
    QCOMPARE(windows.file, linux.file);
    QVERIFY(windows.config == linux.config);
    QCOMPARE(windows.firmware, linux.firmware);
    // And each did what it says, so that two equal failures do not pass for a result.
    const QByteArray tag = QTest::currentDataTag();
    QCOMPARE(linux.exitCode != 0, tag == "no-such-file");
    if (tag == "info")
        QVERIFY(linux.out.contains(QStringLiteral("230417")));
    if (tag == "read-config")
        QVERIFY(!linux.file.isEmpty());
    if (tag == "write-config")
        QVERIFY(linux.config != initial_);
    if (tag == "update-firmware")
        QVERIFY(!linux.firmware.isEmpty());
}

QTEST_GUILESS_MAIN(TestWinePort)
#include "tst_wineport.moc"
