// korvex-cli as a user runs it: the program itself for options and exit codes, and the same
// command code in-process where a controller with faults is needed.
#include "cli/CliCommands.h"
#include "sim/VirtualController.h"

#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace korvex;

namespace {
struct Run {
    int exitCode = -1;
    QString out;
    QString err;
};

Run RunProgram(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral(KORVEX_CLI_PATH), args);
    Run r;
    if (!p.waitForFinished(30000)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

Run RunInProcess(const QStringList& args, sim::VirtualController& controller) {
    QString out, err;
    QTextStream o(&out), e(&err);
    Run r;
    r.exitCode = RunCli(args, o, e, &controller);
    o.flush();
    e.flush();
    r.out = out;
    r.err = err;
    return r;
}
} // namespace

class TestCli : public QObject {
    Q_OBJECT
private slots:
    void infoOfTheVirtualController();
    void noController();
    void usageErrors();
    void infoWithFaults();
    void configurationRoundTrip();
    void refusedBeforeAnythingIsSent();
};

void TestCli::infoOfTheVirtualController() {
    Run en = RunProgram({"--demo", "--lang", "en", "info"});
    QCOMPARE(en.exitCode, 0);
    QCOMPARE(en.out, QStringLiteral("******************* Device *******************\n"
                                    "Controller          \"KORVEX-SWC-ADP\"\n"
                                    "The serial number   230417\n"
                                    "Boot version        1.05\n"
                                    "Application version 1.36\n"));
    QVERIFY(en.err.isEmpty());
    Run ru = RunProgram({"info", "--lang", "ru", "--demo", "--trace"});
    QCOMPARE(ru.exitCode, 0);
    QVERIFY(ru.out.startsWith(QStringLiteral("**************** Устройство ****************\n"
                                             "Контроллер        \"KORVEX-SWC-ADP\"\n")));
    QVERIFY(ru.err.isEmpty()); // the identity exchange is never traced

    Run ports = RunProgram({"--demo", "ports"});
    QCOMPARE(ports.exitCode, 0);
    QCOMPARE(ports.out, QStringLiteral("VCOM1\n"));
}

void TestCli::noController() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString file = dir.filePath(QStringLiteral("regular"));
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.close();
    for (const QString& port : {QStringLiteral("/dev/ttyUSB9"), file, dir.path()}) {
        Run en = RunProgram({"--port", port, "--lang", "en", "info"});
        QCOMPARE(en.exitCode, 1);
        QCOMPARE(en.err, QStringLiteral("Controller is disconnected\n"));
        QVERIFY(en.out.isEmpty());
        Run ru = RunProgram({"--lang", "ru", "--port", port, "info"});
        QCOMPARE(ru.exitCode, 1);
        QCOMPARE(ru.err, QStringLiteral("Контроллер отключен\n"));
    }
}

void TestCli::usageErrors() {
    const QList<QStringList> bad = {
        {},
        {"--bogus", "info"},
        {"--demo", "frobnicate"},
        {"--port"},
        {"--lang", "de", "info"},
        {"--lang"},
        {"--demo", "--port", "/dev/ttyUSB0", "info"},
        {"--demo", "info", "extra"},
        {"-"},
    };
    for (const QStringList& args : bad) {
        Run r = RunProgram(args);
        QCOMPARE(r.exitCode, 2);
        QVERIFY2(r.err.startsWith(QStringLiteral("usage: korvex-cli")), qPrintable(args.join(' ')));
        QCOMPARE(r.err.count(QLatin1Char('\n')), 1);
        QVERIFY(r.out.isEmpty());
    }
}

