// The log window's own double-click detection: two presses less than 500 ms apart.
#pragma once

#include <cstdint>

namespace korvex {

class ClickPair {
public:
    static constexpr std::uint32_t MaxGapMs = 500;

    // A press at `tick` (milliseconds). True when it completes a pair; the pair then ends, so a
    // third quick press starts a new one.
    bool Press(std::uint32_t tick) {
        // Unsigned difference, so that a wrapping tick count still measures the gap.
        if (rxClickPending && tick - rxClickTime < MaxGapMs) {
            rxClickPending = false;
            return true;
        }
        rxClickPending = true;
        rxClickTime = tick;
        return false;
    }

private:
    bool rxClickPending = false;
    std::uint32_t rxClickTime = 0;
};

} // namespace korvex
