// Snapshots from the window against the virtual controller: every operation that replaces the
// controller's configuration keeps the one read before it, once, and never stops for it.
#include "app/AppCore.h"
#include "app/FileDialogs.h"
#include "common/TestFiles.h"
#include "common/WindowRig.h"
#include "config/ConfigFile.h"
#include "config/Snapshots.h"
#include "firmware/FirmwareFile.h"
#include "link/LittleEndian.h"

#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QtTest>

using namespace korvex;
using namespace korvex::test;

namespace {

constexpr std::uint32_t Serial = 230417;

// The factory configuration with two pins set otherwise, so that a snapshot of the wrong copy
// (the factory one, the window's edit, an earlier read) shows.
ConfigBytes Variant(std::uint8_t x21, std::uint8_t x22) {
    ConfigBytes bytes = sim::FactoryConfiguration();
    bytes[param::X21.offset] = x21;
    bytes[param::X22.offset] = x22;
    return bytes;
}

struct SnapshotRig : WindowRig {
    SnapshotRig() {
        window->host().onMonitorTick = nullptr; // the test ticks
        controller.config = Variant(1, 2);
        tick();
        first = readCopy(Variant(1, 2));
        // How many snapshots there were when the first write of an operation arrived.
        controller.onRequest = [this](const sim::LoggedRequest& r) {
            if ((r.cmd & 0x80) != 0 && keptAtFirstWrite < 0)
                keptAtFirstWrite = snapshots().size();
        };
    }
    qsizetype keptAtFirstWrite = -1;
    ConfigBytes first;
    QList<SnapshotFile> snapshots() const {
        return SnapshotStore(DefaultSnapshotRoot()).List(Serial);
    }
    // The controller holds `bytes` now and the user reads it; returns the copy the read kept
    // (the controller's bytes as the window shows them, with its display defaults).
    ConfigBytes readAfresh(const ConfigBytes& bytes) {
        controller.config = bytes;
        find<QToolButton>("SpeedButtonReadDevice")->click();
        return readCopy(bytes);
    }
    ConfigBytes readCopy(const ConfigBytes& bytes) const {
        const ReadCopy& copy = window->core().image.lastRead;
        if (!copy.valid || copy.serial != Serial ||
            copy.bytes[param::X21.offset] != bytes[param::X21.offset] ||
            copy.bytes[param::X22.offset] != bytes[param::X22.offset])
            QTest::qFail("not the controller's configuration", __FILE__, __LINE__);
        return copy.bytes;
    }
    // Exactly one new snapshot, which holds `before`, and the log names it.
    void expectOneNew(qsizetype had, const ConfigBytes& before) {
        const QList<SnapshotFile> now = snapshots();
        QCOMPARE(now.size(), had + 1);
        QCOMPARE(keptAtFirstWrite, had + 1); // kept before the controller was changed
        keptAtFirstWrite = -1;
        ConfigImage loaded;
        QVERIFY(LoadConfigFile(now.last().path, loaded, window->host()));
        QCOMPARE(loaded.bytes, before);
        QVERIFY2(log().contains("The controller's configuration snapshot is saved to " +
                                QDir::toNativeSeparators(now.last().path)),
                 qPrintable(log()));
    }
    QString firmwareFile() {
        QByteArray file(FirmwareHeaderSize, '\0');
        auto* header = reinterpret_cast<std::uint8_t*>(file.data());
        PutU32le(header, Serial);
        PutU32le(header + 4, 137);
        PutU32le(header + 8, controller.deviceType);
        file += QByteArray(200, '\x5A');
        const std::uint16_t crc = FirmwareCrc16(reinterpret_cast<const std::uint8_t*>(file.data()),
                                                static_cast<std::size_t>(file.size()));
        file.append(char(crc & 0xFF)).append(char(crc >> 8));
        const QString path = dir.filePath("new.LDR");
        WriteAll(path, file);
        return path;
    }
};

} // namespace

class TestSnapshots : public QObject {
    Q_OBJECT
private slots:
    void everyReplacementKeepsTheReadCopyOnce();
    void unwritableSnapshotsDoNotStopTheWrite();
};

