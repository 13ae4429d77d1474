// The connection monitor and the toolbar commands against the virtual controller, without a
// window: what the user is shown, what goes to the controller, and the state left behind.
#include "app/AppCore.h"
#include "app/SingleInstance.h"
#include "common/TestFiles.h"
#include "common/TestHost.h"
#include "config/ConfigFile.h"
#include "firmware/FirmwareUpdate.h"
#include "host/Clock.h"
#include "host/CommandTexts.h"
#include "lin/LinProgrammer.h"
#include "link/ResultText.h"
#include "sim/VirtualController.h"
#include "sim/VirtualTransport.h"

#include <QLockFile>
#include <QTemporaryDir>
#include <QtTest>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

using namespace korvex;
using korvex::sim::Fault;

namespace {

// Records what the monitor and the commands show; answers the file dialogs from fields.
struct RecordingView final : MonitorView, CommandView {
    QStringList statuses;
    QString sourceCaption;
    bool sourceEnabled = false;
    QList<bool> busyCalls;
    int configReads = 0;
    QString fileToOpen, fileToSave;
    QStringList remembered;
    int refreshes = 0;
    AppCore* core = nullptr;

    void SetStatusText(const QString& text) override { statuses << text; }
    void SetCurrentSource(bool enabled, const QString& caption) override {
        sourceEnabled = enabled;
        sourceCaption = caption;
    }
    void SetToolbarBusy(bool busy) override { busyCalls << busy; }
    void ReadDeviceConfiguration() override {
        ++configReads;
        core->commands.ReadDeviceConfiguration();
    }
    QString ChooseConfigFileToOpen() override { return fileToOpen; }
    QString ChooseConfigFileToSave() override { return fileToSave; }
    void RememberConfigFile(const QString& name) override { remembered << name; }
    void RefreshParameterPages() override { ++refreshes; }
    void InvalidateViews() override {}
    void UpdateFirmware(const QString&) override {}
};

struct ShellRig {
    ShellRig() {
        language.current = LangEnglish;
        view.core = &core;
        controller.config = sim::FactoryConfiguration();
    }
    int readFrames() const {
        int n = 0;
        for (const auto& r : controller.requests)
            n += r.cmd == area::Configuration;
        return n;
    }
    std::vector<sim::LoggedRequest> writes() const {
        std::vector<sim::LoggedRequest> out;
        for (const auto& r : controller.requests)
            if (r.cmd == (0x80 | area::Configuration))
                out.push_back(r);
        return out;
    }
    // Polls until connected and the configuration was read, as the first ticks do.
    void connectAndRead() {
        for (int i = 0; i < 3 && !core.monitor.controllerConnected; ++i)
            core.connection.Tick();
        QVERIFY(core.monitor.controllerConnected);
        QVERIFY(core.monitor.imageInSync);
        controller.clearLog();
        host.notices.clear();
    }

    test::TemporaryDataHome dataHome;
    LanguageState language;
    sim::VirtualController controller;
    sim::VirtualTransport transport{controller};
    sim::VirtualPortFinder finder{controller};
    test::TestHost host;
    RecordingView view;
    AppCore core{language, transport, finder, host, view, view};
};

} // namespace

class TestShell : public QObject {
    Q_OBJECT
private slots:
    void searchingAnimatesDots();
    void longSearchIsExplainedOnce();
    void connectingReadsOnceAndAnimates();
    void serialZeroAndBootloader();
    void liveSendingSendsRuns();
    void unplugAndReplug();
    void notificationsSpeedUpPolling();
    void writeAndDefaultsAndRestart();
    void fileOpenAndSave();
    void commandsLeaveTheirResultInTheLog();
    void singleInstance();
    void badLockFiles();
};

void TestShell::searchingAnimatesDots() {
    ShellRig rig;
    rig.controller.setPlugged(false);
    for (int i = 0; i < 5; ++i)
        rig.core.connection.Tick();
    QCOMPARE(rig.view.statuses,
             QStringList({"Controller search.", "Controller search..", "Controller search...",
                          "Controller search", "Controller search."}));
    QCOMPARE(rig.core.connection.interval(), ConnectionMonitor::SlowPollMs);
    QVERIFY(!rig.core.monitor.controllerConnected);
    // Every tick suspends and resumes the monitor.
    QCOMPARE(rig.host.monitorSuspend, 0);
    QCOMPARE(rig.host.maxMonitorSuspend, 1);

    // A port that is there but silent is named.
    rig.language.current = LangRussian;
    rig.controller.setPlugged(true);
    rig.controller.addFault(Fault::NoReply);
    rig.core.connection.Tick();
    QCOMPARE(rig.view.statuses.last(), QStringLiteral("Поиск контроллера на VCOM1.."));
}

