// The byte transport under the frame protocol: a real serial port or the virtual controller.
#pragma once

#include "host/SystemFacts.h"

#include <QString>

#include <cstdint>

namespace korvex {

class SerialTransport {
public:
    virtual ~SerialTransport() = default;

    // Opens the named port with the controller's line settings; false on any failure.
    virtual bool open(const QString& portName) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // Writes all bytes within 50 ms; returns the count written, 0 on failure or time-out.
    virtual int write(const std::uint8_t* data, int count) = 0;
    // Returns at once with what has arrived (possibly 0 bytes).
    virtual int read(std::uint8_t* buffer, int capacity) = 0;
    // Discards pending input and output.
    virtual void purge() = 0;
    // Sleeps until data can be read or `ms` milliseconds have passed; true when data is there.
    virtual bool waitForData(int ms) = 0;
    // Why the last open failed, where the system can say; PortProblem::None otherwise.
    virtual PortDiagnosis diagnoseOpenFailure() const { return {}; }
};

} // namespace korvex
