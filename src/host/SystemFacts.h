// What the operating system says about the converter's ports: the USB devices and their drivers,
// the device nodes with their owner groups, who holds a port, the udev rules and the programs
// known to claim the converter. Everything system-specific of the program is in SystemFacts.cpp;
// the files it reads (sysfs, /dev, /etc/group, /proc) are looked up under a root directory, so
// the checks also run on a fake tree. Where those files do not exist (Windows), the facts are
// simply empty.
#pragma once

#include "host/UsbDevices.h"

#include <QFileInfo>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace korvex {

// Where the checks look and for whom.
struct SystemView {
    QString root;                         // prefix of every system path; empty: the real system
    std::optional<quint32> uid;           // the user; unset: this process's
    std::optional<QList<quint32>> groups; // the user's groups; unset: this process's
    QString userName;                     // empty: from the environment
    // The device manager's USB devices in place of the system's (Windows' list on any system).
    std::optional<QList<UsbDeviceEntry>> usbDevices;
    bool real() const { return root.isEmpty(); }
};

struct DeviceNode {
    QString path; // "/dev/ttyUSB0", as the user names it (without the root)
    bool exists = false;
    QString groupName; // the owner group, its number when /etc/group does not name it
    bool userInGroup = false;
    bool userMayOpen = false;
};

struct PortHolder {
    qint64 pid = 0;
    QString program;
};

enum class PortProblem { None, PermissionDenied, Busy, Gone };

// Why a port could not be opened, with what the user needs to mend it.
struct PortDiagnosis {
    PortProblem problem = PortProblem::None;
    DeviceNode node;
    QList<PortHolder> holders; // the programs that hold it, where the system lets us see them
    QString userName;
};

// How the serial port itself reported the failed open.
enum class OpenError { None, NotFound, Refused, Other };

// Called only after an open failed. On the real system the node is tried once more, only to
// learn the system's reason (a success is closed at once: another program's lock refused it).
PortDiagnosis DiagnosePort(const QString& portName, OpenError error, const SystemView& view);

struct ConverterFacts {
    QString usbDevice; // the sysfs name, "1-1.2"
    QString driver;    // bound to its interface; empty when none is
    QList<DeviceNode> ttys;
    QList<PortHolder> holders; // of any of its ttys
};

struct SystemFacts {
    bool hasUsbView = false; // sysfs is there to look at (not on Windows)
    QList<ConverterFacts> converters;
    QStringList udevRules; // rule files that give the converter to the user
    bool modemManagerRunning = false;
    bool brlttyPresent = false;
    QString userName;
    // Windows' present USB devices; unset where the system is seen through its files.
    std::optional<QList<UsbDeviceEntry>> usbDevices;
};

SystemFacts GatherSystemFacts(const SystemView& view);

// Gives the open file `handle` (a save's temporary file) the owner, group and mode of the file
// it will replace, so that a save as root leaves the user's file the user's. The system's reason
// when it cannot; nothing to do on Windows.
QString KeepOwnerAndMode(int handle, const QString& replaced);

// The file belongs to this process's user (on Windows, where owners are not compared: always).
bool IsOwnFile(const QFileInfo& file);

// The user's own data folder, where the snapshots go: XDG_DATA_HOME's on Linux; on Windows the
// folder %LOCALAPPDATA% names, which Windows sets for every process and a test may point
// elsewhere, as XDG_DATA_HOME is on Linux.
QString UserDataDirectory();

} // namespace korvex
