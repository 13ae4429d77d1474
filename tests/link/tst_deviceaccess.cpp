// Memory access, block transfers, the identity record and the choice of port, against the
// virtual controller.
#include "common/SimRig.h"
#include "link/IdentityRecord.h"
#include "link/PortFinder.h"
#include "link/SerialTransport.h"

#include <QtTest>

#include <cstring>

using namespace korvex;
using korvex::sim::Fault;

class TestDeviceAccess : public QObject {
    Q_OBJECT
private slots:
    void readWholeConfiguration();
    void readWhateverTheControllerReturnsPerReply();
    void writeWholeConfiguration();
    void repliesThatDoNotMatch();
    void refusedBeforeAnythingIsSent();
    void identityLines();
    void readAndPrintIdentity();
    void probeTriesCandidatesInTurn();
    void portFinderTakesOnlyTheConverter();
};

void TestDeviceAccess::readWholeConfiguration() {
    test::SimRig rig;
    QVERIFY(rig.connect());
    rig.controller.clearLog();
    for (int i = 0; i < 2019; ++i)
        rig.controller.config[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i * 7 + 3);
    std::uint8_t image[2019];
    std::memset(image, 0xEE, sizeof image);
    QCOMPARE(rig.device().DeviceReadBlock(area::Configuration, 0, image, 2019), 0);
    QVERIFY(std::memcmp(image, rig.controller.config.data(), 2019) == 0);
    QCOMPARE(rig.controller.requests.size(), std::size_t(32));
    for (int i = 0; i < 32; ++i) {
        const auto& r = rig.controller.requests[static_cast<std::size_t>(i)];
        QCOMPARE(r.cmd, std::uint8_t(0x10));
        QCOMPARE(int(r.offset), 64 * i);
        QVERIFY(r.payload.isEmpty());
    }
    QCOMPARE(rig.host.progressCount, 2019);
    QCOMPARE(rig.host.progressSteps, 32);

    // A controller that runs out of bytes before the block is complete: 7.
    rig.controller.clearLog();
    std::uint8_t tail[100];
    QCOMPARE(rig.device().DeviceReadBlock(area::Configuration, 2000, tail, 100), 7);
    QCOMPARE(rig.controller.requests.size(), std::size_t(2));
    QVERIFY(std::memcmp(tail, rig.controller.config.data() + 2000, 19) == 0);

    // A block that ends before the end of the area: the second reply is cut to the 36 missing
    // bytes, and nothing lands past the destination.
    std::uint8_t guarded[100 + 16];
    std::memset(guarded, 0xEE, sizeof guarded);
    rig.host.progressCount = 0;
    QCOMPARE(rig.device().DeviceReadBlock(area::Configuration, 1000, guarded, 100), 0);
    QVERIFY(std::memcmp(guarded, rig.controller.config.data() + 1000, 100) == 0);
    QCOMPARE(QByteArray(reinterpret_cast<char*>(guarded + 100), 16), QByteArray(16, '\xEE'));
    QCOMPARE(rig.host.progressCount, 100);
}

void TestDeviceAccess::readWhateverTheControllerReturnsPerReply() {
    for (int chunk : {1, 7, 35, 63, 64}) {
        test::SimRig rig;
        rig.controller.readChunk = chunk;
        rig.transport.maxBytesPerRead = chunk % 5 + 1; // replies arrive in pieces as well
        QVERIFY(rig.connect());
        rig.controller.clearLog();
        std::uint8_t image[2019] = {};
        QCOMPARE(rig.device().DeviceReadBlock(area::Configuration, 0, image, 2019), 0);
        QVERIFY(std::memcmp(image, rig.controller.config.data(), 2019) == 0);
        QCOMPARE(rig.controller.requests.size(), std::size_t((2019 + chunk - 1) / chunk));
        QCOMPARE(int(rig.controller.requests.back().offset), (2018 / chunk) * chunk);
    }
}

