// The millisecond tick count that all time limits of the link are measured on.
#pragma once

#include <chrono>
#include <cstdint>

namespace korvex {

// Milliseconds of a monotonic clock; wraps like a 32-bit tick count, so compare differences.
inline std::uint32_t TickCount() {
    using namespace std::chrono;
    return static_cast<std::uint32_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

} // namespace korvex
