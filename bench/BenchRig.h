// What the link benchmarks share: a link wired to a fresh virtual controller behind a quiet
// seam, a clock, and the time the bytes need on the controller's line.
#pragma once

#include "host/MonitorState.h"
#include "host/QuietHost.h"
#include "link/DeviceLink.h"
#include "sim/VirtualController.h"
#include "sim/VirtualTransport.h"
#include "text/TextPair.h"

#include <chrono>

namespace korvex::bench {

struct LinkRig {
    sim::VirtualController controller;
    sim::VirtualTransport transport{controller};
    sim::VirtualPortFinder finder{controller};
    QuietHost host;
    MonitorState monitor;
    LanguageState language;
    DeviceLink link{transport, finder, host, monitor, language};
};

// Seconds on a steady clock.
inline double Now() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

// Line time of `bytes` at 115200 baud, 10 bits a byte.
inline double LineSeconds(double bytes) {
    return bytes * 10.0 / 115200.0;
}

} // namespace korvex::bench
