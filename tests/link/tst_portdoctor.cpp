// The converter checks and the port diagnosis on a fake system tree: sysfs, /dev, /etc and
// /proc in a temporary directory.
#include "host/SystemFacts.h"
#include "link/PortDoctor.h"
#include "text/TextPair.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace korvex;

namespace {

constexpr quint32 UserId = 4242424; // owns nothing in the tree

#ifdef Q_OS_WIN
constexpr char FakeTreeIsPosix[] =
    "the fake Linux tree needs symbolic links and owner groups, which Windows makes otherwise "
    "(a link is a .lnk file there); withoutLinuxTrees tests what Windows gets";
#endif

class FakeSystem {
public:
    FakeSystem() {
        QDir(root()).mkpath(QStringLiteral("sys"));
        QDir(root()).mkpath(QStringLiteral("dev"));
        write("etc/passwd", "alice:x:4242424:100::/home/alice:/bin/bash\n");
    }
    QString root() const { return dir_.path(); }
    void write(const QString& path, const QByteArray& text) {
        const QString full = root() + u'/' + path;
        QDir().mkpath(QFileInfo(full).absolutePath());
        QFile f(full);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    void link(const QString& path, const QString& target) {
        const QString full = root() + u'/' + path;
        QDir().mkpath(QFileInfo(full).absolutePath());
        QVERIFY(QFile::link(target, full));
    }
    void mkdir(const QString& path) { QVERIFY(QDir(root()).mkpath(path)); }
    // A converter at `usb` with its tty, the node in group "dialout" (the tree's own gid) 0660.
    void converter(const QString& usb, const char* product, bool driver, const QString& tty) {
        const QString dev = QStringLiteral("sys/bus/usb/devices/") + usb;
        write(dev + QStringLiteral("/idVendor"), "1a86\n");
        write(dev + QStringLiteral("/idProduct"), QByteArray(product) + '\n');
        const QString interface = dev + QStringLiteral(":1.0");
        mkdir(interface);
        if (!driver)
            return;
        link(interface + QStringLiteral("/driver"), root() + QStringLiteral("/sys/drivers/ch341"));
        mkdir(interface + u'/' + tty + QStringLiteral("/tty/") + tty);
        write(QStringLiteral("dev/") + tty, {});
        QFile::setPermissions(root() + QStringLiteral("/dev/") + tty,
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                  QFile::WriteGroup);
        write("etc/group", "dialout:x:" + QByteArray::number(gid()) + ":\n");
    }
    void process(int pid, const QByteArray& program, const QString& holds = {}) {
        write(QStringLiteral("proc/%1/comm").arg(pid), program + '\n');
        mkdir(QStringLiteral("proc/%1/fd").arg(pid));
        if (!holds.isEmpty())
            link(QStringLiteral("proc/%1/fd/3").arg(pid), holds);
    }
    quint32 gid() const { return QFileInfo(root()).groupId(); }
    SystemView view(bool inGroup) const {
        SystemView v;
        v.root = root();
        v.uid = UserId;
        v.groups = inGroup ? QList<quint32>{gid()} : QList<quint32>{100};
        return v;
    }

private:
    QTemporaryDir dir_;
};

QStringList Failed(const DoctorReport& report) {
    QStringList lines;
    for (const DoctorLine& line : report.lines)
        if (!line.ok)
            lines.append(line.text);
    return lines;
}

} // namespace

class TestPortDoctor : public QObject {
    Q_OBJECT
private slots:
    void doctorOnAFakeTree_data();
    void doctorOnAFakeTree();
    void diagnosisOfARefusedPort();
    void withoutLinuxTrees();
    void windowsDeviceList_data();
    void windowsDeviceList();
#ifdef Q_OS_WIN
    void windowsDevicesOfThisSystem();
#endif
};

void TestPortDoctor::doctorOnAFakeTree_data() {
    QTest::addColumn<QString>("setup");
    QTest::addColumn<bool>("inGroup");
    QTest::addColumn<bool>("usable");
    QTest::addColumn<QStringList>("failed");
    QTest::addColumn<int>("okLines");
    const QString noRule = QStringLiteral(
        "No udev rule gives the converter to the logged-in user: install the package or copy "
        "70-korvex-setup.rules to /etc/udev/rules.d/, then sudo udevadm control --reload && sudo "
        "udevadm trigger");
    const QString notReady = QStringLiteral("No converter is ready to use");
    QTest::newRow("nothing plugged in")
        << "" << true << false
        << QStringList{"No USB converter 1A86:7523 is plugged in: plug it in (check the cable "
                       "and the USB socket)",
                       noRule, notReady}
        << 2;
    QTest::newRow("another product of the maker")
        << "other" << true << false
        << QStringList{"No USB converter 1A86:7523 is plugged in: plug it in (check the cable "
                       "and the USB socket)",
                       noRule, notReady}
        << 2;
    QTest::newRow("ready, with the rule") << "ready rule" << true << true << QStringList{} << 8;
    QTest::newRow("not in the group")
        << "ready" << false << false
        << QStringList{"You (alice) may not open /dev/ttyUSB0 and are not in group dialout: sudo "
                       "usermod -aG dialout alice, then log in again; or install the udev rule",
                       noRule, notReady}
        << 5;
    QTest::newRow("no driver")
        << "nodriver rule" << true << false
        << QStringList{"No driver is bound to 1-1.2: load it with sudo modprobe ch341",
                       "1-1.2 has no serial port (tty)", notReady}
        << 4;
    QTest::newRow("held by another program, modem manager, brltty")
        << "ready held mm brltty" << true << false
        << QStringList{"/dev/ttyUSB0 is held by minicom (pid 321): close that program", noRule,
                       "ModemManager is running and may probe the converter's port: install the "
                       "udev rule, or sudo systemctl disable --now ModemManager",
                       "brltty is installed; on some systems it claims this converter: sudo "
                       "apt-get remove brltty",
                       notReady}
        << 4;
}

void TestPortDoctor::doctorOnAFakeTree() {
#ifdef Q_OS_WIN
    QSKIP(FakeTreeIsPosix);
#endif
    QFETCH(QString, setup);
    QFETCH(bool, inGroup);
    FakeSystem sys;
    if (setup.contains(QStringLiteral("ready")))
        sys.converter(QStringLiteral("1-1.2"), "7523", true, QStringLiteral("ttyUSB0"));
    if (setup.contains(QStringLiteral("nodriver")))
        sys.converter(QStringLiteral("1-1.2"), "7523", false, {});
    if (setup.contains(QStringLiteral("other")))
        sys.converter(QStringLiteral("1-3"), "5523", true, QStringLiteral("ttyUSB1"));
    if (setup.contains(QStringLiteral("rule"))) {
        QFile rule(QStringLiteral(KORVEX_SOURCE_DIR "/packaging/70-korvex-setup.rules"));
        QVERIFY(rule.open(QIODevice::ReadOnly));
        sys.write("usr/lib/udev/rules.d/70-korvex-setup.rules", rule.readAll());
    }
    if (setup.contains(QStringLiteral("held")))
        sys.process(321, "minicom", QStringLiteral("/dev/ttyUSB0"));
    sys.process(1, "systemd");
    if (setup.contains(QStringLiteral("mm")))
        sys.process(400, "ModemManager");
    if (setup.contains(QStringLiteral("brltty"))) {
        sys.write("usr/bin/brltty", {});
        // brltty's own rule names the converter too, but gives it to nobody: not our rule.
        sys.write("usr/lib/udev/rules.d/85-brltty.rules",
                  "ENV{PRODUCT}==\"1a86/7523/*\", ENV{BRLTTY_BRAILLE_DRIVER}=\"bm\", "
                  "GOTO=\"brltty_usb_run\"\n");
    }

    const SystemFacts facts = GatherSystemFacts(sys.view(inGroup));
    const DoctorReport report = RunPortDoctor(facts, {}, LangEnglish);
    QTEST(report.usable, "usable");
    QTEST(Failed(report), "failed");
    QTEST(int(report.lines.size() - Failed(report).size()), "okLines");
    if (setup == QStringLiteral("ready rule"))
        QCOMPARE(DoctorLineText(report.lines.last()),
                 QStringLiteral("OK  A converter is ready: /dev/ttyUSB0"));
    // The other language says the same checks.
    QCOMPARE(RunPortDoctor(facts, {}, LangRussian).lines.size(), report.lines.size());
}

void TestPortDoctor::diagnosisOfARefusedPort() {
#ifdef Q_OS_WIN
    QSKIP(FakeTreeIsPosix);
#endif
    FakeSystem sys;
    sys.converter(QStringLiteral("1-1.2"), "7523", true, QStringLiteral("ttyUSB0"));
    sys.process(321, "minicom", QStringLiteral("/dev/ttyUSB0"));

    const PortDiagnosis denied =
        DiagnosePort(QStringLiteral("ttyUSB0"), OpenError::Refused, sys.view(false));
    QCOMPARE(denied.problem, PortProblem::PermissionDenied);
    QCOMPARE(PortProblemText(denied, LangEnglish),
             QStringLiteral("No permission to open port /dev/ttyUSB0 (owner group dialout). Add "
                            "yourself to the group: sudo usermod -aG dialout alice, then log out "
                            "and in again; or install the converter's udev rule "
                            "(70-korvex-setup.rules)."));

    const PortDiagnosis busy =
        DiagnosePort(QStringLiteral("/dev/ttyUSB0"), OpenError::Refused, sys.view(true));
    QCOMPARE(busy.problem, PortProblem::Busy);
    QCOMPARE(PortProblemText(busy, LangRussian),
             QStringLiteral("Порт /dev/ttyUSB0 занят: его держит другая программа (minicom, pid "
                            "321). Закройте её, и порт будет найден."));

    QCOMPARE(DiagnosePort(QStringLiteral("ttyUSB5"), OpenError::NotFound, sys.view(true)).problem,
             PortProblem::Gone);
    // A node that is there and free but gave another error has no reason to tell.
    QCOMPARE(DiagnosePort(QStringLiteral("ttyUSB0"), OpenError::Other, sys.view(true)).problem,
             PortProblem::None);
}

void TestPortDoctor::withoutLinuxTrees() {
    // A system without sysfs and /dev (Windows) tells only the converter ports it lists, and a
    // port it refuses is taken as held by another program.
    QTemporaryDir bare;
    SystemView view;
    view.root = bare.path();
    view.userName = QStringLiteral("alice");
    const SystemFacts facts = GatherSystemFacts(view);
    QVERIFY(!facts.hasUsbView);
    struct Row {
        QStringList ports;
        bool usable;
        QString line;
    };
    const QList<Row> rows = {
        {{},
         false,
         "!!  No converter 1A86:7523 among the serial ports: plug it in and check its CH340 "
         "driver"},
        {{"COM3", "COM7"},
         true,
         "OK  USB devices cannot be seen here; ports of converters 1A86:7523: COM3, COM7"}};
    for (const Row& row : rows) {
        const DoctorReport report = RunPortDoctor(facts, row.ports, LangEnglish);
        QCOMPARE(report.usable, row.usable);
        QCOMPARE(report.lines.size(), 1);
        QCOMPARE(DoctorLineText(report.lines.first()), row.line);
    }
    const PortDiagnosis gone = DiagnosePort(QStringLiteral("COM7"), OpenError::NotFound, view);
    QCOMPARE(gone.problem, PortProblem::Gone);
    QCOMPARE(gone.node.path, QStringLiteral("COM7"));
    QCOMPARE(PortProblemText(DiagnosePort(QStringLiteral("COM7"), OpenError::Refused, view),
                             LangEnglish),
             QStringLiteral("Port COM7 is busy: another program holds it. Close that program and "
                            "the port will be found."));
#ifdef Q_OS_WIN
    // Windows itself is such a system, even under Wine, which shows Linux's /sys and /dev.
    QVERIFY(!GatherSystemFacts({}).hasUsbView);
    QCOMPARE(DiagnosePort(QStringLiteral("COM7"), OpenError::Refused, {}).problem,
             PortProblem::Busy);
#endif
}

void TestPortDoctor::windowsDeviceList_data() {
    QTest::addColumn<QList<UsbDeviceEntry>>("devices");
    QTest::addColumn<QStringList>("ports");
    QTest::addColumn<bool>("usable");
    QTest::addColumn<QStringList>("lines");
    const QString converter = QStringLiteral("USB\\VID_1A86&PID_7523&REV_0264");
    const QString noConverter = QStringLiteral(
        "!!  No converter 1A86:7523 on USB: plug it in (check the cable and the USB socket)");
    const QString noDriver =
        QStringLiteral("!!  The converter is plugged in but Windows has no driver for it: let "
                       "Windows Update install it, or install the CH341SER driver");
    const QString driven =
        QStringLiteral("OK  USB converter 1A86:7523 is plugged in and its driver runs");
    const auto device = [](const QString& id, unsigned problem, bool loaded) {
        return UsbDeviceEntry{{id, id.left(id.lastIndexOf(u'&'))}, problem, loaded};
    };
    QTest::newRow("no USB devices at all (Wine)")
        << QList<UsbDeviceEntry>{} << QStringList{} << false
        << QStringList{"!!  The system lists no USB devices", noConverter};
    QTest::newRow("other devices only")
        << QList<UsbDeviceEntry>{device("USB\\VID_8087&PID_0024&REV_0000", 0, true),
                                 device("USB\\VID_1A86&PID_5523&REV_0100", 0, true)}
        << QStringList{} << false << QStringList{noConverter};
    QTest::newRow("converter whose driver failed to install")
        << QList<UsbDeviceEntry>{device(converter, 28, false)} << QStringList{} << false
        << QStringList{noDriver};
    QTest::newRow("converter not configured")
        << QList<UsbDeviceEntry>{device(converter.toLower(), 1, false)} << QStringList{} << false
        << QStringList{noDriver};
    QTest::newRow("converter with no problem code and no driver")
        << QList<UsbDeviceEntry>{device(converter, 0, false)} << QStringList{} << false
        << QStringList{noDriver};
    QTest::newRow("converter disabled")
        << QList<UsbDeviceEntry>{device(converter, 22, true)} << QStringList{} << false
        << QStringList{"!!  The converter is plugged in but Windows reports problem code 22 for "
                       "it: look at it in Device Manager"};
    QTest::newRow("driven, its port not listed")
        << QList<UsbDeviceEntry>{device(converter, 0, true)} << QStringList{} << false
        << QStringList{driven, "!!  No converter 1A86:7523 among the serial ports: plug it in and "
                               "check its CH340 driver"};
    QTest::newRow("driven on COM3, beside one without its driver")
        << QList<UsbDeviceEntry>{device(converter, 28, false), device(converter, 0, true)}
        << QStringList{"COM3"} << true
        << QStringList{noDriver, driven, "OK  A converter is ready: COM3"};
}

void TestPortDoctor::windowsDeviceList() {
    QFETCH(QList<UsbDeviceEntry>, devices);
    QFETCH(QStringList, ports);
    // Windows' device list, on any system: a bare tree has neither sysfs nor /dev.
    QTemporaryDir bare;
    SystemView view;
    view.root = bare.path();
    view.usbDevices = devices;
    const SystemFacts facts = GatherSystemFacts(view);
    QVERIFY(!facts.hasUsbView);
    const DoctorReport report = RunPortDoctor(facts, ports, LangEnglish);
    QStringList lines;
    for (const DoctorLine& line : report.lines)
        lines << DoctorLineText(line);
    QTEST(lines, "lines");
    QTEST(report.usable, "usable");
    const DoctorReport russian = RunPortDoctor(facts, ports, LangRussian);
    QCOMPARE(russian.lines.size(), report.lines.size());
    if (QTest::currentDataTag() == QByteArray("converter whose driver failed to install"))
        QCOMPARE(DoctorLineText(russian.lines.first()),
                 QStringLiteral("!!  Преобразователь подключён, но у Windows нет драйвера для "
                                "него: дайте Центру обновления Windows установить его или "
                                "установите драйвер CH341SER"));
}

#ifdef Q_OS_WIN
void TestPortDoctor::windowsDevicesOfThisSystem() {
    // The device manager's own list, whatever it holds (none under Wine): asked without failing.
    const std::optional<QList<UsbDeviceEntry>> devices = ListPresentUsbDevices();
    QVERIFY(devices.has_value());
    const DoctorReport report = RunPortDoctor(GatherSystemFacts({}), {}, LangEnglish);
    QVERIFY(!report.lines.isEmpty());
}
#endif

QTEST_GUILESS_MAIN(TestPortDoctor)
#include "tst_portdoctor.moc"