void TestShell::longSearchIsExplainedOnce() {
    ShellRig rig;
    ManualClock clock;
    rig.host.clock = &clock;
    rig.controller.setPlugged(false);
    // Windows' device list with the converter but not its driver.
    SystemFacts facts;
    facts.usbDevices =
        QList<UsbDeviceEntry>{{{QStringLiteral("USB\\VID_1A86&PID_7523")}, 28, false}};
    int asked = 0;
    rig.core.connection.doctor = [&](int language) {
        ++asked;
        return RunPortDoctor(facts, {}, language);
    };
    const QString driver = QStringLiteral(
        "The converter is plugged in but Windows has no driver for it: let Windows Update install "
        "it, or install the CH341SER driver");
    struct Row {
        int advanceMs;
        int notices; // so far
    };
    // Said once when 10 s have passed since the first fruitless poll, never again while it lasts.
    for (const Row row : {Row{0, 0}, Row{9999, 0}, Row{1, 1}, Row{1, 1}, Row{60000, 1}}) {
        clock.Advance(row.advanceMs);
        rig.core.connection.Tick();
        QCOMPARE(rig.host.notices.size(), row.notices);
    }
    QCOMPARE(asked, 1);
    QVERIFY(rig.host.notices[0].alert);
    QCOMPARE(rig.host.notices[0].text, "No controller found in 10 s: " + driver);
    QVERIFY(rig.host.log.contains("!!  " + driver));

    // Found, then gone: a new search is explained again, in the language of the moment.
    rig.controller.setPlugged(true);
    rig.connectAndRead();
    rig.controller.setPlugged(false);
    rig.language.current = LangRussian;
    // The first poll finds it gone, the next starts the search.
    for (int i = 0; i < 4; ++i) {
        rig.core.connection.Tick();
        clock.Advance(5000);
    }
    QCOMPARE(rig.host.notices.size(), 1);
    QVERIFY(rig.host.notices[0].text.startsWith(
        QStringLiteral("Контроллер не найден за 10 с: Преобразователь подключён")));
    QCOMPARE(asked, 2);
}

void TestShell::connectingReadsOnceAndAnimates() {
    ShellRig rig;
    rig.core.connection.Tick();
    QVERIFY(rig.core.monitor.controllerConnected);
    QCOMPARE(rig.view.configReads, 1);
    QCOMPARE(rig.readFrames(), 32);
    QCOMPARE(rig.core.image.bytes, rig.controller.config);
    QVERIFY(rig.core.monitor.imageInSync);
    QCOMPARE(rig.core.monitor.lastSerial, 230417u);
    QVERIFY(rig.host.log.join('\n').contains("230417"));
    QCOMPARE(rig.view.busyCalls.last(), false);
    QVERIFY(rig.view.statuses.isEmpty()); // the first good poll leaves the status as it was

    for (int i = 1; i <= 12; ++i)
        rig.core.connection.Tick();
    QCOMPARE(rig.view.statuses.first(),
             QStringLiteral("Controller \"KORVEX-SWC-ADP V1.36\" is connected to VCOM1."));
    QCOMPARE(rig.view.statuses[9],
             QStringLiteral("Controller \"KORVEX-SWC-ADP V1.36\" is connected to "
                            "VCOM1.........."));
    QCOMPARE(rig.view.statuses[10],
             QStringLiteral("Controller \"KORVEX-SWC-ADP V1.36\" is connected to VCOM1"));
    QCOMPARE(rig.view.sourceCaption, QStringLiteral("Selected: 1"));
    QVERIFY(rig.view.sourceEnabled);
    QCOMPARE(rig.view.configReads, 1); // the same serial number is not read again

    // Another controller answering on the same port is read at once.
    rig.controller.serialNumber = 77;
    rig.controller.currentSource = 4;
    rig.core.connection.Tick();
    QCOMPARE(rig.view.configReads, 2);
    QCOMPARE(rig.view.sourceCaption, QStringLiteral("Selected: 5"));
}

