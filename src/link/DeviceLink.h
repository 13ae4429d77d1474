// The whole link in one owner: port state, serial link, frame protocol and memory access, built
// on a transport and a port finder that the caller chooses.
#pragma once

#include "DeviceAccess.h"
#include "FrameProtocol.h"
#include "LinkState.h"
#include "SerialLink.h"

namespace korvex {

class DeviceLink {
public:
    DeviceLink(SerialTransport& transport, PortFinder& finder, UiHost& host, MonitorState& monitor,
               const LanguageState& language)
        : serial(transport, finder, ports), frames(serial, host, state),
          device(frames, host, monitor, language) {}
    DeviceLink(const DeviceLink&) = delete;
    DeviceLink& operator=(const DeviceLink&) = delete;

    PortState ports;
    LinkState state;
    SerialLink serial;
    FrameProtocol frames;
    DeviceAccess device;
};

} // namespace korvex