void TestSnapshots::everyReplacementKeepsTheReadCopyOnce() {
    SnapshotRig rig;
    QVERIFY(rig.window->core().monitor.imageInSync);
    QVERIFY(rig.snapshots().isEmpty()); // a read alone keeps nothing

    // A declined write keeps nothing; the write answered Yes keeps what was read.
    rig.find<QToolButton>("SpeedButtonWriteDevice")->click();
    QVERIFY(rig.snapshots().isEmpty());
    WindowRig::choose(rig.find<QComboBox>("ComboBoxX21x"), 0); // the window's own edit
    rig.answers = {mb::IdYes};
    rig.keptAtFirstWrite = -1;
    rig.find<QToolButton>("SpeedButtonWriteDevice")->click();
    rig.expectOneNew(0, rig.first);
    QVERIFY(!QTest::currentTestFailed());
    QCOMPARE(rig.controller.config[param::X21.offset], 0); // the edit reached the controller
    // Further operations on the same read keep nothing more.
    rig.answers = {mb::IdYes};
    rig.find<QToolButton>("SpeedButtonWriteDevice")->click();
    QCOMPARE(rig.snapshots().size(), 1);

    // Reset to defaults.
    rig.readAfresh(Variant(2, 1));
    rig.find<QToolButton>("SpeedButtonToDefault")->click(); // declined
    QCOMPARE(rig.snapshots().size(), 1);
    rig.tick(); // declined or not, the monitor reads the controller again
    const ConfigBytes beforeDefaults = rig.readCopy(Variant(2, 1));
    rig.answers = {mb::IdYes};
    rig.keptAtFirstWrite = -1;
    rig.find<QToolButton>("SpeedButtonToDefault")->click();
    rig.expectOneNew(1, beforeDefaults);
    QVERIFY(!QTest::currentTestFailed());
    QCOMPARE(rig.controller.config, sim::FactoryConfiguration());
    rig.tick(); // the monitor reads the controller it lost track of

    // The first live edit after a read; the second sends without a snapshot.
    const ConfigBytes beforeEdit = rig.readAfresh(Variant(1, 1));
    WindowRig::choose(rig.find<QComboBox>("ComboBoxX21x"), 2);
    QCOMPARE(rig.snapshots().size(), 2); // nothing before it is sent
    rig.keptAtFirstWrite = -1;
    rig.tick();
    rig.expectOneNew(2, beforeEdit);
    QVERIFY(!QTest::currentTestFailed());
    QCOMPARE(rig.controller.config[param::X21.offset], 2);
    WindowRig::choose(rig.find<QComboBox>("ComboBoxX22x"), 0);
    rig.tick();
    QCOMPARE(rig.controller.config[param::X22.offset], 0);
    QCOMPARE(rig.snapshots().size(), 3);

    // The firmware update.
    const ConfigBytes beforeUpdate = rig.readAfresh(Variant(2, 2));
    const QString firmware = rig.firmwareFile();
    rig.window->files().onShown = [&](QFileDialog& dialog) {
        dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(firmware);
        static_cast<QDialog&>(dialog).accept();
        if (dialog.isVisible())
            dialog.reject();
    };
    rig.keptAtFirstWrite = -1;
    rig.find<QToolButton>("SpeedButtonUpdateDevice")->click();
    QCOMPARE(rig.controller.firmware.left(200), QByteArray(200, '\x5A'));
    rig.expectOneNew(3, beforeUpdate);
    QVERIFY(!QTest::currentTestFailed());
    QVERIFY(rig.boxes.filter("rror").isEmpty());
}

void TestSnapshots::unwritableSnapshotsDoNotStopTheWrite() {
    SnapshotRig rig;
    // A file where the controller's directory belongs: not even root can write there.
    const QString blocked = SnapshotStore(DefaultSnapshotRoot()).SerialDirectory(Serial);
    QVERIFY(QDir().mkpath(QFileInfo(blocked).path()));
    WriteAll(blocked, "in the way");

    WindowRig::choose(rig.find<QComboBox>("ComboBoxX22x"), 0);
    rig.answers = {mb::IdYes};
    rig.find<QToolButton>("SpeedButtonWriteDevice")->click();
    QCOMPARE(rig.controller.config, rig.window->core().image.bytes);
    QCOMPARE(rig.controller.config[param::X22.offset], 0);
    QVERIFY2(rig.log().contains("The controller's configuration snapshot is not saved: Unable to "
                                "write to " +
                                QDir::toNativeSeparators(blocked + "/")),
             qPrintable(rig.log()));
    QCOMPARE(rig.boxes.size(), 1); // the question only: no error box
    QCOMPARE(ReadAll(blocked), QByteArray("in the way"));
}

QTEST_MAIN(TestSnapshots)
#include "tst_snapshots.moc"