void TestShell::serialZeroAndBootloader() {
    ShellRig rig;
    rig.controller.serialNumber = 0;
    rig.core.connection.Tick();
    rig.core.connection.Tick();
    QVERIFY(rig.core.monitor.controllerConnected);
    QCOMPARE(rig.view.configReads, 0);
    QCOMPARE(rig.readFrames(), 0);

    ShellRig boot;
    boot.controller.bootloaderMode = true;
    boot.controller.addFault(Fault::StatusFE, area::Configuration);
    boot.language.current = LangRussian;
    boot.core.connection.Tick();
    boot.core.connection.Tick();
    QCOMPARE(boot.view.configReads, 1);
    // Its read is attempted and its failure reported.
    QCOMPARE(boot.host.boxes.size(), 1);
    QVERIFY(boot.host.boxes[0].text.startsWith("Ошибка чтения конфигурации из устройства\n"));
    QVERIFY(!boot.core.monitor.imageInSync);
    QCOMPARE(boot.view.statuses.last(),
             QStringLiteral("Загрузчик контроллера \"KORVEX-SWC-ADP-BOOT\" подключен к VCOM1."));
}

void TestShell::liveSendingSendsRuns() {
    ShellRig rig;
    rig.connectAndRead();
    // The road of an edit: "Output +12V" for X2/1.
    rig.core.image.bytes[1980] = 1;
    rig.controller.wireIn.clear();
    rig.core.connection.Tick();
    const QByteArray expected = QByteArray::fromHex("5590BC070101");
    QVERIFY(rig.controller.wireIn.contains(expected));
    QCOMPARE(rig.writes().size(), 1u);
    QCOMPARE(rig.controller.config[1980], 1);
    QCOMPARE(rig.host.notices.size(), 1);
    QCOMPARE(rig.host.notices[0].text, QStringLiteral("Send of changes"));
    QCOMPARE(rig.host.notices[0].hideMs, 1000);
    QCOMPARE(rig.host.notices[0].blinkMs, 250);

    // Two runs, one of them across a 64-byte boundary; nothing else is sent.
    rig.controller.clearLog();
    for (int i = 60; i < 70; ++i)
        rig.core.image.bytes[i] ^= 0xFF;
    rig.core.image.bytes[2018] ^= 0x01;
    rig.core.connection.Tick();
    const auto writes = rig.writes();
    QCOMPARE(writes.size(), 2u);
    QCOMPARE(writes[0].offset, 60);
    QCOMPARE(writes[0].payload.size(), 10);
    QCOMPARE(writes[1].offset, 2018);
    QCOMPARE(rig.core.image.shadowCopy, rig.core.image.bytes);
    QCOMPARE(rig.controller.config, rig.core.image.bytes);

    // A failed write is reported once and not retried.
    rig.controller.clearLog();
    rig.controller.addFault(Fault::StatusFD, 0x80 | area::Configuration, 1);
    rig.core.image.bytes[5] = 9;
    rig.core.connection.Tick();
    rig.core.connection.Tick();
    QCOMPARE(rig.host.boxes.size(), 1);
    QVERIFY(rig.host.boxes[0].text.contains(ResultText(-253, LangEnglish)));
    QCOMPARE(rig.writes().size(), 1u);

    // Not in sync: nothing is sent and the shadow copy stays.
    rig.core.monitor.imageInSync = false;
    rig.core.image.bytes[7] ^= 1;
    QCOMPARE(rig.core.connection.SendChangedBytes(), 0);
    QVERIFY(rig.core.image.shadowCopy[7] != rig.core.image.bytes[7]);
}

void TestShell::unplugAndReplug() {
    ShellRig rig;
    rig.connectAndRead();
    rig.view.busyCalls.clear();
    rig.controller.setPlugged(false);
    rig.core.connection.Tick();
    QVERIFY(!rig.core.monitor.controllerConnected);
    QCOMPARE(rig.view.statuses.last(), QStringLiteral("Controller is disconnected"));
    QCOMPARE(rig.host.log.last(), QStringLiteral("******** Controller is disconnected **********"));
    QCOMPARE(rig.view.sourceCaption, QStringLiteral("Selected: ?"));
    QVERIFY(!rig.view.sourceEnabled);
    QCOMPARE(rig.view.busyCalls, QList<bool>{false});

    // Edits while disconnected go into the shadow copy and are never sent later.
    const int boxes = rig.host.boxes.size();
    const int notices = rig.host.notices.size();
    rig.core.image.bytes[100] ^= 0xFF;
    rig.core.connection.Tick();
    QCOMPARE(rig.core.image.shadowCopy[100], rig.core.image.bytes[100]);
    QCOMPARE(rig.host.boxes.size(), boxes); // no "Send of changes", no failed write
    QCOMPARE(rig.host.notices.size(), notices);

    rig.controller.setPlugged(true);
    for (int i = 0; i < 3 && !rig.core.monitor.controllerConnected; ++i)
        rig.core.connection.Tick();
    QVERIFY(rig.core.monitor.controllerConnected);
    QCOMPARE(rig.view.configReads, 2);
    QCOMPARE(rig.writes().size(), 0u);
    QCOMPARE(rig.core.image.bytes, rig.controller.config);
}

