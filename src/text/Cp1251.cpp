// Code page 1251 both ways.
#include "Cp1251.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace korvex {

namespace {

// Code page 1251 from 0x80 to 0xBF; 0xC0..0xFF are U+0410..U+044F in order. The one unassigned
// byte, 0x98, shows as U+0098.
constexpr std::array<char16_t, 64> Cp1251High = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409,
    0x2039, 0x040A, 0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0,
    0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB,
    0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6,
    0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
};

} // namespace

QString DecodeCp1251(QByteArrayView bytes) {
    QString text;
    text.reserve(bytes.size());
    for (const char c : bytes) {
        const auto b = static_cast<std::uint8_t>(c);
        if (b < 0x80)
            text += QChar(b);
        else if (b < 0xC0)
            text += QChar(Cp1251High[b - 0x80]);
        else
            text += QChar(char16_t(0x0410 + (b - 0xC0)));
    }
    return text;
}

std::optional<QByteArray> EncodeCp1251(QStringView text) {
    QByteArray bytes;
    bytes.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == 0)
            return std::nullopt;
        if (u < 0x80) {
            bytes += char(u);
        } else if (u >= 0x0410 && u <= 0x044F) {
            bytes += char(0xC0 + (u - 0x0410));
        } else {
            const auto* hit = std::find(Cp1251High.begin(), Cp1251High.end(), u);
            if (hit == Cp1251High.end())
                return std::nullopt;
            bytes += char(0x80 + (hit - Cp1251High.begin()));
        }
    }
    return bytes;
}

} // namespace korvex
