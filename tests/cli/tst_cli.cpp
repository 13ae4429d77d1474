// korvex-cli as a user runs it: the program itself for options and exit codes, and the same
// command code in-process where a controller with faults is needed.
#include "cli/CliCommands.h"
#include "common/TestFiles.h"
#include "common/TestHost.h"
#include "config/ConfigFile.h"
#include "config/Snapshots.h"
#include "firmware/FirmwareFile.h"
#include "link/LittleEndian.h"
#include "sim/VirtualController.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimeZone>
#include <QtTest>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <memory>

#ifdef Q_OS_UNIX
#include "link/PtyBridge.h"

#include <fcntl.h>
#include <grp.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace korvex;

namespace {
using test::NoSuchFileWords;

struct Run {
    int exitCode = -1;
    QString out;
    QString err;
};

Run RunProgram(const QStringList& args, const QByteArray& input = {}, const QString& cwd = {}) {
    QProcess p;
    p.setWorkingDirectory(cwd);
    p.start(QStringLiteral(KORVEX_CLI_PATH), args);
    p.write(input);
    p.closeWriteChannel();
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

Run RunInProcess(const QStringList& args, sim::VirtualController& controller,
                 const CliEnvironment& env = {}) {
    QString out, err;
    QTextStream o(&out), e(&err);
    Run r;
    r.exitCode = RunCli(args, o, e, &controller, env);
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
    void doctorOnAFakeDeviceList();
    void usageErrors();
    void infoWithFaults();
    void configurationRoundTrip();
    void refusedBeforeAnythingIsSent();
    void dumpOfAFile();
    void diffWithTheController();
    void updateFirmware();
    void linCommands();
    void samplesAndProgress();
    void stopSignalsAndPollLimit();
    void everyCommandStops();
    void terminalWatchesAndTypes();
    void captureIntoAFile();
    void snapshotsListedAndWrittenBack();
    void libraryAndHistory();
    void sheetInThreeFormats();
    void standardStreamsAndInput();
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
#ifdef Q_OS_UNIX
    // Ports that cannot be opened, each with the reason in words before the error; the last
    // two as a user without root, who does not pass the node's mode or another's hold.
    int master = -1, slave = -1;
    char name[256] = {};
    QVERIFY(openpty(&master, &slave, name, nullptr, nullptr) == 0);
    const QString pty = QString::fromLocal8Bit(name);
    const auto unprivileged = [](QProcess& p) {
        p.setChildProcessModifier([] {
            if (::geteuid() == 0 &&
                (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0))
                ::_exit(99);
        });
    };
    struct Row {
        QString port;
        bool locked; // chmod 000, else held with TIOCEXCL
        QString en, ru;
    };
    const QList<Row> rows = {
        {QStringLiteral("/dev/ttyUSB9"), false,
         "Port /dev/ttyUSB9 is not there: the converter was unplugged or its driver let it go.\n",
         "Порта /dev/ttyUSB9 нет: преобразователь отключён или драйвер отпустил его.\n"},
        {file, false, {}, {}},
        {dir.path(), false, {}, {}},
        {pty, true, QStringLiteral("No permission to open port %1 (owner group ").arg(pty),
         QStringLiteral("Нет прав на открытие порта %1 (группа-владелец ").arg(pty)},
        {pty, false,
         QStringLiteral("Port %1 is busy: another program holds it. Close that program and "
                        "the port will be found.\n")
             .arg(pty),
         QStringLiteral("Порт %1 занят: его держит другая программа. Закройте её, и порт будет "
                        "найден.\n")
             .arg(pty)}};
    for (const Row& row : rows) {
        const bool asUser = row.port == pty;
        if (asUser && row.locked)
            QCOMPARE(::chmod(name, 0), 0);
        if (asUser && !row.locked) {
            QCOMPARE(::chmod(name, 0666), 0);
            QCOMPARE(::ioctl(slave, TIOCEXCL), 0);
        }
        for (int lang : {LangEnglish, LangRussian}) {
            QProcess p;
            if (asUser)
                unprivileged(p);
            p.start(QStringLiteral(KORVEX_CLI_PATH),
                    {"--port", row.port, "--lang", lang == LangEnglish ? "en" : "ru", "info"});
            QVERIFY(p.waitForFinished(30000));
            QCOMPARE(p.exitCode(), 1);
            QVERIFY(p.readAllStandardOutput().isEmpty());
            const QString err = QString::fromUtf8(p.readAllStandardError());
            const QString expected = lang == LangEnglish ? row.en : row.ru;
            const QString last =
                lang == LangEnglish
                    ? QStringLiteral("Controller is disconnected\nTo check the converter and the "
                                     "access to its port: korvex-cli doctor\n")
                    : QStringLiteral("Контроллер отключен\nПроверка преобразователя и доступа к "
                                     "порту: korvex-cli doctor\n");
            QVERIFY2(err.startsWith(expected) && err.endsWith(last), qPrintable(err));
            QCOMPARE(err.count(u'\n'), expected.isEmpty() ? 2 : 3); // the reason only once
        }
    }
    ::close(slave);
    ::close(master);
#endif
}

void TestCli::usageErrors() {
    struct Case {
        QStringList args;
        QString problem; // the line before the usage line
    };
    const QList<Case> bad = {
        {{}, "No COMMAND given"},
        {{"--lang", "en", "--bogus", "info"}, "Unknown option --bogus"},
        {{"--lang", "ru", "--bogus", "info"}, "Неизвестный параметр --bogus"},
        {{"--lang", "en", "--demo", "frobnicate"}, "Unknown command frobnicate"},
        {{"--lang", "en", "--port"}, "--port needs a value"},
        {{"--lang", "de", "info"}, "Unknown language de: ru or en"},
        {{"--lang"}, "--lang needs a value"},
        {{"--lang", "en", "--demo", "--port", "/dev/ttyUSB0", "info"},
         "--demo and --port cannot be used together"},
        {{"--lang", "en", "--demo", "info", "extra"}, "Unexpected argument extra"},
        {{"--lang", "en", "--demo", "read-config"}, "read-config needs a FILE"},
        {{"--lang", "en", "--demo", "update-firmware"}, "update-firmware needs a FILE"},
        {{"--lang", "en", "--demo", "lin", "flash"}, "lin flash needs a FILE"},
        {{"--lang", "en", "--demo", "lin", "write-params"}, "lin write-params needs the HEX bytes"},
        {{"--lang", "en", "--demo", "lin", "erase"}, "Unknown command lin erase"},
        {{"--lang", "en", "-"}, "Unknown command -"},
        {{"--lang", "en", "--demo", "info", "--count", "2"}, "Unknown option --count"},
        {{"--lang", "en", "--demo", "terminal", "--seconds", "x"},
         "--seconds needs a whole number, 0 or more"},
        {{"--lang", "en", "--demo", "capture"}, "capture needs a FILE"},
    };
    for (const Case& c : bad) {
        Run r = RunProgram(c.args);
        QCOMPARE(r.exitCode, 2);
        const QStringList lines = r.err.split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 3); // two lines and the end of the last
        QCOMPARE(lines[0], c.problem);
        // In the language of the problem above it.
        QVERIFY2(lines[1].startsWith(c.problem.at(0) < u'\x80' ? "usage: korvex-cli"
                                                               : "использование: korvex-cli"),
                 qPrintable(lines[1]));
        QVERIFY(r.out.isEmpty());
    }
    Run help = RunProgram({"--lang", "en", "--help"});
    QCOMPARE(help.exitCode, 0);
    QVERIFY(help.err.isEmpty());
    // Whole, once: a syntax of the column's width stays on its line.
    QCOMPARE(
        help.out,
        QStringLiteral(
            "usage: korvex-cli [--port DEVICE | --demo] [--lang ru|en] [--trace] [--yes] "
            "[--no-snapshot] COMMAND [ARGS]\n"
            "       korvex-cli --help | --version\n"
            "\n"
            "Options:\n"
            "  --port DEVICE                 use exactly this device (/dev/ttyUSB0, COM7) instead "
            "of searching\n"
            "  --demo                        use the virtual controller\n"
            "  --lang ru|en                  the language of every text\n"
            "  --trace                       write every frame exchanged to standard error\n"
            "  --yes                         answer Yes to the questions (same or older firmware, "
            "defaults)\n"
            "  --no-snapshot                 no snapshot before write-config, defaults, "
            "update-firmware, apply\n"
            "  --all                         text: every setting, not only the differences\n"
            "  --help, --version             this help, or the version\n"
            "\n"
            "Commands:\n"
            "  ports                         the candidate ports (converters 1A86:7523)\n"
            "  info                          find the controller, print its identity\n"
            "  read-config FILE              read the configuration and save it as a *.KSWA (or "
            "*.txt) file\n"
            "  write-config FILE             write a *.KSWA file to the controller, which then "
            "restarts\n"
            "  restart                       restart the controller\n"
            "  defaults --yes                reset the configuration to its factory defaults\n"
            "  dump FILE                     print a *.KSWA file in words\n"
            "  diff A B                      compare two configurations: FILE or device\n"
            "  sheet SOURCE OUT              the configuration sheet of a FILE or device as OUT: "
            ".pdf, .html or .txt\n"
            "  update-firmware FILE [--yes]  replace the controller's firmware from a *.LDR file\n"
            "  lin read                      read the LIN device\n"
            "  lin write-params HEX          write the LIN device's 6 parameter bytes\n"
            "  lin flash FILE [--yes]        reprogram the LIN device from its *.LDR file\n"
            "  terminal [--seconds N]        the terminal: the controller's text and key presses\n"
            "  capture FILE [--count N] [--seconds S]\n"
            "                                store each key pressed into the next free entry of "
            "FILE\n"
            "  doctor                        check the converter, its driver and the access to its "
            "port\n"
            "  text SOURCE [OUT] [--all]     the configuration of a FILE or device as text "
            "(*.txt), "
            "to OUT or standard output\n"
            "  apply SNIPPET TARGET          apply a text to a FILE or device (only the changes "
            "are "
            "sent)\n"
            "  snapshots [SERIAL]            list the controllers' configuration snapshots\n"
            "  library [DIR] [SEARCH]        the configuration files under DIR: date and summary\n"
            "  history [SERIAL]              a controller's snapshots, newest first, and how many "
            "settings differ\n"));
    // A table of every option and command, in the chosen language.
    Run ru = RunProgram({"--lang", "ru", "--help"});
    QVERIFY2(ru.out.contains("\n  --yes  ") && ru.out.contains("\nКоманды:\n  ports  ") &&
                 ru.out.contains("\n  snapshots [SERIAL]  "),
             qPrintable(ru.out));
    Run version = RunProgram({"--version"});
    QCOMPARE(version.exitCode, 0);
    QCOMPARE(version.out, QStringLiteral("korvex-cli " KORVEX_VERSION_TEXT "\n"));
}

void TestCli::infoWithFaults() {
    sim::VirtualController controller;
    controller.addFault(sim::Fault::NoReply, 0x01);
    Run timeout = RunInProcess({"--demo", "--lang", "en", "info"}, controller);
    QCOMPARE(timeout.exitCode, 1);
    QCOMPARE(timeout.err, QStringLiteral("Out of the timeout response\nTo check the converter "
                                         "and the access to its port: korvex-cli doctor\n"));
    QCOMPARE(controller.requests.size(), std::size_t(3));

    // With several candidates each is probed once, and the one with the controller answers.
    controller.faults.clear();
    controller.clearLog();
    controller.ports = QStringList{"VCOM1", "VCOM2", "VCOM3"};
    controller.answerOn = QStringLiteral("VCOM3");
    Run found = RunInProcess({"--demo", "--lang", "en", "info"}, controller);
    QCOMPARE(found.exitCode, 0);
    QCOMPARE(controller.opens, (QStringList{"VCOM1", "VCOM2", "VCOM3"}));

    // Replies that hold no identity are no controller: no success, nothing written.
    controller.ports = QStringList{"VCOM1"};
    controller.answerOn.clear();
    const std::function<void(sim::VirtualController&)> noIdentity[] = {
        [](sim::VirtualController& c) { c.addFault(sim::Fault::AckRead, 0x01); },
        [](sim::VirtualController& c) { c.identityLength = 40; },
        [](sim::VirtualController& c) { c.applicationName.clear(); },
    };
    for (const auto& spoil : noIdentity) {
        sim::VirtualController odd;
        spoil(odd);
        for (const char* command : {"info", "write-config"}) {
            odd.clearLog();
            QStringList args{"--demo", "--lang", "en", command};
            if (QByteArray(command) == "write-config")
                args << QStringLiteral(KORVEX_SAMPLES_DIR "/demo.KSWA") << "--no-snapshot";
            Run r = RunInProcess(args, odd);
            QCOMPARE(r.exitCode, 1);
            QVERIFY2(r.err.startsWith("Out of the timeout response\n"), qPrintable(r.err));
            QVERIFY(r.out.isEmpty());
            QVERIFY(std::all_of(odd.requests.begin(), odd.requests.end(),
                                [](const sim::LoggedRequest& q) { return q.cmd == 0x01; }));
        }
    }

    controller.clearLog();
    controller.setPlugged(false);
    Run gone = RunInProcess({"--demo", "--lang", "ru", "info"}, controller);
    QCOMPARE(gone.exitCode, 1);
    QCOMPARE(gone.err, QStringLiteral("Контроллер отключен\nПроверка преобразователя и доступа к "
                                      "порту: korvex-cli doctor\n"));
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
    QCOMPARE(read.out, QStringLiteral("The configuration is saved to the file \"%1\"\n")
                           .arg(QDir::toNativeSeparators(file)));
    QVERIFY(QFileInfo::exists(file));
    // The write keeps what it replaces as a snapshot, the controller's own bytes.
    test::TemporaryDataHome home;
    controller.config.fill(0);
    const ConfigBytes replaced = controller.config;
    controller.clearLog();
    Run write = RunInProcess({"--demo", "--lang", "ru", "write-config", file}, controller);
    QCOMPARE(write.exitCode, 0);
    const SnapshotStore store(DefaultSnapshotRoot());
    QCOMPARE(store.List(controller.serialNumber).size(), 1);
    const QString snapshot = store.List(controller.serialNumber).at(0).path;
    QCOMPARE(write.out, "Снимок конфигурации контроллера сохранен в " +
                            QDir::toNativeSeparators(snapshot) +
                            QStringLiteral("\nКонфигурация из файла \"%1\" записана в контроллер\n")
                                .arg(QDir::toNativeSeparators(file)));
    QCOMPARE(controller.config, expected);
    ConfigImage kept;
    test::TestHost host;
    QVERIFY(LoadConfigFile(snapshot, kept, host));
    QCOMPARE(kept.bytes, replaced);
    QCOMPARE(controller.requests.back().cmd, std::uint8_t(0x83)); // restarted after the write
    QCOMPARE(controller.restarts, 1);
    // A write that stops half way says what the controller may hold, and the way back.
    controller.addFault(sim::Fault::Delay, 0x90, 5, 0);
    controller.addFault(sim::Fault::NoReply, 0x90);
    Run cut = RunInProcess({"--demo", "--lang", "en", "write-config", file}, controller);
    QCOMPARE(cut.exitCode, 1);
    const QString newest = store.List(controller.serialNumber).last().path;
    QCOMPARE(cut.err, "Error writing configuration\nOut of the timeout response\nThe controller "
                      "may now hold part of the new configuration. To put back the one it had, "
                      "write again, or run korvex-cli write-config \"" +
                          QDir::toNativeSeparators(newest) + "\"\n");
    controller.faults.clear();

#ifdef Q_OS_UNIX
    // A save keeps the file its owner's, with its mode; a read-only one is refused.
    struct stat before {};
    QCOMPARE(::chmod(QFile::encodeName(file).constData(), 0640), 0);
    if (::geteuid() == 0)
        QCOMPARE(::chown(QFile::encodeName(file).constData(), 65534, 65534), 0);
    QCOMPARE(::stat(QFile::encodeName(file).constData(), &before), 0);
    QCOMPARE(RunInProcess({"--demo", "read-config", file}, controller).exitCode, 0);
    struct stat after {};
    QCOMPARE(::stat(QFile::encodeName(file).constData(), &after), 0);
    QVERIFY(before.st_ino != after.st_ino); // replaced, not written over
    QCOMPARE(after.st_uid, before.st_uid);
    QCOMPARE(after.st_gid, before.st_gid);
    QCOMPARE(after.st_mode, before.st_mode);
    QCOMPARE(::chmod(QFile::encodeName(file).constData(), 0444), 0);
    const QByteArray readOnly = test::ReadAll(file);
    Run refused = RunInProcess({"--demo", "--lang", "en", "read-config", file}, controller);
    QCOMPARE(refused.exitCode, 1);
    QVERIFY2(refused.err.endsWith("Reason: Permission denied\n"), qPrintable(refused.err));
    QCOMPARE(test::ReadAll(file), readOnly);
    QCOMPARE(::chmod(QFile::encodeName(file).constData(), 0644), 0);
#endif

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
    Run restart = RunInProcess({"--demo", "--lang", "en", "restart"}, controller);
    QCOMPARE(restart.exitCode, 0);
    QCOMPARE(restart.out, QStringLiteral("The controller is restarted\n"));
    QCOMPARE(controller.requests.back().cmd, std::uint8_t(0x83));
    Run defaults =
        RunInProcess({"--demo", "--lang", "ru", "defaults", "--yes", "--no-snapshot"}, controller);
    QCOMPARE(defaults.exitCode, 0);
    QCOMPARE(store.List(controller.serialNumber).size(), 2); // the write's two, no third
    QCOMPARE(defaults.out, QStringLiteral("Конфигурация сброшена в состояние по умолчанию\n"));
    QVERIFY(defaults.err.isEmpty());
    QCOMPARE(controller.requests.back().cmd, std::uint8_t(0x84));
    QCOMPARE(controller.config, sim::FactoryConfiguration());
    // With its snapshot: what the controller held before the reset.
    controller.config[1980] = 3;
    const ConfigBytes held = controller.config;
    QCOMPARE(RunInProcess({"--demo", "defaults", "--yes"}, controller).exitCode, 0);
    QVERIFY(LoadConfigFile(store.List(controller.serialNumber).last().path, kept, host));
    QCOMPARE(kept.bytes, held);
}

void TestCli::refusedBeforeAnythingIsSent() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    sim::VirtualController controller;
    // Files that are no configuration: nothing may reach the controller, not even a probe.
    const QString empty = dir.filePath(QStringLiteral("empty.KSWA"));
    const QString binary = dir.filePath(QStringLiteral("firmware.bin"));
    const QString passwd = dir.filePath(QStringLiteral("passwd"));
    test::WriteAll(empty, QByteArray());
    test::WriteAll(binary, QByteArray("\x55\x00\xFF[\x01\x02]\r\n\xFE", 11).repeated(50));
    test::WriteAll(passwd, "root:x:0:0:root:/root:/bin/bash\n[user]\nPINMODE=FFFF\n");
    const QString sectionOnly = dir.filePath(QStringLiteral("section.KSWA"));
    test::WriteAll(sectionOnly, "[PARAM]\n");
    QStringList refused = {dir.filePath(QStringLiteral("missing.KSWA")),
                           dir.path(),
                           empty,
                           binary,
                           passwd,
                           sectionOnly};
#ifdef Q_OS_UNIX
    // Opening a FIFO would wait for a writer for good: every command that takes a file refuses
    // it at once.
    const QString fifo = dir.filePath(QStringLiteral("fifo"));
    QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    refused << fifo;
    const QList<QStringList> takingFiles = {
        {"dump", fifo},           {"read-config", fifo},     {"capture", fifo},
        {"diff", fifo, "device"}, {"update-firmware", fifo}, {"lin", "flash", fifo}};
    for (const QStringList& command : takingFiles) {
        Run r = RunInProcess(QStringList{"--demo", "--lang", "en"} + command, controller);
        QVERIFY2(r.exitCode == (command[0] == "diff" ? 2 : 1), qPrintable(r.err));
        QVERIFY2(r.err.contains("\"fifo\"") || r.err.contains("it is not a regular file"),
                 qPrintable(r.err));
    }
#endif
#ifdef Q_OS_UNIX
    const QString dangling = dir.filePath(QStringLiteral("dangling.KSWA"));
    const QString locked = dir.filePath(QStringLiteral("locked.KSWA"));
    QCOMPARE(::symlink("nowhere.KSWA", QFile::encodeName(dangling).constData()), 0);
    test::WriteAll(locked, "[PARAM]\nPINMODE=00\n");
    QCOMPARE(::chmod(QFile::encodeName(locked).constData(), 0), 0);
    refused << dangling;
    if (::geteuid() != 0) // root reads it all the same
        refused << locked;
#endif
    // A file that could not be read says why, as a save does; one read whole, what it holds.
    const QString missing = "\nReason: " + NoSuchFileWords() + "\n";
    const QString none = "\nthe file holds no configuration\n";
    const QStringList reasons = {
        missing,
        "\nReason: it is not a regular file (a device, a pipe or a folder)\n",
        none,
        none,
        none,
        none,
        "\nReason: it is not a regular file (a device, a pipe or a folder)\n",
        missing,
        "\nReason: Permission denied\n"};
    for (qsizetype i = 0; i < refused.size(); ++i) {
        const QString& file = refused.at(i);
        Run r = RunInProcess({"--demo", "--lang", "en", "write-config", file}, controller);
        QCOMPARE(r.exitCode, 1);
        // The path as typed: a base name alone may be any of several files.
        QCOMPARE(r.err,
                 QStringLiteral("Error reading file \"%1\"").arg(QDir::toNativeSeparators(file)) +
                     reasons.at(i));
    }
    Run ru = RunInProcess({"--demo", "--lang", "ru", "write-config", empty}, controller);
    QCOMPARE(ru.err, "Ошибка чтения файла \"" + QDir::toNativeSeparators(empty) +
                         "\"\nв файле нет конфигурации\n");
    // A sheet that cannot be written is no sheet saved.
    const QString sample = QStringLiteral(KORVEX_SAMPLES_DIR "/demo.KSWA");
    Run lost =
        RunInProcess({"--lang", "en", "sheet", sample, dir.filePath("no/such.txt")}, controller);
    QCOMPARE(lost.exitCode, 1);
    QVERIFY2(lost.err.startsWith("Unable to write to " +
                                 QDir::toNativeSeparators(dir.filePath("no/such.txt")) +
                                 "\nReason: "),
             qPrintable(lost.err));
    // A sheet over its own source, named as it is or through a link, would replace it.
    const QString source = dir.filePath(QStringLiteral("cfg.txt"));
    const QString link = dir.filePath(QStringLiteral("link.txt"));
    test::WriteAll(source, test::ReadAll(QStringLiteral(KORVEX_SAMPLES_DIR "/demo.KSWA")));
    QStringList outs{source};
#ifdef Q_OS_UNIX // a Windows shortcut is a file of its own
    QVERIFY(QFile::link(source, link));
    outs << link;
#endif
    for (const QString& out : outs) {
        Run same = RunInProcess({"--lang", "en", "sheet", source, out}, controller);
        QCOMPARE(same.exitCode, 1);
        QCOMPARE(same.err, "OUT " + QDir::toNativeSeparators(out) +
                               " is the SOURCE file itself: it is not replaced by the "
                               "sheet\n");
        QCOMPARE(test::ReadAll(source),
                 test::ReadAll(QStringLiteral(KORVEX_SAMPLES_DIR "/demo.KSWA")));
    }
    // The system's fixed first line stays; in Russian it is said again below it.
    Run target = RunInProcess({"--demo", "--lang", "ru", "read-config", dir.path()}, controller);
    const QString shown = QDir::toNativeSeparators(dir.path());
    QCOMPARE(target.err, "Unable to write to " + shown + "\nНе удалось записать в " + shown +
                             "\nПричина: это не обычный файл (устройство, канал или папка)\n");
    Run no = RunInProcess({"--demo", "--lang", "en", "defaults"}, controller);
    QCOMPARE(no.exitCode, 1);
    QVERIFY(no.err.contains(QStringLiteral("Are you sure you want to reset")));
    QVERIFY(controller.wireIn.isEmpty());
    QVERIFY(controller.opens.isEmpty());
    QCOMPARE(controller.config, sim::FactoryConfiguration());
}

