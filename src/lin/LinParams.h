// The LIN device's 6-byte parameter block: its hex text in EditLINDevParam and the two bits of
// byte 0 that the combo boxes edit.
#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <optional>

namespace korvex {

using LinParamBlock = std::array<std::uint8_t, 6>;

namespace linbit {
constexpr int LampSide = 0; // 0 left lamp, 1 right lamp
constexpr int TurnOff = 1;  // 0 off running, 1 off immediately
} // namespace linbit

// Six bytes from the edit's text: non-hex characters before a byte are skipped, then two hex
// digits in a row make it; anything after the sixth byte is ignored. Nothing when the text ends
// early or a first digit is followed by something else.
std::optional<LinParamBlock> ParseLinParams(const QString& text);

// "01 02 03 04 05 06": two upper-case hex digits a byte, single spaces between.
QString FormatLinParams(const LinParamBlock& params);

// The item a combo box shows for its bit of byte 0, and the block with that bit set from an item.
int LinParamItem(const LinParamBlock& params, int bit);
LinParamBlock WithLinParamItem(LinParamBlock params, int bit, int item);

} // namespace korvex
