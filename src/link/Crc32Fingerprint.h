// The change detector of the views: CRC-32/MPEG-2 (polynomial 0x04C11DB7, MSB first, no
// reflection, no final XOR). Callers start from 0xFFFFFFFF.
#pragma once

#include <cstdint>

namespace korvex {

std::uint32_t Crc32Fingerprint(std::uint32_t initial, const std::uint8_t* first,
                               const std::uint8_t* end);

} // namespace korvex
