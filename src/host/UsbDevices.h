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
// other systems, which are asked through their files instead. A test of the whole program
// names a list of its own in KORVEX_FAKE_USB_DEVICES, on any system: hardware ids separated by
// ';', each with "=CODE" for a device with that problem code and no driver.
std::optional<QList<UsbDeviceEntry>> ListPresentUsbDevices();
// That list's form, read.
QList<UsbDeviceEntry> ParseUsbDeviceList(const QString& text);

} // namespace korvex
