// The LIN programmer against the virtual controller and its LIN lamp: reading with retries,
// polling until shutdown, the parameter block, and flashing with its file checks and pauses.
#include "common/SimRig.h"
#include "common/TestFiles.h"
#include "common/TestHost.h"
#include "firmware/FirmwareFile.h"
#include "host/MonitorState.h"
#include "lin/LinProgrammer.h"
#include "link/DeviceLink.h"
#include "link/IdentityRecord.h"
#include "sim/VirtualController.h"
#include "sim/VirtualTransport.h"
#include "text/TextPair.h"

#include <QTemporaryDir>
#include <QtTest>

#include <functional>

using namespace korvex;

namespace {

// Records like TestHost, and also every wait with the number of blocks the lamp had taken by
// then. Waits return at once, moving the rig's manual clock on.
class LinHost final : public UiHost {
public:
    struct Wait {
        int ms;
        bool messages;
        int blocks;
    };
    test::TestHost rec;
    QList<Wait> waits;
    std::function<void()> onWait;
    const sim::VirtualLinLamp* lamp = nullptr;

    int ShowMessageBox(unsigned flags, const QString& text) override {
        return rec.ShowMessageBox(flags, text);
    }
    void ProcessEvents() override { rec.ProcessEvents(); }
    int WaitMs(int ms, bool messages) override {
        waits.append({ms, messages, lamp->count(0x86)});
        if (onWait)
            onWait();
        clock->Sleep(ms);
        return ms;
    }
    void ProgressBegin(int total, const QString& caption) override {
        rec.ProgressBegin(total, caption);
    }
    void ProgressStep(int count) override { rec.ProgressStep(count); }
    void ProgressHide() override {}
    void LogLineColored(LogColour colour, const QString& text) override {
        rec.LogLineColored(colour, text);
    }
    void ShowPanelMessage(bool alert, int hideMs, int blinkMs, const QString& text) override {
        rec.ShowPanelMessage(alert, hideMs, blinkMs, text);
    }
    void ClearPanelMessage() override {}
    void SuspendMonitor() override { rec.SuspendMonitor(); }
    void ResumeMonitor() override { rec.ResumeMonitor(); }

    QList<int> pauses() const {
        QList<int> at;
        for (const Wait& w : waits)
            if (w.ms == 100)
                at << w.blocks;
        return at;
    }
};

struct Rig {
    ManualClock clock;
    sim::VirtualController controller;
    sim::VirtualLinLamp& lamp = controller.linLamp;
    sim::VirtualTransport transport{controller, clock};
    sim::VirtualPortFinder finder{controller};
    LinHost host;
    MonitorState monitor;
    LanguageState language;
    DeviceLink link{transport, finder, host, monitor, language};
    LinProgrammer lin{link.frames, host, language};
    QTemporaryDir dir;
    QStringList remembered;

    Rig() {
        language.current = LangEnglish;
        host.lamp = &lamp;
        host.clock = &clock;
    }
    bool connect() {
        IdentityRecord id;
        return link.device.ComProbe(id) == 0;
    }
    QString file(const QString& name, const QByteArray& bytes) {
        const QString path = dir.filePath(name);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }
    // A LIN file for the lamp: header, image, CRC.
    QString linFile(const QString& name, int imageLength, std::uint16_t version = 120,
                    std::uint32_t serial = 0, std::uint8_t board = 2) {
        QByteArray bytes(8, '\0');
        PutU32le(reinterpret_cast<std::uint8_t*>(bytes.data()), serial);
        PutU16le(reinterpret_cast<std::uint8_t*>(bytes.data()) + 4, version);
        bytes[6] = static_cast<char>(lamp.deviceType);
        bytes[7] = static_cast<char>(board);
        for (int i = 0; i < imageLength; ++i)
            bytes.append(static_cast<char>((i * 7 + 3) & 0xFF));
        return file(name, withCrc(bytes));
    }
    static QByteArray withCrc(QByteArray bytes) {
        const std::uint16_t crc =
            FirmwareCrc16(reinterpret_cast<const std::uint8_t*>(bytes.constData()), bytes.size());
        bytes.append(static_cast<char>(crc & 0xFF));
        bytes.append(static_cast<char>(crc >> 8));
        return bytes;
    }
    LinFlashOutcome flash(const QString& path) {
        return lin.FlashFromFile([path] { return path; },
                                 [this](const QString& f) { remembered << f; });
    }
    QList<int> commands() const {
        QList<int> c;
        for (const auto& r : lamp.requests)
            c << r[0];
        return c;
    }
    QString lastBox() const {
        return host.rec.boxes.isEmpty() ? QString() : host.rec.boxes.last().text;
    }
};

QList<int> Repeat(int command, int n) {
    return QList<int>(n, command);
}

} // namespace

