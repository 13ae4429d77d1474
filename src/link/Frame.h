// The request/reply unit on the serial link: cmd, 16-bit offset, len 0..64, payload, check byte.
#pragma once

#include "LittleEndian.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace korvex {

constexpr int FrameMaxPayload = 64;
constexpr int FrameBufferSize = 4 + FrameMaxPayload + 1; // 69
constexpr std::uint8_t FrameStartByte = 0x55;

// Reply status codes carried in a reply's cmd.
constexpr std::uint8_t StatusAck = 0xFF;
constexpr std::uint8_t StatusBadParams = 0xFE;
constexpr std::uint8_t StatusFailed = 0xFD;

struct Frame {
    std::array<std::uint8_t, FrameBufferSize> bytes{};

    std::uint8_t cmd() const { return bytes[0]; }
    std::uint16_t offset() const { return GetU16le(&bytes[1]); }
    std::uint8_t len() const { return bytes[3]; }
    const std::uint8_t* payload() const { return &bytes[4]; }
    std::uint8_t* payload() { return &bytes[4]; }
    // Only meaningful while len is at most 64.
    std::uint8_t check() const { return bytes[4 + (len() <= FrameMaxPayload ? len() : 0)]; }

    void clear() { bytes.fill(0); }
    void setHeader(std::uint8_t cmd, std::uint16_t offset, std::uint8_t len) {
        bytes[0] = cmd;
        PutU16le(&bytes[1], offset);
        bytes[3] = len;
    }

    static Frame request(std::uint8_t cmd, std::uint16_t offset, const std::uint8_t* data = nullptr,
                         int len = 0) {
        Frame f;
        if (len > FrameMaxPayload)
            len = FrameMaxPayload;
        f.setHeader(cmd, offset, static_cast<std::uint8_t>(len < 0 ? 0 : len));
        if (data != nullptr && len > 0)
            std::memcpy(f.payload(), data, static_cast<std::size_t>(len));
        return f;
    }
};

} // namespace korvex