void TestDeviceAccess::writeWholeConfiguration() {
    test::SimRig rig;
    QVERIFY(rig.connect());
    rig.controller.clearLog();
    std::uint8_t image[2019];
    for (int i = 0; i < 2019; ++i)
        image[i] = static_cast<std::uint8_t>(255 - i % 251);
    QCOMPARE(rig.device().DeviceWriteBlock(area::Configuration, 0, image, 2019, 64), 0);
    QCOMPARE(rig.controller.requests.size(), std::size_t(32));
    for (int i = 0; i < 32; ++i) {
        const auto& r = rig.controller.requests[static_cast<std::size_t>(i)];
        QCOMPARE(r.cmd, std::uint8_t(0x90));
        QCOMPARE(int(r.offset), 64 * i);
        QCOMPARE(int(r.payload.size()), i < 31 ? 64 : 35);
    }
    QVERIFY(std::memcmp(image, rig.controller.config.data(), 2019) == 0);
    QCOMPARE(rig.host.progressCount, 2019);

    // A failing chunk stops the block; the chunks before it stay written.
    rig.controller.clearLog();
    rig.controller.addFault(Fault::StatusFD, 0x90, 1);
    QCOMPARE(rig.device().DeviceWriteBlock(area::Configuration, 0, image, 2019, 64), -253);
    QCOMPARE(rig.controller.requests.size(), std::size_t(1));
    rig.controller.clearLog();
    rig.controller.addFault(Fault::NoReply, 0x90, 3);
    rig.controller.faults.insert(rig.controller.faults.begin(), {Fault::Delay, 0x90, 2, 0});
    QCOMPARE(rig.device().DeviceWriteBlock(area::Configuration, 0, image, 2019, 64), 13);
    QCOMPARE(rig.controller.requests.size(), std::size_t(5)); // two good chunks, three tries

    // A total of 0 still sends one write with no payload.
    rig.controller.clearLog();
    QCOMPARE(rig.device().DeviceWriteBlock(area::Restart, 0, nullptr, 0, 64), 0);
    QCOMPARE(rig.controller.requests.size(), std::size_t(1));
    QCOMPARE(rig.controller.requests[0].cmd, std::uint8_t(0x83));
    QCOMPARE(rig.controller.restarts, 1);

    // A write without a source sends zeros.
    rig.controller.config[100] = 9;
    QCOMPARE(rig.device().DeviceWrite(area::Configuration, 99, nullptr, 3), 0);
    QCOMPARE(rig.controller.config[100], std::uint8_t(0));
}

void TestDeviceAccess::repliesThatDoNotMatch() {
    test::SimRig rig;
    QVERIFY(rig.connect());
    std::uint8_t buf[64];
    int count = -1;
    rig.controller.addFault(Fault::WrongCommand, 0x10, 1);
    QCOMPARE(rig.device().DeviceRead(area::Configuration, 0, buf, 64, &count), 9);
    rig.controller.addFault(Fault::WrongOffset, 0x10, 1);
    QCOMPARE(rig.device().DeviceRead(area::Configuration, 64, buf, 64, &count), 9);
    rig.controller.addFault(Fault::EchoCommand, 0x90, 1);
    QCOMPARE(rig.device().DeviceWrite(area::Configuration, 0, buf, 4), 8);
    rig.controller.addFault(Fault::WrongOffset, 0x90, 1);
    QCOMPARE(rig.device().DeviceWrite(area::Configuration, 0, buf, 4), 8);
    // A read refused by the controller reports its status and copies nothing.
    std::memset(buf, 0x77, sizeof buf);
    rig.controller.addFault(Fault::StatusFE, 0x10, 1);
    QCOMPARE(rig.device().DeviceRead(area::Configuration, 0, buf, 64, &count), -254);
    QCOMPARE(buf[0], std::uint8_t(0));
    // A read answered with 0xFF carries no data: the read gets nothing, a block fails with 7.
    std::memset(buf, 0x77, sizeof buf);
    count = -1;
    rig.controller.addFault(Fault::AckRead, 0x10, 1);
    QCOMPARE(rig.device().DeviceRead(area::Configuration, 0, buf, 64, &count), 0);
    QCOMPARE(count, 0);
    QCOMPARE(buf[0], std::uint8_t(0));
    rig.controller.addFault(Fault::Delay, 0x10, 1, 0);
    rig.controller.addFault(Fault::AckRead, 0x10, 1);
    std::uint8_t block[100];
    QCOMPARE(rig.device().DeviceReadBlock(area::Configuration, 0, block, 100), 7);
    QVERIFY(std::memcmp(block, rig.controller.config.data(), 64) == 0);
    // A capacity smaller than the reply takes what fits and reports the full count.
    std::memset(buf, 0x77, sizeof buf);
    QCOMPARE(rig.device().DeviceRead(area::Configuration, 0, buf, 10, &count), 0);
    QCOMPARE(count, 64);
    QVERIFY(std::memcmp(buf, rig.controller.config.data(), 10) == 0);
    QCOMPARE(buf[10], std::uint8_t(0x77));
}

