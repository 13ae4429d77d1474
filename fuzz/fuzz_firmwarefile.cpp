// Firmware files of the controller and of LIN devices, on any bytes. The first byte is the
// harness's switch: with its low bit set the file's CRC is made right, so that the checks behind
// the CRC are reached.
#include "FuzzSupport.h"
#include "firmware/FirmwareFile.h"
#include "firmware/FirmwareUpdate.h"
#include "host/Clock.h"
#include "host/MonitorState.h"
#include "host/QuietHost.h"
#include "lin/LinFirmwareFile.h"
#include "lin/LinProgrammer.h"
#include "link/DeviceLink.h"
#include "link/PortFinder.h"
#include "link/QtSerialTransport.h"
#include "text/TextPair.h"

using namespace korvex;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    const bool fixCrc = (in.byte() & 1) != 0;
    QByteArray file = in.rest();
    if (fixCrc && file.size() >= 2) {
        const auto crc = FirmwareCrc16(reinterpret_cast<const std::uint8_t*>(file.constData()),
                                       static_cast<std::size_t>(file.size() - 2));
        file[file.size() - 2] = static_cast<char>(crc & 0xFF);
        file[file.size() - 1] = static_cast<char>(crc >> 8);
    }
    const QString path = fuzz::ScratchFile(file, ".LDR");

    // The loaders as the update and the LIN page run them; nothing reaches a port.
    QuietHost host;
    ManualClock clock; // pauses of a transfer that starts cost nothing
    host.clock = &clock;
    QtSerialTransport transport;
    FixedPortFinder finder({});
    MonitorState monitor;
    LanguageState language;
    DeviceLink link(transport, finder, host, monitor, language);
    FirmwareContext update(link, host, monitor, language);
    LoadFirmwareFile(update, path);
    LinProgrammer lin(link.frames, host, language);
    // Loaded as the LIN page does; without a device read first, nothing is flashed.
    lin.FlashFromFile([&path] { return path; }, nullptr);
    return 0;
}