void TestCli::dumpOfAFile() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    test::TestHost host;
    ConfigImage image;
    image.bytes = sim::FactoryConfiguration();
    std::uint8_t* e = image.bytes.data();
    // Tab 3: a Cyrillic name (code page 1251), a timeout event and an output pin.
    std::uint8_t* t3 = e + 2 * 33;
    const std::uint8_t fog[] = {0xD2, 0xF3, 0xEC, 0xE0, 0xED}; // "Туман"
    std::copy(std::begin(fog), std::end(fog), t3);
    t3[10] = 3, t3[11] = 0x05, t3[12] = 2, t3[19] = 3, t3[20] = 1;
    PutU32le(t3 + 13, 5000);
    t3[21] = 2, t3[22] = 1, t3[23] = 3;
    PutU16le(t3 + 24, 30000);
    // Tab 4: a name of all ten bytes, right before a voltage event; event control.
    std::uint8_t* t4 = e + 3 * 33;
    std::memcpy(t4, "Headlights", 10);
    t4[10] = 4, t4[12] = 1, t4[19] = 3, t4[20] = 1;
    PutU16le(t4 + 13, 0x8000 | 12000);
    PutU32le(t4 + 15, 100);
    t4[21] = 5, t4[22] = 1, t4[23] = 7;
    // Tab 6: no name, a source reaction that skips 2 and 3. Tab 7: a name only.
    e[5 * 33 + 21] = 4, e[5 * 33 + 22] = 9, e[5 * 33 + 23] = 0x06;
    std::memcpy(e + 6 * 33, "Volume", 6);
    const QString file = dir.filePath(QStringLiteral("edited.KSWA"));
    QVERIFY(SaveConfigFile(file, image, host, LangEnglish).ok());

    Run en = RunProgram({"--lang", "en", "dump", file});
    QCOMPARE(en.exitCode, 0);
    QVERIFY(en.err.isEmpty());
    // After "--" a name that starts with "-" is a file.
    QVERIFY(QFile::copy(file, dir.filePath("-name.KSWA")));
    QCOMPARE(RunProgram({"--lang", "en", "dump", "--", "-name.KSWA"}, {}, dir.path()).out, en.out);
    const QStringList enLines = en.out.split(QLatin1Char('\n'));
    const auto block = [](const QStringList& lines, const QString& caption) {
        const qsizetype at = lines.indexOf(caption);
        return at < 0 ? QStringList{} : lines.mid(at, 3);
    };
    QCOMPARE(block(enLines, "3* (Туман)"),
             (QStringList{"3* (Туман)",
                          "  Event: Timeout, On response 2, after 5000 mSec, Press: Any, One time "
                          "only, Source: 1 3",
                          "  Response: Pin, Pin: X2/1(PQ ACC_ON), Mode: Only once -> set, Min. "
                          "durat.: 30000 mSec"}));
    QCOMPARE(block(enLines, "4* (Headlights)"),
             (QStringList{"4* (Headlights)",
                          "  Event: Voltage, LIN Master, > 12000 mV, For more than 100 mSec, "
                          "Press: Any, One time only, Source: Any",
                          "  Response: Event manage, Disable, event 7"}));
    QCOMPARE(
        block(enLines, "6*"),
        (QStringList{"6*", "  Event: Not set", "  Response: Source, Select: previous, Skip: 2 3"}));
    QCOMPARE(block(enLines, "7* (Volume)"),
             (QStringList{"7* (Volume)", "  Event: Not set", "  Response: Not set"}));
    // As the window shows it: a short press locks the once flag on.
    QVERIFY(enLines.contains("  Event: LIN \"MODE\", Press: Short, One time only, Source: Any"));
    QVERIFY(enLines.contains("  Number of sources: 4 (1, 2, 3, 4)"));
    QVERIFY(enLines.contains("  Ch 1: Default voltage 3.30 V, Minumum/maximum 0.50 V"));
    // Empty entries are left out.
    QVERIFY(!enLines.contains("5") && !enLines.contains("5*") && !enLines.contains("8"));

    Run ru = RunProgram({"dump", file, "--lang", "ru"});
    QCOMPARE(ru.exitCode, 0);
    const QStringList ruLines = ru.out.split(QLatin1Char('\n'));
    QCOMPARE(block(ruLines, "3* (Туман)"),
             (QStringList{"3* (Туман)",
                          "  Событие: Таймаут, При реакции 2, через 5000 мСек, Нажатие: Любое, "
                          "Однократно, Источник: 1 3",
                          "  Реакция: Вывод, Ножка: X2/1(PQ ACC_ON), Режим: Однократно -> "
                          "установить, Мин. длит.: 30000 мСек"}));
    QCOMPARE(block(ruLines, "6*"),
             (QStringList{"6*", "  Событие: Не задано",
                          "  Реакция: Источник, Выбрать: предыдущий, Пропустить: 2 3"}));
    QVERIFY(ruLines.contains("  Реакция: Управление магнитолой, Канал 1: установить 1.20 В, "
                             "Канал 2: не трогать, Мин. длит./Повтор: 200 мСек"));
    QVERIFY(ruLines.contains("  Тип мастера: Не используется"));

    // Bytes beyond every list print as numbers.
    ConfigImage odd;
    std::uint8_t* b = odd.bytes.data();
    b[10] = 9, b[21] = 7;
    b[33 + 10] = 1, b[33 + 12] = 200, b[33 + 19] = 9, b[33 + 11] = 0xFF;
    b[33 + 21] = 1, b[33 + 22] = 90, b[33 + 23] = 1;
    b[66 + 10] = 3, b[66 + 12] = 99;
    b[66 + 21] = 2, b[66 + 22] = 20, b[66 + 23] = 8;
    PutU16le(b + 66 + 24, 5);
    b[99 + 10] = 4, b[99 + 12] = 7;
    b[99 + 21] = 3, b[99 + 28] = 9, b[99 + 30] = 6;
    PutU16le(b + 99 + 24, 999);
    b[132 + 21] = 4, b[132 + 22] = 20, b[132 + 24] = 1;
    b[165 + 21] = 5, b[165 + 22] = 3, b[165 + 23] = 200;
    b[1980] = 5, b[1986] = 0x0F, b[1988] = 30, b[1990] = 9, b[1991] = 7, b[1992] = 2;
    b[1993] = 13, b[1998] = 12, b[1999] = 4, b[2002] = 50;
    const QString oddFile = dir.filePath(QStringLiteral("odd.KSWA"));
    QVERIFY(SaveConfigFile(oddFile, odd, host, LangEnglish).ok());
    Run numbers = RunProgram({"--lang", "en", "dump", oddFile});
    QCOMPARE(numbers.exitCode, 0);
    const QStringList oddLines = numbers.out.split(QLatin1Char('\n'));
    for (const char* line :
         {"  X2/1: 5", "  X2/7: 15", "  PQ X2/1: Open collector, not shorted to GND",
          "  Lin Slave X1/4: 30", "  LIN Bus speed: 9", "  LIN protocol: 4", "  Master type: 7",
          "  [2] Swap VOLDN and OK (for VW)", "  Heater control: 13", "  Slave type: 50",
          "  Number of sources: 12", "  Event: LIN 200, Press: 9, Source: 1 2 3 4 5 6 7 8",
          "  Response: LIN 90, Trigger",
          "  Event: Timeout, 99, after 0 mSec, Press: Disabled, One time only, Source: Any",
          "  Response: Pin, Pin: 20, Mode: 8, Min. durat.: 5 mSec",
          "  Event: Voltage, 7, < 0 mV, For more than 0 mSec, Press: Disabled, One time only, "
          "Source: Any",
          "  Response: Radio control, Ch 1: 9 0.00 V, Ch 2: 6 5.00 V, Min. durat./Replay: 0 "
          "mSec",
          "  Response: Source, Select: 20, Save before changing",
          "  Response: Event manage, 3, event 200"})
        QVERIFY2(oddLines.contains(QString::fromUtf8(line)), line);
    // Kinds beyond the pages: the editor clears them, and so do the words.
    QCOMPARE(block(oddLines, "1*"), (QStringList{"1*", "  Event: Not set", "  Response: Not set"}));

    // Nothing to dump without a readable file.
    const QString text = dir.filePath(QStringLiteral("notes.txt"));
    test::WriteAll(text, "EVRESP01=0102\n");
    for (const QString& missing :
         {dir.filePath(QStringLiteral("missing.KSWA")), dir.path(), text}) {
        Run r = RunProgram({"--lang", "en", "dump", missing});
        QCOMPARE(r.exitCode, 1);
        const QString first =
            QStringLiteral("Error reading file \"%1\"\n").arg(QDir::toNativeSeparators(missing));
        if (missing == text) {
            // A *.txt file is read as text, whose first wrong line is named.
            QCOMPARE(r.err,
                     first + QStringLiteral("notes.txt, line 1: \"EVRESP01=0102\": expected "
                                            "the first line \"# KORVEX-SWC-ADP "
                                            "configuration\" or \"# KORVEX-SWC-ADP snippet\"\n"));
        } else {
            QVERIFY2(r.err.startsWith(first) && r.err.size() > first.size() + 1, qPrintable(r.err));
        }
        QVERIFY(r.out.isEmpty());
    }
}

