// The controller's 50-byte self-description (memory area 1, offset 0).
#pragma once

#include "LittleEndian.h"

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>

namespace korvex {

struct IdentityRecord {
    static constexpr int Size = 50;
    std::array<std::uint8_t, Size> raw{};

    std::uint32_t appVersion() const { return GetU32le(&raw[0]); } // x100, 0 = no application
    std::uint32_t serialNumber() const { return GetU32le(&raw[4]); }
    std::uint32_t bootVersion() const { return GetU32le(&raw[8]); }
    std::uint32_t deviceType() const { return GetU32le(&raw[12]); }
    QString deviceName() const;
    // The name holds a printable character that is not a space: one of only spaces or control
    // bytes is no controller's.
    bool hasName() const;
    std::uint16_t statusWord() const { return GetU16le(&raw[48]); }
    void setStatusWord(std::uint16_t w) { PutU16le(&raw[48], w); }
    // The bootloader runs exactly when the name contains this text.
    bool isBootloader() const;
    void clear() { raw.fill(0); }
};

inline constexpr char BootloaderNameMark[] = "KORVEX-SWC-ADP-BOOT";

// The four lines that describe the controller in the log window.
QStringList IdentityLines(const IdentityRecord& id, int language);
// "**** Device ****", the line before them when a controller is first shown.
QString IdentityHeader(int language);

} // namespace korvex
