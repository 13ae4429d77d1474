// The decisions behind the parameter pages that need no window: which controls the LIN types
// enable or show, the values the image is pulled to, and the long-press entry.
#pragma once

#include "ConfigImage.h"
#include "text/TextPair.h"

#include <QString>

#include <cstdint>

namespace korvex {

// LIN2MODE "VW" runs the bus at 19200 or 20000 bit/s only; "LIN PROG" owns the LIN programmer.
constexpr std::uint8_t LinMasterVW = 4;
constexpr std::uint8_t LinMasterProg = 16;
constexpr std::uint8_t LinSlaveListener = 1;
constexpr std::uint8_t LinSpeed19200 = 4;
constexpr std::uint8_t LinSpeed20000 = 5;

// What the two LIN types allow on the pages.
struct LinBusRules {
    bool linSpeedEnabled;        // PanelLINSPEED and ComboBoxLINSPEEDx
    bool protocolVersionEnabled; // ComboBoxLINPROTOCOLVERSIONx
    bool linProgTabVisible;      // the tab of TabSheetLINProg
    bool linSpeedForced;         // LINSPEED was set to 19200 bit/s
};

// Decides the LIN bus controls from LIN1MODE and LIN2MODE and, for "VW", sets a speed other
// than 19200 or 20000 bit/s to 19200 in the image.
LinBusRules ApplyLinBusRules(ConfigBytes& bytes);

// The backlight diagnostics exist for "VW" only; its three percentages matter only while
// diagnostics are on.
struct BacklightRules {
    bool diagVisible;  // CheckBoxLIGHT_DIAG_USE
    bool editsVisible; // Edit_Light_Day/Min/Max and their labels
};
BacklightRules BacklightView(const ConfigBytes& bytes);

// Long-press limits of the entry; anything outside them becomes the default.
constexpr std::uint16_t LongPressMinMs = 200;
constexpr std::uint16_t LongPressMaxMs = 5000;
constexpr std::uint16_t LongPressDefaultMs = 1000;

// The long-press time that a text stands for: a decimal integer after leading blanks and an
// optional sign (no digits read as 0), reduced to its low 16 bits unsigned; a time outside
// 200..5000 ms becomes 1000. Never refuses.
std::uint16_t LongPressFromText(const QString& text);

// Hints of the radio-control page's edits; the code owns them, not the language table.
extern const TextPair ParamControlVout1Hint;
extern const TextPair ParamControlVout2Hint;
extern const TextPair ParamControlVout1MinMaxHint;
extern const TextPair ParamControlVout2MinMaxHint;
extern const TextPair KeyReassignHint;

} // namespace korvex
