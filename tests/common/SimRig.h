// A link wired to a fresh virtual controller, for tests.
#pragma once

#include "TestHost.h"
#include "host/MonitorState.h"
#include "link/DeviceLink.h"
#include "link/IdentityRecord.h"
#include "sim/VirtualController.h"
#include "sim/VirtualTransport.h"
#include "text/TextPair.h"

namespace korvex::test {

struct SimRig {
    SimRig() { language.current = LangEnglish; }

    sim::VirtualController controller;
    sim::VirtualTransport transport{controller};
    sim::VirtualPortFinder finder{controller};
    TestHost host;
    MonitorState monitor;
    LanguageState language;
    DeviceLink link{transport, finder, host, monitor, language};

    // Opens the controller's port the way the monitor does.
    bool connect() {
        IdentityRecord id;
        return link.device.ComProbe(id) == 0;
    }
    DeviceAccess& device() { return link.device; }
};

} // namespace korvex::test
