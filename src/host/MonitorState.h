// The connection monitor's state, shared by the link, the toolbar commands and the views.
#pragma once

#include <cstdint>

namespace korvex {

struct MonitorState {
    bool controllerConnected = false; // a controller or its bootloader answered the last poll
    std::uint32_t lastSerial = 0;     // 0 forces a configuration read at the next good poll
    int fastPollTicks = 0;
    int progressDots = 0;
    bool commandInProgress = false; // notifications are ignored while a toolbar command runs
    bool imageInSync = false;       // edits may be sent to the controller byte run by byte run
};

} // namespace korvex
