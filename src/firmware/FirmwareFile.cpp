// Reading and checking firmware files.
#include "FirmwareFile.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace korvex {

std::uint16_t FirmwareCrc16(const std::uint8_t* bytes, std::size_t count) {
    // The byte-wise form of the bit-serial CRC: no table needed for 64 KiB once per update.
    std::uint16_t crc = 0;
    for (std::size_t i = 0; i < count; ++i) {
        std::uint16_t x = static_cast<std::uint16_t>((crc >> 8) ^ bytes[i]);
        x = static_cast<std::uint16_t>(x ^ (x >> 4));
        crc = static_cast<std::uint16_t>((crc << 8) ^ (x << 12) ^ (x << 5) ^ x);
    }
    return crc;
}

FirmwareFileError LoadFirmwareBytes(const QString& path, const FirmwareLayout& layout,
                                    std::uint8_t* buffer, std::size_t capacity, int& size) {
    // Anything but a regular file (a FIFO would block the open for good) cannot be opened.
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return FirmwareFileError::Open;
    const qint64 length = file.size();
    if (length > layout.maxSize || length > static_cast<qint64>(capacity))
        return FirmwareFileError::Size;
    size = static_cast<int>(length);
    const qint64 got = file.read(reinterpret_cast<char*>(buffer), length);
    std::fill(buffer + std::max<qint64>(got, 0), buffer + capacity, std::uint8_t{0});
    if (got < length)
        return FirmwareFileError::Read;
    // Header and CRC alone would "flash" nothing but the CRC and zeros.
    if (size <= layout.headerSize + FirmwareCrcSize)
        return FirmwareFileError::Bad;
    const auto covered = static_cast<std::size_t>(size - FirmwareCrcSize);
    if (FirmwareCrc16(buffer, covered) != GetU16le(buffer + covered))
        return FirmwareFileError::Bad;
    return FirmwareFileError::None;
}

} // namespace korvex
