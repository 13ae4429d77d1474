// Memory access by offset.
#include "DeviceAccess.h"

#include "PortDoctor.h"

#include "FrameProtocol.h"
#include "IdentityRecord.h"
#include "ResultText.h"
#include "SerialLink.h"
#include "host/MonitorState.h"
#include "host/UiHost.h"
#include "text/TextPair.h"

#include <algorithm>
#include <cstring>

namespace korvex {

namespace {
// Offsets are 16 bits wide: a transfer past 65,536 bytes would wrap onto the start of the area.
constexpr int AreaLimit = 0x10000;
constexpr int BlockReadBuffer = 1024;
} // namespace

int DeviceAccess::DeviceRead(int area, std::uint16_t offset, std::uint8_t* destination,
                             int capacity, int* count) {
    if (destination != nullptr && capacity > 0)
        std::memset(destination, 0, static_cast<std::size_t>(capacity));
    Frame frame = Frame::request(static_cast<std::uint8_t>(area & 0x7F), offset);
    const int rc = frames_.FrameTransactRetry(frame);
    if (rc != result::Ok)
        return rc;
    int status = 0;
    if (ReplyStatus(frame, status)) {
        // An acknowledgement carries no data.
        if (count != nullptr)
            *count = 0;
        return status;
    }
    if (frame.cmd() != ((area & 0x7F) | 0x80) || frame.offset() != offset)
        return result::BadReadReply;
    const int n = std::min(capacity, static_cast<int>(frame.len()));
    if (destination != nullptr && n > 0)
        std::memcpy(destination, frame.payload(), static_cast<std::size_t>(n));
    if (count != nullptr)
        *count = frame.len();
    return result::Ok;
}

int DeviceAccess::DeviceWrite(int area, std::uint16_t offset, const std::uint8_t* source,
                              int count) {
    if (count > FrameMaxPayload || count < 0)
        return result::BadParams;
    Frame frame =
        Frame::request(static_cast<std::uint8_t>((area & 0x7F) | 0x80), offset, source, count);
    const int rc = frames_.FrameTransactRetry(frame);
    if (rc != result::Ok)
        return rc;
    int status = 0;
    if (frame.offset() == offset && ReplyStatus(frame, status))
        return status;
    return result::BadWriteReply;
}

int DeviceAccess::DeviceReadBlock(int area, int start, std::uint8_t* destination, int total) {
    if (start < 0 || total < 0 || start + total > AreaLimit)
        return result::BadParams;
    int position = start;
    int missing = total;
    int received = 0;
    std::uint8_t buffer[BlockReadBuffer];
    while (missing > 0) {
        int count = 0;
        const int rc =
            DeviceRead(area, static_cast<std::uint16_t>(position), buffer, BlockReadBuffer, &count);
        if (rc != result::Ok)
            return rc;
        if (count <= 0)
            break;
        const int take = std::min(count, missing);
        host_.ProgressStep(take);
        std::memcpy(destination + received, buffer, static_cast<std::size_t>(take));
        position += take;
        received += take;
        missing -= take;
    }
    return received == total ? result::Ok : result::BadLength;
}

int DeviceAccess::DeviceWriteBlock(int area, int start, const std::uint8_t* source, int total,
                                   int chunk) {
    if (start < 0 || total < 0 || chunk <= 0 || start + total > AreaLimit)
        return result::BadParams;
    int position = start;
    int remaining = total;
    do {
        const int length = std::min(remaining, chunk);
        const int rc = DeviceWrite(area, static_cast<std::uint16_t>(position),
                                   length > 0 ? source : nullptr, length);
        if (rc != result::Ok)
            return rc;
        host_.ProgressStep(length);
        source += length;
        position += length;
        remaining -= length;
    } while (remaining != 0);
    return result::Ok;
}

int DeviceAccess::ReadIdentity(IdentityRecord& record) {
    int count = 0;
    const int rc = DeviceRead(area::Identity, 0, record.raw.data(), IdentityRecord::Size, &count);
    // A bare acknowledgement, a cut record or one without a name (nothing but spaces or control
    // bytes) is no controller's: taken as
    // none that answered, so that nothing is written to whatever sent it.
    if (rc == result::Ok && (count < IdentityRecord::Size || !record.hasName()))
        return result::Timeout;
    return rc;
}

void DeviceAccess::PrintIdentity(const IdentityRecord& record) {
    const QStringList lines = IdentityLines(record, language_.current);
    for (const QString& line : lines)
        host_.LogLine(line);
}

int DeviceAccess::ReadAndPrintIdentity(IdentityRecord& record) {
    const int rc = ReadIdentity(record);
    if (rc == result::Ok) {
        host_.LogLine(IdentityHeader(language_.current));
        PrintIdentity(record);
    }
    return rc;
}

int DeviceAccess::ComProbe(IdentityRecord& record) {
    SerialLink& serial = frames_.serial();
    int rc = serial.ComConnect();
    const QString& port = serial.ports().portName;
    const PortDiagnosis& why = serial.openFailure();
    if (rc == result::Ok) {
        reportedProblems_.removeIf(
            [&port](const QString& key) { return key.startsWith(port + u'\n'); });
        rc = ReadIdentity(record);
    } else if (why.problem != PortProblem::None && logPortProblems) {
        const QString key = port + u'\n' + QString::number(int(why.problem));
        if (!reportedProblems_.contains(key)) {
            reportedProblems_.insert(key);
            host_.LogLine(PortProblemText(why, language_.current));
        }
    }
    if (rc == result::Ok)
        return rc;
    monitor_.controllerConnected = false;
    serial.ComClose();
    serial.AdvancePort();
    return rc;
}

} // namespace korvex