void TestCli::diffWithTheController() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    sim::VirtualController controller;
    const auto configReads = [&controller] {
        return std::count_if(controller.requests.begin(), controller.requests.end(),
                             [](const sim::LoggedRequest& r) { return r.cmd == 0x10; });
    };
    const QString file = dir.filePath(QStringLiteral("same.KSWA"));
    QCOMPARE(RunInProcess({"--demo", "read-config", file}, controller).exitCode, 0);

    struct Case {
        QStringList args;
        int exitCode;
        QString out;
        long configReads; // read frames of the configuration: one whole read is 32
    };
    const QList<Case> cases = {
        {{"device", file}, 0, "The configurations are the same\n", 32},
        {{"device", "device"}, 0, "The configurations are the same\n", 32},
        {{file, file}, 0, "The configurations are the same\n", 0},
    };
    for (const Case& c : cases) {
        controller.clearLog();
        Run r = RunInProcess(QStringList{"--demo", "--lang", "en", "diff"} + c.args, controller);
        QCOMPARE(r.exitCode, c.exitCode);
        QCOMPARE(r.out, c.out);
        QCOMPARE(configReads(), c.configReads);
    }

    // The controller changed since: the file differs, named in words, status 1.
    controller.config[1980] = 1;
    controller.config[2017] = 0xC3;
    controller.clearLog();
    Run differ = RunInProcess({"--demo", "--lang", "en", "diff", file, "device"}, controller);
    QCOMPARE(differ.exitCode, 1);
    QCOMPARE(differ.out, QStringLiteral("X2/1: No power -> Output +12V\nByte 2017: 00 -> C3\n"));
    QCOMPARE(configReads(), 32);

    // Trouble is status 2, as for a usage error: a file that is none, a read that fails.
    Run missing = RunInProcess(
        {"--demo", "--lang", "en", "diff", "device", dir.filePath("missing.KSWA")}, controller);
    QCOMPARE(missing.exitCode, 2);
    QCOMPARE(missing.err, "Error reading file \"" +
                              QDir::toNativeSeparators(dir.filePath("missing.KSWA")) +
                              "\"\nReason: " + NoSuchFileWords() + "\n");
    QVERIFY(missing.out.isEmpty());
    controller.addFault(sim::Fault::NoReply, 0x10);
    Run failed = RunInProcess({"--demo", "--lang", "en", "diff", file, "device"}, controller);
    QCOMPARE(failed.exitCode, 2);
    QVERIFY2(failed.err.startsWith("Error reading the configuration of the device\n"),
             qPrintable(failed.err));
    QVERIFY(failed.out.isEmpty());
    controller.faults.clear();
    for (const QStringList& args :
         {QStringList{"diff", file}, QStringList{"diff", file, file, file}}) {
        Run usage = RunProgram(QStringList{"--lang", "en", "--demo"} + args);
        QCOMPARE(usage.exitCode, 2);
        QVERIFY2(usage.err.startsWith(args.size() == 2 ? "diff needs A and B: a FILE or device\n"
                                                       : "Unexpected argument "),
                 qPrintable(usage.err));
    }
}

