// Reading and writing the whole configuration against the virtual controller, with the shadow
// copy and the in-sync flag that live sending relies on.
#include "common/SimRig.h"
#include "config/ConfigImage.h"
#include "config/ConfigTransfer.h"

#include <QtTest>

using namespace korvex;
using korvex::sim::Fault;

namespace {
struct TransferRig : test::SimRig {
    TransferRig() {
        transfer.refreshViews = [this] { ++refreshes; };
        connect();
        controller.clearLog();
    }
    ConfigImage image;
    ConfigTransfer transfer{link.device, host, image, monitor, language, link.ports};
    int refreshes = 0;
};
} // namespace

class TestConfigTransfer : public QObject {
    Q_OBJECT
private slots:
    void readWholeImage();
    void readThatFailsHalfWay();
    void writeWholeImageThenRestart();
    void resetToDefaultsAsksFirst();
    void writeBlockReportsItsFailure();
};

void TestConfigTransfer::readWholeImage() {
    TransferRig rig;
    Set(rig.controller.config, param::PAR_LongTO, 0);
    rig.controller.config[2015] = 0xA5; // bytes the tool does not interpret come along unchanged
    rig.controller.config[32] = 0x5A;
    QCOMPARE(rig.transfer.ReadConfiguration(), 0);
    QCOMPARE(rig.controller.requests.size(), std::size_t(32));
    QCOMPARE(Get(rig.image.bytes, param::PAR_LongTO), std::uint16_t(1000));
    auto expected = rig.controller.config;
    Set(expected, param::PAR_LongTO, 1000);
    QCOMPARE(rig.image.bytes, expected);
    QCOMPARE(rig.image.shadowCopy, rig.image.bytes); // the default is not sent back later
    QVERIFY(rig.monitor.imageInSync);
    QCOMPARE(rig.refreshes, 1);
    QCOMPARE(rig.host.progressTotal, 2019);
    QCOMPARE(rig.host.progressCaption, QStringLiteral("Reading configuration from the device"));
    QCOMPARE(rig.host.progressCount, 2019);
    QCOMPARE(rig.host.maxMonitorSuspend, 1);
    QCOMPARE(rig.host.monitorSuspend, 0);
}

void TestConfigTransfer::readThatFailsHalfWay() {
    TransferRig rig;
    rig.image.bytes.fill(0x11);
    rig.image.shadowCopy.fill(0x22);
    rig.monitor.imageInSync = true;
    rig.controller.addFault(Fault::Delay, 0x10, 10, 0); // ten good replies, then silence
    rig.controller.addFault(Fault::NoReply, 0x10);
    QCOMPARE(rig.transfer.ReadConfiguration(), 13);
    QVERIFY(!rig.monitor.imageInSync);
    // What arrived is kept, the rest of the entries is untouched, the parameters are cleared.
    QVERIFY(std::equal(rig.image.bytes.begin(), rig.image.bytes.begin() + 640,
                       rig.controller.config.begin()));
    QCOMPARE(rig.image.bytes[640], std::uint8_t(0x11));
    QCOMPARE(rig.image.bytes[1979], std::uint8_t(0x11));
    for (int i = ParamRegionOffset; i < ConfigImageSize; ++i)
        if (i != 1996 && i != 1997)
            QCOMPARE(rig.image.bytes[static_cast<std::size_t>(i)], std::uint8_t(0));
    QCOMPARE(Get(rig.image.bytes, param::PAR_LongTO), std::uint16_t(1000));
    ConfigBytes shadow;
    shadow.fill(0x22);
    QCOMPARE(rig.image.shadowCopy, shadow);
    QCOMPARE(rig.refreshes, 1); // the pages show what is now in the image
    QCOMPARE(rig.host.monitorSuspend, 0);
}

