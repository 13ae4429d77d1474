// korvex-cli and the configuration as text, on the virtual controller: a text of one controller
// written to another gives the first one's bytes, and a snippet sends only what it names.
#include "cli/CliCommands.h"
#include "common/TestFiles.h"
#include "common/TestHost.h"
#include "config/ConfigFile.h"
#include "config/ConfigText.h"
#include "config/Snapshots.h"
#include "sim/VirtualController.h"

#include <QTemporaryDir>
#include <QtTest>

#include <set>

using namespace korvex;

namespace {
struct Run {
    int exitCode = -1;
    QString out;
    QString err;
};

Run RunInProcess(const QStringList& args, sim::VirtualController& controller) {
    Run r;
    QTextStream o(&r.out), e(&r.err);
    r.exitCode = RunCli(args, o, e, &controller);
    o.flush();
    e.flush();
    return r;
}

// The configuration bytes the controller was sent.
std::set<int> WrittenOffsets(const sim::VirtualController& c) {
    std::set<int> offsets;
    for (const auto& r : c.requests) {
        for (int i = 0; r.cmd == 0x90 && i < r.payload.size(); ++i)
            offsets.insert(r.offset + i);
    }
    return offsets;
}

void Write(const QString& path, const QString& text) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(text.toUtf8());
}
} // namespace

class TestCliText : public QObject {
    Q_OBJECT
private slots:
    void textOfOneControllerWrittenToAnother();
    void snippetSendsOnlyWhatItNames();
};

void TestCliText::textOfOneControllerWrittenToAnother() {
    QTemporaryDir dir;
    test::TemporaryDataHome home;
    sim::VirtualController first;
    for (std::size_t i = 0; i < first.config.size(); ++i)
        first.config[i] = static_cast<std::uint8_t>(i * 37 + 11);
    first.config[1996] = first.config[1997] = 0; // the tool shows 1000 ms, the text keeps 0
    const QString file = dir.filePath(QStringLiteral("car.txt"));
    const Run text = RunInProcess({"--demo", "--lang", "ru", "text", "device", file}, first);
    QCOMPARE(text.exitCode, 0);
    QVERIFY(test::ReadAll(file).contains("серийный номер 230417"));
    sim::VirtualController second; // the factory configuration
    const Run write = RunInProcess({"--demo", "--lang", "en", "write-config", file}, second);
    QCOMPARE(write.exitCode, 0);
    QCOMPARE(second.config, first.config);
    // The same through standard output, --all, a file source and read-config; dump reads it.
    const Run shown = RunInProcess({"--demo", "--lang", "en", "text", "device", "--all"}, second);
    QVERIFY(shown.out.startsWith("# KORVEX-SWC-ADP configuration\n# KORVEX Setup 1.36, "));
    const QString read = dir.filePath(QStringLiteral("read.txt"));
    QCOMPARE(RunInProcess({"--demo", "read-config", read}, second).exitCode, 0);
    ConfigBytes back = FactoryBytes();
    QVERIFY(ReadConfigTextFile(read, back, LangEnglish).ok);
    QCOMPARE(back, first.config);
    const Run fromFile = RunInProcess({"--lang", "en", "text", read}, second);
    QCOMPARE(fromFile.exitCode, 0);
    QVERIFY(fromFile.out.contains("\nentry 60 = "));
    QCOMPARE(RunInProcess({"--lang", "en", "dump", read}, second).exitCode, 0);
    QCOMPARE(RunInProcess({"--lang", "en", "text", read, "--all", "x", "y"}, second).exitCode, 2);
    QCOMPARE(RunInProcess({"--lang", "en", "dump", read, "--all"}, second).exitCode, 2);
}

void TestCliText::snippetSendsOnlyWhatItNames() {
    QTemporaryDir dir;
    test::TemporaryDataHome home;
    const QString snippet = dir.filePath(QStringLiteral("keys.txt"));
    const QString head = QStringLiteral("# KORVEX-SWC-ADP snippet\n");
    Write(snippet, head + "X21 = Output +12V\n\nentry next = Громк-\nevent = LIN\n"
                          "key = VOL DN\nentry next = MUTE\nevent = LIN\nkey = \"MUTE\"\n");
    sim::VirtualController c;
    c.config[2016] = 0x5A; // a byte of its own that the snippet must not touch
    const auto before = c.config;
    ConfigBytes want = before;
    QVERIFY(ReadConfigTextFile(snippet, want, LangEnglish).ok);
    const Run apply = RunInProcess({"--demo", "--lang", "en", "apply", snippet, "device"}, c);
    QCOMPARE(apply.exitCode, 0);
    QCOMPARE(c.config, want);
    std::set<int> changed;
    for (int i = 0; i < ConfigImageSize; ++i) {
        if (before[size_t(i)] != want[size_t(i)])
            changed.insert(i);
    }
    QVERIFY(changed.count(1980) && changed.count(EntryOffset(2)) && changed.count(EntryOffset(3)));
    QCOMPARE(WrittenOffsets(c), changed);
    QCOMPARE(c.restarts, 0);
    QCOMPARE(SnapshotStore(DefaultSnapshotRoot()).List(c.serialNumber).size(), 1);
    QVERIFY2(apply.out.contains("X2/1: ") && apply.out.contains("3* (Громк-): added\n") &&
                 apply.out.endsWith(QStringLiteral("is applied to the controller: %1 bytes sent\n")
                                        .arg(changed.size())),
             qPrintable(apply.out));

    // A wrong line anywhere: nothing is sent, the controller is not even asked.
    Write(snippet, head + "entry next = A\nevent = LIN\nX21 = sideways\n");
    c.clearLog();
    const Run wrong = RunInProcess({"--demo", "--lang", "en", "apply", snippet, "device"}, c);
    QCOMPARE(wrong.exitCode, 1);
    QVERIFY2(wrong.err.startsWith("Error reading file \"keys.txt\"\nkeys.txt, line 4: \"X21 = "
                                  "sideways\": expected one of: "),
             qPrintable(wrong.err));
    QVERIFY(c.requests.empty());
    const Run noHeader = RunInProcess({"--demo", "--lang", "ru", "write-config",
                                       QStringLiteral(KORVEX_SAMPLES_DIR "/../README.md")},
                                      c);
    QCOMPARE(noHeader.exitCode, 1);
    QVERIFY(c.requests.empty());

    // A *.KSWA target stays a *.KSWA file, with the snippet's change in it and its other lines.
    Write(snippet, head + "VOUT1 = 2.5 V\n");
    const QString kswa = dir.filePath(QStringLiteral("car.KSWA"));
    QVERIFY(QFile::copy(QStringLiteral(KORVEX_SAMPLES_DIR "/demo.KSWA"), kswa));
    ConfigImage original, applied;
    test::TestHost host;
    QVERIFY(LoadConfigFile(kswa, original, host));
    QCOMPARE(RunInProcess({"--lang", "en", "apply", snippet, kswa}, c).exitCode, 0);
    QVERIFY(LoadConfigFile(kswa, applied, host));
    QVERIFY(test::ReadAll(kswa).startsWith("[PARAM]") || test::ReadAll(kswa).contains("[EVENTS]"));
    Set(original.bytes, param::VOUT1, 250);
    QCOMPARE(applied.bytes, original.bytes);
}

QTEST_GUILESS_MAIN(TestCliText)
#include "tst_cli_text.moc"