class TestLin : public QObject {
    Q_OBJECT
private slots:
    void readingTheDevice();
    void noResponseIsRetriedThreeTimes();
    void pollingEndsOnlyWithShutdown();
    void everyResultCode();
    void parameterTextAndBits();
    void writingTheParameters();
    void flashingWritesEveryBlock();
    void pauseAfterEvery32ndBlock();
    void failedBlockEndsTheProgramming();
    void fileChecksStopBeforeAnythingIsSent();
    void unpluggedDuringTheFlash();
};

void TestLin::readingTheDevice() {
    Rig rig;
    QVERIFY(rig.connect());
    rig.lin.LinLog(QStringLiteral("old line"));
    QCOMPARE(rig.lin.ReadDevice(), 0);
    QCOMPARE(rig.lin.state().memo,
             QStringList({"Read successfully", "The serial number   5001234",
                          "Boot version        1.02", "Application version 1.10",
                          "The device type     3", "The PCB type        2"}));
    QVERIFY(rig.lin.state().linParamsRead);
    QCOMPARE(rig.lin.state().linParams, rig.lamp.params);
    QCOMPARE(rig.commands(), QList<int>({0x80, 0x81, 0x82}));
    QVERIFY(rig.host.rec.boxes.isEmpty());
    // Reading does not pause the monitor; every poll keeps the window alive.
    QCOMPARE(rig.host.rec.maxMonitorSuspend, 0);
    for (const auto& w : rig.host.waits)
        QVERIFY(w.ms == 1 && w.messages);

    rig.lamp.appVersion = 0;
    rig.lamp.bootVersion = 105;
    rig.language.current = LangRussian;
    QCOMPARE(rig.lin.ReadDevice(), 0);
    QCOMPARE(rig.lin.state().memo.mid(1, 3),
             QStringList({"Серийный номер    5001234", "Версия загрузчика 1.05",
                          "Версия приложения (Приложение не загружено)"}));

    // A response with a foreign code stops the read at that command.
    Rig wrong;
    QVERIFY(wrong.connect());
    wrong.lamp.wrongCodeCommand = 0x81;
    QCOMPARE(wrong.lin.ReadDevice(), 12);
    QCOMPARE(wrong.lin.state().memo, QStringList({"Error:12"}));
    QVERIFY(!wrong.lin.state().linParamsRead);
    QCOMPARE(wrong.commands(), QList<int>({0x80, 0x81}));

    // A master request the controller does not answer fails the transfer with 1.
    Rig silent;
    QVERIFY(silent.connect());
    silent.controller.addFault(sim::Fault::NoReply, 0x87, 1);
    QCOMPARE(silent.lin.ReadDevice(), 1);
    QCOMPARE(silent.lin.state().memo, QStringList({"Error:1"}));
}

void TestLin::noResponseIsRetriedThreeTimes() {
    Rig rig;
    QVERIFY(rig.connect());
    rig.lamp.noResponse = 2;
    QCOMPARE(rig.lin.ReadDevice(), 0);
    QCOMPARE(rig.commands(), QList<int>({0x80, 0x80, 0x80, 0x81, 0x82}));

    Rig dead;
    QVERIFY(dead.connect());
    dead.lamp.noResponse = -1;
    QCOMPARE(dead.lin.ReadDevice(), 10);
    QCOMPARE(dead.lin.state().memo, QStringList({"Error:10"}));
    QCOMPARE(dead.commands(), Repeat(0x80, 3));
    QVERIFY(!dead.lin.state().linParamsRead);
}