void TestShell::notificationsSpeedUpPolling() {
    ShellRig rig;
    rig.connectAndRead();
    int keys = 0;
    rig.core.connection.showKeyPress = [&] {
        ++keys;
        std::uint8_t notice[3];
        int count = 0;
        rig.core.link.device.DeviceRead(0x18, 0, notice, 3, &count);
        return true;
    };
    int captures = 0;
    rig.core.connection.autoCaptureStep = [&] { ++captures; };
    rig.controller.pressKey(5);
    rig.core.connection.Tick();
    QCOMPARE(keys, 1);
    QCOMPARE(captures, 1);
    QCOMPARE(rig.core.connection.interval(), ConnectionMonitor::FastPollMs);
    for (int i = 0; i < 20; ++i) {
        rig.core.connection.Tick();
        QCOMPARE(rig.core.connection.interval(), ConnectionMonitor::FastPollMs);
    }
    rig.core.connection.Tick();
    QCOMPARE(rig.core.connection.interval(), ConnectionMonitor::SlowPollMs);

    // While a command runs the notice is left for later.
    rig.core.monitor.commandInProgress = true;
    rig.controller.pressKey(6);
    rig.core.connection.Tick();
    QCOMPARE(keys, 1);
    QCOMPARE(rig.core.connection.interval(), ConnectionMonitor::SlowPollMs);
    rig.core.monitor.commandInProgress = false;
    rig.core.connection.Tick();
    QCOMPARE(keys, 2);
}

void TestShell::writeAndDefaultsAndRestart() {
    ShellRig rig;
    rig.connectAndRead();
    ToolbarCommands& commands = rig.core.commands;

    // No to the write question sends nothing and shows nothing else.
    rig.host.answers = {mb::IdNo};
    commands.SpeedButtonWriteDeviceClick();
    QCOMPARE(rig.host.boxes.size(), 1);
    QCOMPARE(rig.host.boxes[0].flags, mb::IconQuestion | mb::DefButton2);
    // Below the question: nothing changes against what was just read.
    QCOMPARE(rig.host.boxes[0].text, LangText(texts::WriteQuestion, LangEnglish) +
                                         "\n\nThe controller's configuration does not change");
    QVERIFY(rig.controller.requests.empty());
    QVERIFY(!rig.core.monitor.commandInProgress);

    rig.host.answers = {mb::IdYes};
    rig.core.image.bytes[1990] = 3;
    commands.SpeedButtonWriteDeviceClick();
    QCOMPARE(rig.writes().size(), 32u);
    QCOMPARE(rig.controller.restarts, 1);
    QCOMPARE(rig.controller.config[1990], 3);

    // A failed write names the command and the reason.
    rig.host.boxes.clear();
    rig.host.answers = {mb::IdYes};
    rig.controller.addFault(Fault::NoReply, 0x80 | area::Configuration);
    commands.SpeedButtonWriteDeviceClick();
    QCOMPARE(rig.host.boxes.size(), 2);
    QCOMPARE(rig.host.boxes[1].text,
             QStringLiteral("Error writing configuration\n") + ResultText(13, LangEnglish));
    rig.controller.faults.clear();

    // Declining the defaults still makes the monitor read again.
    rig.controller.clearLog();
    rig.host.answers = {mb::IdNo};
    commands.SpeedButtonToDefaultClick();
    QCOMPARE(rig.controller.defaultsResets, 0);
    QCOMPARE(rig.core.monitor.lastSerial, 0u);
    QVERIFY(!rig.core.monitor.imageInSync);
    rig.core.connection.Tick();
    QCOMPARE(rig.readFrames(), 32);

    rig.host.answers = {mb::IdYes};
    commands.SpeedButtonToDefaultClick();
    QCOMPARE(rig.controller.defaultsResets, 1);

    // Restart: no question, then the configuration is read again once it answers.
    rig.core.connection.Tick();
    rig.controller.clearLog();
    const int boxes = rig.host.boxes.size();
    const int restarts = rig.controller.restarts;
    rig.controller.restartSilenceMs = 250;
    commands.SpeedButtonResetClick();
    QCOMPARE(rig.host.boxes.size(), boxes);
    QCOMPARE(rig.controller.restarts, restarts + 1);
    QCOMPARE(rig.core.monitor.lastSerial, 0u);
    QTest::qWait(300);
    rig.core.connection.Tick();
    QCOMPARE(rig.readFrames(), 32);
    QVERIFY(rig.core.monitor.imageInSync);
}