void TestCli::updateFirmware() {
    test::TemporaryDataHome home;
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    // Any controller of type 1, version 1.37.
    QByteArray bytes(12, '\0');
    PutU32le(reinterpret_cast<std::uint8_t*>(bytes.data()) + 4, 137);
    PutU32le(reinterpret_cast<std::uint8_t*>(bytes.data()) + 8, 1);
    bytes += QByteArray(200, '\x5A');
    const std::uint16_t crc = FirmwareCrc16(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                            static_cast<std::size_t>(bytes.size()));
    bytes.append(static_cast<char>(crc & 0xFF)).append(static_cast<char>(crc >> 8));
    const QString file = dir.filePath(QStringLiteral("fw.LDR"));
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
    f.close();

    sim::VirtualController controller;
    Run yes =
        RunInProcess({"--demo", "--lang", "en", "update-firmware", file, "--yes"}, controller);
    QCOMPARE(yes.exitCode, 0);
    QVERIFY(yes.err.isEmpty());
    QVERIFY(yes.out.contains(QStringLiteral("The update file           \"fw.LDR\"\n")));
    QVERIFY(yes.out.endsWith(QStringLiteral("The device is updated to version 1.37\n")));
    QVERIFY(yes.out.contains(QStringLiteral("snapshot is saved to")));
    QCOMPARE(controller.firmware, bytes.mid(12) + QByteArray(62, '\0'));
    // A bootloader cannot be read: the update goes on without a snapshot, and says so.
    sim::VirtualController boot;
    boot.bootloaderMode = true;
    Run inBoot = RunInProcess({"--demo", "--lang", "en", "update-firmware", file}, boot);
    QCOMPARE(inBoot.exitCode, 0);
    QCOMPARE(inBoot.err, QStringLiteral("No configuration snapshot could be taken: the controller "
                                        "runs its bootloader\n"));

    // A snapshot that cannot be kept stops the update before anything is sent.
    sim::VirtualController unread;
    unread.addFault(sim::Fault::NoReply, 0x10);
    Run stopped = RunInProcess({"--demo", "--lang", "en", "update-firmware", file}, unread);
    QCOMPARE(stopped.exitCode, 1);
    QVERIFY2(stopped.err.endsWith("--no-snapshot goes on without one\n"), qPrintable(stopped.err));
    QVERIFY(unread.firmware.isEmpty());

    // The same version without --yes: the question is printed and nothing is written.
    sim::VirtualController same;
    same.appVersion = 137;
    Run no = RunInProcess({"--demo", "--lang", "en", "update-firmware", file}, same);
    QCOMPARE(no.exitCode, 1);
    QVERIFY(no.err.startsWith(QStringLiteral(
        "Are you trying to download the same version as in the device\nContinue?\n")));
    QVERIFY(std::none_of(same.requests.begin(), same.requests.end(),
                         [](const sim::LoggedRequest& r) { return r.cmd == 0x82; }));
    QVERIFY(same.firmware.isEmpty());
}