void TestLin::pollingEndsOnlyWithShutdown() {
    Rig rig;
    QVERIFY(rig.connect());
    rig.lamp.fetchNeverEnds = true;
    rig.host.onWait = [&rig] {
        if (rig.lamp.polls >= 300)
            rig.link.state.appClosing = true;
    };
    QCOMPARE(rig.lin.ReadDevice(), 1);
    QVERIFY(rig.lamp.polls >= 300);
    QCOMPARE(rig.commands(), QList<int>({0x80}));
    QCOMPARE(rig.lin.state().memo, QStringList({"Error:1"}));

    // With a limit the polls give up as for a device that gave no response, without retrying.
    Rig limited;
    QVERIFY(limited.connect());
    limited.lamp.fetchNeverEnds = true;
    limited.lin.link().pollLimitMs = 30;
    QCOMPARE(limited.lin.ReadDevice(), 10);
    QCOMPARE(limited.commands(), QList<int>({0x80}));
    QCOMPARE(limited.lin.state().memo, QStringList({"Error:10"}));
}

void TestLin::everyResultCode() {
    using Setup = std::function<void(Rig&)>;
    // Spoils the next 0x87 exchange once the transfer has waited `waits` times.
    const auto failAfterWaits = [](int waits) {
        return Setup([waits](Rig& rig) {
            rig.host.onWait = [&rig, waits] {
                if (rig.host.waits.size() == waits)
                    rig.controller.addFault(sim::Fault::NoReply, 0x87, 1);
            };
        });
    };
    const auto patch = [](int command, int at, std::uint8_t value) {
        return Setup([=](Rig& rig) { rig.lamp.patch = {command, at, value}; });
    };
    enum Op { Read, Write, Flash };
    struct Case {
        int code;
        Op op;
        Setup setup;
    };
    const QList<Case> cases{
        {1, Read, [](Rig& rig) { rig.controller.addFault(sim::Fault::NoReply, 0x87, 1); }},
        {2, Read, failAfterWaits(1)},
        {3, Read, [](Rig& rig) { rig.lamp.requestPollBytes = 2; }},
        {4, Read, failAfterWaits(2)},
        {5, Read, failAfterWaits(3)},
        {10, Read, [](Rig& rig) { rig.lamp.noResponse = -1; }},
        {11, Read, patch(0x80, 0, 8)},
        {12, Read, [](Rig& rig) { rig.lamp.wrongCodeCommand = 0x82; }},
        {13, Read, patch(0x81, 2, 5)},
        {15, Write, patch(0x83, 2, 7)},
        {16, Write, patch(0x83, 8, 0x77)},
        {17, Flash, patch(0x86, 2, 4)},
        {18, Flash, patch(0x86, 3, 1)},
        {19, Flash, [](Rig& rig) { rig.lamp.badStatusBlock = 0; }},
    };
    for (const Case& c : cases) {
        Rig rig;
        QVERIFY(rig.connect());
        if (c.op != Read)
            QCOMPARE(rig.lin.ReadDevice(), 0);
        const QString path = rig.linFile("lamp.LDR", 64);
        rig.host.waits.clear();
        c.setup(rig);
        const QString error = QStringLiteral("Error:%1").arg(c.code);
        switch (c.op) {
        case Read:
            QCOMPARE(rig.lin.ReadDevice(), c.code);
            QCOMPARE(rig.lin.state().memo.last(), error);
            break;
        case Write:
            QCOMPARE(rig.lin.WriteParams(), c.code);
            QCOMPARE(rig.lin.state().memo.last(), error);
            break;
        case Flash:
            QCOMPARE(rig.flash(path), LinFlashOutcome::Failed);
            QCOMPARE(rig.lastBox(),
                     QStringLiteral("Failed to update the firmware\n%1").arg(c.code));
            break;
        }
    }
}

