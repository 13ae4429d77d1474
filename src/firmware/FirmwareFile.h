// The firmware files (*.LDR) of the controller and of its LIN devices: header, image, CRC-16 over
// both. The controller's header has 12 bytes, a LIN device's 8; one loader reads and checks both.
#pragma once

#include "host/FileTexts.h"
#include "link/LittleEndian.h"

#include <QString>

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

// What a firmware file may be: its largest size and the length of its header.
struct FirmwareLayout {
    int maxSize;
    int headerSize;
};
// An image longer than 65,472 bytes cannot be sent with its trailer: the offsets would wrap to
// 0 and overwrite the start of the new image.
inline constexpr FirmwareLayout ControllerFirmwareLayout{
    FirmwareMaxImage + FirmwareMinFileSize < FirmwareMaxFileSize
        ? FirmwareMaxImage + FirmwareMinFileSize
        : FirmwareMaxFileSize,
    FirmwareHeaderSize};
inline constexpr FirmwareLayout LinFirmwareLayout{8192, 8};

// Why a file was refused, in the order the checks run.
enum class FirmwareFileError { None, Open, Size, Read, Bad };

// Reads the whole file into `buffer` (of `capacity` bytes, at least the layout's largest size)
// and checks it: a regular file, size limit, a complete read, an image between header and CRC
// (a shorter file is bad before any CRC is computed), the CRC over everything before it. Behind the
// file the buffer is zero, never what an earlier, longer file left there. `size` receives the
// file's length.
FirmwareFileError LoadFirmwareBytes(const QString& path, const FirmwareLayout& layout,
                                    std::uint8_t* buffer, std::size_t capacity, int& size);

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
