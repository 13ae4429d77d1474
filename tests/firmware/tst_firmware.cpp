// The firmware update against the virtual controller: what is written where, what is refused
// before anything is written, and how a failed transfer ends.
#include "common/SimRig.h"
#include "common/TestFiles.h"
#include "firmware/FirmwareUpdate.h"
#include "link/LittleEndian.h"
#include "link/ResultText.h"

#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <chrono>
#include <thread>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace korvex;

namespace {

// A firmware file laid out as header (serial, version, type), image, CRC-16 of both.
QByteArray FirmwareBytes(std::uint32_t serial, std::uint32_t version, std::uint32_t type,
                         const QByteArray& image) {
    QByteArray bytes(FirmwareHeaderSize, '\0');
    auto* p = reinterpret_cast<std::uint8_t*>(bytes.data());
    PutU32le(p, serial);
    PutU32le(p + 4, version);
    PutU32le(p + 8, type);
    bytes += image;
    const std::uint16_t crc = FirmwareCrc16(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                            static_cast<std::size_t>(bytes.size()));
    bytes.append(static_cast<char>(crc & 0xFF));
    bytes.append(static_cast<char>(crc >> 8));
    return bytes;
}

QByteArray Pattern(int size) {
    QByteArray image(size, '\0');
    for (int i = 0; i < size; ++i)
        image[i] = static_cast<char>((i * 7 + 3) & 0xFF);
    return image;
}

// A connected rig and an update context whose file chooser returns `file`.
struct Rig : test::SimRig {
    explicit Rig(bool manualTime = false) : SimRig(manualTime) {
        monitor.controllerConnected = connect();
        ctx.chooseFirmwareFile = [this] {
            if (onChoose)
                onChoose();
            return file;
        };
        ctx.rememberFirmwareFile = [this](const QString& f) { remembered = f; };
        ctx.setToolbarBusy = [this](bool busy) { toolbarBusy.append(busy); };
    }
    QList<sim::LoggedRequest> requestsOf(std::uint8_t cmd) const {
        QList<sim::LoggedRequest> found;
        std::copy_if(controller.requests.begin(), controller.requests.end(),
                     std::back_inserter(found), [cmd](const auto& r) { return r.cmd == cmd; });
        return found;
    }

    FirmwareContext ctx{link, host, monitor, language};
    QString file;
    QString remembered;
    QList<bool> toolbarBusy;
    std::function<void()> onChoose;
};

} // namespace

class TestFirmware : public QObject {
    Q_OBJECT
private slots:
    void writesImageAndTrailerToTheBootloader();
    void handsOverFromTheApplication();
    void refusedBeforeAnythingIsWritten();
    void failedChunkIsNotRepeated();
    void repeatedUpdateAfterAFailedTransfer();
    void unpluggedDuringTheUpdate();
};

void TestFirmware::writesImageAndTrailerToTheBootloader() {
    QCOMPARE(FirmwareCrc16(reinterpret_cast<const std::uint8_t*>("123456789"), 9),
             std::uint16_t(0x31C3));

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    Rig rig;
    rig.controller.bootloaderMode = true;
    // A longer file loaded before must not leave its bytes behind the shorter one's CRC.
    const QString longer = dir.filePath(QStringLiteral("longer.LDR"));
    test::WriteAll(longer, FirmwareBytes(0, 137, 1, QByteArray(2000, '\xEE')));
    QVERIFY(LoadFirmwareFile(rig.ctx, longer));

    const QByteArray file = FirmwareBytes(0, 137, 1, Pattern(1024)); // 1038 bytes
    rig.file = dir.filePath(QStringLiteral("fw.LDR"));
    test::WriteAll(rig.file, file);
    rig.controller.clearLog();

    QCOMPARE(UpdateFirmware(rig.ctx), FirmwareOutcome::Updated);
    QCOMPARE(rig.remembered, rig.file);
    // A bootloader gets no extra first chunk: 17 frames of 64 bytes at 0, 64, ..., 1024.
    const auto writes = rig.requestsOf(0x82);
    QCOMPARE(writes.size(), 17);
    for (int i = 0; i < writes.size(); ++i) {
        QCOMPARE(writes[i].offset, std::uint16_t(64 * i));
        QCOMPARE(writes[i].payload.size(), 64);
    }
    QCOMPARE(rig.controller.firmware, file.mid(12) + QByteArray(62, '\0'));

    QVERIFY(rig.host.boxes.isEmpty()); // a newer image asks nothing
    QCOMPARE(rig.host.progressTotal, 1024);
    QCOMPARE(rig.host.notices.size(), 1);
    QCOMPARE(rig.host.notices[0].text, QStringLiteral("The device is updated to version 1.37"));
    QCOMPARE(rig.host.notices[0].hideMs, 3000);
    QCOMPARE(rig.toolbarBusy, QList<bool>{true});
    QVERIFY(!rig.monitor.controllerConnected);
    QCOMPARE(rig.host.monitorSuspend, 0);
    QVERIFY(rig.host.maxMonitorSuspend > 0);
}