void TestShell::fileOpenAndSave() {
    QTemporaryDir dir;
    ShellRig rig;
    rig.connectAndRead();
    ToolbarCommands& commands = rig.core.commands;

    // Cancelled dialogs change nothing and show nothing.
    const ConfigBytes before = rig.core.image.bytes;
    commands.SpeedButtonReadConfigClick();
    commands.SpeedButtonWriteConfigClick();
    QCOMPARE(rig.core.image.bytes, before);
    QVERIFY(rig.host.notices.isEmpty());
    QVERIFY(rig.view.remembered.isEmpty());
    QCOMPARE(rig.view.busyCalls.last(), false);

    // Save, then open a changed copy while connected: the differing bytes go out at the tick.
    const QString file = dir.filePath("a.KSWA");
    rig.view.fileToSave = file;
    commands.SpeedButtonWriteConfigClick();
    QCOMPARE(rig.host.notices.last().text, QStringLiteral("The configuration is written"));
    QCOMPARE(rig.view.remembered, QStringList{file});
    ConfigImage edited = rig.core.image;
    edited.bytes[1981] ^= 1;
    edited.bytes[40] ^= 0x10;
    QVERIFY(SaveConfigFile(file, edited, rig.host, LangEnglish).ok());

    rig.view.fileToOpen = file;
    rig.host.answers = {mb::IdYes}; // send the changes now
    commands.SpeedButtonReadConfigClick();
    QCOMPARE(rig.host.boxes.size(), 1);
    QCOMPARE(rig.host.notices.last().text, QStringLiteral("The configuration is read"));
    QCOMPARE(rig.host.notices.last().hideMs, 2500);
    QCOMPARE(rig.view.refreshes, 1);
    QVERIFY(rig.core.monitor.imageInSync);
    rig.controller.clearLog();
    rig.core.connection.Tick();
    const auto writes = rig.writes();
    QCOMPARE(writes.size(), 2u);
    QCOMPARE(writes[0].offset, 40);
    QCOMPARE(writes[1].offset, 1981);
    QCOMPARE(rig.host.notices.last().text, QStringLiteral("Send of changes"));

    // A file that is no configuration changes nothing: no zeros go to the controller.
    const QString foreign = dir.filePath("passwd");
    test::WriteAll(foreign, "root:x:0:0:root:/root:/bin/bash\n");
    const ConfigBytes shown = rig.core.image.bytes;
    const QStringList remembered = rig.view.remembered;
    const int noticesBefore = rig.host.notices.size();
    const int boxesBefore = rig.host.boxes.size();
    rig.view.fileToOpen = foreign;
    commands.SpeedButtonReadConfigClick();
    QCOMPARE(rig.host.boxes.size(), boxesBefore + 1);
    QCOMPARE(rig.host.boxes.last().flags, mb::IconError);
    QCOMPARE(rig.host.boxes.last().text, QStringLiteral("Error reading file \"passwd\""));
    QCOMPARE(rig.core.image.bytes, shown);
    QVERIFY(rig.core.monitor.imageInSync);
    QCOMPARE(rig.view.remembered, remembered);
    QCOMPARE(rig.host.notices.size(), noticesBefore);
    QCOMPARE(rig.view.refreshes, 1);
    QCOMPARE(rig.view.busyCalls.last(), false);
    rig.controller.clearLog();
    rig.core.connection.Tick();
    QVERIFY(rig.writes().empty());

    // A file that cannot be written: its message, no notice, the toolbar back.
    const int notices = rig.host.notices.size();
    rig.view.fileToSave = dir.filePath("missing/dir/b.KSWA");
    commands.SpeedButtonWriteConfigClick();
    QCOMPARE(rig.host.boxes.last().flags, mb::IconError);
    QVERIFY(rig.host.boxes.last().text.startsWith("Unable to write to"));
    QCOMPARE(rig.host.notices.size(), notices);
    QCOMPARE(rig.view.busyCalls.last(), false);
    QCOMPARE(rig.host.monitorSuspend, 0);
}

