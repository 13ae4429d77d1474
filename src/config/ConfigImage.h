// The tool's byte-exact mirror of the controller's configuration memory (area 16), and its
// shadow copy as last read from or sent to the controller. Offsets here are offsets in the
// controller's memory, so every field is addressed by byte offset, never by a C++ layout.
#pragma once

#include "link/LittleEndian.h"

#include <QByteArray>

#include <array>
#include <cstdint>
#include <type_traits>

namespace korvex {

constexpr int ConfigImageSize = 2019;
using ConfigBytes = std::array<std::uint8_t, ConfigImageSize>;

// The configuration as it came from a controller in the last complete read, and that
// controller's serial number: what the user may want back after overwriting it. `held` is what
// that controller holds as far as the tool knows: the bytes read, then every write it accepted.
// The shadow copy cannot say so: it also holds what the display filled in and never sent.
struct ReadCopy {
    bool valid = false;
    std::uint32_t serial = 0;
    ConfigBytes bytes{};
    ConfigBytes held{};
};

struct ConfigImage {
    ConfigBytes bytes{};
    ConfigBytes shadowCopy{};
    ReadCopy lastRead;
    bool lastReadKept = false; // a snapshot of lastRead was taken (or tried); cleared by a read
};

// Blocks of the image.
constexpr int EntryCount = 60;
constexpr int EntrySize = 33;
constexpr int EntryNameSize = 10;
constexpr int EventPartOffset = 10; // bytes 10..20 of an entry
constexpr int EventPartSize = 11;
constexpr int ReactionPartOffset = 21; // bytes 21..32 of an entry
constexpr int ReactionPartSize = 12;
constexpr int PinModeOffset = 1980;
constexpr int PinModeSize = 8;
constexpr int LinParamOffset = 1988;
constexpr int LinParamSize = 15;
constexpr int AnaParamOffset = 2003;
constexpr int AnaParamSize = 8;
constexpr int LinParam2Offset = 2011;
constexpr int LinParam2Size = 8;
constexpr int ParamRegionOffset = PinModeOffset;
constexpr int ParamRegionSize = ConfigImageSize - ParamRegionOffset; // 39

constexpr int EntryOffset(int n) {
    return EntrySize * n;
}

// A little-endian unsigned field of 1, 2 or 4 bytes at a byte offset. Entry fields carry their
// offset inside the entry; EntryField() turns them into image offsets.
template <typename T> struct Field {
    using Value = T;
    int offset;
};
using U8Field = Field<std::uint8_t>;
using U16Field = Field<std::uint16_t>;
using U32Field = Field<std::uint32_t>;

// Half a byte: shift 0 for bits 0..3, shift 4 for bits 4..7.
struct NibbleField {
    using Value = std::uint8_t;
    int offset;
    int shift;
};

template <typename T> constexpr Field<T> EntryField(int n, Field<T> field) {
    return Field<T>{EntryOffset(n) + field.offset};
}

template <typename T> T Get(const ConfigBytes& bytes, Field<T> field) {
    const std::uint8_t* p = bytes.data() + field.offset;
    if constexpr (sizeof(T) == 1)
        return *p;
    else if constexpr (sizeof(T) == 2)
        return GetU16le(p);
    else
        return GetU32le(p);
}

template <typename T> void Set(ConfigBytes& bytes, Field<T> field, std::type_identity_t<T> value) {
    std::uint8_t* p = bytes.data() + field.offset;
    if constexpr (sizeof(T) == 1)
        *p = value;
    else if constexpr (sizeof(T) == 2)
        PutU16le(p, value);
    else
        PutU32le(p, value);
}

inline std::uint8_t Get(const ConfigBytes& bytes, NibbleField field) {
    return static_cast<std::uint8_t>(
        (bytes[static_cast<std::size_t>(field.offset)] >> field.shift) & 0x0F);
}

// Keeps the other nibble of the byte.
inline void Set(ConfigBytes& bytes, NibbleField field, std::uint8_t value) {
    std::uint8_t& b = bytes[static_cast<std::size_t>(field.offset)];
    const auto mask = static_cast<std::uint8_t>(0x0F << field.shift);
    b = static_cast<std::uint8_t>((b & ~mask) | ((value << field.shift) & mask));
}

// Fields of an EventReactionEntry, by offset inside the entry. Several share an offset: which
// one applies depends on the kind byte at the head of the event or reaction part.
namespace entry {
constexpr U8Field eventKind{10};
constexpr U8Field eventSourceMask{11};
constexpr U8Field eventCode{12};
constexpr U32Field eventTimeout{13};
constexpr U16Field eventVoltage{13};
constexpr U32Field eventVoltageTime{15};
constexpr U8Field eventPress{19};
constexpr U8Field eventOnce{20};
constexpr U8Field reactionKind{21};
constexpr U8Field reactionCode{22};
constexpr U16Field vout1Code{22};
constexpr U8Field reactionOption{23};
constexpr U16Field pinDuration{24};
constexpr U8Field sourceSave{24};
constexpr U16Field vout2Code{24};
constexpr U16Field voutTime{26};
constexpr U8Field vout1Action{28};
constexpr U8Field vout1Save{29};
constexpr U8Field vout2Action{30};
constexpr U8Field vout2Save{31};
} // namespace entry

// Event kinds (eventKind) and reaction kinds (reactionKind).
namespace kind {
constexpr std::uint8_t EventNone = 0;
constexpr std::uint8_t EventLin = 1;
constexpr std::uint8_t EventSource = 2;
constexpr std::uint8_t EventTimeout = 3;
constexpr std::uint8_t EventVoltage = 4;
constexpr std::uint8_t ReactionNone = 0;
constexpr std::uint8_t ReactionLin = 1;
constexpr std::uint8_t ReactionPin = 2;
constexpr std::uint8_t ReactionRadioControl = 3;
constexpr std::uint8_t ReactionSource = 4;
constexpr std::uint8_t ReactionEventControl = 5;
} // namespace kind

// Radio-control actions (vout1Action, vout2Action) that set an absolute voltage.
constexpr std::uint8_t VoutActionSet = 0;
constexpr std::uint8_t VoutActionEqual = 4;

// eventVoltage: bits 0..14 the threshold in millivolts, bit 15 set for "above".
constexpr std::uint16_t VoltageAboveBit = 0x8000;
constexpr std::uint16_t VoltageThresholdMask = 0x7FFF;

// The parameter blocks, by image offset.
namespace param {
constexpr U8Field X21{1980};
constexpr U8Field X22{1981};
constexpr U8Field X23{1982};
constexpr U8Field X24{1983};
constexpr U8Field X25{1984};
constexpr U8Field X26{1985};
constexpr NibbleField X27{1986, 0};
constexpr NibbleField X29{1986, 4};
constexpr NibbleField X28{1987, 0};
constexpr NibbleField X210{1987, 4};

constexpr U8Field LIN1MODE{1988};
constexpr U8Field LIN2MODE{1989};
constexpr U8Field LINSPEED{1990};
constexpr U8Field LINTYPE{1991};
constexpr U8Field SWAP_VOLDN_OK{1992};
constexpr U8Field TEMP_RELAY_PIN{1993};
constexpr U8Field LIGHT_VAR_ENABLE{1994};
constexpr U8Field HEAT_VAR_ENABLE{1995};
constexpr U16Field PAR_LongTO{1996};
constexpr U8Field PULSESRCNUM{1998};
constexpr U8Field LINPROTOCOLVERSION{1999};
constexpr U16Field KEY_REASSIGN_TO{2000};
constexpr U8Field LINTYPESLAVE{2002};

constexpr U16Field VOUT1{2003};
constexpr U16Field VOUT2{2005};
constexpr U16Field VOUT1minmax{2007};
constexpr U16Field VOUT2minmax{2009};

constexpr U8Field LIGHT_DIAG_USE{2011};
constexpr U8Field Light_Day{2012};
constexpr U8Field Light_Min{2013};
constexpr U8Field Light_Max{2014};
} // namespace param

// One entry of the image, for reading and writing its fields by their entry-relative names.
class EntryRef {
public:
    EntryRef(ConfigBytes& bytes, int n);