void TestCli::linCommands() {
    Run read = RunProgram({"--demo", "--lang", "en", "lin", "read"});
    QCOMPARE(read.exitCode, 0);
    QCOMPARE(read.out, QStringLiteral("Read successfully\n"
                                      "The serial number   5001234\n"
                                      "Boot version        1.02\n"
                                      "Application version 1.10\n"
                                      "The device type     3\n"
                                      "The PCB type        2\n"
                                      "01 00 64 0A 00 00\n"));
    QVERIFY(read.err.isEmpty());

    sim::VirtualController controller;
    Run bad =
        RunInProcess({"--demo", "--lang", "ru", "lin", "write-params", "01 02 03"}, controller);
    QCOMPARE(bad.exitCode, 1);
    QCOMPARE(bad.err, QStringLiteral("Ошибка в длине параметров\n"));
    QVERIFY(controller.wireIn.isEmpty());
    Run write = RunInProcess(
        {"--demo", "--lang", "en", "lin", "write-params", "A5", "00", "11", "22", "33", "44"},
        controller);
    QCOMPARE(write.exitCode, 0);
    QVERIFY(write.out.endsWith(QStringLiteral("Recorded successfully\nA5 00 11 22 33 44\n")));
    QCOMPARE(controller.linLamp.params,
             (std::array<std::uint8_t, 6>{0xA5, 0x00, 0x11, 0x22, 0x33, 0x44}));

    // The lamp's own version: the question needs --yes, and without it nothing is written.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QByteArray bytes("\0\0\0\0\x6E\0\x03\x02", 8);
    bytes += QByteArray(64, '\x3C');
    const std::uint16_t crc = FirmwareCrc16(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                            static_cast<std::size_t>(bytes.size()));
    bytes.append(static_cast<char>(crc & 0xFF)).append(static_cast<char>(crc >> 8));
    const QString file = dir.filePath(QStringLiteral("lamp.LDR"));
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
    f.close();
    // A file that is no firmware is refused before the device is asked anything.
    const QString badFile = dir.filePath(QStringLiteral("bad.LDR"));
    test::WriteAll(badFile, bytes.left(bytes.size() - 1) + "x");
    controller.clearLog();
    Run refused = RunInProcess({"--demo", "--lang", "en", "lin", "flash", badFile}, controller);
    QCOMPARE(refused.exitCode, 1);
    QCOMPARE(refused.err, QStringLiteral("Error in file \"bad.LDR\"\n"));
    QVERIFY(controller.opens.isEmpty());
    Run no = RunInProcess({"--demo", "--lang", "en", "lin", "flash", file}, controller);
    QCOMPARE(no.exitCode, 1);
    QCOMPARE(no.err, QStringLiteral("Are you trying to download the same version as in the "
                                    "device\nContinue?\n"
                                    "Answered Yes only with --yes: nothing was sent\n"));
    QCOMPARE(controller.linLamp.count(0x84), 0);
    Run yes = RunInProcess({"--demo", "--lang", "en", "lin", "flash", file, "--yes"}, controller);
    QCOMPARE(yes.exitCode, 0);
    QVERIFY(yes.err.isEmpty());
    QVERIFY(yes.out.endsWith(QStringLiteral("Application version       1.10\n"
                                            "The device is updated to version 1.10\n")));
    QCOMPARE(controller.linLamp.flash, bytes.mid(8, 64));

    controller.linLamp.noResponse = -1;
    Run dead = RunInProcess({"--demo", "--lang", "en", "lin", "read"}, controller);
    QCOMPARE(dead.exitCode, 1);
    QCOMPARE(dead.err, QStringLiteral("Error:10\n"));
    QCOMPARE(RunInProcess({"--demo", "lin", "erase"}, controller).exitCode, 2);
}

void TestCli::samplesAndProgress() {
    // The committed samples are what the generator makes.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QProcess make;
    make.start(QStringLiteral(KORVEX_MAKE_SAMPLES_PATH), {dir.path()});
    QVERIFY(make.waitForFinished(10000));
    QCOMPARE(make.exitCode(), 0);
    const QDir samples(QStringLiteral(KORVEX_SAMPLES_DIR));
    const QStringList names{"demo.KSWA", "controller-1.37.LDR", "lamp-1.20.LDR"};
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files, QDir::Name),
             QStringList({"controller-1.37.LDR", "demo.KSWA", "lamp-1.20.LDR"}));
    for (const QString& name : names)
        QVERIFY2(test::ReadAll(samples.filePath(name)) == test::ReadAll(dir.filePath(name)),
                 qPrintable(name));

    // Each of them works on the virtual controller.
    sim::VirtualController controller;
    const QString firmware = samples.filePath(QStringLiteral("controller-1.37.LDR"));
    Run update = RunInProcess({"--demo", "--lang", "en", "update-firmware", firmware}, controller);
    QCOMPARE(update.exitCode, 0);
    QVERIFY(update.out.endsWith(QStringLiteral("The device is updated to version 1.37\n")));
    QCOMPARE(controller.firmware, test::ReadAll(firmware).mid(12) + QByteArray(62, '\0'));
    const QString lamp = samples.filePath(QStringLiteral("lamp-1.20.LDR"));
    controller = sim::VirtualController(); // a freshly started application
    Run lin = RunInProcess({"--demo", "--lang", "en", "lin", "flash", lamp}, controller);
    QCOMPARE(lin.exitCode, 0);
    QCOMPARE(controller.linLamp.flash, test::ReadAll(lamp).mid(8, 1088));
    QCOMPARE(controller.linLamp.appVersion, 120); // it runs what it was given
    controller.config.fill(0);
    Run config = RunInProcess(
        {"--demo", "--lang", "en", "write-config", samples.filePath("demo.KSWA")}, controller);
    QCOMPARE(config.exitCode, 0);
    auto expected = sim::FactoryConfiguration();
    QVERIFY(controller.config != expected); // the sample has one entry more
    std::copy_n(controller.config.begin() + 66, 33, expected.begin() + 66);
    QCOMPARE(controller.config, expected);
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(&controller.config[66]), 8),
             QByteArray("X2/1 30s"));

