// korvex-cli and the configuration as text, on the virtual controller: a text of one controller
// written to another gives the first one's bytes, and a snippet sends only what it names.
#include "cli/CliCommands.h"
#include "common/TestFiles.h"
#include "common/TestHost.h"
#include "config/ConfigFile.h"
#include "config/ConfigText.h"
#include "config/Snapshots.h"
#include "link/IdentityRecord.h"
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

Run RunInProcess(const QStringList& args, sim::VirtualController& controller,
                 const CliEnvironment& env = {}) {
    Run r;
    QTextStream o(&r.out), e(&r.err);
    r.exitCode = RunCli(args, o, e, &controller, env);
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
    void textTargets();
    void refusedWithItsReason();
    void fileCommandsStopWhereverTheyAre();
    void identityNames();
    void deviceTargetsWithoutSnapshotOrWritableOut();
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
    QVERIFY2(wrong.err.startsWith("Error reading file \"" + QDir::toNativeSeparators(snippet) +
                                  "\"\nkeys.txt, line 4: \"X21 = "
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

void TestCliText::textTargets() {
    QTemporaryDir dir;
    test::TemporaryDataHome home;
    sim::VirtualController c;
    const auto path = [&](const char* name) { return dir.filePath(QLatin1String(name)); };
    const QByteArray whole = "# KORVEX-SWC-ADP configuration\nX21 = 1\n";
    const QByteArray snippet = "# KORVEX-SWC-ADP snippet\r\n# kept\r\nX22 = 2\r\nentry 3 = AB\r\n"
                               "event = LIN\r\nkey = VOL DN\r\n";
    test::WriteAll(path("car.txt"), whole);
    test::WriteAll(path("mine.txt"), snippet);
    QVERIFY(QFile::copy(QStringLiteral(KORVEX_SAMPLES_DIR "/demo.KSWA"), path("car.KSWA")));
    struct Row {
        QStringList args;
        int exitCode;
        QString said;      // in standard error or, on success, standard output
        QString unchanged; // a file that must stay byte for byte
    };
    QList<Row> rows = {
        {{"text", path("car.txt"), path("car.txt")}, 1, "OUT is SOURCE itself", path("car.txt")},
        {{"text", path("car.txt"), path("car.KSWA")},
         1,
         "korvex-cli read-config or write-config",
         path("car.KSWA")},
        {{"text", path("mine.txt")},
         1,
         "this is a snippet: apply it with korvex-cli apply",
         path("mine.txt")},
        {{"text", path("car.txt"), "-"}, 0, "# KORVEX-SWC-ADP configuration\n", path("car.txt")},
        {{"apply", path("mine.txt"), path("mine.txt")}, 0, "is applied to", path("mine.txt")},
        {{"text", path("car.KSWA"), path("OUT.TXT")}, 0, "is saved as text", path("car.KSWA")},
    };
#ifdef Q_OS_UNIX // a Windows shortcut is no link the file system follows
    QVERIFY(QFile::link(path("car.txt"), path("link.txt")));
    rows.prepend(
        {{"text", path("car.txt"), path("link.txt")}, 1, "OUT is SOURCE itself", path("car.txt")});
#endif
    for (const Row& row : rows) {
        const QByteArray before = test::ReadAll(row.unchanged);
        const Run r = RunInProcess(QStringList{"--lang", "en"} + row.args, c);
        QCOMPARE(r.exitCode, row.exitCode);
        QVERIFY2((row.exitCode == 0 ? r.out : r.err).contains(row.said), qPrintable(r.err + r.out));
        QCOMPARE(test::ReadAll(row.unchanged), before);
    }
    QVERIFY(!QFileInfo::exists(path("-")));
    // A snippet target stays a snippet: its own line changed, its comment, order and line ends
    // kept, what it did not name added; applied, it does what the two did in turn.
    test::WriteAll(path("more.txt"), "# KORVEX-SWC-ADP snippet\nX22 = 3\nX23 = 1\n");
    QCOMPARE(RunInProcess({"apply", path("more.txt"), path("mine.txt")}, c).exitCode, 0);
    QCOMPARE(test::ReadAll(path("mine.txt")),
             QByteArray("# KORVEX-SWC-ADP snippet\r\n# kept\r\nX22 = 3\r\nentry 3 = AB\r\n"
                        "event = LIN\r\nkey = VOL DN\r\n\r\nX23 = 1\r\n"));
}

void TestCliText::refusedWithItsReason() {
    QTemporaryDir dir;
    test::TemporaryDataHome home;
    sim::VirtualController c;
    const auto path = [&](const char* name) { return dir.filePath(QLatin1String(name)); };
    const QString snippet = path("keys.txt");
    test::WriteAll(snippet, "# KORVEX-SWC-ADP snippet\nX21 = 1\n");
    test::WriteAll(path("empty.KSWA"), {});
    test::WriteAll(path("other.KSWA"), "[OTHER]\nA=1\n");
    test::WriteAll(path("text.KSWA"), "# KORVEX-SWC-ADP configuration\n");
    test::WriteAll(path("utf8.txt"), "# KORVEX-SWC-ADP snippet\nX21 = 1\n\n\xC3(X22 = 1\n");
    test::WriteAll(path("zero-byte.txt"),
                   QByteArray("# KORVEX-SWC-ADP snippet\nX21 = 1") + '\0' + QByteArray(" zz\n"));
    test::WriteAll(path("utf16.txt"), QByteArray("#\0 \0K\0", 6));
    test::WriteAll(path("long.txt"), "# KORVEX-SWC-ADP snippet\nX21 = " + QByteArray(500, 'y'));
    QByteArray big(MaxConfigFileBytes + 1, '#');
    test::WriteAll(path("big.txt"), "# KORVEX-SWC-ADP configuration\n" + big);
    test::WriteAll(path("big.KSWA"), "[PARAM]\n" + big);
    const QString firmware = QStringLiteral(KORVEX_SAMPLES_DIR "/controller-1.37.LDR");
    struct Row {
        QStringList args;
        QString said; // standard error, whole after the first line
    };
    const QString asSnippet = "this is a snippet: apply it with korvex-cli apply SNIPPET TARGET\n";
    const QList<Row> rows = {
        {{"--demo", "write-config", snippet}, asSnippet},
        {{"diff", snippet, path("empty.KSWA")}, asSnippet},
        {{"dump", snippet}, asSnippet},
        {{"sheet", snippet, path("s.html")}, asSnippet},
        {{"dump", path("empty.KSWA")}, "the file holds no configuration\n"},
        {{"dump", path("other.KSWA")}, "the file holds no configuration\n"},
        {{"dump", path("text.KSWA")},
         "this is a configuration text: such a file is read under a *.txt name\n"},
        {{"--demo", "write-config", firmware},
         "this is a firmware file (version 1.37); to install it: korvex-cli update-firmware \"" +
             QDir::toNativeSeparators(firmware) + "\"\n"},
        {{"dump", "nodir/x.KSWA"}, "Reason: " + test::NoSuchFileWords() + "\n"},
        {{"dump", path("utf8.txt")},
         "utf8.txt, line 4: \"\uFFFD(X22 = 1\": expected a text in UTF-8\n"},
        {{"dump", path("zero-byte.txt")},
         "zero-byte.txt, line 2: \"X21 = 1\\0 zz\": expected one of: "},
        {{"dump", path("utf16.txt")},
         "utf16.txt, line 1: \"\": expected a text in UTF-8, and this "
         "one is UTF-16 without a byte-order mark\n"},
        {{"dump", path("long.txt")}, "long.txt, line 2: \"X21 = " + QString(74, u'y') + "…\""},
        {{"apply", path("big.txt"), path("t.KSWA")},
         "Reason: the file is larger than 4 MB, more than any configuration\n"},
        {{"dump", path("big.KSWA")},
         "Reason: the file is larger than 4 MB, more than any configuration\n"},
    };
    for (const Row& row : rows) {
        c.clearLog();
        const Run r = RunInProcess(QStringList{"--lang", "en"} + row.args, c);
        QVERIFY2(r.exitCode != 0 && c.requests.empty(), qPrintable(row.args.join(' ')));
        const qsizetype firstEnd = r.err.indexOf(u'\n');
        QVERIFY2(r.err.startsWith("Error reading file \"" +
                                  QDir::toNativeSeparators(row.args.at(
                                      row.args.size() - 1 -
                                      (row.args.at(0) == "diff" || row.args.at(0) == "sheet" ||
                                       row.args.at(0) == "apply"))) +
                                  "\"\n") &&
                     r.err.mid(firstEnd + 1).startsWith(row.said),
                 qPrintable(r.err));
    }
    QVERIFY(!QFileInfo::exists(path("s.html")) && !QFileInfo::exists(path("t.KSWA")));
}

void TestCliText::fileCommandsStopWhereverTheyAre() {
    QTemporaryDir dir;
    test::TemporaryDataHome home;
    sim::VirtualController c;
    const auto path = [&](const char* name) { return dir.filePath(QLatin1String(name)); };
    // Long enough that its reading polls the stop between lines.
    const QByteArray comments = QByteArray("# a comment\n").repeated(20000);
    test::WriteAll(path("big.txt"), "# KORVEX-SWC-ADP snippet\n" + comments + "X21 = 1\n");
    test::WriteAll(path("whole.txt"), "# KORVEX-SWC-ADP configuration\n" + comments + "X21 = 1\n");
    const QStringList commands[] = {
        {"apply", path("big.txt"), path("t.KSWA")},   {"apply", path("big.txt"), path("t.txt")},
        {"text", path("whole.txt"), path("t.txt")},   {"read-config", path("t.KSWA")},
        {"sheet", path("whole.txt"), path("t.html")}, {"dump", path("whole.txt")},
        {"diff", path("whole.txt"), path("t.KSWA")},
    };
    for (const QStringList& args : commands) {
        // The first run counts the polls; each row then stops at the first (reading), the
        // second (parsing) and the last (before the file is replaced).
        const QString target = args.last();
        QVERIFY(QFile::copy(QStringLiteral(KORVEX_SAMPLES_DIR "/demo.KSWA"), path("t.KSWA")));
        test::WriteAll(path("t.txt"), "# KORVEX-SWC-ADP snippet\n# mine\n");
        test::WriteAll(path("t.html"), "mine");
        const QByteArray before = test::ReadAll(target);
        int polls = 0;
        CliEnvironment env;
        int stopAt = 0;
        env.stopRequested = [&] { return ++polls >= stopAt && stopAt > 0; };
        const QStringList full = QStringList{"--demo", "--lang", "en"} + args;
        QCOMPARE(RunInProcess(full, c, env).exitCode, args.at(0) == "diff" ? 1 : 0);
        const int counted = polls;
        QVERIFY2(counted >= 2, qPrintable(args.join(' ')));
        for (const int at : {1, 2, counted}) {
            QVERIFY(QFile::remove(target));
            test::WriteAll(target, before);
            polls = 0;
            stopAt = at;
            const Run r = RunInProcess(full, c, env);
            const QString what = args.join(' ') + QStringLiteral(" at poll %1").arg(at);
            QVERIFY2(r.exitCode == 1 && r.err.endsWith("Interrupted\n") &&
                         r.err.count("Interrupted") == 1 && !r.err.contains("disconnected"),
                     qPrintable(what + ": " + r.err));
            QVERIFY2(test::ReadAll(target) == before, qPrintable(what));
        }
        QFile::remove(path("t.KSWA"));
    }
}

void TestCliText::identityNames() {
    const QList<QPair<QByteArray, bool>> rows = {
        {"", false},         {"    ", false}, {"\x01\x02\x7F", false},
        {" \t\r\n ", false}, {" A ", true},   {"KORVEX-SWC-ADP", true}};
    for (const auto& [name, taken] : rows) {
        IdentityRecord id;
        std::copy(name.begin(), name.end(), id.raw.begin() + 16);
        QCOMPARE(id.hasName(), taken);
    }
}

void TestCliText::deviceTargetsWithoutSnapshotOrWritableOut() {
    QTemporaryDir dir;
    test::TemporaryDataHome home;
    sim::VirtualController c;
    const QString snippet = dir.filePath(QStringLiteral("add.txt"));
    Write(snippet, "# KORVEX-SWC-ADP snippet\nentry next = NEW\nevent = LIN\nkey = MUTE\n");
    // Entry 1 is the controller's own: without a snapshot the changes are still made against
    // what it holds, so entry next finds the first free one.
    for (int i = 0; i < EntrySize; ++i)
        c.config[size_t(EntryOffset(0) + i)] = std::uint8_t(i == 0 ? 'A' : i == 10 ? 1 : 0);
    const auto entry1 = std::vector<std::uint8_t>(c.config.begin(), c.config.begin() + EntrySize);
    for (const bool snapshot : {false, true}) {
        QStringList args{"--demo", "--lang", "en", "apply", snippet, "device"};
        if (!snapshot)
            args << "--no-snapshot";
        const Run r = RunInProcess(args, c);
        QCOMPARE(r.exitCode, 0);
        QVERIFY(std::equal(entry1.begin(), entry1.end(), c.config.begin()));
        QCOMPARE(r.out.contains("snapshot is saved"), snapshot);
    }
    QVERIFY(!IsEntryEmpty(ConfigBytes(c.config), 1) && !IsEntryEmpty(ConfigBytes(c.config), 2));
    // An OUT that cannot be written is refused before the controller is asked.
    const QString readOnly = dir.filePath(QStringLiteral("ro.txt"));
    Write(readOnly, "mine");
    QVERIFY(QFile::setPermissions(readOnly, QFile::ReadOwner));
    c.clearLog();
    const Run r = RunInProcess({"--demo", "--lang", "en", "text", "device", readOnly}, c);
    QCOMPARE(r.exitCode, 1);
    QVERIFY2(r.err.startsWith("Unable to write to " + QDir::toNativeSeparators(readOnly)),
             qPrintable(r.err));
    QVERIFY(c.requests.empty());
    QCOMPARE(test::ReadAll(readOnly), QByteArray("mine"));
}

QTEST_GUILESS_MAIN(TestCliText)
#include "tst_cli_text.moc"
