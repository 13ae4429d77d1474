// The frame exchange. Waiting for reply bytes sleeps in the transport's bounded wait; the limits
// are 100 ms of silence before the start byte and 50 ms between the bytes of a reply, and the
// hunt for the start byte never lasts longer than one second, however much noise arrives.
#include "FrameProtocol.h"

#include "ResultText.h"
#include "SerialLink.h"
#include "host/Clock.h"
#include "host/UiHost.h"

#include <algorithm>

namespace korvex {

namespace {
constexpr int StartByteLimitMs = 100;
// Another device on a converter of the same kind may stream bytes without ever sending 0x55.
constexpr int HuntLimitMs = 1000;
constexpr int GapLimitMs = 50;
constexpr int Attempts = 3;
constexpr int RetryPauseMs = 10;
constexpr std::uint8_t FirmwareWriteCmd = 0x82;
constexpr int TraceLineLimit = 996;
} // namespace

std::uint8_t FrameCheck(std::uint8_t initial, const std::uint8_t* bytes, int count) {
    std::uint8_t crc = initial;
    for (int i = 0; i < count; ++i) {
        const std::uint8_t x = crc ^ bytes[i];
        crc = static_cast<std::uint8_t>(x << 1);
        if (x & 0x80)
            crc ^= 0x21;
    }
    return crc;
}

bool ReplyStatus(const Frame& reply, int& result) {
    switch (reply.cmd()) {
    case StatusAck:
        result = result::Ok;
        return true;
    case StatusBadParams:
        result = result::BadParams;
        return true;
    case StatusFailed:
        result = result::Failed;
        return true;
    default:
        return false;
    }
}

int FrameProtocol::FrameSend(const Frame& frame) {
    std::uint8_t wire[1 + FrameBufferSize];
    const int len = frame.len() <= FrameMaxPayload ? frame.len() : FrameMaxPayload;
    wire[0] = FrameStartByte;
    std::memcpy(wire + 1, frame.bytes.data(), static_cast<std::size_t>(len + 5));
    if (!serial_.ComIsOpen())
        return result::Disconnected;
    return serial_.ComWrite(wire, len + 6) == len + 6 ? result::Ok : result::Disconnected;
}

int FrameProtocol::FrameReceive(Frame& reply) {
    reply.clear();
    bool hunting = true;
    int stored = 0;
    const std::uint32_t huntStart = host_.clock->Now();
    std::uint32_t lastActivity = huntStart;
    std::uint8_t chunk[100];
    for (;;) {
        if (!serial_.ComIsOpen())
            return result::Disconnected;
        const int got = serial_.ComRead(chunk, static_cast<int>(sizeof chunk));
        if (got > 0) {
            lastActivity = host_.clock->Now();
            for (int i = 0; i < got; ++i) {
                const std::uint8_t b = chunk[i];
                if (hunting) {
                    hunting = b != FrameStartByte;
                    continue;
                }
                reply.bytes[static_cast<std::size_t>(stored++)] = b;
                if (stored == 4 && b > FrameMaxPayload)
                    return result::BadLength;
                // Whatever follows the frame in this read is dropped.
                if (stored >= 5 && stored == reply.len() + 5)
                    return result::Ok;
            }
            if (hunting && static_cast<int>(host_.clock->Now() - huntStart) >= HuntLimitMs)
                return result::Timeout;
            continue;
        }
        const int limit = hunting ? StartByteLimitMs : GapLimitMs;
        const std::uint32_t now = host_.clock->Now();
        const int idle = static_cast<int>(now - lastActivity);
        if (idle >= limit)
            return result::Timeout;
        int wait = limit - idle;
        if (hunting)
            wait = std::min(wait, HuntLimitMs - static_cast<int>(now - huntStart));
        if (wait <= 0)
            return result::Timeout;
        serial_.ComWaitForData(wait);
    }
}

int FrameProtocol::FrameTransact(Frame& frame) {
    while (state_.linkBusy) {
        host_.WaitMs(1, true);
        if (state_.appClosing)
            return result::Disconnected;
    }
    host_.ProcessEvents();
    state_.linkBusy = 1;

    serial_.ComPurge();
    const int len = frame.len() <= FrameMaxPayload ? frame.len() : FrameMaxPayload;
    frame.bytes[static_cast<std::size_t>(4 + len)] = FrameCheck(0, frame.bytes.data(), len + 4);
    TraceFrame('>', frame);

    int rc = FrameSend(frame);
    Frame reply;
    if (rc == result::Ok)
        rc = FrameReceive(reply);
    if (rc == result::Ok) {
        TraceFrame('<', reply);
        if (reply.len() > FrameMaxPayload ||
            FrameCheck(0, reply.bytes.data(), reply.len() + 4) != reply.check())
            rc = result::BadFrame;
    }
    if (rc == result::Ok)
        frame = reply;
    state_.linkBusy = 0;
    return rc;
}

int FrameProtocol::FrameTransactRetry(Frame& frame) {
    int rc = result::Ok;
    for (int attempt = 0; attempt < Attempts; ++attempt) {
        if (attempt > 0)
            host_.WaitMs(RetryPauseMs, true);
        rc = FrameTransact(frame);
        // A firmware chunk is never sent twice: the bootloader may already have taken it.
        if (rc == result::Ok || frame.cmd() == FirmwareWriteCmd)
            break;
    }
    return rc;
}

QString TraceLineText(std::uint32_t elapsedMs, char direction, const Frame& frame) {
    QString line = QString::asprintf(
        "%6u.%03u %c CMD:%02X OFFSET:%04u LEN:%02u", static_cast<unsigned>(elapsedMs / 1000),
        static_cast<unsigned>(elapsedMs % 1000), direction, static_cast<unsigned>(frame.cmd()),
        static_cast<unsigned>(frame.offset()), static_cast<unsigned>(frame.len()));
    if (frame.len() != 0) {
        static const char Hex[] = "0123456789ABCDEF";
        line += QStringLiteral(" [");
        const int len = frame.len() <= FrameMaxPayload ? frame.len() : FrameMaxPayload;
        for (int i = 0; i < len && line.size() < TraceLineLimit; ++i) {
            line += QLatin1Char(Hex[frame.payload()[i] >> 4]);
            line += QLatin1Char(Hex[frame.payload()[i] & 0x0F]);
        }
        line += QLatin1Char(']');
    }
    return line;
}

void FrameProtocol::TraceFrame(char direction, const Frame& frame) {
    // The identity poll runs on every monitor tick; tracing it would drown everything else.
    if (frame.cmd() == 0x01 || frame.cmd() == 0x81 || !state_.traceEnabled)
        return;
    const std::uint32_t now = host_.clock->Now();
    if (state_.traceStart == 0)
        state_.traceStart = now != 0 ? now : 1;
    host_.TraceLine(TraceLineText(now - state_.traceStart, direction, frame));
}

} // namespace korvex
