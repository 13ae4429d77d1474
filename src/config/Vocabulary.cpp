// The tables of names and the LIN command lists per LIN type.
#include "Vocabulary.h"

#include <algorithm>

namespace korvex {

namespace {

constexpr TextPair PowerPinLevelRows[] = {
    {"Обесточен", "No power"},
    {"Выход +12В", "Output +12V"},
};

// Both Russian texts begin with the Latin letter "O": the system's own spelling.
constexpr TextPair OpenCollectorPinLevelRows[] = {
    {"Oткр. коллектор, разомкнут с GND", "Open collector, not shorted to GND"},
    {"Oткр. коллектор, замкнут на GND", "Open collector, shorted to GND"},
};

constexpr TextPair LinSlaveTypeRows[] = {
    {"Не задано", "No settings"},
    {"Listener", ""},
    {"AUDI1", ""},
    {"AUDI2", ""},
    {"VW1 (PQ)", ""},
    {"VW2", ""},
    {"BMW F10", ""},
    {"MERCEDES W251/W221", ""},
    {"DODGE RAM", ""},
    {"VW OLD", ""},
    {"SKODA A7", ""},
    {"SKODA A5", ""},
    {"PORSCHE", ""},
    {"MERCEDES W205", ""},
};

constexpr TextPair LinMasterTypeRows[] = {
    {"Не задано", "No settings"},
    {"PID's", ""},
    {"AUDI1", ""},
    {"AUDI2", ""},
    {"VW", ""},
    {"VOLT BOLT", ""},
    {"MAZDA_CX5", ""},
    {"MERCEDES", ""},
    {"PEUGEOT", ""},
    {"BMW F10", ""},
    {"DODGE RAM", ""},
    {"MERCEDES W222", ""},
    {"AUDI VOL", ""},
    {"VW T5 WINDOW", ""},
    {"BMW G30", ""},
    {"ICT L77F", ""},
    {"LIN PROG", ""},
};

constexpr TextPair SlaveEncodingRows[] = {
    {"По умолчанию", "Default"},   {"Кодировка 1", "Encoding 1"}, {"Кодировка 2", "Encoding 2"},
    {"Кодировка 3", "Encoding 3"}, {"Кодировка 4", "Encoding 4"}, {"Кодировка 5", "Encoding 5"},
    {"Кодировка 6", "Encoding 6"},
};

constexpr TextPair SlaveEncodingVW2Rows[] = {
    {"По умолчанию VW Scirocco", "Default VW Scirocco"},
    {"Кодировка 1 VW Jetta 2016", "Encoding 1 VW Jetta 2016"},
    {"Кодировка 2", "Encoding 2"},
    {"Кодировка 3 PQ (VW Jetta 2015)", "Encoding 3 PQ (VW Jetta 2015)"},
    {"Кодировка 4 Touareg", "Encoding 4 Touareg"},
    {"Кодировка 5 Touareg 2", "Encoding 5 Touareg 2"},
    {"Кодировка 6 VW Pasat B7 europe", "Encoding 6 VW Pasat B7 europe"},
    {"Кодировка 7 VW T6", "Encoding 7 VW T6"},
};

constexpr TextPair SlaveEncodingAUDI2Rows[] = {
    {"По умолчанию", "Default"},
    {"Кодировка 1 VW Passat B6 8 кнопок", "Encoding 1 VW Passat B6 8 buttons"},
    {"Кодировка 2 Audi a3 8p 2004", "Encoding 2 Audi a3 8p 2004"},
    {"Кодировка 3 Audi A6 C6", "Encoding 3 Audi A6 C6"},
    {"Кодировка 4 Skoda A5 DOREST", "Encoding 4 Skoda A5 DOREST"},
    {"Кодировка 5 q7 2014", "Encoding 5 q7 2014"},
};

constexpr TextPair LinSpeedRows[] = {
    {"Не задана", "Not set"}, {"9600 Bit/s", ""},  {"10000 Bit/s", ""},
    {"10417 Bit/s", ""},      {"19200 Bit/s", ""}, {"20000 Bit/s", ""},
};

constexpr TextPair HeaterPinRows[] = {
    {"Отключено", "Disabled"},
    {"X2/1(PQ ACC_ON)", ""},
    {"X2/2(PQ SPD-)", ""},
    {"X2/3(PQ SPD+)", ""},
    {"X2/4(PQ CANCEL)", ""},
    {"X2/5(PQ RES) X1/5(-US)", ""},
    {"X2/6(PQ SET) X1/6(-US)", ""},
    {"X2/7(PQ DIST-)", ""},
    {"X2/8(PQ DIST+)", ""},
    {"PQ X2/1", ""},
    {"PQ X2/2", ""},
    {"PQ X1/5", ""},
    {"PQ X1/6", ""},
};

constexpr TextPair ReactionPinRows[] = {
    {"Не указана", "Not defined"},
    {"X2/1(PQ ACC_ON)", ""},
    {"X2/2(PQ SPD-)", ""},
    {"X2/3(PQ SPD+)", ""},
    {"X2/4(PQ CANCEL)", ""},
    {"X2/5(PQ RES) X1/5(-US)", ""},
    {"X2/6(PQ SET) X1/6(-US)", ""},
    {"X2/7(PQ DIST-)", ""},
    {"X2/8(PQ DIST+)", ""},
    {"X1/4(LINM)", ""},
    {"X1/5(LINS)", ""},
    {"RESTART", ""},
    {"PQ X2/1", ""},
    {"PQ X2/2", ""},
};

constexpr const char* LinKeyRows[] = {
    "KEY NO",        // 0
    "BACK",          // 1
    "FAV",           // 2
    "PHONE",         // 3
    "TP",            // 4
    "FORWARD",       // 5
    "BACKWARD",      // 6
    "ENC VOL UP",    // 7
    "ENC VOL DN",    // 8
    "ENC UP",        // 9
    "ENC DN",        // 10
    "MENU",          // 11
    "VOL UP",        // 12
    "VOL DN",        // 13
    "MUTE",          // 14
    "LIST",          // 15
    "OK",            // 16
    "NAV",           // 17
    "VOICE",         // 18
    "HEAT",          // 19
    "HEAT OFF",      // 20
    "HEAT ON",       // 21
    "UP",            // 22
    "DN",            // 23
    "LEFT",          // 24
    "RIGHT",         // 25
    "HORN",          // 26
    "RES",           // 27
    "SET",           // 28
    "MINUS",         // 29
    "PLUS",          // 30
    "AUTO",          // 31
    "O/I",           // 32
    "MODE",          // 33
    "JOY LEFT",      // 34
    "JOY RIGHT",     // 35
    "VIEW",          // 36
    "OK_L",          // 37
    "OK_R",          // 38
    "DRIVE_SELECT",  // 39
    "LIGHT ON",      // 40
    "LIGHT OFF",     // 41
    "FLAG",          // 42
    "ENC FLAG UP",   // 43
    "ENC FLAG DN",   // 44
    "EXHAUST",       // 45
    "1",             // 46
    "2",             // 47
    "3",             // 48
    "4",             // 49
    "5",             // 50
    "6",             // 51
    "AS",            // 52
    "AUX",           // 53
    "CD",            // 54
    "CONFIG",        // 55
    "EJECT",         // 56
    "INFO",          // 57
    "RADIO",         // 58
    "TONE",          // 59
    "MEDIA",         // 60
    "HOME",          // 61
    "POWER",         // 62
    "HUP",           // 63
    "HDN",           // 64
    "VOICE OFF",     // 65
    "POWER DOWN",    // 66
    "POWER UP",      // 67
    "CNL",           // 68
    "FOG LIGHT ON",  // 69
    "FOG LIGHT OFF", // 70
    "MINUS 2",       // 71
    "PLUS 2",        // 72
    "R1",            // 73
    "R2",            // 74
    "TRAFFIC LA",    // 75
};

constexpr const char* LinCommandRows[] = {
    "KEY NO",                   // 0
    "Backlight OFF",            // 1
    "Backlight ON",             // 2
    "Heat SW OFF",              // 3
    "Heat SW 20°C",             // 4
    "Heat SW 25°C",             // 5
    "Heat SW 30°C",             // 6
    "Heat SW 35°C",             // 7
    "Heat SW 40°C",             // 8
    "JOY LEFT",                 // 9
    "JOY RIGHT",                // 10
    "KEY DIR UP",               // 11
    "KEY DIR DN",               // 12
    "KEY DIR PRESS (OK)",       // 13
    "KEY VOL UP",               // 14
    "KEY VOL DN",               // 15
    "KEY VOL PRESS (MUTE)",     // 16
    "KEY MODE",                 // 17
    "KEY VOICE",                // 18
    "KEY BACKWARD",             // 19
    "KEY FORWARD",              // 20
    "KEY MENU",                 // 21
    "KEY INFO NAV",             // 22
    "KEY PHONE",                // 23
    "KEY UP",                   // 24
    "KEY DN",                   // 25
    "KEY LEFT",                 // 26
    "KEY RIGHT",                // 27
    "KEY OK",                   // 28
    "KEY BACK",                 // 29
    "KEY HORN",                 // 30
    "KEY_RES",                  // 31
    "KEY_SET",                  // 32
    "KEY_OI",                   // 33
    "KEY_MINUS",                // 34
    "KEY_PLUS",                 // 35
    "KEY_AUTO",                 // 36
    "KEY_CNL",                  // 37
    "KEY_HUP",                  // 38
    "KEY_HDN",                  // 39
    "JOY UP",                   // 40
    "JOY DN",                   // 41
    "Heat SW 20%",              // 42
    "Heat SW 40%",              // 43
    "Heat SW 60%",              // 44
    "Heat SW 80%",              // 45
    "Heat SW 100%",             // 46
    "Backlight VAR OFF",        // 47
    "Backlight VAR ON",         // 48
    "POWER DOWN",               // 49
    "POWER UP",                 // 50
    "KEY OK L",                 // 51
    "KEY OK R",                 // 52
    "KEY VIEW",                 // 53
    "KEY DRIVE SELECT",         // 54
    "KEY FLAG",                 // 55
    "ENC FLAG UP",              // 56
    "ENC FLAG DN",              // 57
    "KEY EXHAUST",              // 58
    "KEY MUTE",                 // 59
    "KEY HEAT",                 // 60
    "KEY AUTO Light ON",        // 61
    "KEY AUTO Light OFF",       // 62
    "KEY TP",                   // 63
    "KEY MINUS 2",              // 64
    "KEY PLUS 2",               // 65
    "KEY HOME",                 // 66
    "KEY VOICE OFF",            // 67
    "KEY TRAFFIC LA Light ON",  // 68
    "KEY TRAFFIC LA Light OFF", // 69
    "KEY PROG",                 // 70
};

// Command lists of the master types; several types share one.
constexpr std::uint8_t MasterNothing[] = {0};
constexpr std::uint8_t MasterAudi[] = {0, 50, 49, 1, 2,  47, 48, 3,  4,
                                       5, 6,  7,  8, 42, 43, 44, 45, 46};
constexpr std::uint8_t MasterVw[] = {0, 50, 49, 1, 2, 47, 48, 61, 62, 68, 69,
                                     3, 4,  5,  6, 7, 8,  42, 43, 44, 45, 46};
constexpr std::uint8_t MasterCommon[] = {0, 50, 49, 1, 2, 47, 48, 3, 42, 43, 44, 45, 46};
constexpr std::uint8_t MasterMazda[] = {0, 50, 49, 3, 42, 43, 44, 45, 46};
constexpr std::uint8_t MasterAudiVol[] = {0, 50, 49, 1, 2};
constexpr std::uint8_t MasterVwT5Window[] = {0, 50, 49};

constexpr CommandRows MasterCommandLists[] = {
    MasterNothing,    // 0 no settings
    MasterNothing,    // 1 PID's
    MasterAudi,       // 2 AUDI1
    MasterAudi,       // 3 AUDI2
    MasterVw,         // 4 VW
    MasterCommon,     // 5 VOLT BOLT
    MasterMazda,      // 6 MAZDA_CX5
    MasterCommon,     // 7 MERCEDES
    MasterCommon,     // 8 PEUGEOT
    MasterCommon,     // 9 BMW F10
    MasterCommon,     // 10 DODGE RAM
    MasterCommon,     // 11 MERCEDES W222
    MasterAudiVol,    // 12 AUDI VOL
    MasterVwT5Window, // 13 VW T5 WINDOW
    MasterCommon,     // 14 BMW G30
    MasterNothing,    // 15 ICT L77F
    MasterNothing,    // 16 LIN PROG
};

constexpr std::uint8_t SlaveNothing[] = {0};
constexpr std::uint8_t SlaveListener[] = {3, 4, 5, 6, 7, 8, 42, 43, 44, 45, 46};
constexpr std::uint8_t SlaveAudi1[] = {14, 15, 16, 19, 20, 11, 12, 13, 21, 29, 17,
                                       18, 22, 27, 26, 9,  10, 23, 36, 51, 52, 53,
                                       54, 55, 56, 57, 58, 70, 59, 60, 30};
constexpr std::uint8_t SlaveAudi2[] = {14, 15, 16, 11, 12, 13, 17, 18, 22, 30,
                                       60, 24, 25, 26, 27, 38, 39, 9,  10};
constexpr std::uint8_t SlaveVw1[] = {14, 15, 16, 19, 20, 23, 18, 24, 25, 26, 27, 28, 29, 30, 9, 10};
constexpr std::uint8_t SlaveVw2[] = {14, 15, 16, 21, 19, 20, 23, 18, 53, 24, 25, 26, 27, 28,
                                     29, 30, 60, 9,  10, 63, 31, 33, 32, 37, 34, 36, 35};
constexpr std::uint8_t SlaveBmwF10[] = {15, 14, 11, 12, 13, 23, 18, 17, 33, 31, 32, 34, 64, 35, 65};
constexpr std::uint8_t SlaveMercedesW251[] = {24, 25, 17, 21, 28, 29, 38, 39,
                                              14, 15, 59, 18, 30, 40, 41};
constexpr std::uint8_t SlaveDodgeRam[] = {14, 15, 20, 19, 38, 39, 18, 17, 21, 24, 25, 26, 27, 28};
constexpr std::uint8_t SlaveVwOld[] = {14, 15, 23, 24, 25, 31, 32, 37, 30};
constexpr std::uint8_t SlaveSkodaA7[] = {14, 15, 16, 19, 20, 11, 12, 13, 21, 29,
                                         17, 18, 22, 27, 26, 23, 36, 60, 9,  10};
constexpr std::uint8_t SlaveSkodaA5[] = {14, 15, 16, 26, 27, 11, 12, 13, 17, 29, 23, 18, 30, 9, 10};
constexpr std::uint8_t SlavePorsche[] = {14, 15, 16, 11, 12, 13, 17, 29, 38, 39};
constexpr std::uint8_t SlaveMercedesW205[] = {24, 28, 25, 66, 67, 29, 38, 18,
                                              39, 14, 59, 15, 30, 9,  10};

constexpr CommandRows SlaveCommandLists[] = {
    SlaveNothing,      // 0 no settings
    SlaveListener,     // 1 Listener
    SlaveAudi1,        // 2 AUDI1
    SlaveAudi2,        // 3 AUDI2
    SlaveVw1,          // 4 VW1 (PQ)
    SlaveVw2,          // 5 VW2
    SlaveBmwF10,       // 6 BMW F10
    SlaveMercedesW251, // 7 MERCEDES W251/W221
    SlaveDodgeRam,     // 8 DODGE RAM
    SlaveVwOld,        // 9 VW OLD
    SlaveSkodaA7,      // 10 SKODA A7
    SlaveSkodaA5,      // 11 SKODA A5
    SlavePorsche,      // 12 PORSCHE
    SlaveMercedesW205, // 13 MERCEDES W205
};

constexpr int OneShotKeys[] = {7, 8, 9, 10, 20, 21, 40, 41, 43, 44, 66, 67};

template <typename Span> bool HasRow(Span table, int row) {
    return row >= 0 && static_cast<std::size_t>(row) < table.size();
}

} // namespace

constinit const NameTable PowerPinLevels{PowerPinLevelRows};
constinit const NameTable OpenCollectorPinLevels{OpenCollectorPinLevelRows};
constinit const NameTable LinSlaveTypes{LinSlaveTypeRows};
constinit const NameTable LinMasterTypes{LinMasterTypeRows};
constinit const NameTable SlaveEncodings{SlaveEncodingRows};
constinit const NameTable SlaveEncodingsVW2{SlaveEncodingVW2Rows};
constinit const NameTable SlaveEncodingsAUDI2{SlaveEncodingAUDI2Rows};
constinit const NameTable LinSpeeds{LinSpeedRows};
constinit const NameTable HeaterPins{HeaterPinRows};
constinit const NameTable ReactionPins{ReactionPinRows};
constinit const PlainNameTable LinKeyTable{LinKeyRows};
constinit const PlainNameTable LinCommandTable{LinCommandRows};

constinit const TextPair PinLevelHint{"Исходный уровень при включении",
                                      "Default state on power up"};
constinit const TextPair LinSlaveHint{"Настройка Lin Slave", "Setting for Lin Slave"};
constinit const TextPair LinMasterHint{"Настройка Lin Master", "Setting for Lin Master"};
constinit const TextPair LinSlaveTypeHint{"Настройка типа Lin Slave", "Setting for Lin Slave type"};

QStringList TableTexts(NameTable table, int language) {
    QStringList texts;
    texts.reserve(static_cast<qsizetype>(table.size()));
    for (const TextPair& row : table)
        texts.append(LangText(row, language));
    return texts;
}

QString TableText(NameTable table, int row, int language) {
    if (!HasRow(table, row))
        return QString();
    return LangText(table[static_cast<std::size_t>(row)], language);
}

NameTable SlaveEncodingsFor(int lin1mode) {
    if (lin1mode == 3)
        return SlaveEncodingsAUDI2;
    if (lin1mode == 5)
        return SlaveEncodingsVW2;
    return SlaveEncodings;
}

CommandRows LinMasterCommandRows(int lin2mode) {
    const std::span<const CommandRows> lists(MasterCommandLists);
    return HasRow(lists, lin2mode) ? lists[static_cast<std::size_t>(lin2mode)] : CommandRows();
}

CommandRows LinSlaveCommandRows(int lin1mode) {
    const std::span<const CommandRows> lists(SlaveCommandLists);
    return HasRow(lists, lin1mode) ? lists[static_cast<std::size_t>(lin1mode)] : CommandRows();
}

QStringList LinReactionList(int lin1mode, int lin2mode) {
    QStringList items;
    for (std::uint8_t row : LinMasterCommandRows(lin2mode))
        items.append(QString::fromUtf8(LinCommandTable[row]));
    // A slave type of a single row (no settings) adds nothing.
    const CommandRows slave = LinSlaveCommandRows(lin1mode);
    if (slave.size() > 1) {
        for (std::uint8_t row : slave)
            items.append(QString::fromUtf8(LinCommandTable[row]));
    }
    return items;
}

int LinCommandIndexOf(const QStringList& items, int listIndex) {
    // An empty list reports no selection as -1; that, too, means the first row.
    if (listIndex < 0 || listIndex >= items.size())
        return 0;
    const QString& text = items[listIndex];
    for (std::size_t row = 0; row < LinCommandTable.size(); ++row) {
        if (text == QString::fromUtf8(LinCommandTable[row]))
            return static_cast<int>(row);
    }
    return 0;
}

int LinListIndexOf(const QStringList& items, int row) {
    if (!HasRow(LinCommandTable, row))
        return 0;
    const qsizetype at =
        items.indexOf(QString::fromUtf8(LinCommandTable[static_cast<std::size_t>(row)]));
    return at < 0 ? 0 : static_cast<int>(at);
}

std::optional<QString> LinKeyName(int value) {
    if (!HasRow(LinKeyTable, value))
        return std::nullopt;
    return QString::fromUtf8(LinKeyTable[static_cast<std::size_t>(value)]);
}

bool IsOneShotKey(int value) {
    return std::find(std::begin(OneShotKeys), std::end(OneShotKeys), value) !=
           std::end(OneShotKeys);
}

} // namespace korvex
