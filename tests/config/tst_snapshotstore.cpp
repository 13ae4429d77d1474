// The snapshot store on a temporary directory and a clock the test sets: unique names within a
// second, the listing, the limit per controller, and a directory that cannot be written.
#include "common/TestFiles.h"
#include "common/TestHost.h"
#include "config/ConfigFile.h"
#include "config/Snapshots.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

using namespace korvex;
using namespace korvex::test;

namespace {
ConfigBytes Numbered(int n) {
    ConfigBytes bytes{};
    bytes[0] = std::uint8_t(n);
    bytes[ConfigImageSize - 1] = std::uint8_t(n >> 8);
    return bytes;
}

struct StoreRig {
    QTemporaryDir dir;
    QDateTime now{QDate(2026, 12, 8), QTime(23, 15, 0), QTimeZone::utc()};
    TestHost host;
    SnapshotStore store{dir.path(), [this] { return now; }};
};
} // namespace

class TestSnapshotStore : public QObject {
    Q_OBJECT
private slots:
    void namesOrderAndListing();
    void limitRemovesTheOldest();
    void unwritableDirectory();
};

void TestSnapshotStore::namesOrderAndListing() {
    StoreRig rig;
    QVERIFY(rig.store.ListAll().isEmpty());
    const QString base = rig.dir.path() + "/snapshots/230417/20261208T231500Z";
    QStringList written;
    for (int n = 0; n < 3; ++n) {
        const SnapshotResult r = rig.store.Save(230417, Numbered(n), rig.host, LangEnglish);
        QCOMPARE(r.error, QString());
        written << r.path;
    }
    QCOMPARE(written, QStringList({base + ".KSWA", base + "-2.KSWA", base + "-3.KSWA"}));
    // A later second sorts after every file of the second before, whatever the suffixes.
    rig.now = rig.now.addSecs(1);
    written << rig.store.Save(230417, Numbered(3), rig.host, LangEnglish).path;
    const QList<SnapshotFile> listed = rig.store.List(230417);
    QCOMPARE(listed.size(), 4);
    for (int n = 0; n < 4; ++n) {
        QCOMPARE(listed[n].path, written[n]);
        QCOMPARE(listed[n].serial, 230417u);
        ConfigImage loaded;
        QVERIFY(LoadConfigFile(listed[n].path, loaded, rig.host));
        QCOMPARE(loaded.bytes, Numbered(n));
    }
    QCOMPARE(listed[0].taken, rig.now.addSecs(-1));
    QCOMPARE(listed[3].taken, rig.now);

    // Every serial's, by serial as a number; a directory that names no serial is left out.
    const QString of9 = rig.store.Save(9, Numbered(9), rig.host, LangEnglish).path;
    QVERIFY(QDir().mkpath(rig.dir.path() + "/snapshots/009"));
    QCOMPARE(rig.store.ListAll().size(), 5);
    QCOMPARE(rig.store.ListAll().first().path, of9);
    QCOMPARE(rig.store.ListAll().last().path, written.last());
    QVERIFY(rig.store.List(11).isEmpty());
}

void TestSnapshotStore::limitRemovesTheOldest() {
    StoreRig rig;
    // Something else in the directory is neither counted nor removed.
    const QString notes = rig.store.SerialDirectory(7) + "/notes.KSWA";
    QVERIFY(QDir().mkpath(rig.store.SerialDirectory(7)));
    WriteAll(notes, "[PARAM]\r\n");
    QStringList written;
    for (int n = 0; n <= SnapshotStore::MaxPerSerial; ++n) {
        // Two a second, so that the limit also counts the suffixed names right.
        if (n % 2 == 0)
            rig.now = rig.now.addSecs(1);
        written << rig.store.Save(7, Numbered(n), rig.host, LangEnglish).path;
    }
    const QList<SnapshotFile> listed = rig.store.List(7);
    QCOMPARE(listed.size(), SnapshotStore::MaxPerSerial);
    QVERIFY(!QFileInfo::exists(written.first()));
    QCOMPARE(listed.first().path, written[1]);
    QCOMPARE(listed.last().path, written.last());
    QVERIFY(QFileInfo::exists(notes));

    // Taken under a clock set years ahead, 49 names lie in the future of every real one: the
    // real ones, written last, are the ones kept.
    StoreRig wrong;
    const QDateTime real = wrong.now;
    wrong.now = real.addYears(5);
    for (int n = 0; n < SnapshotStore::MaxPerSerial - 1; ++n) {
        QFile f(wrong.store.Save(8, Numbered(n), wrong.host, LangEnglish).path);
        QVERIFY(f.open(QIODevice::ReadWrite) &&
                f.setFileTime(QDateTime::currentDateTimeUtc().addSecs(-3600 + n),
                              QFileDevice::FileModificationTime));
    }
    wrong.now = real;
    QStringList kept;
    for (int n = 0; n < 3; ++n) {
        wrong.now = wrong.now.addSecs(1);
        kept << wrong.store.Save(8, Numbered(100 + n), wrong.host, LangEnglish).path;
    }
    QCOMPARE(wrong.store.List(8).size(), SnapshotStore::MaxPerSerial);
    for (const QString& path : kept)
        QVERIFY2(QFileInfo::exists(path), qPrintable(path));
}

void TestSnapshotStore::unwritableDirectory() {
    StoreRig rig;
    // A file where the controller's directory belongs: unwritable even for root.
    QVERIFY(QDir().mkpath(rig.dir.path() + "/snapshots"));
    WriteAll(rig.store.SerialDirectory(5), "in the way");
    const SnapshotResult r = rig.store.Save(5, Numbered(1), rig.host, LangEnglish);
    QCOMPARE(r.path, QString());
    QCOMPARE(r.error,
             "Unable to write to " +
                 QDir::toNativeSeparators(rig.store.SerialDirectory(5) + "/20261208T231500Z.KSWA"));
    QVERIFY(rig.store.List(5).isEmpty());
    QCOMPARE(ReadAll(rig.store.SerialDirectory(5)), QByteArray("in the way"));
}

QTEST_MAIN(TestSnapshotStore)
#include "tst_snapshotstore.moc"