void TestCli::infoWithFaults() {
    sim::VirtualController controller;
    controller.addFault(sim::Fault::NoReply, 0x01);
    Run timeout = RunInProcess({"--demo", "--lang", "en", "info"}, controller);
    QCOMPARE(timeout.exitCode, 1);
    QCOMPARE(timeout.err, QStringLiteral("Out of the timeout response\n"));
    QCOMPARE(controller.requests.size(), std::size_t(3));

    // With several candidates each is probed once, and the one with the controller answers.
    controller.faults.clear();
    controller.clearLog();
    controller.ports = QStringList{"VCOM1", "VCOM2", "VCOM3"};
    controller.answerOn = QStringLiteral("VCOM3");
    Run found = RunInProcess({"--demo", "--lang", "en", "info"}, controller);
    QCOMPARE(found.exitCode, 0);
    QCOMPARE(controller.opens, (QStringList{"VCOM1", "VCOM2", "VCOM3"}));

    controller.clearLog();
    controller.setPlugged(false);
    Run gone = RunInProcess({"--demo", "--lang", "ru", "info"}, controller);
    QCOMPARE(gone.exitCode, 1);
    QCOMPARE(gone.err, QStringLiteral("Контроллер отключен\n"));
}

void TestCli::configurationRoundTrip() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString file = dir.filePath(QStringLiteral("backup.KSWA"));
    sim::VirtualController controller;
    for (std::size_t i = 0; i < controller.config.size(); ++i)
        controller.config[i] = static_cast<std::uint8_t>(i * 31 + 7);
    controller.config[1996] = 0; // long press 0: the tool takes 1000 ms instead
    controller.config[1997] = 0;
    auto expected = controller.config;
    expected[1996] = 0xE8;
    expected[1997] = 0x03;

    Run read = RunInProcess({"--demo", "--lang", "en", "read-config", file}, controller);
    QCOMPARE(read.exitCode, 0);
    QVERIFY(QFileInfo::exists(file));
    controller.config.fill(0);
    controller.clearLog();
    Run write = RunInProcess({"--demo", "--lang", "en", "write-config", file}, controller);
    QCOMPARE(write.exitCode, 0);
    QCOMPARE(controller.config, expected);
    QCOMPARE(controller.requests.back().cmd, std::uint8_t(0x83)); // restarted after the write
    QCOMPARE(controller.restarts, 1);

    // A read that fails half way leaves no file behind.
    const QString second = dir.filePath(QStringLiteral("half.KSWA"));
    controller.addFault(sim::Fault::Delay, 0x10, 5, 0);
    controller.addFault(sim::Fault::NoReply, 0x10);
    Run half = RunInProcess({"--demo", "--lang", "en", "read-config", second}, controller);
    QCOMPARE(half.exitCode, 1);
    QCOMPARE(half.err, QStringLiteral("Error reading the configuration of the device\n"
                                      "Out of the timeout response\nUpdate controller software\n"));
    QVERIFY(!QFileInfo::exists(second));

    // Restart and reset to defaults.
    controller.faults.clear();
    controller.clearLog();
    QCOMPARE(RunInProcess({"--demo", "restart"}, controller).exitCode, 0);
    QCOMPARE(controller.requests.back().cmd, std::uint8_t(0x83));
    Run defaults = RunInProcess({"--demo", "defaults", "--yes"}, controller);
    QCOMPARE(defaults.exitCode, 0);
    QVERIFY(defaults.err.isEmpty());
    QCOMPARE(controller.requests.back().cmd, std::uint8_t(0x84));
    QCOMPARE(controller.config, sim::FactoryConfiguration());
}

void TestCli::refusedBeforeAnythingIsSent() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    sim::VirtualController controller;
    for (const QString& file : {dir.filePath(QStringLiteral("missing.KSWA")), dir.path()}) {
        Run r = RunInProcess({"--demo", "--lang", "en", "write-config", file}, controller);
        QCOMPARE(r.exitCode, 1);
        QCOMPARE(r.err, QStringLiteral("Cannot read the file \"%1\"\n").arg(file));
    }
    Run no = RunInProcess({"--demo", "--lang", "en", "defaults"}, controller);
    QCOMPARE(no.exitCode, 1);
    QVERIFY(no.err.contains(QStringLiteral("Are you sure you want to reset")));
    QVERIFY(controller.wireIn.isEmpty());
    QVERIFY(controller.opens.isEmpty());
    QCOMPARE(controller.config, sim::FactoryConfiguration());
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