void TestDeviceAccess::refusedBeforeAnythingIsSent() {
    test::SimRig rig;
    QVERIFY(rig.connect());
    rig.controller.clearLog();
    std::uint8_t data[128] = {};
    QCOMPARE(rig.device().DeviceWrite(area::Configuration, 0, data, 65), -254);
    // Offsets are 16 bits wide: a block that would wrap onto offset 0 is refused whole.
    QCOMPARE(rig.device().DeviceWriteBlock(area::Firmware, 65500, data, 100, 64), -254);
    QCOMPARE(rig.device().DeviceReadBlock(area::Configuration, 65500, data, 100), -254);
    QCOMPARE(rig.device().DeviceWriteBlock(area::Configuration, 0, data, 10, 0), -254);
    QVERIFY(rig.controller.wireIn.isEmpty());
    // The last addressable byte is still reachable.
    QCOMPARE(rig.device().DeviceWriteBlock(area::Configuration, 65472, data, 64, 64), -254);
    QCOMPARE(rig.controller.requests.size(), std::size_t(1)); // sent; the controller refused it
}

void TestDeviceAccess::identityLines() {
    sim::VirtualController c;
    c.appVersion = 0;
    c.bootVersion = 105;
    c.serialNumber = 4000000000u;
    IdentityRecord id;
    id.raw = c.identity();
    QCOMPARE(IdentityLines(id, LangEnglish),
             (QStringList{QStringLiteral("Controller          \"KORVEX-SWC-ADP\""),
                          QStringLiteral("The serial number   4000000000"),
                          QStringLiteral("Boot version        1.05"),
                          QStringLiteral("Application version (application is not loaded)")}));
    c.appVersion = 207;
    id.raw = c.identity();
    QCOMPARE(IdentityLines(id, LangRussian),
             (QStringList{QStringLiteral("Контроллер        \"KORVEX-SWC-ADP\""),
                          QStringLiteral("Серийный номер    4000000000"),
                          QStringLiteral("Версия загрузчика 1.05"),
                          QStringLiteral("Версия приложения 2.07")}));
    QVERIFY(!id.isBootloader());
    c.bootloaderMode = true;
    id.raw = c.identity();
    QCOMPARE(id.deviceName(), QStringLiteral("KORVEX-SWC-ADP-BOOT"));
    QVERIFY(id.isBootloader());
    // A name that fills all 32 bytes has no terminator and is still read safely.
    std::memset(&id.raw[16], 'A', 32);
    QCOMPARE(id.deviceName(), QString(32, QLatin1Char('A')));
}

void TestDeviceAccess::readAndPrintIdentity() {
    test::SimRig rig;
    QVERIFY(rig.connect());
    IdentityRecord id;
    QCOMPARE(rig.device().ReadAndPrintIdentity(id), 0);
    QCOMPARE(rig.host.log.size(), 5);
    QCOMPARE(rig.host.log.first(),
             QStringLiteral("******************* Device *******************"));
    QCOMPARE(rig.host.log.at(4), QStringLiteral("Application version 1.36"));
    rig.language.current = LangRussian;
    rig.host.log.clear();
    QCOMPARE(rig.device().ReadAndPrintIdentity(id), 0);
    QCOMPARE(rig.host.log.first(), QStringLiteral("**************** Устройство ****************"));
    // A failed read prints nothing.
    rig.host.log.clear();
    rig.controller.addFault(Fault::NoReply, 0x01);
    QCOMPARE(rig.device().ReadAndPrintIdentity(id), 13);
    QVERIFY(rig.host.log.isEmpty());
}

