// The invariants of the configuration image: what a kind change clears, what an unknown kind
// becomes, and the defaults that stand in for values the controller leaves at zero.
#include "ConfigImage.h"

#include <QtGlobal>

#include <algorithm>

namespace korvex {

namespace {

void ClearBytes(ConfigBytes& bytes, int offset, int count) {
    std::fill_n(bytes.begin() + offset, count, std::uint8_t{0});
}

bool InImage(int n) {
    return n >= 0 && n < EntryCount;
}

} // namespace

EntryRef::EntryRef(ConfigBytes& bytes, int n) : bytes_(&bytes), n_(n) {
    Q_ASSERT(InImage(n));
}

void EntryRef::setEventVoltageThreshold(std::uint16_t millivolts) const {
    const auto kept = static_cast<std::uint16_t>(get(entry::eventVoltage) & VoltageAboveBit);
    set(entry::eventVoltage,
        static_cast<std::uint16_t>(kept | (millivolts & VoltageThresholdMask)));
}

void EntryRef::setEventVoltageAbove(bool above) const {
    const auto kept = static_cast<std::uint16_t>(get(entry::eventVoltage) & VoltageThresholdMask);
    set(entry::eventVoltage, static_cast<std::uint16_t>(kept | (above ? VoltageAboveBit : 0)));
}

QByteArray EntryRef::name() const {
    QByteArray out;
    for (int i = 0; i < EntryNameSize; ++i) {
        const std::uint8_t b = (*bytes_)[static_cast<std::size_t>(EntryOffset(n_) + i)];
        if (b == 0)
            break;
        out.append(static_cast<char>(b));
    }
    return out;
}

void EntryRef::setName(const QByteArray& name) const {
    const int base = EntryOffset(n_);
    const int count = static_cast<int>(std::min<qsizetype>(name.size(), EntryNameSize));
    ClearBytes(*bytes_, base, EntryNameSize);
    for (int i = 0; i < count; ++i)
        (*bytes_)[static_cast<std::size_t>(base + i)] = static_cast<std::uint8_t>(name[i]);
}

bool IsEntryEmpty(const ConfigBytes& bytes, int n) {
    Q_ASSERT(InImage(n));
    const auto first = bytes.begin() + EntryOffset(n);
    return std::all_of(first, first + EntrySize, [](std::uint8_t b) { return b == 0; });
}

void SetEventKind(ConfigBytes& bytes, int n, std::uint8_t eventKind) {
    Q_ASSERT(InImage(n));
    ClearBytes(bytes, EntryOffset(n) + EventPartOffset, EventPartSize);
    Set(bytes, EntryField(n, entry::eventKind), eventKind);
}

void SetReactionKind(ConfigBytes& bytes, int n, std::uint8_t reactionKind) {
    Q_ASSERT(InImage(n));
    ClearBytes(bytes, EntryOffset(n) + ReactionPartOffset, ReactionPartSize);
    Set(bytes, EntryField(n, entry::reactionKind), reactionKind);
    if (reactionKind == kind::ReactionRadioControl) {
        Set(bytes, EntryField(n, entry::vout1Code), Get(bytes, param::VOUT1));
        Set(bytes, EntryField(n, entry::vout2Code), Get(bytes, param::VOUT2));
    }
}

bool NormaliseEventPart(ConfigBytes& bytes, int n) {
    Q_ASSERT(InImage(n));
    const std::uint8_t k = Get(bytes, EntryField(n, entry::eventKind));
    if (k != kind::EventNone && k <= kind::EventVoltage)
        return false;
    ClearBytes(bytes, EntryOffset(n) + EventPartOffset, EventPartSize);
    return true;
}

bool NormaliseReactionPart(ConfigBytes& bytes, int n) {
    Q_ASSERT(InImage(n));
    const std::uint8_t k = Get(bytes, EntryField(n, entry::reactionKind));
    if (k != kind::ReactionNone && k <= kind::ReactionEventControl)
        return false;
    ClearBytes(bytes, EntryOffset(n) + ReactionPartOffset, ReactionPartSize);
    return true;
}

VoutRange OutputRange(const ConfigBytes& bytes, int channel) {
    Q_ASSERT(channel == 1 || channel == 2);
    const std::uint16_t a = Get(bytes, channel == 1 ? param::VOUT1 : param::VOUT2);
    const std::uint16_t b = Get(bytes, channel == 1 ? param::VOUT1minmax : param::VOUT2minmax);
    return VoutRange{std::min(a, b), std::max(a, b)};
}

bool ClampRadioControlCodes(ConfigBytes& bytes, int n) {
    Q_ASSERT(InImage(n));
    // The same offsets hold other fields under other reaction kinds.
    if (Get(bytes, EntryField(n, entry::reactionKind)) != kind::ReactionRadioControl)
        return false;
    bool changed = false;
    const auto clampChannel = [&](int channel, U8Field action, U16Field code) {
        const std::uint8_t a = Get(bytes, EntryField(n, action));
        if (a != VoutActionSet && a != VoutActionEqual)
            return;
        const VoutRange range = OutputRange(bytes, channel);
        const std::uint16_t old = Get(bytes, EntryField(n, code));
        const std::uint16_t clamped = std::clamp(old, range.low, range.high);
        if (clamped != old) {
            Set(bytes, EntryField(n, code), clamped);
            changed = true;
        }
    };
    clampChannel(1, entry::vout1Action, entry::vout1Code);
    clampChannel(2, entry::vout2Action, entry::vout2Code);
    return changed;
}

bool ApplyLongPressDefault(ConfigBytes& bytes) {
    if (Get(bytes, param::PAR_LongTO) != 0)
        return false;
    Set(bytes, param::PAR_LongTO, 1000);
    return true;
}

bool ApplyBacklightDefaults(ConfigBytes& bytes) {
    if (Get(bytes, param::Light_Day) != 0 || Get(bytes, param::Light_Min) != 0 ||
        Get(bytes, param::Light_Max) != 0)
        return false;
    Set(bytes, param::Light_Day, 100);
    Set(bytes, param::Light_Min, 5);
    Set(bytes, param::Light_Max, 50);
    return true;
}

void ClearParameterRegion(ConfigBytes& bytes) {
    ClearBytes(bytes, ParamRegionOffset, ParamRegionSize);
}

} // namespace korvex