void TestFirmware::handsOverFromTheApplication() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QByteArray file = FirmwareBytes(230417, 200, 1, Pattern(100));
    {
        Rig rig;
        rig.file = dir.filePath(QStringLiteral("fw.LDR"));
        test::WriteAll(rig.file, file);
        rig.controller.clearLog();
        QCOMPARE(UpdateFirmware(rig.ctx), FirmwareOutcome::Updated);
        // The first chunk alone, unanswered while the application restarts; then identity polls
        // until the bootloader answers; then the whole block from offset 0.
        const auto& req = rig.controller.requests;
        QCOMPARE(req[1].cmd, std::uint8_t(0x82));
        QCOMPARE(req[1].payload, file.mid(12, 64));
        QCOMPARE(req[2].cmd, std::uint8_t(0x01));
        const auto writes = rig.requestsOf(0x82);
        QCOMPARE(writes.size(), 1 + 3); // then 100 + 64 bytes in three frames from offset 0
        QCOMPARE(writes[1].offset, std::uint16_t(0));
        QVERIFY(
            rig.host.log.contains(QStringLiteral("Controller          \"KORVEX-SWC-ADP-BOOT\"")));
        QCOMPARE(rig.controller.firmware, file.mid(12) + QByteArray(62, '\0'));
    }
    {
        // A bootloader that never answers: 50 polls, then the firmware error with the last code.
        Rig rig;
        rig.file = dir.filePath(QStringLiteral("fw.LDR"));
        rig.onChoose = [&rig] { rig.controller.addFault(sim::Fault::BadCheck, 0x01); };
        rig.controller.clearLog();
        QCOMPARE(UpdateFirmware(rig.ctx), FirmwareOutcome::Failed);
        QCOMPARE(rig.requestsOf(0x82).size(), 1);
        QCOMPARE(rig.requestsOf(0x01).size(), 1 + 50 * 3);
        QCOMPARE(rig.host.boxes.size(), 1);
        QCOMPARE(rig.host.boxes[0].text, QStringLiteral("Failed to update the firmware\n") +
                                             ResultText(result::BadFrame, LangEnglish));
        QCOMPARE(rig.host.monitorSuspend, 0);
        QVERIFY(rig.toolbarBusy.isEmpty());
    }
    {
        // The window closed during the second identity poll: no further poll, no box.
        Rig rig;
        rig.file = dir.filePath(QStringLiteral("fw.LDR"));
        rig.onChoose = [&rig] { rig.controller.addFault(sim::Fault::BadCheck, 0x01); };
        rig.host.onProcessEvents = [&rig] {
            if (rig.requestsOf(0x01).size() >= 1 + 2 * 3)
                rig.link.state.appClosing = true;
        };
        rig.controller.clearLog();
        QCOMPARE(UpdateFirmware(rig.ctx), FirmwareOutcome::Failed);
        QCOMPARE(rig.requestsOf(0x01).size(), 1 + 2 * 3);
        QVERIFY(rig.host.boxes.isEmpty());
        QCOMPARE(rig.host.monitorSuspend, 0);
    }
}