void TestShell::commandsLeaveTheirResultInTheLog() {
    QTemporaryDir dir;
    ShellRig rig;
    rig.connectAndRead();
    ToolbarCommands& c = rig.core.commands;
    const QString file = dir.filePath("a.KSWA");
    rig.view.fileToSave = rig.view.fileToOpen = file;
    FirmwareContext update(rig.core.link, rig.host, rig.core.monitor, rig.language);
    update.logResult = true;
    update.chooseFirmwareFile = [] {
        return QStringLiteral(KORVEX_SAMPLES_DIR "/controller-1.37.LDR");
    };
    LinProgrammer lin(rig.core.link.frames, rig.host, rig.language);
    lin.logFlashResult = true;
    const auto lamp = [] { return QStringLiteral(KORVEX_SAMPLES_DIR "/lamp-1.20.LDR"); };
    const struct {
        std::function<void()> run;
        int answer;
        QString line; // empty: none, as for a question answered No
    } rows[] = {
        {[&] { c.SpeedButtonReadDeviceClick(); }, 0,
         "The configuration is read from the controller"},
        {[&] { c.SpeedButtonWriteDeviceClick(); }, mb::IdYes,
         "The configuration is written to the controller"},
        {[&] { c.SpeedButtonToDefaultClick(); }, mb::IdNo, ""},
        {[&] { c.SpeedButtonToDefaultClick(); }, mb::IdYes,
         "The controller's configuration is reset to its defaults"},
        {[&] { c.SpeedButtonResetClick(); }, 0, "The controller is restarted"},
        {[&] { c.SpeedButtonWriteConfigClick(); }, 0,
         "The configuration is saved to the file \"" + QDir::toNativeSeparators(file) + '"'},
        {[&] { c.SpeedButtonReadConfigClick(); }, mb::IdYes,
         "The configuration file \"" + QDir::toNativeSeparators(file) + "\" is opened"},
        {[&] { lin.FlashFromFile(lamp, {}); }, 0,
         "The LIN device is not flashed: The device config have not yet been read from the LIN "
         "bus"},
        {[&] {
             lin.ReadDevice();
             lin.FlashFromFile(lamp, {});
         },
         mb::IdYes, "The LIN device is flashed to version 1.20"},
        {[&] { UpdateFirmware(update); }, mb::IdYes,
         "The controller's firmware is updated to version 1.37"},
        {[&] {
             rig.controller.setPlugged(false);
             c.SpeedButtonResetClick();
         },
         0, "The controller is not restarted: " + ResultText(result::Disconnected, LangEnglish)},
    };
    for (const auto& row : rows) {
        const qsizetype logged = rig.host.log.size();
        rig.host.answers = {row.answer};
        row.run();
        QCOMPARE(rig.host.log.size() > logged ? rig.host.log.last() : QString(), row.line);
    }
}

