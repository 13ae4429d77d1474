// A LIN device's firmware file (*.LDR): 8-byte header, image, and the firmware file's CRC-16
// over everything before it.
#pragma once

#include "firmware/FirmwareFile.h"

#include <QString>

#include <array>
#include <cstdint>

namespace korvex {

struct LinFileHeader {
    std::uint32_t targetSerial = 0; // 0 = any device
    std::uint16_t imageVersion = 0; // x100
    std::uint8_t deviceType = 0;
    std::uint8_t boardType = 0;
};

using LinFileError = FirmwareFileError;

class LinFirmwareFile {
public:
    static constexpr int MaxSize = LinFirmwareLayout.maxSize;
    static constexpr int HeaderSize = LinFirmwareLayout.headerSize;
    static constexpr int CrcSize = 2;

    // Reads the whole file and checks its size and CRC. A file too short for a header and a
    // CRC is refused as a bad file before any CRC is computed.
    LinFileError Load(const QString& path);

    const LinFileHeader& header() const { return header_; }
    const std::uint8_t* image() const { return buffer_.data() + HeaderSize; }
    // The image's length, size - 10; only meaningful after a successful load.
    int imageLength() const { return size_ - HeaderSize - CrcSize; }

private:
    std::array<std::uint8_t, MaxSize> buffer_{};
    int size_ = 0;
    LinFileHeader header_;
};

} // namespace korvex
