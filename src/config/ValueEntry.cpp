// Number entry and voltage conversion behind the edit boxes of the pages and editors.
#include "ValueEntry.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace korvex {

constinit const TextPair EnterValueText{"Введите значение в указанную позицию",
                                        "Enter a value in the specified position"};
constinit const TextPair ValueRangeText{"Значение должно находится в интервале от %u до %u",
                                        "The value must be in the range from %u to %u"};
constinit const TextPair InvalidIntegerText{"'%s' is not a valid integer value", ""};

namespace {

bool IsAsciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

bool FieldFits(int offset, int width) {
    return (width == 1 || width == 2 || width == 4) && offset >= 0 &&
           offset + width <= ConfigImageSize;
}

// The leading decimal number of a text, as a C library would read it: blanks, a sign, digits
// with an optional point, an optional exponent. No number reads as 0. Converted without the
// process locale, whose decimal point may not be ".".
double LeadingNumber(const QString& text) {
    const QByteArray s = text.toLatin1();
    qsizetype i = 0;
    const qsizetype n = s.size();
    while (i < n && (s[i] == ' ' || (s[i] >= '\t' && s[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < n && (s[i] == '+' || s[i] == '-'))
        negative = s[i++] == '-';
    const qsizetype mantissaStart = i;
    int digits = 0;
    // Where the first significant digit stands, for telling overflow from underflow.
    bool significant = false;
    int integerDigits = 0;
    int leadingFractionZeros = 0;
    while (i < n && s[i] >= '0' && s[i] <= '9') {
        significant = significant || s[i] != '0';
        if (significant)
            ++integerDigits;
        ++i;
        ++digits;
    }
    if (i < n && s[i] == '.') {
        ++i;
        while (i < n && s[i] >= '0' && s[i] <= '9') {
            if (!significant && s[i] == '0')
                ++leadingFractionZeros;
            significant = significant || s[i] != '0';
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return 0.0;
    qsizetype end = i;
    long long exponent = 0;
    if (i < n && (s[i] == 'e' || s[i] == 'E')) {
        qsizetype j = i + 1;
        bool negativeExponent = false;
        if (j < n && (s[j] == '+' || s[j] == '-'))
            negativeExponent = s[j++] == '-';
        if (j < n && s[j] >= '0' && s[j] <= '9') {
            while (j < n && s[j] >= '0' && s[j] <= '9') {
                if (exponent < 100000)
                    exponent = exponent * 10 + (s[j] - '0');
                ++j;
            }
            if (negativeExponent)
                exponent = -exponent;
            end = j;
        }
    }
    double value = 0.0;
    const char* first = s.constData() + mantissaStart;
    const char* last = s.constData() + end;
    const auto [ptr, ec] = std::from_chars(first, last, value, std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        // Too large or too small for a double: only which of the two matters here.
        const long long magnitude =
            (integerDigits > 0 ? integerDigits - 1 : -(leadingFractionZeros + 1)) + exponent;
        value = magnitude >= 0 ? std::numeric_limits<double>::infinity() : 0.0;
    } else if (ec != std::errc() || ptr != last) {
        value = 0.0;
    }
    return negative ? -value : value;
}

} // namespace

NumberCheck CheckNumberText(const QString& text, std::int32_t low, std::int32_t high) {
    for (QChar c : text) {
        if (!IsAsciiDigit(c))
            return NumberCheck{NumberVerdict::Empty, 0};
    }
    if (text.isEmpty())
        return NumberCheck{NumberVerdict::Empty, 0};
    // By value, so that leading zeros never make a number too long.
    std::int64_t n = 0;
    for (QChar c : text) {
        n = n * 10 + (c.unicode() - u'0');
        if (n > std::numeric_limits<std::int32_t>::max())
            return NumberCheck{NumberVerdict::NotInteger, 0};
    }
    const auto value = static_cast<std::int32_t>(n);
    if (value < low || value > high)
        return NumberCheck{NumberVerdict::OutOfRange, 0};
    return NumberCheck{NumberVerdict::Accepted, value};
}

QString NumberMessage(NumberVerdict verdict, const QString& text, std::int32_t low,
                      std::int32_t high, int language) {
    switch (verdict) {
    case NumberVerdict::Accepted:
        return QString();
    case NumberVerdict::Empty:
        return LangText(EnterValueText, language);
    case NumberVerdict::OutOfRange:
        return LangFormat(ValueRangeText, language, static_cast<unsigned>(low),
                          static_cast<unsigned>(high));
    case NumberVerdict::NotInteger:
        return LangFormat(InvalidIntegerText, language, text.toUtf8().constData());
    }
    return QString();
}

void StoreNumber(ConfigBytes& bytes, int offset, int width, std::int32_t value) {
    if (!FieldFits(offset, width))
        return;
    const auto u = static_cast<std::uint32_t>(value);
    if (width == 1)
        Set(bytes, U8Field{offset}, static_cast<std::uint8_t>(u));
    else if (width == 2)
        Set(bytes, U16Field{offset}, static_cast<std::uint16_t>(u));
    else
        Set(bytes, U32Field{offset}, u);
}

QString ShowNumber(const ConfigBytes& bytes, int offset, int width) {
    if (!FieldFits(offset, width))
        return QString();
    if (width == 1)
        return QString::number(Get(bytes, U8Field{offset}));
    if (width == 2)
        return QString::number(Get(bytes, U16Field{offset}));
    return QString::number(static_cast<std::int32_t>(Get(bytes, U32Field{offset})));
}

EditNumberResult EditNumber(const QString& text, std::int32_t low, std::int32_t high,
                            ConfigBytes& bytes, int offset, int width, int language) {
    const NumberCheck check = CheckNumberText(text, low, high);
    EditNumberResult out{0, check.verdict, NumberMessage(check.verdict, text, low, high, language),
                         text, false};
    switch (check.verdict) {
    case NumberVerdict::Accepted:
        StoreNumber(bytes, offset, width, check.value);
        break;
    case NumberVerdict::Empty:
    case NumberVerdict::OutOfRange:
        out.result = 1;
        out.editText = ShowNumber(bytes, offset, width);
        out.drawBack = true;
        break;
    case NumberVerdict::NotInteger:
        // The typed text stays, so the user sees what was refused.
        out.result = 1;
        break;
    }
    return out;
}

std::uint16_t VoltsToCode(const QString& text) {
    QString t = text;
    t.replace(u',', u'.');
    const double code = LeadingNumber(t) * 100.0 + 0.5;
    // Limited before truncating, so that a huge value cannot overflow the conversion.
    if (std::isnan(code) || code <= 0.0)
        return 0;
    if (code >= VoltageCodeMax)
        return VoltageCodeMax;
    return static_cast<std::uint16_t>(code);
}

QString CodeToVolts(std::uint16_t code) {
    const std::uint16_t limited = code > VoltageCodeMax ? VoltageCodeMax : code;
    return QString::asprintf("%.2f", limited * 0.01);
}

} // namespace korvex
