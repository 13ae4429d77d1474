// The firmware file's check.
#include "FirmwareFile.h"

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

} // namespace korvex
