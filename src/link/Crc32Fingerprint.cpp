// Table-driven CRC-32/MPEG-2.
#include "Crc32Fingerprint.h"

#include <array>

namespace korvex {

namespace {
constexpr std::array<std::uint32_t, 256> MakeTable() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t c = i << 24;
        for (int bit = 0; bit < 8; ++bit)
            c = (c & 0x80000000u) ? (c << 1) ^ 0x04C11DB7u : c << 1;
        table[i] = c;
    }
    return table;
}
constexpr auto Table = MakeTable();
} // namespace

std::uint32_t Crc32Fingerprint(std::uint32_t initial, const std::uint8_t* first,
                               const std::uint8_t* end) {
    std::uint32_t crc = initial;
    for (const std::uint8_t* p = first; p < end; ++p)
        crc = (crc << 8) ^ Table[((crc >> 24) ^ *p) & 0xFF];
    return crc;
}

} // namespace korvex
