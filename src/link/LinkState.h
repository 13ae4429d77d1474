// Process-wide state of the serial link.
#pragma once

#include <QStringList>

#include <cstdint>

namespace korvex {

struct PortState {
    QStringList portList; // candidate ports from the last search, in the system's order
    int portIndex = 0;    // round-robin position of the next port to try
    QString portName;     // port last chosen, empty when there was no candidate
};

struct LinkState {
    int linkBusy = 0;             // an exchange is between its purge and its reply
    std::uint32_t traceStart = 0; // tick of the first traced frame, 0 until then
    bool appClosing = false;      // waiting exchanges give up during shutdown
    bool traceEnabled = false;    // the "Communication log" menu item is checked
};

} // namespace korvex