void TestConfigTransfer::writeWholeImageThenRestart() {
    TransferRig rig;
    for (int i = 0; i < ConfigImageSize; ++i)
        rig.image.bytes[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i % 13);
    QCOMPARE(rig.transfer.WriteConfiguration(), 0);
    QCOMPARE(rig.controller.requests.size(), std::size_t(33));
    for (int i = 0; i < 32; ++i) {
        const auto& r = rig.controller.requests[static_cast<std::size_t>(i)];
        QCOMPARE(r.cmd, std::uint8_t(0x90));
        QCOMPARE(int(r.offset), 64 * i);
        QCOMPARE(int(r.payload.size()), i < 31 ? 64 : 35);
    }
    QCOMPARE(rig.controller.requests.back().cmd, std::uint8_t(0x83));
    QVERIFY(rig.controller.requests.back().payload.isEmpty());
    QCOMPARE(rig.controller.config, rig.image.bytes);
    QVERIFY(rig.monitor.imageInSync);
    // The controller holds the image now: the live sending sends nothing behind the write.
    QCOMPARE(rig.image.shadowCopy, rig.image.bytes);
    QCOMPARE(rig.host.progressCaption, QStringLiteral("Write configuration to the device"));
    QCOMPARE(rig.host.monitorSuspend, 0);

    // A failed chunk: no restart, the flag as it was.
    rig.controller.clearLog();
    rig.monitor.imageInSync = false;
    rig.controller.addFault(Fault::StatusFD, 0x90, 1);
    QCOMPARE(rig.transfer.WriteConfiguration(), -253);
    QCOMPARE(rig.controller.requests.size(), std::size_t(1));
    QVERIFY(!rig.monitor.imageInSync);
    QCOMPARE(rig.host.monitorSuspend, 0);

    // A restart that fails is the write's failure.
    rig.controller.clearLog();
    rig.controller.addFault(Fault::StatusFE, 0x83, 1);
    QCOMPARE(rig.transfer.WriteConfiguration(), -254);
}

void TestConfigTransfer::resetToDefaultsAsksFirst() {
    TransferRig rig;
    rig.host.answers = {mb::IdNo};
    QCOMPARE(rig.transfer.ResetToDefaults(), 0);
    QVERIFY(rig.controller.requests.empty());
    QCOMPARE(rig.host.boxes.size(), 1);
    QCOMPARE(rig.host.boxes[0].flags, mb::IconWarning | mb::YesNo | mb::DefButton2);
    QCOMPARE(rig.host.boxes[0].text,
             QStringLiteral("Are you sure you want to reset\nthe device configuration\nto its "
                            "default state?"));
    rig.host.answers = {mb::IdYes};
    QCOMPARE(rig.transfer.ResetToDefaults(), 0);
    QCOMPARE(rig.controller.requests.size(), std::size_t(1));
    QCOMPARE(rig.controller.requests[0].cmd, std::uint8_t(0x84));
    QCOMPARE(rig.controller.defaultsResets, 1);
}

void TestConfigTransfer::writeBlockReportsItsFailure() {
    TransferRig rig;
    const std::uint8_t run[3] = {1, 2, 3};
    QCOMPARE(rig.transfer.WriteBlock(area::Configuration, 100, run, 3), 0);
    QVERIFY(rig.host.boxes.isEmpty());
    rig.controller.addFault(Fault::NoReply, 0x90);
    QCOMPARE(rig.transfer.WriteBlock(area::Configuration, 100, run, 3), 13);
    QCOMPARE(rig.host.boxes.size(), 1);
    QCOMPARE(rig.host.boxes[0].flags, mb::IconError);
    QCOMPARE(rig.host.boxes[0].text,
             QStringLiteral("Error writing to the device \"VCOM1\"\nOut of the timeout response"));
    rig.language.current = LangRussian;
    QCOMPARE(rig.transfer.WriteBlock(area::Configuration, 100, run, 3), 13);
    QCOMPARE(rig.host.boxes[1].text,
             QStringLiteral("Ошибка записи в устройство\nВышел таймаут ожидания ответа"));
}

QTEST_GUILESS_MAIN(TestConfigTransfer)
#include "tst_configtransfer.moc"