#ifdef Q_OS_UNIX
    // The real program on --demo, with standard error a terminal: a progress line there.
    int master = -1, slave = -1;
    QVERIFY(openpty(&master, &slave, nullptr, nullptr, nullptr) == 0);
    fcntl(master, F_SETFL, O_NONBLOCK);
    QProcess p;
    p.setChildProcessModifier([slave] { ::dup2(slave, STDERR_FILENO); });
    p.start(QStringLiteral(KORVEX_CLI_PATH),
            {"--demo", "--lang", "en", "update-firmware", firmware});
    QByteArray terminal;
    char buf[4096];
    const auto drain = [&] {
        ssize_t n;
        while ((n = ::read(master, buf, sizeof buf)) > 0)
            terminal.append(buf, static_cast<qsizetype>(n));
    };
    while (!p.waitForFinished(20))
        drain();
    drain();
    ::close(slave);
    ::close(master);
    QCOMPARE(p.exitCode(), 0);
    QVERIFY(p.readAllStandardOutput().endsWith("The device is updated to version 1.37\n"));
    QVERIFY2(terminal.contains("\rFirmware update  50%"), terminal.constData());
    QVERIFY(terminal.contains("\rFirmware update 100%"));
    QVERIFY(!terminal.contains("101%")); // the trailer beyond the total
#endif
}

void TestCli::stopSignalsAndPollLimit() {
#ifndef Q_OS_UNIX
    QSKIP("POSIX signals and pseudo-terminals");
#else
    // Lamps that never answer the response fetch; the program polls them through the real port.
    struct Runner {
        std::unique_ptr<test::PtyBridge> bridge = std::make_unique<test::PtyBridge>();
        std::unique_ptr<QProcess> process = std::make_unique<QProcess>();
        int signal = 0; // 0: left to its own limit
        QElapsedTimer sinceSignal;
    };
    std::vector<Runner> runners(3);
    runners[0].signal = SIGTERM;
    runners[1].signal = SIGINT;
    for (Runner& r : runners) {
        QVERIFY(r.bridge->ok());
        r.bridge->controller().linLamp.fetchNeverEnds = true;
        r.bridge->start();
        r.process->start(QStringLiteral(KORVEX_CLI_PATH),
                         {"--port", r.bridge->devicePath(), "--lang", "en", "lin", "read"});
        QVERIFY(r.process->waitForStarted());
    }
    QTest::qWait(1500); // well into the polling
    for (Runner& r : runners) {
        QCOMPARE(r.process->state(), QProcess::Running);
        if (r.signal != 0) {
            ::kill(static_cast<pid_t>(r.process->processId()), r.signal);
            r.sinceSignal.start();
        }
    }
    for (Runner& r : runners) {
        if (r.signal == 0)
            continue;
        QVERIFY(r.process->waitForFinished(3000));
        QVERIFY2(r.sinceSignal.elapsed() < 1000,
                 qPrintable(QString::number(r.sinceSignal.elapsed())));
        QCOMPARE(r.process->exitStatus(), QProcess::NormalExit); // not killed by the signal
        QCOMPARE(r.process->exitCode(), 1);
        QCOMPARE(QString::fromUtf8(r.process->readAllStandardError()),
                 QStringLiteral("Error:1\nInterrupted\n"));
    }
    // Without a signal the polls give up after 10 s as for a lamp that gave no response.
    Runner& left = runners[2];
    QVERIFY(left.process->waitForFinished(12000));
    QCOMPARE(left.process->exitCode(), 1);
    QCOMPARE(QString::fromUtf8(left.process->readAllStandardError()), QStringLiteral("Error:10\n"));
#endif
}

void TestCli::everyCommandStops() {
#ifndef Q_OS_UNIX
    QSKIP("POSIX signals (SIGHUP exists only there) and pseudo-terminals");
#else
    // Each command slowed down by a controller that answers late, stopped in the middle: the
    // signal goes once the controller has seen the slow request (a gate, not a wait), so that
    // the program is surely running its command with its handlers in place.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QDir samples(QStringLiteral(KORVEX_SAMPLES_DIR));
    const QString firmware = samples.filePath(QStringLiteral("controller-1.37.LDR"));
    const QString lines = dir.filePath(QStringLiteral("lines.txt"));
    QByteArray typed;
    for (int n = 0; n < 1000; ++n)
        typed += "line " + QByteArray::number(n) + '\n';
    test::WriteAll(lines, typed);
    struct Command {
        QStringList args;
        int slowCommand; // the request answered late
        QString input;
        QString said; // in what standard error ends with
    };
    const QString fw = "Interrupted\nThe controller now runs its bootloader, without its "
                       "application. The same update, run again, puts an application back: "
                       "korvex-cli update-firmware \"" +
                       firmware + "\"\n";
    const QList<Command> commands = {
        {{"read-config", dir.filePath("read.KSWA")}, 0x10, {}, "Interrupted\n"},
        {{"write-config", samples.filePath("demo.KSWA"), "--no-snapshot"},
         0x90,
         {},
         "Interrupted\nThe controller may now hold part"},
        {{"update-firmware", firmware, "--no-snapshot"}, 0x82, {}, fw},
        {{"lin", "flash", samples.filePath("lamp-1.20.LDR")}, 0x87, {}, "Interrupted\n"},
        {{"terminal"}, 0x85, lines, "Interrupted\n"},
        {{"terminal"}, -2, "/dev/urandom", "Interrupted\n"}};
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        std::vector<std::unique_ptr<test::PtyBridge>> bridges;
        std::vector<std::unique_ptr<QProcess>> runs;
        for (const Command& c : commands) {
            bridges.push_back(std::make_unique<test::PtyBridge>());
            test::PtyBridge& bridge = *bridges.back();
            QVERIFY(bridge.ok());
            bridge.controller().readChunk = 16;
            // Firmware frames and LIN polls are not repeated: their replies stay well within
            // the time-out.
            const bool once = c.slowCommand == 0x82 || c.slowCommand == 0x87;
            bridge.controller().addFault(sim::Fault::Delay, c.slowCommand, -1, once ? 40 : 60);
            bridge.watchFor(c.slowCommand < 0 ? 0x85 : c.slowCommand); // -2: lines at full speed
            bridge.start();
            runs.push_back(std::make_unique<QProcess>());
            if (!c.input.isEmpty())
                runs.back()->setStandardInputFile(c.input);
            runs.back()->start(QStringLiteral(KORVEX_CLI_PATH),
                               QStringList{"--port", bridge.devicePath(), "--lang", "en"} + c.args);
        }
        for (const auto& bridge : bridges)
            QTRY_VERIFY_WITH_TIMEOUT(bridge->reached(), 30000);
        for (std::size_t i = 0; i < runs.size(); ++i) {
            QVERIFY2(runs[i]->state() == QProcess::Running,
                     qPrintable(runs[i]->readAllStandardError()));
            ::kill(static_cast<pid_t>(runs[i]->processId()), signal);
        }
        for (qsizetype i = 0; i < commands.size(); ++i) {
            QProcess& run = *runs[static_cast<std::size_t>(i)];
            const QString what = commands[i].args.join(' ') + " " + commands[i].input;
            // Loose: how soon a stop ends a command is measured in bench/, not here.
            QVERIFY2(run.waitForFinished(10000), qPrintable(what));
            QCOMPARE(run.exitStatus(), QProcess::NormalExit);
            QCOMPARE(run.exitCode(), 1);
            const QString err = QString::fromUtf8(run.readAllStandardError());
            QVERIFY2(err.contains(commands[i].said) && !err.contains("disconnected") &&
                         !err.contains("Error writing") && !("\n" + err).contains("\n1\n") &&
                         err.count("Interrupted") == 1,
                     qPrintable(what + ":\n" + err.right(300)));
        }
    }
#endif
}

