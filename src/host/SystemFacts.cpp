// The system's facts about the converter, read from sysfs, /dev, /etc/group and /proc under the
// view's root. The few POSIX calls (who the user is, the system's reason for a refused open)
// are here and nowhere else.
#include "SystemFacts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStandardPaths>

#include <algorithm>
#include <vector>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace korvex {

namespace {

const QString VendorId = QStringLiteral("1a86");
const QString ProductId = QStringLiteral("7523");

QString ReadSmallFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.read(64 * 1024));
}

quint32 UserId(const SystemView& view) {
    if (view.uid)
        return *view.uid;
#ifdef Q_OS_UNIX
    return ::geteuid();
#else
    return 0;
#endif
}

QList<quint32> UserGroups(const SystemView& view) {
    if (view.groups)
        return *view.groups;
    QList<quint32> groups;
#ifdef Q_OS_UNIX
    groups.append(::getegid());
    const int count = ::getgroups(0, nullptr);
    if (count > 0) {
        std::vector<gid_t> list(static_cast<std::size_t>(count));
        const int got = ::getgroups(count, list.data());
        for (int i = 0; i < got; ++i)
            groups.append(list[static_cast<std::size_t>(i)]);
    }
#endif
    return groups;
}

// The first field of the line of /etc/passwd or /etc/group whose third field is `id`.
QString NameOf(const SystemView& view, const char* file, quint32 id) {
    const QStringList lines = ReadSmallFile(view.root + QLatin1String(file)).split(u'\n');
    for (const QString& line : lines) {
        const QStringList fields = line.split(u':');
        bool number = false;
        if (fields.size() >= 3 && fields.at(2).toUInt(&number) == id && number &&
            !fields.at(0).isEmpty())
            return fields.at(0);
    }
    return {};
}

QString UserName(const SystemView& view) {
    if (!view.userName.isEmpty())
        return view.userName;
    const QString listed = NameOf(view, "/etc/passwd", UserId(view));
    if (!listed.isEmpty())
        return listed;
    for (const char* name : {"USER", "LOGNAME", "USERNAME"}) {
        const QString value = qEnvironmentVariable(name);
        if (!value.isEmpty())
            return value;
    }
    return QStringLiteral("$USER");
}

QString GroupName(const SystemView& view, quint32 gid) {
    const QString listed = NameOf(view, "/etc/group", gid);
    return listed.isEmpty() ? QString::number(gid) : listed;
}

bool MayOpenByMode(const QFileInfo& info, const SystemView& view) {
    const quint32 uid = UserId(view);
    if (uid == 0)
        return true;
    const QFileDevice::Permissions p = info.permissions();
    if (info.ownerId() == uid)
        return p.testFlag(QFileDevice::ReadOwner) && p.testFlag(QFileDevice::WriteOwner);
    if (UserGroups(view).contains(info.groupId()))
        return p.testFlag(QFileDevice::ReadGroup) && p.testFlag(QFileDevice::WriteGroup);
    return p.testFlag(QFileDevice::ReadOther) && p.testFlag(QFileDevice::WriteOther);
}

DeviceNode InspectNode(const QString& path, const SystemView& view) {
    DeviceNode node;
    node.path = path;
    const QFileInfo info(view.root + path);
    node.exists = info.exists();
    if (!node.exists)
        return node;
    node.groupName = GroupName(view, info.groupId());
    node.userInGroup = UserGroups(view).contains(info.groupId());
#ifdef Q_OS_UNIX
    // The system's own answer also counts access lists, which the mode bits do not show.
    if (view.real()) {
        node.userMayOpen = ::faccessat(AT_FDCWD, QFile::encodeName(path).constData(), R_OK | W_OK,
                                       AT_EACCESS) == 0;
        return node;
    }
#endif
    node.userMayOpen = MayOpenByMode(info, view);
    return node;
}

