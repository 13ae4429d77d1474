// Default waiting for hosts that have no event loop of their own to run, and the system clock.
#include "UiHost.h"

#include "Clock.h"
#include "TickCount.h"

#include <thread>

namespace korvex {

namespace {

class SteadyClock final : public Clock {
public:
    std::uint32_t Now() override { return TickCount(); }
    void Sleep(int ms) override {
        if (ms > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }
};

} // namespace

Clock& SystemClock() {
    static SteadyClock clock;
    return clock;
}

UiHost::UiHost() : clock(&SystemClock()) {}

int UiHost::WaitMs(int ms, bool processMessages) {
    const std::uint32_t start = clock->Now();
    if (ms <= 0)
        return 0;
    for (;;) {
        if (processMessages)
            ProcessEvents();
        const auto passed = static_cast<int>(clock->Now() - start);
        if (passed >= ms)
            return passed;
        // Sleep in small steps so that pending work is looked at often, without spinning.
        clock->Sleep(processMessages ? 1 : ms - passed);
    }
}

} // namespace korvex
