// SetupAPI's list of present USB devices with each one's device node status.
#include "UsbDevices.h"

#ifdef Q_OS_WIN
#include <windows.h>
// windows.h first: these need its types.
#include <cfgmgr32.h>
#include <setupapi.h>

#include <vector>
#endif

namespace korvex {

QList<UsbDeviceEntry> ParseUsbDeviceList(const QString& text) {
    QList<UsbDeviceEntry> devices;
    for (const QString& item : text.split(u';', Qt::SkipEmptyParts)) {
        UsbDeviceEntry device;
        const qsizetype equals = item.indexOf(u'=');
        device.hardwareIds << item.left(equals).trimmed();
        if (equals >= 0) {
            device.problem = item.mid(equals + 1).trimmed().toUInt();
            device.driverLoaded = false;
        }
        devices.append(device);
    }
    return devices;
}

std::optional<QList<UsbDeviceEntry>> ListPresentUsbDevices() {
    if (qEnvironmentVariableIsSet("KORVEX_FAKE_USB_DEVICES"))
        return ParseUsbDeviceList(qEnvironmentVariable("KORVEX_FAKE_USB_DEVICES"));
#ifdef Q_OS_WIN
    QList<UsbDeviceEntry> devices;
    const HDEVINFO set =
        SetupDiGetClassDevsW(nullptr, L"USB", nullptr, DIGCF_ALLCLASSES | DIGCF_PRESENT);
    if (set == INVALID_HANDLE_VALUE)
        return devices; // no USB enumerator at all: no USB device either
    SP_DEVINFO_DATA info{};
    info.cbSize = sizeof info;
    for (DWORD i = 0; SetupDiEnumDeviceInfo(set, i, &info); ++i) {
        DWORD size = 0;
        SetupDiGetDeviceRegistryPropertyW(set, &info, SPDRP_HARDWAREID, nullptr, nullptr, 0, &size);
        if (size == 0)
            continue;
        // Two terminating zeros more than the system promises, so that a list it did not end
        // still ends here.
        std::vector<wchar_t> ids(size / sizeof(wchar_t) + 2, L'\0');
        if (!SetupDiGetDeviceRegistryPropertyW(set, &info, SPDRP_HARDWAREID, nullptr,
                                               reinterpret_cast<PBYTE>(ids.data()), size, nullptr))
            continue;
        UsbDeviceEntry device;
        for (const wchar_t* id = ids.data(); *id != L'\0'; id += wcslen(id) + 1)
            device.hardwareIds << QString::fromWCharArray(id);
        ULONG status = 0, problem = 0;
        if (CM_Get_DevNode_Status(&status, &problem, info.DevInst, 0) == CR_SUCCESS) {
            device.problem = (status & DN_HAS_PROBLEM) != 0 ? unsigned(problem) : 0;
            device.driverLoaded = (status & DN_DRIVER_LOADED) != 0;
        }
        devices.append(device);
    }
    SetupDiDestroyDeviceInfoList(set);
    return devices;
#else
    return std::nullopt;
#endif
}

} // namespace korvex
