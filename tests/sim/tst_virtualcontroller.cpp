// The virtual controller behaves as the real one does towards the tool: its memory areas,
// notifications, restart and reset, through the link.
#include "common/SimRig.h"
#include "host/TickCount.h"
#include "link/IdentityRecord.h"

#include <QtTest>

#include <cstring>

using namespace korvex;

class TestVirtualController : public QObject {
    Q_OBJECT
private slots:
    void configurationMemory();
    void restartAndDefaults();
    void notificationsInTheStatusWord();
    void requestsItCannotTake();
    void firmwareHandOverToTheBootloader();
};

void TestVirtualController::configurationMemory() {
    test::SimRig rig;
    QVERIFY(rig.connect());
    const auto factory = sim::FactoryConfiguration();
    QCOMPARE(rig.controller.config, factory);
    // Believable defaults: a long press of 1000 ms and backlight 100/5/50.
    QCOMPARE(factory[1996] | (factory[1997] << 8), 1000);
    QCOMPARE(factory[2012], std::uint8_t(100));

    const std::uint8_t bytes[3] = {0xAB, 0xCD, 0xEF};
    QCOMPARE(rig.device().DeviceWrite(area::Configuration, 2016, bytes, 3), 0);
    std::uint8_t back[3] = {};
    QCOMPARE(rig.device().DeviceReadBlock(area::Configuration, 2016, back, 3), 0);
    QCOMPARE(QByteArray(reinterpret_cast<char*>(back), 3), QByteArray("\xAB\xCD\xEF", 3));
    // Past the end of the image the controller refuses.
    QCOMPARE(rig.device().DeviceWrite(area::Configuration, 2017, bytes, 3), -254);
}

void TestVirtualController::restartAndDefaults() {
    test::SimRig rig;
    QVERIFY(rig.connect());
    const std::uint8_t zero[8] = {};
    QCOMPARE(rig.device().DeviceWrite(area::Configuration, 1988, zero, 8), 0);
    QVERIFY(rig.controller.config != sim::FactoryConfiguration());
    QCOMPARE(rig.device().DeviceWrite(area::Defaults, 0, nullptr, 0), 0);
    QCOMPARE(rig.controller.config, sim::FactoryConfiguration());
    QCOMPARE(rig.controller.defaultsResets, 1);

    // A restart answers, then the controller is silent while it starts again.
    rig.controller.restartSilenceMs = 400;
    QCOMPARE(rig.device().DeviceWrite(area::Restart, 0, nullptr, 0), 0);
    QCOMPARE(rig.controller.restarts, 1);
    IdentityRecord id;
    QCOMPARE(rig.device().ReadIdentity(id), 13);
    QTest::qWait(200);
    QCOMPARE(rig.device().ReadIdentity(id), 0);
}

void TestVirtualController::notificationsInTheStatusWord() {
    test::SimRig rig;
    QVERIFY(rig.connect());
    IdentityRecord id;
    rig.controller.currentSource = 2;
    QCOMPARE(rig.device().ReadIdentity(id), 0);
    QCOMPARE(id.statusWord(), std::uint16_t(2));

    rig.controller.pressKey(11);
    rig.controller.queueTerminalText("abc\r\n");
    QCOMPARE(rig.device().ReadIdentity(id), 0);
    QCOMPARE(id.statusWord() & 0xC000, 0xC000);
    Frame key = Frame::request(0x18, 0);
    QCOMPARE(rig.link.frames.FrameTransact(key), 0);
    QCOMPARE(key.len(), std::uint8_t(3));
    QCOMPARE(key.payload()[0], std::uint8_t(1));
    QCOMPARE(key.payload()[1], std::uint8_t(1));
    QCOMPARE(key.payload()[2], std::uint8_t(11));
    QCOMPARE(rig.device().ReadIdentity(id), 0);
    QCOMPARE(id.statusWord() & 0xC000, 0x8000); // the key was fetched, the text waits

    std::uint8_t text[64];
    int count = 0;
    QCOMPARE(rig.device().DeviceRead(area::Terminal, 0, text, 64, &count), 0);
    QCOMPARE(QByteArray(reinterpret_cast<char*>(text), count), QByteArray("abc\r\n"));
    QCOMPARE(rig.device().ReadIdentity(id), 0);
    QCOMPARE(id.statusWord() & 0xC000, 0);

    rig.controller.setLastEvent(1, 1, 42);
    Frame ev = Frame::request(0x17, 0);
    QCOMPARE(rig.link.frames.FrameTransact(ev), 0);
    QCOMPARE(ev.payload()[2], std::uint8_t(42));

    // A typed line is taken and answered on the terminal.
    const QByteArray line("help");
    QCOMPARE(rig.device().DeviceWrite(area::Terminal, 0,
                                      reinterpret_cast<const std::uint8_t*>(line.constData()), 5),
             0);
    QCOMPARE(rig.controller.terminalIn, QList<QByteArray>{"help"});
    QCOMPARE(rig.device().ReadIdentity(id), 0);
    QCOMPARE(id.statusWord() & 0x8000, 0x8000);
}