void TestCli::terminalWatchesAndTypes() {
    sim::VirtualController controller;
    controller.queueTerminalText("X LIN 3 EV:11 pressed\r\n");
    controller.pressKey(12);
    int calls = 0;
    CliEnvironment env;
    env.readInput = [&](bool& closed) {
        closed = ++calls > 1;
        return calls == 1 ? QStringList{"help", "", QString(100, u'z')} : QStringList{};
    };
    Run r = RunInProcess({"--demo", "--lang", "en", "terminal"}, controller, env);
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.err, QStringLiteral("The line is sent cut to its first 63 characters\n"));
    QCOMPARE(r.out.split(u'\n'),
             (QStringList{"Pressed key \"VOL UP\"", "X LIN 3 EV:MENU pressed", "> help",
                          "> " + QString(63, u'z'), ""})); // a key waiting goes first
    QCOMPARE(controller.terminalIn, (QList<QByteArray>{"help", QByteArray(63, 'z')}));

    // A line typed more than N seconds after the start still gets its answer: the N seconds
    // count from the close of the input.
    QElapsedTimer started;
    started.start();
    env.readInput = [&](bool& closed) {
        closed = started.elapsed() > 1500;
        return closed ? QStringList{"late"} : QStringList{};
    };
    r = RunInProcess({"--demo", "--lang", "en", "terminal", "--seconds", "1"}, controller, env);
    QVERIFY2(r.out.endsWith("> late\n"), qPrintable(r.out));

    // The controller goes away while the terminal runs.
    calls = 0;
    env.readInput = [&](bool& closed) {
        closed = false;
        if (++calls == 3)
            controller.setPlugged(false);
        return QStringList{};
    };
    r = RunInProcess({"--demo", "--lang", "en", "terminal"}, controller, env);
    QCOMPARE(r.exitCode, 1);
    QVERIFY2(r.err.endsWith(QStringLiteral("Controller is disconnected\n")), qPrintable(r.err));
    QVERIFY(r.out.isEmpty());

    // A stop raised in the very poll that unplugs the controller: its loss is not news then.
    controller.setPlugged(true);
    env.readInput = [](bool& closed) {
        closed = false;
        return QStringList{};
    };
    env.stopRequested = [&, polls = 0]() mutable {
        if (++polls < 5)
            return false;
        controller.setPlugged(false);
        return true;
    };
    r = RunInProcess({"--demo", "--lang", "en", "terminal"}, controller, env);
    controller.setPlugged(true);
    env.stopRequested = {};
    QCOMPARE(r.exitCode, 1);
    QCOMPARE(r.err, QStringLiteral("Interrupted\n"));

    // The program itself: the demonstration talks at once, then the closed input ends it (given
    // time to spare on a loaded machine).
    Run demo = RunProgram({"--demo", "--lang", "ru", "terminal", "--seconds", "3"}, "help\n");
    QCOMPARE(demo.exitCode, 0);
    QVERIFY2(demo.out.contains(QStringLiteral("> help\n")), qPrintable(demo.out));
    QVERIFY2(demo.out.contains(QStringLiteral("Нажата кнопка \"VOL UP\"\n")), qPrintable(demo.out));
    Run none = RunProgram({"--port", "/dev/ttyUSB9", "--lang", "en", "terminal"});
    QCOMPARE(none.exitCode, 1);
    QVERIFY2(
        none.err.endsWith(QStringLiteral("its driver let it go.\nController is disconnected\n")),
        qPrintable(none.err));
}

void TestCli::captureIntoAFile() {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("keys.KSWA"));
    sim::VirtualController controller;
    // A new file starts from what the controller holds: written back, it adds only the keys.
    controller.config.fill(0);
    controller.config[1980] = 2;
    controller.config[2002] = 7;
    for (std::uint8_t key : {12, 13, 12, 14})
        controller.pressKey(key);
    Run r = RunInProcess({"--demo", "--lang", "en", "capture", file, "--count", "2"}, controller);
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.out.split(u'\n'), (QStringList{"Pressed key \"VOL UP\"", "Tab 1: event \"VOL UP\"",
                                              "Pressed key \"VOL DN\"", "Tab 2: event \"VOL DN\"",
                                              "The configuration is saved to the file \"" +
                                                  QDir::toNativeSeparators(file) + "\"",
                                              ""}));

    // The next run goes on in the same file; a key already there is named and skipped.
    r = RunInProcess({"--demo", "--lang", "en", "capture", file, "--seconds", "1"}, controller);
    QCOMPARE(r.exitCode, 0);
    QVERIFY2(r.out.contains(QStringLiteral("Such an event already exists, 1 tab\nPressed key "
                                           "\"MUTE\"\nTab 3: event \"MUTE\"\n")),
             qPrintable(r.out));
    ConfigImage image;
    test::TestHost host;
    QVERIFY(LoadConfigFile(file, image, host));
    const int codes[] = {12, 13, 14, 0};
    for (int n = 0; n < 4; ++n) {
        QCOMPARE(Get(image.bytes, EntryField(n, entry::eventKind)), n < 3 ? 1 : 0);
        QCOMPARE(Get(image.bytes, EntryField(n, entry::eventCode)), codes[n]);
    }
    QCOMPARE(image.bytes[1980], std::uint8_t(2));
    QCOMPARE(image.bytes[2002], std::uint8_t(7));
    for (const auto& request : controller.requests)
        QVERIFY(request.cmd != 0x90); // nothing was written to the controller

    // A file that is not a configuration is left as it is.
    const QString other = dir.filePath(QStringLiteral("notes.KSWA"));
    test::WriteAll(other, "not a configuration");
    r = RunInProcess({"--demo", "--lang", "en", "capture", other, "--seconds", "0"}, controller);
    QCOMPARE(r.exitCode, 1);
    QCOMPARE(test::ReadAll(other), QByteArray("not a configuration"));
}

void TestCli::libraryAndHistory() {
    test::TemporaryDataHome home;
    sim::VirtualController controller;
    const QStringList en{"--lang", "en"};
    QTemporaryDir shop;
    Run missing = RunInProcess(en + QStringList{"library", shop.filePath("gone")}, controller);
    QCOMPARE(missing.exitCode, 1);
    QVERIFY2(missing.err.startsWith("The library folder cannot be read: it is not there"),
             qPrintable(missing.err));
    QVERIFY(QDir(shop.path()).mkpath("Лада Веста"));
    test::TestHost host;
    ConfigImage image;
    image.bytes = sim::FactoryConfiguration();
    const QString vesta = shop.filePath("Лада Веста/LIN keys.KSWA");
    QVERIFY(SaveConfigFile(vesta, image, host, LangEnglish).ok());
    test::WriteAll(shop.filePath("cut.KSWA"), "[PARAM]\r\n");
    // As the page lists them: by folder, then name; a search by a setting's word.
    Run all = RunInProcess(en + QStringList{"library", shop.path()}, controller);
    QCOMPARE(all.exitCode, 0);
    const QStringList lines = all.out.split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 2);
    QVERIFY(lines.at(0).startsWith(QDir::toNativeSeparators(shop.filePath("cut.KSWA"))) &&
            lines.at(0).endsWith("(damaged: it does not hold the whole configuration)"));
    QVERIFY(lines.at(1).startsWith(QDir::toNativeSeparators(vesta)) &&
            lines.at(1).endsWith("· SRC, VOL+"));
    Run found = RunInProcess(en + QStringList{"library", shop.path(), "vol up"}, controller);
    QCOMPARE(found.out, lines.at(1) + "\n");

    // The history against the connected controller, newest first.
    SnapshotStore store(DefaultSnapshotRoot());
    ConfigBytes older = sim::FactoryConfiguration();
    older[1980] = 2;
    QVERIFY(!store.Save(controller.serialNumber, older, host, LangEnglish).path.isEmpty());
    Run history = RunInProcess({"--demo", "--lang", "en", "history"}, controller);
    QCOMPARE(history.exitCode, 0);
    QVERIFY2(history.out.startsWith("230417  ") && history.out.contains("  1 setting differs  "),
             qPrintable(history.out));
    QCOMPARE(RunInProcess({"history", "x"}, controller).exitCode, 2);
}

void TestCli::snapshotsListedAndWrittenBack() {
    test::TemporaryDataHome home;
    sim::VirtualController controller;
    const QStringList en{"--demo", "--lang", "en"};
    Run none = RunInProcess(en + QStringList{"snapshots"}, controller);
    QCOMPARE(none.exitCode, 0);
    QCOMPARE(none.out, QStringLiteral("There are no configuration snapshots\n"));
    Run noneOf = RunInProcess({"--lang", "ru", "snapshots", "42"}, controller);
    QCOMPARE(noneOf.exitCode, 0);
    QCOMPARE(noneOf.out, QStringLiteral("Снимков конфигурации контроллера 42 нет\n"));

    // Two controllers' snapshots where the window keeps them.
    const QDateTime at(QDate(2026, 12, 8), QTime(23, 15, 0), QTimeZone::utc());
    SnapshotStore store(DefaultSnapshotRoot(), [&] { return at; });
    QVERIFY(store.root().startsWith(home.path()));
    ConfigBytes kept = sim::FactoryConfiguration();
    kept[1980] = 2;
    kept[100] = 0x5A;
    test::TestHost host;
    const QString ofController = store.Save(controller.serialNumber, kept, host, LangEnglish).path;
    const QString ofOther = store.Save(77, sim::FactoryConfiguration(), host, LangEnglish).path;
    QVERIFY(!ofController.isEmpty() && !ofOther.isEmpty());
    const QString lineOfController =
        "230417  2026-12-08 23:15:00 UTC  " + QDir::toNativeSeparators(ofController) + "\n";
    Run all = RunProgram({"snapshots"});
    QCOMPARE(all.exitCode, 0);
    QCOMPARE(all.out, "77  2026-12-08 23:15:00 UTC  " + QDir::toNativeSeparators(ofOther) + "\n" +
                          lineOfController);
    Run one = RunInProcess(en + QStringList{"snapshots", "230417"}, controller);
    QCOMPARE(one.out, lineOfController);
    QCOMPARE(RunInProcess({"snapshots", "x"}, controller).exitCode, 2);
    QCOMPARE(RunInProcess({"snapshots", "1", "2"}, controller).exitCode, 2);

    // A snapshot is an ordinary configuration file: writing it puts the configuration back.
    Run back = RunInProcess(en + QStringList{"write-config", ofController}, controller);
    QCOMPARE(back.exitCode, 0);
    QCOMPARE(controller.config, kept);

    // A file cut short or of other bytes is marked, as is one of random bytes.
    const QString cut = QFileInfo(ofOther).dir().filePath("20261209T101010Z.KSWA");
    const QString noise = QFileInfo(ofOther).dir().filePath("20261209T111111Z.KSWA");
    test::WriteAll(cut, test::ReadAll(ofOther).left(3000));
    test::WriteAll(noise, QByteArray("\x93\x01\xFF\xC0 random", 12).repeated(100));
    const QString damaged = "  (damaged: do not write it back)\n";
    QCOMPARE(RunInProcess(en + QStringList{"snapshots", "77"}, controller).out,
             "77  2026-12-08 23:15:00 UTC  " + QDir::toNativeSeparators(ofOther) +
                 "\n77  2026-12-09 10:10:10 UTC  " + QDir::toNativeSeparators(cut) + damaged +
                 "77  2026-12-09 11:11:11 UTC  " + QDir::toNativeSeparators(noise) + damaged);

    // Under a clock set wrong all 50 kept lie in the future: the new one is kept all the same.
    SnapshotStore future(DefaultSnapshotRoot(), [] {
        return QDateTime(QDate(2099, 1, 1), QTime(0, 0), QTimeZone::utc());
    });
    for (int n = 0; n < SnapshotStore::MaxPerSerial; ++n)
        QVERIFY(!future.Save(controller.serialNumber, kept, host, LangEnglish).path.isEmpty());
    Run late = RunInProcess(
        en + QStringList{"write-config", QStringLiteral(KORVEX_SAMPLES_DIR "/demo.KSWA")},
        controller);
    QCOMPARE(late.exitCode, 0);
    const QList<SnapshotFile> now = store.List(controller.serialNumber);
    QCOMPARE(now.size(), SnapshotStore::MaxPerSerial);
    QCOMPARE(now.first().taken.date(), QDateTime::currentDateTimeUtc().date());
    QVERIFY2(late.out.startsWith("The controller's configuration snapshot is saved to " +
                                 QDir::toNativeSeparators(now.first().path) + "\n"),
             qPrintable(late.out));
}

