// The controller's firmware file (*.LDR): 12-byte header, image, CRC-16 over both.
#pragma once

#include "link/LittleEndian.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace korvex {

constexpr int FirmwareMaxFileSize = 65536;
constexpr int FirmwareHeaderSize = 12;
constexpr int FirmwareCrcSize = 2;
constexpr int FirmwareMinFileSize = FirmwareHeaderSize + FirmwareCrcSize; // 14
// The block write sends the image and 64 bytes more: the file's CRC and what lies behind it.
constexpr int FirmwareTrailer = 64;
// Offsets are 16 bits wide, so the image and its trailer must end at 65,536.
constexpr int FirmwareMaxImage = 0x10000 - FirmwareTrailer; // 65,472

// CRC-16/XMODEM: polynomial 0x1021, initial value 0, no reflection, no final XOR.
std::uint16_t FirmwareCrc16(const std::uint8_t* bytes, std::size_t count);

struct FirmwareFile {
    // Room for the largest file and the trailer, so the transfer never reads outside it.
    std::vector<std::uint8_t> buffer =
        std::vector<std::uint8_t>(FirmwareMaxFileSize + FirmwareTrailer, 0);
    int size = 0; // the file's length
    std::array<std::uint8_t, FirmwareHeaderSize> header{};

    std::uint32_t targetSerial() const { return GetU32le(&header[0]); } // 0 = any controller
    std::uint32_t imageVersion() const { return GetU32le(&header[4]); } // x100
    std::uint32_t targetType() const { return GetU32le(&header[8]); }
    int imageLength() const { return size - FirmwareMinFileSize; }
    const std::uint8_t* image() const { return buffer.data() + FirmwareHeaderSize; }
};

} // namespace korvex