void TestDeviceAccess::probeTriesCandidatesInTurn() {
    test::SimRig rig;
    rig.controller.ports =
        QStringList{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")};
    rig.controller.answerOn = QStringLiteral("nowhere");
    IdentityRecord id;
    rig.monitor.controllerConnected = true;
    for (int i = 0; i < 5; ++i)
        QCOMPARE(rig.device().ComProbe(id), 13);
    QCOMPARE(rig.controller.opens, (QStringList{"A", "B", "C", "A", "B"}));
    QVERIFY(!rig.monitor.controllerConnected);
    QVERIFY(!rig.link.serial.ComIsOpen());
    QCOMPARE(rig.link.ports.portName, QStringLiteral("B"));

    // The list shrinks below the index: the next connect starts at entry 0.
    rig.controller.ports = QStringList{QStringLiteral("C")};
    rig.controller.answerOn.clear();
    rig.controller.opens.clear();
    QCOMPARE(rig.device().ComProbe(id), 0);
    QCOMPARE(rig.controller.opens, QStringList{"C"});
    QVERIFY(rig.link.serial.ComIsOpen());

    // With the port open, connecting does not search again.
    rig.controller.ports = QStringList{QStringLiteral("D")};
    QCOMPARE(rig.link.serial.ComConnect(), 0);
    QCOMPARE(rig.link.ports.portList, QStringList{"C"});

    // No candidate at all: 12 and an empty port name.
    rig.link.serial.ComClose();
    rig.controller.setPlugged(false);
    QCOMPARE(rig.device().ComProbe(id), 12);
    QVERIFY(rig.link.ports.portName.isEmpty());
    QVERIFY(rig.controller.opens.size() == 1);
}

void TestDeviceAccess::portFinderTakesOnlyTheConverter() {
    QList<SystemPort> listed = {{QStringLiteral("ttyUSB0"), 0x1A86, 0x7523},
                                {QStringLiteral("ttyACM0"), 0x2341, 0x0043},
                                {QStringLiteral("ttyUSB1"), 0x1A86, 0x5523},
                                {QStringLiteral("ttyUSB2"), 0x0403, 0x7523},
                                {QStringLiteral("ttyS0"), std::nullopt, std::nullopt},
                                {QStringLiteral("ttyUSB3"), 0x1A86, std::nullopt},
                                {QStringLiteral("ttyUSB4"), 0x1A86, 0x7523}};
    UsbPortFinder finder([&listed] { return listed; });
    QCOMPARE(finder.findPorts(), (QStringList{"ttyUSB0", "ttyUSB4"}));

    // Searching opens nothing else, and a refused port is explained once per port and reason.
    struct RefusingTransport final : SerialTransport {
        QStringList opened;
        PortProblem problem = PortProblem::Busy;
        bool open(const QString& name) override {
            opened << name;
            return false;
        }
        void close() override {}
        bool isOpen() const override { return false; }
        int write(const std::uint8_t*, int) override { return 0; }
        int read(std::uint8_t*, int) override { return 0; }
        void purge() override {}
        bool waitForData(int) override { return false; }
        PortDiagnosis diagnoseOpenFailure() const override {
            PortDiagnosis d;
            d.problem = problem;
            d.node.path = QStringLiteral("/dev/") + opened.last();
            d.node.groupName = QStringLiteral("dialout");
            d.userName = QStringLiteral("alice");
            return d;
        }
    } refusing;
    test::TestHost host;
    MonitorState monitor;
    LanguageState language;
    language.current = LangEnglish;
    DeviceLink link(refusing, finder, host, monitor, language);
    IdentityRecord id;
    for (int i = 0; i < 6; ++i)
        QCOMPARE(link.device.ComProbe(id), 12);
    refusing.problem = PortProblem::PermissionDenied;
    for (int i = 0; i < 2; ++i)
        QCOMPARE(link.device.ComProbe(id), 12);
    QCOMPARE(refusing.opened, (QStringList{"ttyUSB0", "ttyUSB4", "ttyUSB0", "ttyUSB4", "ttyUSB0",
                                           "ttyUSB4", "ttyUSB0", "ttyUSB4"}));
    // Unplugged: no port, so no stale reason either.
    listed.clear();
    QCOMPARE(link.device.ComProbe(id), 12);
    QCOMPARE(refusing.opened.size(), 8);
    QCOMPARE(host.log,
             (QStringList{"Port /dev/ttyUSB0 is busy: another program holds it. Close that "
                          "program and the port will be found.",
                          "Port /dev/ttyUSB4 is busy: another program holds it. Close that "
                          "program and the port will be found.",
                          "No permission to open port /dev/ttyUSB0 (owner group dialout). Add "
                          "yourself to the group: sudo usermod -aG dialout alice, then log out "
                          "and in again; or install the converter's udev rule "
                          "(70-korvex-setup.rules).",
                          "No permission to open port /dev/ttyUSB4 (owner group dialout). Add "
                          "yourself to the group: sudo usermod -aG dialout alice, then log out "
                          "and in again; or install the converter's udev rule "
                          "(70-korvex-setup.rules)."}));
}

QTEST_GUILESS_MAIN(TestDeviceAccess)
#include "tst_deviceaccess.moc"