void TestCli::sheetInThreeFormats() {
    if (QStandardPaths::findExecutable("pdftotext").isEmpty())
        QSKIP("pdftotext (poppler-utils) is needed to read the PDF back");
    QTemporaryDir dir;
    // Only the program's own words: not Qt's warning about a missing runtime directory.
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    qunsetenv("XDG_RUNTIME_DIR");
    const Run quiet = RunProgram({"--demo", "sheet", "device", dir.filePath("quiet.pdf")});
    qputenv("XDG_RUNTIME_DIR", runtime);
    QCOMPARE(quiet.exitCode, 0);
    QCOMPARE(quiet.err, QString());
    for (const char* lang : {"en", "ru"}) {
        const auto sheet = [&](const char* format) {
            const QString out = dir.filePath(QStringLiteral("sheet.") + format);
            const Run r = RunProgram({"--demo", "--lang", lang, "sheet", "device", out});
            if (r.exitCode != 0)
                return "failed: " + r.err;
            if (QByteArray(format) == "txt")
                return QString::fromUtf8(test::ReadAll(out));
            if (QByteArray(format) == "html") {
                QString text = QString::fromUtf8(test::ReadAll(out));
                text.replace(QRegularExpression("<[^>]*>"), " ");
                return text.replace("&quot;", "\"").replace("&amp;", "&").replace("&lt;", "<");
            }
            QProcess p;
            p.start("pdftotext", {out, "-"});
            p.waitForFinished();
            // The layout joins "f" and "i" into one glyph, which pdftotext gives back as such.
            return QString::fromUtf8(p.readAllStandardOutput()).replace(QChar(0xFB01), "fi");
        };
        const QString text = sheet("txt");
        // A printed line may wrap anywhere, even after a "/": compared without blanks.
        const QRegularExpression blanks("\\s+");
        const QString html = sheet("html").remove(blanks);
        const QString pdf = sheet("pdf").remove(blanks);
        QVERIFY2(text.contains("1* (SRC)"), qPrintable(text));
        // Every line of the sheet, but the minute it was made, is in the other two.
        for (const QString& line : text.split('\n', Qt::SkipEmptyParts)) {
            if (line.contains(QDate::currentDate().toString("yyyy-MM-dd")))
                continue;
            QVERIFY2(html.contains(QString(line).remove(blanks)), qPrintable(line));
            QVERIFY2(pdf.contains(QString(line).remove(blanks)), qPrintable(line));
        }
    }
}

void TestCli::standardStreamsAndInput() {
    QTemporaryDir dir;
    const QString kswa = dir.filePath(QStringLiteral("car.KSWA"));
    QVERIFY(QFile::copy(QStringLiteral(KORVEX_SAMPLES_DIR "/demo.KSWA"), kswa));
    // "-" is standard output for text and standard input for apply and write-config.
    const Run text = RunProgram({"--lang", "en", "text", kswa, "-"}, {}, dir.path());
    QVERIFY(text.exitCode == 0 && text.out.startsWith("# KORVEX-SWC-ADP configuration\n"));
    QVERIFY(!QFileInfo::exists(dir.filePath("-")));
    const QByteArray snippet = "# KORVEX-SWC-ADP snippet\nVOUT1 = 2.5 V\n";
    const Run apply = RunProgram({"--lang", "en", "apply", "-", kswa}, snippet);
    QVERIFY2(apply.exitCode == 0 && apply.out.contains("-> 2.50 V"), qPrintable(apply.err));
    const Run whole = RunProgram({"--lang", "en", "--demo", "--no-snapshot", "write-config", "-"},
                                 text.out.toUtf8());
    QVERIFY2(whole.exitCode == 0, qPrintable(whole.err));
    const Run part = RunProgram({"--lang", "en", "--demo", "write-config", "-"}, snippet);
    QCOMPARE(part.exitCode, 1);
    QCOMPARE(part.err, QStringLiteral("Error reading file \"-\"\nthis is a snippet: apply it with "
                                      "korvex-cli apply SNIPPET TARGET\n"));
    // --no-snapshot is a global option: it does nothing where nothing is overwritten.
    for (const QStringList& args :
         {QStringList{"read-config", dir.filePath("r.KSWA")}, {"text", "device"}, {"restart"}})
        QCOMPARE(RunProgram(QStringList{"--demo", "--no-snapshot"} + args).exitCode, 0);

    // Terminal input: every line of a pipe is sent, one of 63 characters whole.
    QByteArray lines;
    for (int n = 0; n < 19; ++n)
        lines += "line " + QByteArray::number(n) + '\n';
    lines += QByteArray(63, 'z') + '\n';
    const Run typed = RunProgram({"--demo", "--lang", "en", "terminal", "--seconds", "1"}, lines);
    QCOMPARE(typed.exitCode, 0);
    QCOMPARE(typed.out.count(QStringLiteral("\n> ")) + int(typed.out.startsWith("> ")), 20);
    QVERIFY2(!typed.err.contains("cut"), qPrintable(typed.err));
#ifdef Q_OS_LINUX
    // An endless line (/dev/zero) is held cut: memory stays bounded while it is read.
    QProcess zero;
    zero.setStandardInputFile(QStringLiteral("/dev/zero"));
    zero.start(QStringLiteral(KORVEX_CLI_PATH), {"--demo", "terminal"});
    QVERIFY(zero.waitForStarted());
    const QString proc = QStringLiteral("/proc/%1/").arg(zero.processId());
    const auto field = [&](const char* file, const char* name) {
        const QStringList text = QString::fromLatin1(test::ReadAll(proc + file)).split(u'\n');
        for (const QString& line : text)
            if (line.startsWith(QLatin1String(name)))
                return line.section(u':', 1).trimmed().section(u' ', 0, 0).toLongLong();
        return -1LL;
    };
    QTRY_VERIFY_WITH_TIMEOUT(field("io", "rchar") > 200LL * 1024 * 1024, 120000);
    const qint64 kilobytes = field("status", "VmRSS");
    QVERIFY2(kilobytes > 0 && kilobytes < 150 * 1024, qPrintable(QString::number(kilobytes)));
    ::kill(static_cast<pid_t>(zero.processId()), SIGTERM);
    QVERIFY(zero.waitForFinished(30000));
    QCOMPARE(zero.exitCode(), 1);
#endif
}

void TestCli::doctorOnAFakeDeviceList() {
    // The program whole, on Windows' device list as a test names it, on any system.
    struct Row {
        const char* devices;
        int exitCode;
        QString out;
    };
    const QString noConverter =
        "!!  No converter 1A86:7523 on USB: plug it in (check the cable and the USB socket)\n";
    const QList<Row> rows = {
        {"", 1, "!!  The system lists no USB devices\n" + noConverter},
        {"USB\\VID_8087&PID_0024", 1, noConverter},
        {"USB\\VID_8087&PID_0024;USB\\VID_1A86&PID_7523&REV_0264=28", 1,
         "!!  The converter is plugged in but Windows has no driver for it: let Windows Update "
         "install it, or install the CH341SER driver\n"},
    };
    const auto restore = qScopeGuard([] { qunsetenv("KORVEX_FAKE_USB_DEVICES"); });
    for (const Row& row : rows) {
        qputenv("KORVEX_FAKE_USB_DEVICES", row.devices);
        const Run r = RunProgram({"--lang", "en", "doctor"});
        QCOMPARE(r.exitCode, row.exitCode);
        QCOMPARE(r.out, row.out);
    }
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
