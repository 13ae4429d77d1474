// How much the tool itself adds to a firmware update: a 60 KiB image written to the virtual
// controller with no added delay, against the time its bytes need on a 115200-baud line.
#include "ProcessCpuTime.h"

#include "BenchRig.h"
#include "firmware/FirmwareUpdate.h"
#include "host/MonitorState.h"
#include "link/DeviceLink.h"
#include "link/IdentityRecord.h"
#include "link/LittleEndian.h"
#include "sim/VirtualController.h"
#include "sim/VirtualTransport.h"
#include "text/TextPair.h"

#include <QFile>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>

using namespace korvex;

namespace {

using bench::LineSeconds;
using bench::LinkRig;
using bench::Now;

bool WriteFirmwareFile(const QString& path, int imageSize) {
    QByteArray bytes(FirmwareHeaderSize, '\0');
    PutU32le(reinterpret_cast<std::uint8_t*>(bytes.data()) + 4, 999); // newer: no question
    PutU32le(reinterpret_cast<std::uint8_t*>(bytes.data()) + 8, 1);
    for (int i = 0; i < imageSize; ++i)
        bytes.append(static_cast<char>(i * 13));
    const std::uint16_t crc = FirmwareCrc16(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                            static_cast<std::size_t>(bytes.size()));
    bytes.append(static_cast<char>(crc & 0xFF)).append(static_cast<char>(crc >> 8));
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

struct Figures {
    double wall = 0;
    double cpu = 0;
};

// One whole update; the controller starts in its bootloader or in its application.
bool RunUpdate(const QString& path, bool bootloader, Figures& f) {
    LinkRig rig;
    rig.controller.bootloaderMode = bootloader;
    IdentityRecord id;
    if (rig.link.device.ComProbe(id) != 0)
        return false;
    FirmwareContext ctx(rig.link, rig.host, rig.monitor, rig.language);
    ctx.chooseFirmwareFile = [&path] { return path; };
    const double wall = Now(), cpu = bench::ProcessCpuSeconds();
    const FirmwareOutcome outcome = UpdateFirmware(ctx);
    f.wall = Now() - wall;
    f.cpu = bench::ProcessCpuSeconds() - cpu;
    return outcome == FirmwareOutcome::Updated &&
           rig.controller.firmware.size() == ctx.file.imageLength() + FirmwareTrailer;
}

} // namespace

int main() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.LDR"));
    const int image = 60 * 1024;
    if (!dir.isValid() || !WriteFirmwareFile(path, image)) {
        std::fprintf(stderr, "cannot write the firmware file\n");
        return 1;
    }
    // L + 64 bytes in 64-byte frames of 70 bytes on the line, each answered by 6 bytes.
    const int frames = (image + FirmwareTrailer + 63) / 64;
    const double lineRequests = frames * 70 * 10.0 / 115200.0;
    const double lineBoth = frames * (70 + 6) * 10.0 / 115200.0;
    std::printf("60 KiB image: %d frames; the line needs %.2f s for the requests, %.2f s with "
                "the replies\n",
                frames, lineRequests, lineBoth);

    const int rounds = 10;
    Figures sum;
    for (int i = 0; i < rounds; ++i) {
        Figures f;
        if (!RunUpdate(path, true, f)) {
            std::fprintf(stderr, "update failed\n");
            return 1;
        }
        sum.wall += f.wall;
        sum.cpu += f.cpu;
    }
    const double wall = sum.wall / rounds, cpu = sum.cpu / rounds;
    std::printf("update, bootloader running: %.1f ms wall, %.1f ms CPU (tool and virtual "
                "controller) = %.2f%% / %.2f%% of %.2f s\n",
                1e3 * wall, 1e3 * cpu, 100.0 * wall / lineRequests, 100.0 * cpu / lineRequests,
                lineRequests);

    // From the application: the hand-over adds the controller's restart, not the tool's work.
    Figures app;
    if (!RunUpdate(path, false, app)) {
        std::fprintf(stderr, "update from the application failed\n");
        return 1;
    }
    std::printf("update, application running: %.1f ms wall (the virtual controller's restart "
                "included), %.1f ms CPU = %.2f%% of %.2f s\n",
                1e3 * app.wall, 1e3 * app.cpu, 100.0 * app.cpu / lineRequests, lineRequests);
    return 0;
}