// The processes, by number, with their program names.
QHash<qint64, QString> Processes(const SystemView& view) {
    QHash<qint64, QString> processes;
    const QString proc = view.root + QStringLiteral("/proc");
    const QStringList entries = QDir(proc).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        bool number = false;
        const qint64 pid = entry.toLongLong(&number);
        if (number)
            processes.insert(
                pid, ReadSmallFile(proc + u'/' + entry + QStringLiteral("/comm")).trimmed());
    }
    return processes;
}

QList<PortHolder> Holders(const QString& path, const SystemView& view) {
    QList<PortHolder> holders;
    const qint64 self = view.real() ? QCoreApplication::applicationPid() : -1;
    const QHash<qint64, QString> processes = Processes(view);
    for (auto it = processes.cbegin(); it != processes.cend(); ++it) {
        if (it.key() == self)
            continue;
        const QString fdDir = view.root + QStringLiteral("/proc/%1/fd").arg(it.key());
        // Only our own processes' descriptors are readable unless we are root: "when readable".
        const QStringList fds = QDir(fdDir).entryList(QDir::Files | QDir::System);
        for (const QString& fd : fds) {
            if (QFile::symLinkTarget(fdDir + u'/' + fd) == path) {
                holders.append(PortHolder{it.key(), it.value()});
                break;
            }
        }
    }
    std::sort(holders.begin(), holders.end(),
              [](const PortHolder& a, const PortHolder& b) { return a.pid < b.pid; });
    return holders;
}

// Whether the view has the Linux tree `dir` (/sys, /dev) to look at. Never on Windows itself,
// though Wine shows Linux's own as Z:\sys: a fake tree of a test is still looked at there.
bool HasTree(const SystemView& view, const QString& dir) {
#ifdef Q_OS_WIN
    if (view.real())
        return false;
#endif
    return QFileInfo(view.root + dir).isDir();
}

QString DevicePath(const QString& portName) {
    return portName.startsWith(u'/') ? portName : QStringLiteral("/dev/") + portName;
}

#ifdef Q_OS_UNIX
// The system's reason for refusing the node, from one more open that is closed at once.
PortProblem SystemReason(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd >= 0) {
        ::close(fd);
        return PortProblem::Busy; // the node opens: another program's lock file refused it
    }
    switch (errno) {
    case EACCES:
    case EPERM:
        return PortProblem::PermissionDenied;
    case EBUSY:
        return PortProblem::Busy;
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return PortProblem::Gone;
    default:
        return PortProblem::None;
    }
}
#endif

} // namespace

PortDiagnosis DiagnosePort(const QString& portName, OpenError error, const SystemView& view) {
    PortDiagnosis d;
    if (error == OpenError::None || error == OpenError::Other || portName.isEmpty())
        return d;
    d.userName = UserName(view);
    if (!HasTree(view, QStringLiteral("/dev"))) {
        // No device nodes to look at (Windows): a refused port is one that another program has.
        d.node.path = portName;
        d.problem = error == OpenError::NotFound ? PortProblem::Gone : PortProblem::Busy;
        return d;
    }
    d.node = InspectNode(DevicePath(portName), view);
    if (!d.node.exists) {
        d.problem = PortProblem::Gone;
        return d;
    }
#ifdef Q_OS_UNIX
    if (view.real())
        d.problem = SystemReason(d.node.path);
#endif
    if (!view.real() || d.problem == PortProblem::None) {
        if (error == OpenError::NotFound)
            d.problem = PortProblem::Gone;
        else
            d.problem = d.node.userMayOpen ? PortProblem::Busy : PortProblem::PermissionDenied;
    }
    if (d.problem == PortProblem::Busy)
        d.holders = Holders(d.node.path, view);
    return d;
}

