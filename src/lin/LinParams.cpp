// The parameter block's text and bits.
#include "LinParams.h"

namespace korvex {

namespace {
int HexValue(QChar c) {
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    return -1;
}
} // namespace

std::optional<LinParamBlock> ParseLinParams(const QString& text) {
    LinParamBlock params{};
    qsizetype pos = 0;
    for (std::uint8_t& byte : params) {
        while (pos < text.size() && HexValue(text.at(pos)) < 0)
            ++pos;
        if (pos + 1 >= text.size())
            return std::nullopt;
        const int high = HexValue(text.at(pos));
        const int low = HexValue(text.at(pos + 1));
        if (low < 0)
            return std::nullopt;
        byte = static_cast<std::uint8_t>(high * 16 + low);
        pos += 2;
    }
    return params;
}

QString FormatLinParams(const LinParamBlock& params) {
    QString text;
    for (std::size_t i = 0; i < params.size(); ++i)
        text += QString::asprintf(i + 1 < params.size() ? "%02X " : "%02X", params[i]);
    return text;
}

int LinParamItem(const LinParamBlock& params, int bit) {
    return (params[0] >> bit) & 1;
}

LinParamBlock WithLinParamItem(LinParamBlock params, int bit, int item) {
    const auto mask = static_cast<std::uint8_t>(1u << bit);
    params[0] = static_cast<std::uint8_t>(item != 0 ? params[0] | mask : params[0] & ~mask);
    return params;
}

} // namespace korvex
