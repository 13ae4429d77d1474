// The real serial port code (QSerialPort) on a pseudo-terminal whose far end is the virtual
// controller.
#include "PtyBridge.h"
#include "common/TestHost.h"
#include "host/MonitorState.h"
#include "host/TickCount.h"
#include "link/DeviceLink.h"
#include "link/IdentityRecord.h"
#include "link/PortFinder.h"
#include "link/QtSerialTransport.h"
#include "text/TextPair.h"

#include <QTemporaryDir>
#include <QtTest>

#include <cstring>

using namespace korvex;

namespace {
struct PortRig {
    explicit PortRig(const QString& port) : finder({port}) {}
    QtSerialTransport transport;
    FixedPortFinder finder;
    test::TestHost host;
    MonitorState monitor;
    LanguageState language;
    DeviceLink link{transport, finder, host, monitor, language};
};
} // namespace

class TestQtSerialTransport : public QObject {
    Q_OBJECT
private slots:
    void exchangesOverARealPort();
    void readReturnsAtOnce();
    void faultsOverARealPort();
    void somethingThatIsNotAPort();
    void converterPulledOut();
};

void TestQtSerialTransport::exchangesOverARealPort() {
    test::PtyBridge bridge;
    QVERIFY(bridge.ok());
    for (std::size_t i = 0; i < 2019; ++i)
        bridge.controller().config[i] = static_cast<std::uint8_t>(i ^ 0x5A);
    bridge.start();
    PortRig rig(bridge.devicePath());
    IdentityRecord id;
    QCOMPARE(rig.link.device.ComProbe(id), 0);
    QCOMPARE(id.deviceName(), QStringLiteral("KORVEX-SWC-ADP"));

    std::uint8_t image[2019] = {};
    QCOMPARE(rig.link.device.DeviceReadBlock(0x10, 0, image, 2019), 0);
    std::uint8_t changed[2019];
    for (int i = 0; i < 2019; ++i)
        changed[i] = static_cast<std::uint8_t>(image[i] + 1);
    QCOMPARE(rig.link.device.DeviceWriteBlock(0x10, 0, changed, 2019, 64), 0);
    bridge.stop();
    QVERIFY(std::memcmp(image, bridge.controller().config.data(), 2019) != 0);
    QVERIFY(std::memcmp(changed, bridge.controller().config.data(), 2019) == 0);
    QCOMPARE(bridge.controller().requests.size(), std::size_t(1 + 32 + 32));
    QCOMPARE(bridge.controller().wireIn.left(6), QByteArray::fromHex("550100000010"));
}

void TestQtSerialTransport::readReturnsAtOnce() {
    test::PtyBridge bridge;
    QVERIFY(bridge.ok());
    QtSerialTransport port;
    QVERIFY(port.open(bridge.devicePath()));
    std::uint8_t buf[16];
    const std::uint32_t start = TickCount();
    QCOMPARE(port.read(buf, 16), 0);
    QVERIFY(TickCount() - start < 40);
    // The bounded wait gives up after its time when nothing comes.
    QVERIFY(!port.waitForData(30));
    QVERIFY(TickCount() - start >= 30);
    port.close();
    QVERIFY(!port.isOpen());
    QCOMPARE(port.write(buf, 4), 0);
}

void TestQtSerialTransport::faultsOverARealPort() {
    test::PtyBridge bridge;
    QVERIFY(bridge.ok());
    bridge.controller().addFault(sim::Fault::GarbageBefore, 0x01, 1, 20);
    bridge.controller().addFault(sim::Fault::BadCheck, 0x10, 1);
    bridge.controller().addFault(sim::Fault::NoReply, 0x90);
    bridge.start();
    PortRig rig(bridge.devicePath());
    IdentityRecord id;
    QCOMPARE(rig.link.device.ComProbe(id), 0);
    std::uint8_t buf[64];
    int count = 0;
    QCOMPARE(rig.link.device.DeviceRead(0x10, 0, buf, 64, &count), 0); // second attempt
    QCOMPARE(rig.link.device.DeviceWrite(0x10, 0, buf, 8), 13);
    bridge.stop();
    QCOMPARE(bridge.controller().requests.size(), std::size_t(1 + 2 + 3));
}

void TestQtSerialTransport::somethingThatIsNotAPort() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString file = dir.filePath(QStringLiteral("plain"));
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("x");
    f.close();
    for (const QString& name : {file, dir.path(), dir.filePath(QStringLiteral("missing")),
                                QStringLiteral("/dev/ttyUSB97")}) {
        PortRig rig(name);
        IdentityRecord id;
        QCOMPARE(rig.link.device.ComProbe(id), 12);
        QVERIFY(!rig.transport.isOpen());
    }
}

void TestQtSerialTransport::converterPulledOut() {
    test::PtyBridge bridge;
    QVERIFY(bridge.ok());
    bridge.start();
    PortRig rig(bridge.devicePath());
    IdentityRecord id;
    QCOMPARE(rig.link.device.ComProbe(id), 0);
    bridge.hangUp();
    // Whatever the system reports, the exchange fails and nothing hangs.
    const int rc = rig.link.device.ReadIdentity(id);
    QVERIFY2(rc == 12 || rc == 13, qPrintable(QString::number(rc)));
}

QTEST_GUILESS_MAIN(TestQtSerialTransport)
#include "tst_qtserialtransport.moc"