    int number() const { return n_; }
    template <typename T> T get(Field<T> field) const {
        return Get(*bytes_, EntryField(n_, field));
    }
    template <typename T> void set(Field<T> field, std::type_identity_t<T> value) const {
        Set(*bytes_, EntryField(n_, field), value);
    }

    std::uint16_t eventVoltageThreshold() const {
        return get(entry::eventVoltage) & VoltageThresholdMask;
    }
    bool eventVoltageAbove() const { return (get(entry::eventVoltage) & VoltageAboveBit) != 0; }
    // Each keeps the other part of eventVoltage.
    void setEventVoltageThreshold(std::uint16_t millivolts) const;
    void setEventVoltageAbove(bool above) const;

    // The tab name as stored: up to 10 bytes, ending at the first zero byte.
    QByteArray name() const;
    // Stores at most 10 bytes and fills the rest of the field with zeros.
    void setName(const QByteArray& name) const;

private:
    ConfigBytes* bytes_;
    int n_;
};

// An entry whose 33 bytes are all zero.
bool IsEntryEmpty(const ConfigBytes& bytes, int n);

// Changing a kind starts its part afresh, so no setting of the previous kind survives.
void SetEventKind(ConfigBytes& bytes, int n, std::uint8_t eventKind);
// Radio control starts both channels at their default voltages.
void SetReactionKind(ConfigBytes& bytes, int n, std::uint8_t reactionKind);

// An event part without a known kind (0, or above 4) is cleared, so an unknown kind becomes 0.
// Returns true when the kind was not a known one.
bool NormaliseEventPart(ConfigBytes& bytes, int n);
// Likewise the reaction part for a reaction kind of 0 or above 5.
bool NormaliseReactionPart(ConfigBytes& bytes, int n);

// The permitted range of radio-control output 1 or 2: between VOUTn and VOUTnminmax, whichever
// is smaller being the lower end.
struct VoutRange {
    std::uint16_t low;
    std::uint16_t high;
};
VoutRange OutputRange(const ConfigBytes& bytes, int channel);

// For a radio-control reaction, pulls each channel whose action sets an absolute voltage
// ("установить", "задать") into that output's range. Returns true when a code changed.
bool ClampRadioControlCodes(ConfigBytes& bytes, int n);

// The controller reports an unset long-press time as 0; the tool works with 1000 ms then.
// Returns true when the value was replaced.
bool ApplyLongPressDefault(ConfigBytes& bytes);
// An all-zero backlight setting becomes 100 % by day, 5 % minimum, 50 % maximum.
// Returns true when the defaults were applied.
bool ApplyBacklightDefaults(ConfigBytes& bytes);

// Zeroes bytes 1980..2018, the parameter blocks.
void ClearParameterRegion(ConfigBytes& bytes);

} // namespace korvex
