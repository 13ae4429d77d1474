// Nothing is lost: every writer under a failing disk leaves the old file byte for byte and says
// why; odd files are read right or refused, and a save keeps their encoding.
#include "app/Settings.h"
#include "common/TestFiles.h"
#include "common/TestHost.h"
#include "config/ConfigFile.h"
#include "config/IniFile.h"
#include "config/Snapshots.h"
#include "host/FileAccess.h"
#include "host/TextFile.h"
#include "sim/VirtualController.h"

#include <QDir>
#include <QProcess>
#include <QStringEncoder>
#include <QtTest>
#include <cerrno>

#include <functional>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace korvex;
using namespace korvex::test;

namespace {

ConfigImage Demo() {
    ConfigImage image;
    image.bytes = sim::FactoryConfiguration();
    image.bytes[40] = 0x5A;
    return image;
}

#ifdef Q_OS_UNIX // the ways to make a write fail below are POSIX's
struct Writer {
    const char* name;
    QByteArray old; // the file the writer replaces (a snapshot writes beside it)
    // Writes into `path`; returns what the user is told.
    std::function<QString(const QString& path, TestHost& host)> write;
};

QList<Writer> Writers() {
    return {
        {"configuration", "[Mine]\r\nkept=1\r\n",
         [](const QString& path, TestHost& host) {
             return SaveConfigFile(path, Demo(), host, LangEnglish).error;
         }},
        {"snapshot", "[PARAM]\r\nPINMODE=01\r\n",
         [](const QString& path, TestHost& host) {
             SnapshotStore store(QFileInfo(path).absolutePath());
             return store.Save(7, Demo().bytes, host, LangEnglish).error;
         }},
        {"settings", "[Foreign]\r\nx=1\r\n",
         [](const QString& path, TestHost& host) {
             SaveSettings(path, Settings{}, host, LangEnglish);
             return host.boxes.isEmpty() ? QString() : host.boxes.last().text;
         }},
        {"log", "old log\r\n",
         [](const QString& path, TestHost& host) {
             SaveTextFile(path, QString(4000, u'x'), host, LangEnglish);
             return host.boxes.isEmpty() ? QString() : host.boxes.last().text;
         }},
    };
}

// Runs every writer over its old file in `dir` while `fail` holds, and checks what is left.
void CheckWriters(const QString& dir, const std::function<void(bool)>& fail,
                  const QString& reason) {
    for (const Writer& w : Writers()) {
        const QString path = QDir(dir).filePath(QStringLiteral("old.file"));
        WriteAll(path, w.old);
        // A full store: a failed snapshot must not make room by pruning a good one.
        const QString serialDir = dir + "/snapshots/7";
        QDir().mkpath(serialDir);
        for (int n = 0; n < SnapshotStore::MaxPerSerial; ++n)
            WriteAll(serialDir + QStringLiteral("/20260101T0000%1Z.KSWA").arg(n, 2, 10, QChar('0')),
                     w.old);
        const QStringList before = QDir(serialDir).entryList(QDir::Files);
        TestHost host;
        fail(true);
        const QString told = w.write(path, host);
        fail(false);
        // The system's own words, never Qt's "Unknown error".
        QVERIFY2(told.startsWith("Unable to write to " + QDir::toNativeSeparators(dir)) &&
                     told.contains("\nReason: " + reason),
                 qPrintable(w.name + (": " + told)));
        QCOMPARE(ReadAll(path), w.old);
        QCOMPARE(QDir(serialDir).entryList(QDir::Files), before);
        QCOMPARE(SnapshotStore(dir).List(7).size(), SnapshotStore::MaxPerSerial);
        QDir(dir + "/snapshots").removeRecursively();
        QFile::remove(path);
        QCOMPARE(QDir(dir).entryList(QDir::Files | QDir::Hidden), QStringList()); // no temporary
    }
}
#endif

} // namespace

class TestFileSafety : public QObject {
    Q_OBJECT
private slots:
    void writersUnderFileSizeLimit();
    void writersOnAFullDisk();
    void oddFilesReadOrRefused();
    void savesKeepOwnerAndClearStaleTemporaries();
};

void TestFileSafety::writersUnderFileSizeLimit() {
#ifdef Q_OS_UNIX
    QTemporaryDir dir;
    std::signal(SIGXFSZ, SIG_IGN); // a write past the limit then fails with EFBIG
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    CheckWriters(
        dir.path(),
        [&](bool on) {
            rlimit limit = saved;
            limit.rlim_cur = on ? 64 : saved.rlim_cur;
            setrlimit(RLIMIT_FSIZE, &limit);
        },
        qt_error_string(EFBIG));
#else
    QSKIP("needs setrlimit, which Windows does not have");
#endif
}

