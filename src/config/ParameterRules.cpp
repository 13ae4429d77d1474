// Parameter page rules that run without a window.
#include "ParameterRules.h"

namespace korvex {

LinBusRules ApplyLinBusRules(ConfigBytes& bytes) {
    const std::uint8_t lin1mode = Get(bytes, param::LIN1MODE);
    const std::uint8_t lin2mode = Get(bytes, param::LIN2MODE);
    LinBusRules rules{false, false, false, false};
    if (lin2mode == LinMasterVW) {
        rules.linSpeedEnabled = true;
        const std::uint8_t speed = Get(bytes, param::LINSPEED);
        if (speed != LinSpeed19200 && speed != LinSpeed20000) {
            Set(bytes, param::LINSPEED, LinSpeed19200);
            rules.linSpeedForced = true;
        }
    } else {
        rules.linProgTabVisible = lin2mode == LinMasterProg;
    }
    if (lin1mode == LinSlaveListener) {
        rules.linSpeedEnabled = true;
        rules.protocolVersionEnabled = true;
    }
    return rules;
}

BacklightRules BacklightView(const ConfigBytes& bytes) {
    const bool diag = Get(bytes, param::LIN2MODE) == LinMasterVW;
    return {diag, diag && Get(bytes, param::LIGHT_DIAG_USE) != 0};
}

std::uint16_t LongPressFromText(const QString& text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto isBlank = [](QChar c) {
        return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\v' || c == u'\f';
    };
    while (i < n && isBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    // Unsigned arithmetic wraps, and only the low 16 bits are kept, so any length of digits
    // is well defined.
    std::uint32_t value = 0;
    while (i < n && text[i] >= u'0' && text[i] <= u'9') {
        value = value * 10u + static_cast<std::uint32_t>(text[i].unicode() - u'0');
        ++i;
    }
    if (negative)
        value = 0u - value;
    const auto ms = static_cast<std::uint16_t>(value & 0xFFFFu);
    if (ms < LongPressMinMs || ms > LongPressMaxMs)
        return LongPressDefaultMs;
    return ms;
}

const TextPair ParamControlVout1Hint{"Напряжение по умолчанию на 1-м выходе аналогового управления",
                                     "Default Voltage at the 1st analog control output"};
const TextPair ParamControlVout2Hint{"Напряжение по умолчанию на 2-м выходе аналогового управления",
                                     "Default Voltage at the 2nd analog control output"};
const TextPair ParamControlVout1MinMaxHint{
    "Минимальное или максимальное напряжение на 1-м выходе аналогового управления",
    "Minimum or maximum voltage at 1st analog control output"};
const TextPair ParamControlVout2MinMaxHint{
    "Минимальное или максимальное напряжение на 2-м выходе аналогового управления",
    "Minimum or maximum voltage at 2nd analog control output"};
const TextPair KeyReassignHint{"Переопределение Мин. длит. для Управления",
                               "Overriding Min Duration for Control"};

} // namespace korvex