SystemFacts GatherSystemFacts(const SystemView& view) {
    SystemFacts facts;
    facts.userName = UserName(view);
    const QString usb = view.root + QStringLiteral("/sys/bus/usb/devices");
    // A Linux system without a USB bus (a container) still has sysfs: no converter is there.
    facts.usbDevices = view.usbDevices ? view.usbDevices
                       : view.real()   ? ListPresentUsbDevices()
                                       : std::nullopt;
    // The device manager's list, where there is one, is the view of USB.
    facts.hasUsbView = !facts.usbDevices && HasTree(view, QStringLiteral("/sys"));
    const QStringList entries = QDir(usb).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& device : entries) {
        if (device.contains(u':'))
            continue;
        const QString dir = usb + u'/' + device;
        if (ReadSmallFile(dir + QStringLiteral("/idVendor")).trimmed().toLower() != VendorId ||
            ReadSmallFile(dir + QStringLiteral("/idProduct")).trimmed().toLower() != ProductId)
            continue;
        ConverterFacts converter;
        converter.usbDevice = device;
        for (const QString& interface : entries) {
            if (!interface.startsWith(device + u':'))
                continue;
            const QString ifDir = usb + u'/' + interface;
            const QString driver = QFile::symLinkTarget(ifDir + QStringLiteral("/driver"));
            if (!driver.isEmpty() && converter.driver.isEmpty())
                converter.driver = QFileInfo(driver).fileName();
            // A serial driver puts its tty beside the interface's files or under "tty/".
            QStringList ttys;
            for (const QString& place : {ifDir, ifDir + QStringLiteral("/tty")})
                for (const QString& name : QDir(place).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
                    if (name.startsWith(QStringLiteral("tty")) && name != QStringLiteral("tty"))
                        ttys.append(name);
            for (const QString& tty : ttys) {
                converter.ttys.append(InspectNode(QStringLiteral("/dev/") + tty, view));
                converter.holders += Holders(QStringLiteral("/dev/") + tty, view);
            }
        }
        facts.converters.append(converter);
    }

    QStringList seen;
    for (const char* place :
         {"/etc/udev/rules.d", "/run/udev/rules.d", "/usr/lib/udev/rules.d", "/lib/udev/rules.d"}) {
        const QDir dir(view.root + QLatin1String(place));
        for (const QFileInfo& file : dir.entryInfoList({QStringLiteral("*.rules")}, QDir::Files)) {
            const QString canonical = file.canonicalFilePath();
            if (seen.contains(canonical))
                continue;
            seen.append(canonical);
            const QString text = ReadSmallFile(file.filePath()).toLower();
            if (text.contains(VendorId) && text.contains(ProductId) &&
                text.contains(QStringLiteral("uaccess")))
                facts.udevRules.append(file.filePath().mid(view.root.size()));
        }
    }

    const QHash<qint64, QString> processes = Processes(view);
    for (const QString& program : processes) {
        if (program == QStringLiteral("ModemManager"))
            facts.modemManagerRunning = true;
        if (program == QStringLiteral("brltty"))
            facts.brlttyPresent = true;
    }
    for (const char* path : {"/usr/bin/brltty", "/bin/brltty", "/usr/sbin/brltty"})
        if (QFileInfo::exists(view.root + QLatin1String(path)))
            facts.brlttyPresent = true;
    return facts;
}

QString KeepOwnerAndMode(int handle, const QString& replaced) {
#ifdef Q_OS_UNIX
    struct stat old {};
    if (::stat(QFile::encodeName(replaced).constData(), &old) != 0)
        return {}; // a new file: the process's own
    struct stat now {};
    if (::fstat(handle, &now) != 0)
        return qt_error_string(errno);
    if ((now.st_uid != old.st_uid || now.st_gid != old.st_gid) &&
        ::fchown(handle, old.st_uid, old.st_gid) != 0)
        return qt_error_string(errno);
    if (::fchmod(handle, old.st_mode & 07777) != 0)
        return qt_error_string(errno);
#else
    Q_UNUSED(handle);
    Q_UNUSED(replaced);
#endif
    return {};
}

bool IsOwnFile(const QFileInfo& file) {
#ifdef Q_OS_UNIX
    return file.ownerId() == ::geteuid();
#else
    Q_UNUSED(file);
    return true;
#endif
}

QString UserDataDirectory() {
#ifdef Q_OS_WIN
    const QString named = qEnvironmentVariable("LOCALAPPDATA");
    if (!named.isEmpty() && QFileInfo(named).isAbsolute())
        return QDir::cleanPath(named);
#endif
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
}

} // namespace korvex
