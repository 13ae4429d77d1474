// Numbers typed into edit boxes: the checked entry of a whole number into a field of the image,
// the display of such a field, and the conversion between volts and voltage codes. The edit box
// itself belongs to the window; everything here works on its text.
#pragma once

#include "ConfigImage.h"
#include "text/TextPair.h"

#include <QString>

#include <cstdint>

namespace korvex {

// The messages of the number entry; all are shown with the error icon.
extern const TextPair EnterValueText;     // empty or not made of digits only
extern const TextPair ValueRangeText;     // "%u".."%u": the bounds
extern const TextPair InvalidIntegerText; // "%s": the typed text

enum class NumberVerdict {
    Accepted,
    Empty,      // empty, or a character other than "0".."9" (signs, blanks, points)
    OutOfRange, // below low or above high
    NotInteger, // digits only, but beyond a signed 32-bit number
};

struct NumberCheck {
    NumberVerdict verdict;
    std::int32_t value; // the number when accepted, else 0
};

// Judges the text of a number edit against inclusive signed bounds.
NumberCheck CheckNumberText(const QString& text, std::int32_t low, std::int32_t high);

// The error box text for a refused entry; empty for an accepted one.
QString NumberMessage(NumberVerdict verdict, const QString& text, std::int32_t low,
                      std::int32_t high, int language);

// A field of 1, 2 or 4 bytes at an image offset. Storing keeps the low byte, the low 16 bits or
// all 32 bits of the value; showing reads 1 and 2 bytes unsigned and 4 bytes signed.
void StoreNumber(ConfigBytes& bytes, int offset, int width, std::int32_t value);
QString ShowNumber(const ConfigBytes& bytes, int offset, int width);

// What became of an Enter in a number edit: whether the value was stored, what the user is
// told, and what the edit box shows afterwards.
struct EditNumberResult {
    int result; // 0 stored, 1 refused
    NumberVerdict verdict;
    QString message;  // the error box text; empty when stored
    QString editText; // the text of the edit box afterwards
    bool drawBack;    // select the text, focus the box and move the pointer to its centre
};

// Checks the text and stores it into the field when it is a whole number within low..high.
// A refused entry leaves the field unchanged.
EditNumberResult EditNumber(const QString& text, std::int32_t low, std::int32_t high,
                            ConfigBytes& bytes, int offset, int width, int language);

// Voltage codes: 0..500, one step per 0.01 V.
constexpr std::uint16_t VoltageCodeMax = 500;

// Any text gives a code: "," counts as the decimal point, a text without a leading number reads
// as 0, and the result is rounded to the nearest step and limited to 0..500.
std::uint16_t VoltsToCode(const QString& text);
// "%.2f" volts, the code limited to 500.
QString CodeToVolts(std::uint16_t code);

} // namespace korvex
