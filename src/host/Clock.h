// The millisecond clock that every time limit of the link is measured on, and its sleep. The
// program runs on the system's; tests and fuzzing run on a manual one, on which a time-out costs
// nothing because sleeping only moves the clock on.
#pragma once

#include <cstdint>

namespace korvex {

class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds; wraps like a 32-bit tick count, so compare differences.
    virtual std::uint32_t Now() = 0;
    virtual void Sleep(int ms) = 0;
};

// The system's monotonic clock, shared by the whole program.
Clock& SystemClock();

class ManualClock final : public Clock {
public:
    std::uint32_t Now() override { return now_; }
    void Sleep(int ms) override {
        if (ms > 0)
            now_ += static_cast<std::uint32_t>(ms);
    }
    void Advance(int ms) { Sleep(ms); }

private:
    std::uint32_t now_ = 1;
};

} // namespace korvex
