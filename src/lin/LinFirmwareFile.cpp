// Loading and checking a LIN firmware file.
#include "LinFirmwareFile.h"

#include "link/LittleEndian.h"

namespace korvex {

LinFileError LinFirmwareFile::Load(const QString& path) {
    const LinFileError error =
        LoadFirmwareBytes(path, LinFirmwareLayout, buffer_.data(), buffer_.size(), size_);
    if (error != LinFileError::None)
        return error;
    header_.targetSerial = GetU32le(&buffer_[0]);
    header_.imageVersion = GetU16le(&buffer_[4]);
    header_.deviceType = buffer_[6];
    header_.boardType = buffer_[7];
    return LinFileError::None;
}

} // namespace korvex