void TestLin::parameterTextAndBits() {
    const LinParamBlock ones{1, 2, 3, 4, 5, 6};
    QCOMPARE(ParseLinParams("01 02 03 04 05 06"), std::optional(ones));
    QCOMPARE(ParseLinParams("010203040506"), std::optional(ones));
    QCOMPARE(ParseLinParams("x01-02:03 04..05/06 and more"), std::optional(ones));
    QCOMPARE(ParseLinParams("aB cD eF 01 23 45 67"),
             std::optional(LinParamBlock{0xAB, 0xCD, 0xEF, 0x01, 0x23, 0x45}));
    for (const char* bad : {"01 02 03", "", "01 02 03 04 05 0", "1 2 3 4 5 6 7 8 9 10 11 12",
                            "0x01 0x02 0x03 0x04 0x05 0x06", "01 02 03 04 05 6"})
        QVERIFY2(!ParseLinParams(bad), bad);
    QCOMPARE(FormatLinParams({0xAB, 0x0C, 0, 0xFF, 0x10, 0x01}),
             QStringLiteral("AB 0C 00 FF 10 01"));

    Rig rig;
    QVERIFY(rig.connect());
    // The hex edit works before any read; the combo boxes do not.
    QVERIFY(rig.lin.EnterParams("F0 11 22 33 44 55"));
    QVERIFY(!rig.lin.EnterParams("F0 11 22"));
    QCOMPARE(rig.lastBox(), QStringLiteral("Error in parameter length"));
    QVERIFY(!rig.lin.ChangeParamItem(linbit::LampSide, 1));
    QCOMPARE(rig.lastBox(),
             QStringLiteral("The device config have not yet been read from the LIN bus"));
    QCOMPARE(rig.lin.state().linParams, (LinParamBlock{0xF0, 0x11, 0x22, 0x33, 0x44, 0x55}));
    QVERIFY(rig.lamp.requests.empty());

    QCOMPARE(rig.lin.ReadDevice(), 0);
    QVERIFY(rig.lin.EnterParams("F0 11 22 33 44 55"));
    QVERIFY(rig.lin.ChangeParamItem(linbit::LampSide, 1));
    QCOMPARE(int(rig.lin.state().linParams[0]), 0xF1);
    QVERIFY(rig.lin.ChangeParamItem(linbit::TurnOff, 2)); // any index but 0 sets
    QCOMPARE(int(rig.lin.state().linParams[0]), 0xF3);
    QVERIFY(rig.lin.ChangeParamItem(linbit::LampSide, 0));
    QCOMPARE(int(rig.lin.state().linParams[0]), 0xF2);
    QCOMPARE(LinParamItem(rig.lin.state().linParams, linbit::LampSide), 0);
    QCOMPARE(LinParamItem(rig.lin.state().linParams, linbit::TurnOff), 1);
    QCOMPARE(int(rig.lin.state().linParams[1]), 0x11);
}

void TestLin::writingTheParameters() {
    Rig rig;
    QVERIFY(rig.connect());
    QCOMPARE(rig.lin.WriteParams(), LinProgrammer::NotRead);
    QCOMPARE(rig.lastBox(),
             QStringLiteral("The device config have not yet been read from the LIN bus"));
    QVERIFY(rig.lamp.requests.empty());

    QCOMPARE(rig.lin.ReadDevice(), 0);
    QVERIFY(rig.lin.EnterParams("A5 00 11 22 33 44"));
    QCOMPARE(rig.lin.WriteParams(), 0);
    QCOMPARE(rig.lin.state().memo.last(), QStringLiteral("Recorded successfully"));
    QCOMPARE(rig.lamp.params, (std::array<std::uint8_t, 6>{0xA5, 0x00, 0x11, 0x22, 0x33, 0x44}));
    QCOMPARE(rig.lamp.requests.back(),
             (std::array<std::uint8_t, 8>{0x83, 0x00, 0xA5, 0x00, 0x11, 0x22, 0x33, 0x44}));

    // An edit made while the write waits is not what the echo is compared with.
    rig.host.onWait = [&rig] { rig.lin.EnterParams("00 00 00 00 00 00"); };
    QVERIFY(rig.lin.EnterParams("5A 01 02 03 04 05"));
    QCOMPARE(rig.lin.WriteParams(), 0);
    QCOMPARE(rig.lin.state().memo.last(), QStringLiteral("Recorded successfully"));
    QCOMPARE(rig.lamp.params, (std::array<std::uint8_t, 6>{0x5A, 0x01, 0x02, 0x03, 0x04, 0x05}));
    rig.host.onWait = nullptr;

    rig.lamp.noResponse = -1;
    QCOMPARE(rig.lin.WriteParams(), 10);
    QCOMPARE(rig.lin.state().memo.last(), QStringLiteral("Error:10"));
}