void TestVirtualController::requestsItCannotTake() {
    test::SimRig rig;
    QVERIFY(rig.connect());
    rig.controller.clearLog();
    // A request with a bad check byte is logged and ignored; one whose length is above 64 is
    // not even a request.
    const QByteArray bad = QByteArray::fromHex("55010000"
                                               "0011");
    rig.transport.write(reinterpret_cast<const std::uint8_t*>(bad.constData()), 6);
    const QByteArray huge = QByteArray::fromHex("5590000041");
    rig.transport.write(reinterpret_cast<const std::uint8_t*>(huge.constData()), 5);
    QCOMPARE(rig.controller.requests.size(), std::size_t(1));
    QCOMPARE(rig.controller.requests[0].cmd, std::uint8_t(0x01));
    QVERIFY(!rig.controller.requests[0].checkOk);
    QCOMPARE(rig.controller.msUntilOutput(TickCount()), -1);
    // After that, a good request is answered normally.
    IdentityRecord id;
    QCOMPARE(rig.device().ReadIdentity(id), 0);
    QVERIFY(rig.controller.requests.back().checkOk);
}

void TestVirtualController::firmwareHandOverToTheBootloader() {
    test::SimRig rig;
    QVERIFY(rig.connect());
    std::uint8_t chunk[64];
    for (int i = 0; i < 64; ++i)
        chunk[i] = static_cast<std::uint8_t>(i);
    // The running application restarts into its bootloader and does not answer the chunk.
    QCOMPARE(rig.device().DeviceWrite(area::Firmware, 0, chunk, 64), 13);
    IdentityRecord id;
    int rc = -1;
    for (int i = 0; i < 20 && rc != 0; ++i) {
        QTest::qWait(100);
        rc = rig.device().ReadIdentity(id);
    }
    QCOMPARE(rc, 0);
    QVERIFY(id.isBootloader());
    // The bootloader holds no configuration.
    std::uint8_t b[8];
    QCOMPARE(rig.device().DeviceReadBlock(area::Configuration, 0, b, 8), -254);
    // A transfer that broke off inside the image leaves the bootloader in place.
    QCOMPARE(rig.device().DeviceWriteBlock(area::Firmware, 0, chunk, 64, 64), 0);
    QCOMPARE(rig.controller.firmware, QByteArray(reinterpret_cast<char*>(chunk), 64));
    QCOMPARE(rig.device().ReadIdentity(id), 0);
    QVERIFY(id.isBootloader());
    // A whole transfer ends with the image's CRC and 62 zero bytes.
    std::uint8_t image[128] = {};
    std::memcpy(image, chunk, 64);
    image[64] = 0x12;
    image[65] = 0x34;
    QCOMPARE(rig.device().DeviceWriteBlock(area::Firmware, 0, image, 128, 64), 0);
    QCOMPARE(rig.controller.firmware, QByteArray(reinterpret_cast<char*>(image), 128));
    // With its image taken, the first other request starts the application, silent a while.
    rig.device().ReadIdentity(id); // its answer depends on how long the retries take
    QVERIFY(!rig.controller.bootloaderMode);
    QTest::qWait(350);
    QCOMPARE(rig.device().ReadIdentity(id), 0);
    QVERIFY(!id.isBootloader());
}

QTEST_GUILESS_MAIN(TestVirtualController)
#include "tst_virtualcontroller.moc"
