// The tool's byte-exact mirror of the controller's configuration memory (area 16), and its
// shadow copy as last read from or sent to the controller.
#pragma once

#include <array>
#include <cstdint>

namespace korvex {

constexpr int ConfigImageSize = 2019;
using ConfigBytes = std::array<std::uint8_t, ConfigImageSize>;

struct ConfigImage {
    ConfigBytes bytes{};
    ConfigBytes shadowCopy{};
};

} // namespace korvex