void TestFileSafety::writersOnAFullDisk() {
#ifdef Q_OS_LINUX
    QTemporaryDir dir;
    const QString tiny = dir.filePath("tiny");
    QDir().mkpath(tiny);
    if (QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=512k", "tmpfs", tiny}) != 0)
        QSKIP("no tmpfs of our own here (mounting needs root): the file-size limit stands in");
    const auto unmount = qScopeGuard([&] { QProcess::execute("umount", {tiny}); });
    const QString fill = tiny + "/fill";
    CheckWriters(
        tiny,
        [&](bool on) {
            if (!on)
                return (void)QFile::remove(fill);
            QFile f(fill); // everything left, 1 KiB at a time
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
            while (f.write(QByteArray(1024, 'f')) == 1024) {
            }
        },
        qt_error_string(ENOSPC));
#else
    QSKIP("tmpfs is Linux's");
#endif
}

void TestFileSafety::oddFilesReadOrRefused() {
    QTemporaryDir dir;
    TestHost host;
    const QString sample = QStringLiteral(KORVEX_SAMPLES_DIR "/demo.KSWA");
    ConfigImage original;
    QVERIFY(LoadConfigFile(sample, original, host));
    const QByteArray text = "; mine\r\n[Other]\r\nk=v\r\n" + ReadAll(sample);
    QStringEncoder le(QStringEncoder::Utf16LE, QStringEncoder::Flag::WriteBom);
    QStringEncoder be(QStringEncoder::Utf16BE, QStringEncoder::Flag::WriteBom);
    struct Case {
        const char* name;
        QByteArray bytes; // empty: a FIFO
        bool loads;
        QByteArray written; // its first bytes after a save over it
        bool whole = false; // no INI text: replaced whole
    };
    const Case cases[] = {
        {"cr.KSWA", QByteArray(text).replace("\r\n", "\r"), true, "; mine\r[Other]\r"},
        {"param.KSWA", "[PARAM]\n", false, "[PARAM]\nPINMODE="},
        {"utf16le.KSWA", le.encode(QString::fromUtf8(text)), true, "\xFF\xFE;\0"},
        {"utf16be.KSWA", be.encode(QString::fromUtf8(text)), true, QByteArray("\xFE\xFF\0;", 4)},
        {"firmware.LDR", QByteArray("\x01\x00\x00\x00[x]\n", 8).repeated(40), false, "[PARAM]",
         true},
        // Without a section: a UTF-8 text of keys is kept, other bytes are no INI text.
        {"keys.KSWA", "note=caf\xC3\xA9\nk=v\n", false, "note=caf\xC3\xA9\nk=v\n[PARAM]\n"},
        {"latin1.KSWA", "note=caf\xE9\nk=v\n", false, "[PARAM]", true},
        {"fifo.KSWA", {}, false, {}},
    };
    for (const Case& c : cases) {
        const QString path = dir.filePath(c.name);
        if (!c.bytes.isEmpty())
            WriteAll(path, c.bytes);
#ifdef Q_OS_UNIX
        else
            QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
#else
        else // Windows has no FIFO: a folder of that name is no regular file either
            QVERIFY(QDir(dir.path()).mkdir(QString::fromLatin1(c.name)));
#endif
        ConfigImage image;
        QCOMPARE(LoadConfigFile(path, image, host), c.loads);
        if (c.loads)
            QVERIFY2(image.bytes == original.bytes, c.name);
        const ConfigSaveResult saved = SaveConfigFile(path, Demo(), host, LangEnglish);
        QVERIFY2(saved.ok() == !c.written.isEmpty(), qPrintable(saved.error));
        if (c.written.isEmpty()) { // and the FIFO is still one
            QVERIFY(saved.error.endsWith("Reason: it is not a regular file (a device, a pipe or "
                                         "a folder)") &&
                    QFileInfo(path).exists() && !QFileInfo(path).isFile());
            continue;
        }
        QVERIFY2(ReadAll(path).startsWith(c.written), c.name);
        QCOMPARE(saved.replacedWhole, c.whole);
        QVERIFY(LoadConfigFile(path, image, host) && image.bytes == Demo().bytes);
        IniFile kept(path); // everything else the file held is still there
        QVERIFY(kept.Load());
        QCOMPARE(kept.ReadString(u"Other", u"k", {}), c.loads ? "v" : QString());
    }
}

void TestFileSafety::savesKeepOwnerAndClearStaleTemporaries() {
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("car.KSWA"));
    WriteAll(target, "[PARAM]\r\n");
    // What a save killed before its rename leaves: removed once it is a minute old, and only
    // names of that form.
    const QString stale = target + QStringLiteral(".aB3xYz");
    const QString fresh = target + QStringLiteral(".Qw12Er");
    const QString other = target + QStringLiteral(".bak");
    for (const QString& path : {stale, fresh, other})
        WriteAll(path, "half");
    {
        QFile f(stale);
        QVERIFY(f.open(QIODevice::ReadWrite) &&
                f.setFileTime(QDateTime::currentDateTimeUtc().addSecs(-120),
                              QFileDevice::FileModificationTime));
    }
    QVERIFY(WriteWholeFile(target, "[PARAM]\r\nPINMODE=00\r\n").ok());
    QVERIFY(!QFileInfo::exists(stale));
    QVERIFY(QFileInfo::exists(fresh) && QFileInfo::exists(other));
#ifdef Q_OS_UNIX
    if (::geteuid() != 0)
        QSKIP("only root can give a file a group it is not in");
    // A file whose group alone differs from root's keeps it through a save as root.
    QCOMPARE(::chown(QFile::encodeName(target).constData(), 0, 65534), 0);
    QVERIFY(WriteWholeFile(target, "[PARAM]\r\n").ok());
    struct stat after {};
    QCOMPARE(::stat(QFile::encodeName(target).constData(), &after), 0);
    QCOMPARE(after.st_uid, uid_t(0));
    QCOMPARE(after.st_gid, gid_t(65534));
#endif
}

QTEST_GUILESS_MAIN(TestFileSafety)
#include "tst_filesafety.moc"
