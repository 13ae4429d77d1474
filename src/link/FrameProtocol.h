// One request frame, one reply frame: check byte, the synchronous exchange, retries and the
// frame trace.
#pragma once

#include "Frame.h"
#include "LinkState.h"

#include <cstdint>

namespace korvex {

class SerialLink;
class UiHost;
struct LanguageState;

// The 8-bit check byte: one shift per byte, XOR 0x21 when the top bit falls out.
std::uint8_t FrameCheck(std::uint8_t initial, const std::uint8_t* bytes, int count);

// True when the reply's cmd is a status code; `result` is then 0, -254 or -253.
bool ReplyStatus(const Frame& reply, int& result);

class FrameProtocol {
public:
    FrameProtocol(SerialLink& serial, UiHost& host, LinkState& state)
        : serial_(serial), host_(host), state_(state) {}

    int FrameSend(const Frame& frame);
    int FrameReceive(Frame& reply);
    int FrameTransact(Frame& frame);
    int FrameTransactRetry(Frame& frame);
    void TraceFrame(char direction, const Frame& frame);

    LinkState& state() { return state_; }
    UiHost& host() { return host_; }
    SerialLink& serial() { return serial_; }

private:
    SerialLink& serial_;
    UiHost& host_;
    LinkState& state_;
};

// The trace line of one frame, without the time stamp's bookkeeping.
QString TraceLineText(std::uint32_t elapsedMs, char direction, const Frame& frame);

} // namespace korvex
