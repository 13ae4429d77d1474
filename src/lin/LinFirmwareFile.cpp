// Loading and checking a LIN firmware file.
#include "LinFirmwareFile.h"

#include "firmware/FirmwareFile.h"
#include "link/LittleEndian.h"

#include <QFile>
#include <QFileInfo>

namespace korvex {

LinFileError LinFirmwareFile::Load(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return LinFileError::Open;
    const qint64 length = file.size();
    if (length > MaxSize)
        return LinFileError::Size;
    const qint64 got = file.read(reinterpret_cast<char*>(buffer_.data()), length);
    if (got != length)
        return LinFileError::Read;
    size_ = static_cast<int>(length);
    // Without a whole header and CRC the CRC would be taken over a negative length.
    if (size_ < HeaderSize + CrcSize)
        return LinFileError::Bad;
    const auto* end = buffer_.data() + size_;
    if (FirmwareCrc16(buffer_.data(), static_cast<std::size_t>(size_ - CrcSize)) !=
        GetU16le(end - CrcSize))
        return LinFileError::Bad;
    header_.targetSerial = GetU32le(&buffer_[0]);
    header_.imageVersion = GetU16le(&buffer_[4]);
    header_.deviceType = buffer_[6];
    header_.boardType = buffer_[7];
    return LinFileError::None;
}

FileNameParts SplitFileName(const QString& path) {
    const QString file = QFileInfo(path).fileName();
    const qsizetype dot = file.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        return {file.toUtf8(), {}};
    return {file.left(dot).toUtf8(), file.mid(dot).toUtf8()};
}

} // namespace korvex
