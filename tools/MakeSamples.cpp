// Writes the sample files of the samples/ folder: a configuration for the controller and firmware
// files for the virtual controller and for its LIN lamp, so that a new user can try every
// command on `--demo`.    korvex-make-samples DIR
#include "cli/CliHost.h"
#include "config/ConfigFile.h"
#include "firmware/FirmwareFile.h"
#include "link/LittleEndian.h"
#include "sim/VirtualController.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstring>

using namespace korvex;

namespace {

// An image whose bytes are not all alike, so that a transfer that loses or repeats a chunk shows.
QByteArray Image(int size) {
    QByteArray image(size, '\0');
    for (int i = 0; i < size; ++i)
        image[i] = static_cast<char>((i * 13 + i / 256) & 0xFF);
    return image;
}

// The virtual devices run what they are given: the image names its version where they look.
QByteArray Marked(QByteArray image, std::uint32_t version) {
    QByteArray mark(sim::VersionMark, 4);
    mark.resize(8);
    PutU32le(reinterpret_cast<std::uint8_t*>(mark.data()) + 4, version);
    return image.replace(16, mark.size(), mark);
}

QByteArray WithCrc(QByteArray bytes) {
    const std::uint16_t crc = FirmwareCrc16(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                            static_cast<std::size_t>(bytes.size()));
    bytes.append(static_cast<char>(crc & 0xFF)).append(static_cast<char>(crc >> 8));
    return bytes;
}

// Any controller of the virtual controller's type, one version above it.
QByteArray ControllerFirmware() {
    const sim::VirtualController controller;
    QByteArray header(FirmwareHeaderSize, '\0');
    auto* h = reinterpret_cast<std::uint8_t*>(header.data());
    PutU32le(h, 0);
    PutU32le(h + 4, controller.appVersion + 1);
    PutU32le(h + 8, controller.deviceType);
    return WithCrc(header + Marked(Image(4096), controller.appVersion + 1));
}

// Any lamp of the virtual lamp's device and board, a newer version than it runs; 1088 bytes of
// image take block numbers above 255.
QByteArray LampFirmware() {
    const sim::VirtualLinLamp lamp;
    QByteArray header(LinFirmwareLayout.headerSize, '\0');
    auto* h = reinterpret_cast<std::uint8_t*>(header.data());
    PutU16le(h + 4, static_cast<std::uint16_t>(lamp.appVersion + 10));
    h[6] = lamp.deviceType;
    h[7] = lamp.boardType;
    return WithCrc(header + Marked(Image(1088), lamp.appVersion + 10u));
}

// The factory configuration and one more entry: 5 s after reaction 2, output X2/1 for 30 s.
ConfigImage Configuration() {
    ConfigImage image;
    image.bytes = sim::FactoryConfiguration();
    std::uint8_t* e = image.bytes.data() + EntryOffset(2);
    std::memcpy(e, "X2/1 30s", 8);
    e[10] = 3, e[11] = 0x05, e[12] = 2, e[19] = 3, e[20] = 1;
    PutU32le(e + 13, 5000);
    e[21] = 2, e[22] = 1, e[23] = 3;
    PutU16le(e + 24, 30000);
    return image;
}

bool Write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (argc != 2) {
        err << "usage: korvex-make-samples DIR" << Qt::endl;
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    CliHost host(out, err);
    const QString config = dir.filePath(QStringLiteral("demo.KSWA"));
    QFile::remove(config); // the configuration writer keeps what a file held
    const QString error = SaveConfigFile(config, Configuration(), host, LangEnglish).error;
    if (!error.isEmpty()) {
        err << error << Qt::endl;
        return 1;
    }
    for (const auto& [name, bytes] :
         {std::pair{QStringLiteral("controller-1.37.LDR"), ControllerFirmware()},
          std::pair{QStringLiteral("lamp-1.20.LDR"), LampFirmware()}}) {
        if (!Write(dir.filePath(name), bytes)) {
            err << "cannot write " << dir.filePath(name) << Qt::endl;
            return 1;
        }
    }
    return 0;
}