void TestFirmware::refusedBeforeAnythingIsWritten() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QByteArray badCrc = FirmwareBytes(0, 136, 1, Pattern(64));
    badCrc[badCrc.size() - 1] = static_cast<char>(badCrc.at(badCrc.size() - 1) ^ 1);
    struct Case {
        const char* name;
        QByteArray bytes; // empty: no such file
        FirmwareOutcome outcome;
        QString box;
    };
    const Case cases[] = {
        {"missing.LDR", {}, FirmwareOutcome::Refused, "Error opening file \"missing.LDR\""},
        // Never opened: that would wait for a writer for good.
        {"fifo.LDR", {}, FirmwareOutcome::Refused, "Error opening file \"fifo.LDR\""},
        // Checked before the same-version question it would otherwise ask.
        {"crc.LDR", badCrc, FirmwareOutcome::Refused, "Error in file \"crc.LDR\""},
        {"short.LDR", QByteArray(13, '\0'), FirmwareOutcome::Refused,
         "Error in file \"short.LDR\""},
        {"empty.LDR", FirmwareBytes(0, 137, 1, {}), FirmwareOutcome::Refused,
         "Error in file \"empty.LDR\""},
        // Within 65,536 bytes, but its trailer would wrap to offset 0 over the new image.
        {"big.bin.LDR", FirmwareBytes(0, 137, 1, Pattern(FirmwareMaxImage + 1)),
         FirmwareOutcome::Refused,
         "Error file size \"big.bin.LDR\"\nThe image and its transfer trailer must end within "
         "16-bit addresses: at most 65486 bytes"},
        {"serial.LDR", FirmwareBytes(999, 137, 1, Pattern(64)), FirmwareOutcome::Refused,
         "No update for this serial number"},
        {"type.LDR", FirmwareBytes(230417, 137, 2, Pattern(64)), FirmwareOutcome::Refused,
         "This update is not for this device"},
        {"same.LDR", FirmwareBytes(0, 136, 1, Pattern(64)), FirmwareOutcome::Declined,
         "Are you trying to download the same version as in the device\nContinue?"},
        {"older.LDR", FirmwareBytes(0, 99, 1, Pattern(64)), FirmwareOutcome::Declined,
         "Are you trying to download an older version than the device\nContinue?"},
    };
    for (const Case& c : cases) {
        Rig rig;
        rig.file = dir.filePath(QLatin1String(c.name));
        if (!c.bytes.isEmpty())
            test::WriteAll(rig.file, c.bytes);
        std::thread writer;
#ifdef Q_OS_UNIX
        if (QByteArray(c.name) == "fifo.LDR") {
            QCOMPARE(mkfifo(QFile::encodeName(rig.file).constData(), 0600), 0);
            // Should the loader open it after all, it gets an empty file after a while.
            writer = std::thread([path = QFile::encodeName(rig.file)] {
                std::this_thread::sleep_for(std::chrono::seconds(1));
                const int fd = ::open(path.constData(), O_WRONLY | O_NONBLOCK);
                if (fd >= 0)
                    ::close(fd);
            });
        }
#endif
        QCOMPARE(UpdateFirmware(rig.ctx), c.outcome);
        if (writer.joinable())
            writer.join();
        QVERIFY2(rig.requestsOf(0x82).isEmpty(), c.name);
        QCOMPARE(rig.host.boxes.size(), 1);
        QCOMPARE(rig.host.boxes[0].text, c.box);
        const unsigned icon =
            c.outcome == FirmwareOutcome::Declined ? mb::IconWarning : mb::IconError;
        QCOMPARE(rig.host.boxes[0].flags & 0xF0, icon);
        QVERIFY2(rig.monitor.controllerConnected, c.name);
        QCOMPARE(rig.host.monitorSuspend, 0);
    }

    // The largest image that still ends at offset 65,536 with its trailer is taken.
    Rig rig;
    rig.file = dir.filePath(QStringLiteral("largest.LDR"));
    test::WriteAll(rig.file, FirmwareBytes(0, 137, 1, Pattern(FirmwareMaxImage)));
    QCOMPARE(rig.link.device.ReadIdentity(rig.ctx.updateIdentity), 0);
    QVERIFY(LoadFirmwareFile(rig.ctx, rig.file));
    QCOMPARE(rig.ctx.file.imageLength(), 65472);

    // Yes to the same version: the update goes on and writes the image.
    Rig same;
    same.file = dir.filePath(QStringLiteral("same.LDR"));
    same.host.answers = {mb::IdYes};
    QCOMPARE(UpdateFirmware(same.ctx), FirmwareOutcome::Updated);
    QCOMPARE(same.host.boxes.size(), 1);
    QCOMPARE(same.host.boxes[0].flags & 0xF0, mb::IconWarning);
    QCOMPARE(same.controller.firmware,
             Pattern(64) + test::ReadAll(same.file).right(2) + QByteArray(62, '\0'));
    QCOMPARE(same.host.notices.size(), 1);
}