void TestLin::flashingWritesEveryBlock() {
    Rig rig;
    QVERIFY(rig.connect());
    bool asked = false;
    QCOMPARE(rig.lin.FlashFromFile(
                 [&asked] {
                     asked = true;
                     return QString();
                 },
                 {}),
             LinFlashOutcome::NotRead);
    QVERIFY(!asked);
    QCOMPARE(rig.lastBox(),
             QStringLiteral("The device config have not yet been read from the LIN bus"));
    rig.host.rec.boxes.clear();

    QCOMPARE(rig.lin.ReadDevice(), 0);
    const QString path = rig.linFile("lamp.LDR", 64); // 8 + 64 + 2 = 74 bytes
    QCOMPARE(QFileInfo(path).size(), 74LL);
    rig.lamp.requests.clear();
    QCOMPARE(rig.flash(path), LinFlashOutcome::Done);
    QCOMPARE(rig.remembered, QStringList({path}));
    QVERIFY(rig.host.rec.boxes.isEmpty()); // a newer image asks nothing
    QCOMPARE(rig.commands(), Repeat(0x84, 2) + Repeat(0x86, 16) + Repeat(0x85, 1));
    for (int i = 0; i < 16; ++i)
        QCOMPARE(int(GetU16le(&rig.lamp.requests[static_cast<std::size_t>(2 + i)][2])), i);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(rig.lamp.flash, file.readAll().mid(8, 64));
    QCOMPARE(rig.host.rec.progressTotal, 16);
    QCOMPARE(rig.host.rec.progressCount, 16);
    QCOMPARE(rig.host.rec.progressCaption, QStringLiteral("Firmware update"));
    QCOMPARE(rig.host.rec.maxMonitorSuspend, 1);
    QCOMPARE(rig.host.rec.monitorSuspend, 0);
    QCOMPARE(rig.host.rec.notices.size(), 1);
    const auto& notice = rig.host.rec.notices.first();
    QCOMPARE(notice.text, QStringLiteral("The device is updated to version 1.20"));
    QVERIFY(!notice.alert);
    QCOMPARE(notice.hideMs, 3000);
    QCOMPARE(notice.blinkMs, 250);
    QCOMPARE(
        rig.lin.state().memo.mid(6),
        QStringList({"******************* Update *******************",
                     "The update file           \"lamp.LDR\"", "Application version       1.20"}));

    // An empty image (header and CRC only) is no firmware: refused before anything is sent.
    rig.lamp.requests.clear();
    QCOMPARE(rig.flash(rig.linFile("empty.LDR", 0)), LinFlashOutcome::Refused);
    QCOMPARE(rig.lastBox(), QStringLiteral("Error in file \"empty.LDR\""));
    QVERIFY(rig.commands().isEmpty());
    rig.host.rec.boxes.clear();

    // A device without application is flashed without a question, even with an older image.
    rig.lamp.appVersion = 0;
    QCOMPARE(rig.lin.ReadDevice(), 0);
    QCOMPARE(rig.flash(rig.linFile("old.LDR", 64, 50)), LinFlashOutcome::Done);
    QVERIFY(rig.host.rec.boxes.isEmpty());
}

void TestLin::pauseAfterEvery32ndBlock() {
    Rig rig;
    QVERIFY(rig.connect());
    QCOMPARE(rig.lin.ReadDevice(), 0);
    rig.host.waits.clear();
    QCOMPARE(rig.flash(rig.linFile("long.LDR", 512)), LinFlashOutcome::Done);
    QCOMPARE(rig.lamp.count(0x86), 128);
    // Before the blocks, after blocks 32, 64, 96 and 128, and before the end command.
    QCOMPARE(rig.host.pauses(), QList<int>({0, 32, 64, 96, 128, 128}));
    for (const auto& w : rig.host.waits)
        QVERIFY(w.messages);
}

