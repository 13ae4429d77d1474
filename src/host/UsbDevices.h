// The present USB devices as Windows' device manager lists them (SetupAPI): their hardware ids
// and whether a driver runs them. The only place the program asks that of the system.
#pragma once

#include <QList>
#include <QStringList>

#include <optional>

namespace korvex {

struct UsbDeviceEntry {
    QStringList hardwareIds; // "USB\VID_1A86&PID_7523&REV_0264", "USB\VID_1A86&PID_7523"
    unsigned problem = 0;    // the device manager's problem code; 0 when it has none
    bool driverLoaded = true;
};

// The present USB devices on Windows (an empty list where none are, as under Wine); nothing on
// other systems, which are asked through their files instead.
std::optional<QList<UsbDeviceEntry>> ListPresentUsbDevices();

} // namespace korvex