void TestFirmware::failedChunkIsNotRepeated() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    Rig rig;
    rig.controller.bootloaderMode = true;
    rig.file = dir.filePath(QStringLiteral("fw.LDR"));
    test::WriteAll(rig.file, FirmwareBytes(0, 137, 1, Pattern(1024)));
    rig.controller.addFault(sim::Fault::NoReply, 0x82, 1);
    QCOMPARE(UpdateFirmware(rig.ctx), FirmwareOutcome::Failed);
    QCOMPARE(rig.requestsOf(0x82).size(), 1);
    QVERIFY(rig.host.notices.isEmpty());
    QCOMPARE(rig.host.monitorSuspend, 0);
    QCOMPARE(rig.host.boxes.size(), 1);
    QCOMPARE(rig.host.boxes[0].text,
             QStringLiteral("Failed to update the firmware\nOut of the timeout response"));
}

void TestFirmware::repeatedUpdateAfterAFailedTransfer() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QByteArray file = FirmwareBytes(0, 137, 1, Pattern(1024));
    {
        // The transfer breaks off at the sixth chunk; the bootloader stays and the next update
        // writes the whole block at once.
        Rig rig;
        rig.controller.bootloaderMode = true;
        rig.file = dir.filePath(QStringLiteral("fw.LDR"));
        test::WriteAll(rig.file, file);
        rig.controller.addFault(sim::Fault::Delay, 0x82, 5, 0);
        rig.controller.addFault(sim::Fault::NoReply, 0x82, 1);
        rig.ctx.logResult = true; // as the window: after its error box, the way back
        QCOMPARE(UpdateFirmware(rig.ctx), FirmwareOutcome::Failed);
        QCOMPARE(rig.requestsOf(0x82).size(), 6);
        QVERIFY(rig.ctx.leftInBootloader);
        QCOMPARE(rig.host.boxes.size(), 2);
        QCOMPARE(rig.host.boxes[1].flags & 0xF0, mb::IconInformation);
        QCOMPARE(rig.host.boxes[1].text,
                 QStringLiteral("The controller now runs its bootloader, without its application. "
                                "The same update, run again, puts an application back: the button "
                                "\"Firmware update\" and the file \"fw.LDR\""));
        rig.controller.clearLog();
        QCOMPARE(UpdateFirmware(rig.ctx), FirmwareOutcome::Updated);
        QCOMPARE(rig.requestsOf(0x82).size(), 17);
        QCOMPARE(rig.requestsOf(0x82).first().offset, std::uint16_t(0));
        QCOMPARE(rig.controller.firmware, file.mid(12) + QByteArray(62, '\0'));
    }
    {
        // An application that acknowledges the first chunk instead of handing over: the block
        // follows at once, without identity polls, and meets the hand-over.
        Rig rig;
        rig.file = dir.filePath(QStringLiteral("fw.LDR"));
        rig.controller.addFault(sim::Fault::AppAcksFirmware, 0x82, 1);
        rig.controller.clearLog();
        QCOMPARE(UpdateFirmware(rig.ctx), FirmwareOutcome::Failed);
        QCOMPARE(rig.requestsOf(0x82).size(), 2);
        QCOMPARE(rig.requestsOf(0x01).size(), 1);
        QCOMPARE(rig.host.boxes.size(), 1);
        QCOMPARE(rig.host.boxes[0].text,
                 QStringLiteral("Failed to update the firmware\nOut of the timeout response"));
        QCOMPARE(rig.toolbarBusy, QList<bool>{true});
        QVERIFY(rig.controller.firmware.isEmpty());
        // Once the bootloader has started, the next update goes through.
        QTest::qWait(300);
        QCOMPARE(UpdateFirmware(rig.ctx), FirmwareOutcome::Updated);
        QCOMPARE(rig.controller.firmware, file.mid(12) + QByteArray(62, '\0'));
    }
}