void TestLin::failedBlockEndsTheProgramming() {
    Rig rig;
    QVERIFY(rig.connect());
    QCOMPARE(rig.lin.ReadDevice(), 0);
    rig.lamp.requests.clear();
    rig.host.waits.clear();
    rig.lamp.badStatusBlock = 5;
    QCOMPARE(rig.flash(rig.linFile("lamp.LDR", 64)), LinFlashOutcome::Failed);
    QCOMPARE(rig.commands(), Repeat(0x84, 2) + Repeat(0x86, 6) + Repeat(0x85, 1));
    QVERIFY(!rig.lamp.programming());
    QCOMPARE(rig.host.pauses(), QList<int>({0, 6}));
    QCOMPARE(rig.host.rec.boxes.size(), 1);
    QCOMPARE(rig.lastBox(), QStringLiteral("Failed to update the firmware\n19"));
    QCOMPARE(rig.host.rec.monitorSuspend, 0);
    QVERIFY(rig.host.rec.notices.isEmpty());

    // A failing begin command is reported in the memo and nothing else is sent.
    rig.lamp.requests.clear();
    rig.lamp.noResponse = -1;
    QCOMPARE(rig.flash(rig.linFile("lamp.LDR", 64)), LinFlashOutcome::Failed);
    QCOMPARE(rig.commands(), Repeat(0x84, 3));
    QCOMPARE(rig.lin.state().memo.last(), QStringLiteral("Error:10"));
    QCOMPARE(rig.host.rec.monitorSuspend, 0);

    // Over 1 KiB the block numbers need their high byte: a lamp that echoes only the low byte
    // fails at block 256.
    Rig big;
    QVERIFY(big.connect());
    QCOMPARE(big.lin.ReadDevice(), 0);
    const QString path = big.linFile("big.LDR", 1088); // 272 blocks
    QCOMPARE(big.flash(path), LinFlashOutcome::Done);
    QCOMPARE(int(GetU16le(&big.lamp.requests.rbegin()[1][2])), 271);
    QCOMPARE(big.lamp.flash, test::ReadAll(path).mid(8, 1088));
    big.lamp.requests.clear();
    big.lamp.blockLowByteOnly = true;
    QCOMPARE(big.flash(path), LinFlashOutcome::Failed);
    QCOMPARE(big.commands(), Repeat(0x84, 2) + Repeat(0x86, 257) + Repeat(0x85, 1));
    QCOMPARE(big.lastBox(), QStringLiteral("Failed to update the firmware\n18"));
}

void TestLin::fileChecksStopBeforeAnythingIsSent() {
    Rig rig;
    QVERIFY(rig.connect());
    QCOMPARE(rig.lin.ReadDevice(), 0);
    rig.lamp.requests.clear();
    // A 9-byte file whose last two bytes are the CRC of the first seven: only a length check
    // can refuse it.
    const QByteArray nine = Rig::withCrc(QByteArray("\0\0\0\0\x78\0\x03", 7));
    QByteArray badCrc = Rig::withCrc(QByteArray(8 + 64, '\x11'));
    badCrc[20] = 0x12;
    struct Case {
        QString path;
        QString box;
    };
    const QList<Case> cases{
        {rig.linFile("short60.LDR", 60), "File size error"},
        {rig.file("short.LDR", nine), "Error in file \"short.LDR\""},
        {rig.file("zero.LDR", {}), "Error in file \"zero.LDR\""},
        {rig.file("crc.LDR", badCrc), "Error in file \"crc.LDR\""},
        {rig.file("big.LDR", Rig::withCrc(QByteArray(8191, '\0'))), "Error file size \"big.LDR\""},
        {rig.dir.filePath("none.LDR"), "Error opening file \"none.LDR\""},
        {rig.linFile("serial.LDR", 64, 120, 42), "No update for this serial number"},
        {rig.linFile("board.LDR", 64, 120, 0, 7), "This update is not for this device"},
        {rig.linFile("same.LDR", 64, 110),
         "Are you trying to download the same version as in the device\nContinue?"},
        {rig.linFile("older.LDR", 64, 109),
         "Are you trying to download an older version than the device\nContinue?"},
    };
    for (const Case& c : cases) {
        rig.host.rec.boxes.clear();
        rig.flash(c.path);
        QCOMPARE(rig.host.rec.boxes.size(), 1);
        QCOMPARE(rig.lastBox(), c.box);
        QVERIFY2(rig.lamp.requests.empty(), qPrintable(c.path));
    }
    QCOMPARE(rig.host.rec.boxes.first().flags & 0xF0, mb::IconWarning);
    QCOMPARE(rig.host.rec.maxMonitorSuspend, 0);

    // The right serial number passes; Yes to the same version flashes.
    rig.host.rec.answers = {mb::IdYes};
    QCOMPARE(rig.flash(rig.linFile("mine.LDR", 64, 110, rig.lamp.serialNumber)),
             LinFlashOutcome::Done);
    rig.lamp.requests.clear();
    rig.remembered.clear();
    QCOMPARE(rig.flash(QString()), LinFlashOutcome::NoFile);
    QVERIFY(rig.remembered.isEmpty());
    QVERIFY(rig.lamp.requests.empty());
}

