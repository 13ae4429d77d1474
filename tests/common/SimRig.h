// A link wired to a fresh virtual controller, for tests.
#pragma once

#include "TestHost.h"
#include "app/ConnectionMonitor.h"
#include "config/ConfigImage.h"
#include "config/ConfigTransfer.h"
#include "host/Clock.h"
#include "host/MonitorState.h"
#include "link/DeviceLink.h"
#include "link/IdentityRecord.h"
#include "sim/VirtualController.h"
#include "sim/VirtualTransport.h"
#include "text/TextPair.h"

namespace korvex::test {

struct SimRig {
    // On manual time every wait and time-out moves `clock` on instead of taking real time.
    explicit SimRig(bool manualTime = false)
        : transport(controller, manualTime ? static_cast<Clock&>(clock) : SystemClock()) {
        language.current = LangEnglish;
        if (manualTime)
            host.clock = &clock;
    }

    ManualClock clock;
    sim::VirtualController controller;
    sim::VirtualTransport transport;
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

// The connection monitor on a link, without a window: what its timer does between two
// operations (finding the controller, noticing that it went away).
struct MonitorTicks {
    MonitorTicks(DeviceLink& link, MonitorState& state, UiHost& host, const LanguageState& language)
        : transfer(link.device, host, image, state, language, link.ports),
          monitor(link, state, identity, image, transfer, view, host, language) {}

    struct NoView final : MonitorView {
        void SetStatusText(const QString&) override {}
        void SetCurrentSource(bool, const QString&) override {}
        void SetToolbarBusy(bool) override {}
        void ReadDeviceConfiguration() override {}
    };

    // Ticks until `done` holds, at most `limit` times; returns the ticks taken, or -1.
    template <typename Done> int tickUntil(Done done, int limit = 5) {
        for (int ticks = 1; ticks <= limit; ++ticks) {
            monitor.Tick();
            if (done())
                return ticks;
        }
        return -1;
    }

    ConfigImage image;
    IdentityRecord identity;
    ConfigTransfer transfer;
    NoView view;
    ConnectionMonitor monitor;
};

} // namespace korvex::test
