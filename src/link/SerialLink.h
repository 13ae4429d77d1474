// The one serial connection to the controller: choosing a candidate port round-robin, opening
// it, and moving raw bytes with short bounded waits.
#pragma once

#include "LinkState.h"
#include "host/SystemFacts.h"

#include <cstdint>

namespace korvex {

class SerialTransport;
class PortFinder;

class SerialLink {
public:
    SerialLink(SerialTransport& transport, PortFinder& finder, PortState& ports)
        : transport_(transport), finder_(finder), ports_(ports) {}

    int ComOpen(const QString& portName); // 0, or 12 on any failure
    void ComClose();
    int ComWrite(const std::uint8_t* data, int count); // bytes written, 0 when closed
    int ComRead(std::uint8_t* buffer, int capacity);   // bytes read, 0 when none
    void ComPurge();
    bool ComWaitForData(int ms);
    bool ComIsOpen() const;
    void ComFindPorts();
    // Ensures a port is open, choosing the next candidate; 0 or 12.
    int ComConnect();
    // The next probe tries the next candidate.
    void AdvancePort() { ++ports_.portIndex; }

    const PortState& ports() const { return ports_; }
    // Why the last open failed, where the system can say; cleared by an open that succeeds.
    const PortDiagnosis& openFailure() const { return openFailure_; }

private:
    SerialTransport& transport_;
    PortFinder& finder_;
    PortState& ports_;
    PortDiagnosis openFailure_;
};

} // namespace korvex