void TestFirmware::unpluggedDuringTheUpdate() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QByteArray file = FirmwareBytes(0, 137, 1, Pattern(1024));
    const QByteArray written = file.mid(12) + QByteArray(62, '\0');
    // A lost reply costs 100 ms of silence before the start byte; a firmware chunk is never
    // repeated. The hand-over chunk is followed by at most 50 identity polls, each a 100 ms pause
    // and a read of 3 attempts of 100 ms with two 10 ms pauses between them.
    constexpr int LostChunk = 100;
    constexpr int HandOver = LostChunk + 50 * (100 + 3 * 100 + 2 * 10);
    const struct {
        const char* name;
        int chunk; // which firmware chunk of the update the cable is pulled at, counted from 1
        std::uint16_t offset;
        int budgetMs;
        const char* reason;
    } rows[] = {
        // The application's own chunk: it never hears it and stays running.
        {"hand-over", 1, 0, HandOver, "Controller is disconnected"},
        {"first", 2, 0, LostChunk, "Out of the timeout response"},
        {"second", 3, 64, LostChunk, "Out of the timeout response"},
        {"middle", 10, 512, LostChunk, "Out of the timeout response"},
        {"last", 18, 1024, LostChunk, "Out of the timeout response"},
    };
    for (const auto& row : rows) {
        Rig rig(true);
        rig.file = dir.filePath(QStringLiteral("fw.LDR"));
        test::WriteAll(rig.file, file);
        test::MonitorTicks ticks(rig.link, rig.monitor, rig.host, rig.language);
        int chunks = 0;
        std::uint32_t pulledAt = 0;
        rig.controller.onRequest = [&](const sim::LoggedRequest& r) {
            if (r.cmd == 0x82 && ++chunks == row.chunk) {
                QCOMPARE(r.offset, row.offset);
                rig.controller.setPlugged(false);
                pulledAt = rig.clock.Now();
            }
        };
        QCOMPARE(UpdateFirmware(rig.ctx), FirmwareOutcome::Failed);
        const int tookMs = static_cast<int>(rig.clock.Now() - pulledAt);
        qInfo("%s chunk: stopped %d ms after the unplug (budget %d ms)", row.name, tookMs,
              row.budgetMs);
        QVERIFY2(tookMs <= row.budgetMs, row.name);
        QCOMPARE(chunks, row.chunk);
        QCOMPARE(rig.host.boxes.size(), 1);
        QCOMPARE(rig.host.boxes[0].flags & 0xF0, mb::IconError);
        QCOMPARE(rig.host.boxes[0].text,
                 QStringLiteral("Failed to update the firmware\n") + QLatin1String(row.reason));
        QVERIFY(rig.host.notices.isEmpty());
        QCOMPARE(rig.host.monitorSuspend, 0);
        QCOMPARE(rig.controller.bootloaderMode, row.chunk > 1);

        // The monitor runs again and lets go of the port at its first tick.
        QCOMPARE(ticks.tickUntil([&rig] { return !rig.transport.isOpen(); }), 1);
        QVERIFY(!rig.link.serial.ComIsOpen());

        // Plugged in again, the controller is found and a fresh update goes through; a bootloader
        // gets the whole block at once.
        rig.controller.onRequest = nullptr;
        rig.controller.setPlugged(true);
        QCOMPARE(ticks.tickUntil([&rig] { return rig.monitor.controllerConnected; }), 1);
        rig.controller.clearLog();
        rig.host.boxes.clear();
        QCOMPARE(UpdateFirmware(rig.ctx), FirmwareOutcome::Updated);
        QVERIFY(rig.host.boxes.isEmpty());
        const auto writes = rig.requestsOf(0x82);
        QCOMPARE(writes.size(), row.chunk > 1 ? 17 : 1 + 17);
        QCOMPARE(writes.last().offset, std::uint16_t(1024));
        QCOMPARE(rig.controller.firmware.left(written.size()), written);
        QCOMPARE(rig.host.notices.size(), 1);
    }
}

QTEST_GUILESS_MAIN(TestFirmware)
#include "tst_firmware.moc"
