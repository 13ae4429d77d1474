// Default waiting for hosts that have no event loop of their own to run.
#include "UiHost.h"

#include "TickCount.h"

#include <thread>

namespace korvex {

int UiHost::WaitMs(int ms, bool processMessages) {
    const std::uint32_t start = TickCount();
    if (ms <= 0)
        return 0;
    for (;;) {
        if (processMessages)
            ProcessEvents();
        const auto passed = static_cast<int>(TickCount() - start);
        if (passed >= ms)
            return passed;
        // Sleep in small steps so that pending work is looked at often, without spinning.
        std::this_thread::sleep_for(std::chrono::milliseconds(processMessages ? 1 : ms - passed));
    }
}

} // namespace korvex