void TestLin::unpluggedDuringTheFlash() {
    // From the unplug: the lost master request (100 ms of silence, a LIN exchange is never
    // repeated), the 100 ms pause before the end command, and the end command's own master
    // request, lost as well at worst.
    constexpr int BudgetMs = 100 + 100 + 100;
    const struct {
        const char* name;
        int block; // the block write the cable is pulled at, counted from 1
    } rows[] = {{"first", 1}, {"second", 2}, {"middle", 33}, {"last", 64}};
    for (const auto& row : rows) {
        Rig rig;
        QVERIFY(rig.connect());
        rig.monitor.controllerConnected = true;
        test::MonitorTicks ticks(rig.link, rig.monitor, rig.host, rig.language);
        QCOMPARE(rig.lin.ReadDevice(), 0);
        const QString path = rig.linFile("lamp.LDR", 256); // 64 blocks
        int blocks = 0;
        std::uint32_t pulledAt = 0;
        rig.controller.onRequest = [&](const sim::LoggedRequest& r) {
            if (r.cmd == LinLink::RawCommand && r.payload.size() == 9 &&
                std::uint8_t(r.payload[1]) == lincmd::FlashBlock && ++blocks == row.block) {
                rig.controller.setPlugged(false);
                pulledAt = rig.clock.Now();
            }
        };
        QCOMPARE(rig.flash(path), LinFlashOutcome::Failed);
        const int tookMs = static_cast<int>(rig.clock.Now() - pulledAt);
        qInfo("%s block: stopped %d ms after the unplug (budget %d ms)", row.name, tookMs,
              BudgetMs);
        QVERIFY2(tookMs <= BudgetMs, row.name);
        QCOMPARE(blocks, row.block);
        QCOMPARE(rig.lamp.count(lincmd::FlashBlock), row.block - 1);
        QCOMPARE(rig.host.rec.boxes.size(), 1);
        QCOMPARE(rig.host.rec.boxes[0].flags & 0xF0, mb::IconError);
        QCOMPARE(rig.lastBox(), QStringLiteral("Failed to update the firmware\n1"));
        QVERIFY(rig.host.rec.notices.isEmpty());
        QCOMPARE(rig.host.rec.monitorSuspend, 0);
        // The end command never reached the lamp: it is still programming.
        QVERIFY(rig.lamp.programming());

        // The monitor notices the loss at its first tick and lets go of the port at its second.
        QCOMPARE(ticks.tickUntil([&rig] { return !rig.transport.isOpen(); }), 2);
        QVERIFY(!rig.link.serial.ComIsOpen());

        // Plugged in again, the lamp takes a fresh flash in the state it was left in.
        rig.controller.onRequest = nullptr;
        rig.controller.setPlugged(true);
        QCOMPARE(ticks.tickUntil([&rig] { return rig.monitor.controllerConnected; }), 1);
        rig.lamp.requests.clear();
        rig.host.rec.boxes.clear();
        QCOMPARE(rig.flash(path), LinFlashOutcome::Done);
        QVERIFY(rig.host.rec.boxes.isEmpty());
        QCOMPARE(rig.commands(), Repeat(0x84, 2) + Repeat(0x86, 64) + Repeat(0x85, 1));
        QCOMPARE(rig.lamp.flash, test::ReadAll(path).mid(8, 256));
        QVERIFY(!rig.lamp.programming());
        QCOMPARE(rig.host.rec.notices.size(), 1);
    }
}

QTEST_GUILESS_MAIN(TestLin)
#include "tst_lin.moc"