void TestShell::singleInstance() {
    QTemporaryDir dir;
    const QString path = SingleInstanceLockPath(dir.path());
    QVERIFY(path.endsWith("KORVEX_SETUP_UTILITY.lock"));
    {
        auto first = AcquireSingleInstance(path);
        QVERIFY(first);
        QVERIFY(!AcquireSingleInstance(path));
    }
    // The machine named as the lock names it (on Windows not the host name, but COMPUTERNAME).
    QString machine;
    {
        auto held = AcquireSingleInstance(path);
        QVERIFY(held);
        qint64 pid = 0;
        QString program;
        QVERIFY(held->getLockInfo(&pid, &machine, &program));
    }

    // The lock of an instance that crashed (its process is gone) is taken over, however young.
    QFile stale(path);
    QVERIFY(stale.open(QIODevice::WriteOnly));
    stale.write("999999999\nkorvex-setup\n" + machine.toUtf8() + "\n");
    stale.close();
    QVERIFY(AcquireSingleInstance(path));

#ifdef Q_OS_WIN
    // By default the lock is the user's own, in the user's folder, and still excludes.
    const QString userLock = SingleInstanceLockPath();
    QCOMPARE(userLock, QDir(QDir::homePath()).filePath("KORVEX_SETUP_UTILITY.lock"));
    const auto first = AcquireSingleInstance(userLock);
    QVERIFY(first);
    QVERIFY(!AcquireSingleInstance(userLock));
#else
    // By default the lock is the user's own, in the runtime directory, and still excludes.
    QTemporaryDir runtime;
    const QByteArray savedRuntime = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    const QString userLock = SingleInstanceLockPath();
    const auto first = AcquireSingleInstance(userLock);
    const bool excluded = !AcquireSingleInstance(userLock);
    if (savedRuntime.isEmpty())
        qunsetenv("XDG_RUNTIME_DIR");
    else
        qputenv("XDG_RUNTIME_DIR", savedRuntime);
    QCOMPARE(userLock, QDir(runtime.path()).filePath("KORVEX_SETUP_UTILITY.lock"));
    QVERIFY(first);
    QVERIFY(excluded);
#endif
}

void TestShell::badLockFiles() {
    // What a crash or a full disk leaves is taken over; what cannot be made is said, with the
    // file's name, and the program starts without the guard.
    struct Row {
        const char* name;
        std::function<void(const QString& path)> make;
        bool taken;
        const char* why; // empty when taken
    };
    const auto file = [](const QByteArray& bytes) {
        return [bytes](const QString& path) { test::WriteAll(path, bytes); };
    };
    const Row rows[] = {
        {"empty", file(""), true, ""},
        {"garbage", file("\x01\xFFnot a lock\n"), true, ""},
        {"no pid", file("\n\n\n"), true, ""},
        {"empty folder", [](const QString& path) { QVERIFY(QDir().mkdir(path)); }, true, ""},
        // A copied home or a renamed machine: no instance here can hold it.
        {"another machine's", file("999999999\nkorvex-setup\nsome-other-machine\n"), true, ""},
        {"full folder",
         [](const QString& path) {
             QVERIFY(QDir().mkdir(path));
             test::WriteAll(path + "/kept", "x");
         },
         false, "a folder of that name is in the way"},
    };
    for (const Row& row : rows) {
        QTemporaryDir dir;
        const QString path = SingleInstanceLockPath(dir.path());
        row.make(path);
        QFile aged(path); // an hour old
        if (aged.open(QIODevice::ReadWrite)) {
            aged.setFileTime(QDateTime::currentDateTime().addSecs(-3600),
                             QFileDevice::FileModificationTime);
            aged.close(); // Windows removes no file that is open
        }
        QString problem;
        const auto lock = AcquireSingleInstance(path, &problem);
        QVERIFY2(bool(lock) == row.taken, row.name);
        if (row.taken) {
            QVERIFY2(problem.isEmpty(), row.name);
            QVERIFY2(!AcquireSingleInstance(path), row.name); // and it guards again
        } else {
            const QString text = NoLockText(problem, LangEnglish);
            QVERIFY2(text.contains(QDir::toNativeSeparators(path)), qPrintable(text));
            QVERIFY2(text.contains(row.why), qPrintable(text));
            QVERIFY2(text.contains("the program starts all the same"), qPrintable(text));
        }
    }
#ifdef Q_OS_UNIX
    // A folder the user may not write in (root may write anywhere).
    if (::geteuid() != 0) {
        QTemporaryDir locked;
        QVERIFY(QFile::setPermissions(locked.path(), QFile::ReadOwner | QFile::ExeOwner));
        QString denied;
        QVERIFY(!AcquireSingleInstance(SingleInstanceLockPath(locked.path()), &denied));
        QFile::setPermissions(locked.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY2(NoLockText(denied, LangEnglish).contains("permission denied"), qPrintable(denied));
    }
#endif
    // A folder that does not exist: the runtime directory is not there at all.
    QString problem;
    QVERIFY(!AcquireSingleInstance("/nonexistent-korvex/KORVEX_SETUP_UTILITY.lock", &problem));
    QVERIFY2(NoLockText(problem, LangEnglish).contains("its folder does not exist"),
             qPrintable(problem));
}

QTEST_GUILESS_MAIN(TestShell)
#include "tst_shell.moc"
