// The port diagnosis and the doctor's checks in words.
#include "PortDoctor.h"

#include "text/TextPair.h"

namespace korvex {

namespace {

constexpr TextPair PermissionText{
    "Нет прав на открытие порта %1 (группа-владелец %2). Добавьте себя в группу: sudo usermod "
    "-aG %2 %3, затем выйдите из системы и войдите снова; или установите правило udev для "
    "преобразователя (%4).",
    "No permission to open port %1 (owner group %2). Add yourself to the group: sudo usermod "
    "-aG %2 %3, then log out and in again; or install the converter's udev rule (%4)."};
constexpr TextPair BusyText{"Порт %1 занят: его держит другая программа%2. Закройте её, и порт "
                            "будет найден.",
                            "Port %1 is busy: another program holds it%2. Close that program and "
                            "the port will be found."};
constexpr TextPair GoneText{"Порта %1 нет: преобразователь отключён или драйвер отпустил его.",
                            "Port %1 is not there: the converter was unplugged or its driver let "
                            "it go."};

constexpr TextPair NoUsbView{"Устройства USB здесь не видны; порты преобразователей 1A86:7523: %1",
                             "USB devices cannot be seen here; ports of converters 1A86:7523: %1"};
constexpr TextPair NoCandidate{"Среди последовательных портов нет преобразователя 1A86:7523: "
                               "подключите его и проверьте драйвер CH340",
                               "No converter 1A86:7523 among the serial ports: plug it in and "
                               "check its CH340 driver"};
constexpr TextPair NoConverter{"Преобразователь USB 1A86:7523 не подключён: подключите его "
                               "(проверьте кабель и разъём USB)",
                               "No USB converter 1A86:7523 is plugged in: plug it in (check the "
                               "cable and the USB socket)"};
constexpr TextPair ConverterSeen{"Преобразователь USB 1A86:7523: %1",
                                 "USB converter 1A86:7523 at %1"};
constexpr TextPair DriverBound{"Драйвер ch341 привязан к %1", "Driver ch341 is bound to %1"};
constexpr TextPair NoDriver{"К %1 не привязан драйвер: загрузите его: sudo modprobe ch341",
                            "No driver is bound to %1: load it with sudo modprobe ch341"};
constexpr TextPair OtherDriver{"К %1 привязан драйвер %2, а не ch341",
                               "%1 is bound to driver %2, not to ch341"};
constexpr TextPair NoTty{"У %1 нет последовательного порта (tty)", "%1 has no serial port (tty)"};
constexpr TextPair NodeSeen{"%1 есть, группа-владелец %2", "%1 exists, owner group %2"};
constexpr TextPair NodeMissing{"%1 нет: udev не создал его", "%1 is missing: udev did not make it"};
constexpr TextPair MayOpen{"Вы (%1) можете открыть %2", "You (%1) may open %2"};
constexpr TextPair MayNotOpen{"Вы (%1) не можете открыть %2 и не входите в группу %3: sudo "
                              "usermod -aG %3 %1, затем войдите снова; или установите правило "
                              "udev",
                              "You (%1) may not open %2 and are not in group %3: sudo usermod "
                              "-aG %3 %1, then log in again; or install the udev rule"};
constexpr TextPair MayNotOpenInGroup{"Вы (%1) в группе %3, но не можете открыть %2: у группы "
                                     "нет прав на чтение и запись",
                                     "You (%1) are in group %3 but may not open %2: the group "
                                     "may not read and write it"};
constexpr TextPair HeldBy{"%1 держит %2: закройте эту программу",
                          "%1 is held by %2: close that program"};
constexpr TextPair RuleInstalled{"Правило udev для 1A86:7523 установлено: %1",
                                 "udev rule for 1A86:7523 installed: %1"};
constexpr TextPair NoRule{"Нет правила udev, дающего преобразователь вошедшему пользователю: "
                          "установите пакет или скопируйте %1 в /etc/udev/rules.d/, затем sudo "
                          "udevadm control --reload && sudo udevadm trigger",
                          "No udev rule gives the converter to the logged-in user: install the "
                          "package or copy %1 to /etc/udev/rules.d/, then sudo udevadm control "
                          "--reload && sudo udevadm trigger"};
constexpr TextPair NoModemManager{"ModemManager не запущен", "ModemManager is not running"};
constexpr TextPair ModemManagerTold{"ModemManager запущен; правило udev велит ему не трогать "
                                    "преобразователь",
                                    "ModemManager is running; the udev rule tells it to leave the "
                                    "converter alone"};
constexpr TextPair ModemManagerProbes{"ModemManager запущен и может опрашивать порт "
                                      "преобразователя: установите правило udev или sudo "
                                      "systemctl disable --now ModemManager",
                                      "ModemManager is running and may probe the converter's "
                                      "port: install the udev rule, or sudo systemctl disable "
                                      "--now ModemManager"};
constexpr TextPair NoBrltty{"brltty не установлен", "brltty is not installed"};
constexpr TextPair Brltty{"brltty установлен; на некоторых системах он забирает этот "
                          "преобразователь: sudo apt-get remove brltty",
                          "brltty is installed; on some systems it claims this converter: sudo "
                          "apt-get remove brltty"};
// Windows: what its device manager tells of the converter.
constexpr TextPair NoUsbDevices{"Система не показывает ни одного устройства USB",
                                "The system lists no USB devices"};
constexpr TextPair NoConverterOnUsb{"Нет преобразователя 1A86:7523 на USB: подключите его "
                                    "(проверьте кабель и разъём USB)",
                                    "No converter 1A86:7523 on USB: plug it in (check the cable "
                                    "and the USB socket)"};
constexpr TextPair WithoutDriver{"Преобразователь подключён, но у Windows нет драйвера для него: "
                                 "дайте Центру обновления Windows установить его или установите "
                                 "драйвер CH341SER",
                                 "The converter is plugged in but Windows has no driver for it: "
                                 "let Windows Update install it, or install the CH341SER driver"};
constexpr TextPair DeviceProblem{"Преобразователь подключён, но Windows сообщает о нём код "
                                 "ошибки %1: откройте его в Диспетчере устройств",
                                 "The converter is plugged in but Windows reports problem code "
                                 "%1 for it: look at it in Device Manager"};
constexpr TextPair DriverRuns{"Преобразователь USB 1A86:7523 подключён, его драйвер работает",
                              "USB converter 1A86:7523 is plugged in and its driver runs"};
constexpr TextPair Usable{"Преобразователь готов к работе: %1", "A converter is ready: %1"};
constexpr TextPair NotUsable{"Нет преобразователя, готового к работе",
                             "No converter is ready to use"};

// The short reasons, for the status line; the log has the whole paragraph.
constexpr TextPair PermissionShort{"нет прав на открытие порта (подробнее на странице Терминал)",
                                   "no permission to open the port (more on the Terminal page)"};
constexpr TextPair BusyShort{"порт занят другой программой (подробнее на странице Терминал)",
                             "the port is held by another program (more on the Terminal page)"};
constexpr TextPair GoneShort{"порт пропал", "the port is gone"};
constexpr TextPair DoctorHint{"Проверка преобразователя и доступа к порту: korvex-cli doctor",
                              "To check the converter and the access to its port: korvex-cli "
                              "doctor"};

// The device manager's codes for a device that has no driver: not configured, to be
// reinstalled, the install failed.
constexpr unsigned NotConfigured = 1, Reinstall = 18, FailedInstall = 28;

bool IsConverter(const UsbDeviceEntry& device) {
    for (const QString& id : device.hardwareIds)
        if (id.startsWith(QLatin1String("USB\\VID_1A86&PID_7523"), Qt::CaseInsensitive))
            return true;
    return false;
}

QString Holders(const QList<PortHolder>& holders) {
    QStringList names;
    for (const PortHolder& h : holders)
        names.append(QStringLiteral("%1, pid %2").arg(h.program).arg(h.pid));
    return names.join(QStringLiteral("; "));
}

} // namespace

QString PortProblemText(const PortDiagnosis& d, int language) {
    switch (d.problem) {
    case PortProblem::PermissionDenied:
        return LangText(PermissionText, language)
            .arg(d.node.path, d.node.groupName, d.userName, QLatin1String(UdevRuleName));
    case PortProblem::Busy:
        return LangText(BusyText, language)
            .arg(d.node.path,
                 d.holders.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(Holders(d.holders)));
    case PortProblem::Gone:
        return LangText(GoneText, language).arg(d.node.path);
    case PortProblem::None:
        break;
    }
    return {};
}

QString PortProblemShortText(const PortDiagnosis& d, int language) {
    switch (d.problem) {
    case PortProblem::PermissionDenied:
        return LangText(PermissionShort, language);
    case PortProblem::Busy:
        return LangText(BusyShort, language);
    case PortProblem::Gone:
        return LangText(GoneShort, language);
    case PortProblem::None:
        break;
    }
    return {};
}

QString DoctorHintText(int language) {
    return LangText(DoctorHint, language);
}

DoctorReport RunPortDoctor(const SystemFacts& facts, const QStringList& candidatePorts,
                           int language) {
    DoctorReport report;
    auto add = [&](bool ok, const TextPair& text) {
        report.lines.append(DoctorLine{ok, LangText(text, language)});
    };
    auto addText = [&](bool ok, const QString& text) { report.lines.append(DoctorLine{ok, text}); };

    if (!facts.hasUsbView && facts.usbDevices) {
        // Windows: the device manager tells whether the converter is there and driven; the
        // serial ports then whether its port is.
        bool driven = false;
        bool seen = false;
        for (const UsbDeviceEntry& device : *facts.usbDevices) {
            if (!IsConverter(device))
                continue;
            seen = true;
            const unsigned p = device.problem;
            if (p == NotConfigured || p == Reinstall || p == FailedInstall ||
                (p == 0 && !device.driverLoaded))
                add(false, WithoutDriver);
            else if (p != 0)
                addText(false, LangText(DeviceProblem, language).arg(p));
            else
                driven = true;
        }
        if (!seen) {
            if (facts.usbDevices->isEmpty())
                add(false, NoUsbDevices);
            add(false, NoConverterOnUsb);
        } else if (driven) {
            add(true, DriverRuns);
            if (candidatePorts.isEmpty())
                add(false, NoCandidate);
        }
        report.usable = driven && !candidatePorts.isEmpty();
        if (report.usable)
            addText(true,
                    LangText(Usable, language).arg(candidatePorts.join(QStringLiteral(", "))));
        return report;
    }
    if (!facts.hasUsbView) {
        // All that a system without sysfs (Windows) tells: the converter ports it lists.
        if (candidatePorts.isEmpty())
            add(false, NoCandidate);
        else
            addText(true,
                    LangText(NoUsbView, language).arg(candidatePorts.join(QStringLiteral(", "))));
        report.usable = !candidatePorts.isEmpty();
        return report;
    }

    QStringList ready;
    if (facts.converters.isEmpty())
        add(false, NoConverter);
    for (const ConverterFacts& c : facts.converters) {
        addText(true, LangText(ConverterSeen, language).arg(c.usbDevice));
        if (c.driver == QStringLiteral("ch341"))
            addText(true, LangText(DriverBound, language).arg(c.usbDevice));
        else if (c.driver.isEmpty())
            addText(false, LangText(NoDriver, language).arg(c.usbDevice));
        else
            addText(false, LangText(OtherDriver, language).arg(c.usbDevice, c.driver));
        if (c.ttys.isEmpty())
            addText(false, LangText(NoTty, language).arg(c.usbDevice));
        for (const DeviceNode& n : c.ttys) {
            if (!n.exists) {
                addText(false, LangText(NodeMissing, language).arg(n.path));
                continue;
            }
            addText(true, LangText(NodeSeen, language).arg(n.path, n.groupName));
            if (n.userMayOpen)
                addText(true, LangText(MayOpen, language).arg(facts.userName, n.path));
            else
                addText(false, LangText(n.userInGroup ? MayNotOpenInGroup : MayNotOpen, language)
                                   .arg(facts.userName, n.path, n.groupName));
            if (n.userMayOpen && c.holders.isEmpty())
                ready.append(n.path);
        }
        for (const PortHolder& h : c.holders)
            addText(false, LangText(HeldBy, language)
                               .arg(c.ttys.size() == 1 ? c.ttys.first().path : c.usbDevice,
                                    QStringLiteral("%1 (pid %2)").arg(h.program).arg(h.pid)));
    }

    if (facts.udevRules.isEmpty())
        addText(false, LangText(NoRule, language).arg(QLatin1String(UdevRuleName)));
    else
        addText(true, LangText(RuleInstalled, language).arg(facts.udevRules.join(u' ')));
    if (!facts.modemManagerRunning)
        add(true, NoModemManager);
    else if (!facts.udevRules.isEmpty())
        add(true, ModemManagerTold);
    else
        add(false, ModemManagerProbes);
    add(!facts.brlttyPresent, facts.brlttyPresent ? Brltty : NoBrltty);

    report.usable = !ready.isEmpty();
    if (report.usable)
        addText(true, LangText(Usable, language).arg(ready.join(QStringLiteral(", "))));
    else
        add(false, NotUsable);
    return report;
}

QString DoctorLineText(const DoctorLine& line) {
    return (line.ok ? QStringLiteral("OK  ") : QStringLiteral("!!  ")) + line.text;
}

} // namespace korvex
