// Configurations compared in the words of the pages and the tab strip.
#include "ConfigDiff.h"

#include "config/EntryWords.h"
#include "config/EventRules.h"
#include "config/ParameterWords.h"
#include "config/ReactionRules.h"
#include "text/Cp1251.h"

#include <algorithm>

namespace korvex {

namespace {

constexpr int SummaryLines = 10;
constexpr int EventKindLast = kind::EventVoltage;
constexpr int ReactionKindLast = kind::ReactionEventControl;

QString Hex(std::uint8_t b) {
    return QString::asprintf("%02X", b);
}

QString ByteLine(const ConfigBytes& a, const ConfigBytes& b, int offset, int language) {
    const auto i = static_cast<std::size_t>(offset);
    return LangFormat(ByteChangedText, language, offset, Hex(a[i]).toLatin1().constData(),
                      Hex(b[i]).toLatin1().constData());
}

bool SameBytes(const ConfigBytes& a, const ConfigBytes& b, int offset, int count) {
    return std::equal(a.begin() + offset, a.begin() + offset + count, b.begin() + offset);
}

// A byte line for each byte of the range that differs, indented as `prefix` says.
void AddByteLines(QStringList& lines, const QString& prefix, const ConfigBytes& a,
                  const ConfigBytes& b, int offset, int count, int language) {
    for (int i = offset; i < offset + count; ++i)
        if (a[static_cast<std::size_t>(i)] != b[static_cast<std::size_t>(i)])
            lines << prefix + ByteLine(a, b, i, language);
}

QString ParameterLine(const ParameterWord& a, const ParameterWord& b) {
    QString label = a.label;
    if (!a.part.isEmpty())
        label += QLatin1Char(' ') + a.part;
    // Two stored values that read alike (a voltage code beyond 5.00 V) are told by their numbers.
    const bool alike = a.value == b.value;
    const QString before = alike ? QString::number(a.stored) : a.value;
    const QString after = alike ? QString::number(b.stored) : b.value;
    QString line = label + QStringLiteral(": ") + before + QStringLiteral(" -> ") + after;
    if (!alike && !b.unit.isEmpty())
        line += QLatin1Char(' ') + b.unit;
    return line;
}

// A part in the editor's words, and a kind the pages cannot show named as what it is.
QString WithUnknownKind(QString text, std::uint8_t kind, std::uint8_t last, int language) {
    if (kind > last)
        text += QLatin1Char(' ') + LangFormat(UnknownKindText, language, unsigned(kind));
    return text;
}

QString EventWords(const ConfigImage& image, int n, int language) {
    return WithUnknownKind(EventText(image, n, language),
                           Get(image.bytes, EntryField(n, entry::eventKind)), EventKindLast,
                           language);
}

QString ReactionWords(const ConfigImage& image, int n, int language) {
    return WithUnknownKind(ReactionText(image, n, language),
                           Get(image.bytes, EntryField(n, entry::reactionKind)), ReactionKindLast,
                           language);
}

QString Quoted(const ConfigBytes& bytes, int n) {
    const auto first = bytes.begin() + EntryOffset(n);
    const auto end = std::find(first, first + EntryNameSize, std::uint8_t(0));
    QByteArray name;
    for (auto it = first; it != end; ++it)
        name += char(*it);
    return QLatin1Char('"') + DecodeCp1251(name) + QLatin1Char('"');
}

const EntryFieldWord* FieldAt(const std::vector<EntryFieldWord>& fields, int offset) {
    const auto hit = std::find_if(fields.begin(), fields.end(), [offset](const EntryFieldWord& f) {
        return offset >= f.offset && offset < f.offset + f.size;
    });
    return hit != fields.end() ? &*hit : nullptr;
}

// One part of entry n: its words before and after. Where they read alike (the display shows a
// value it replaces, or a field it does not mention), each differing value is named by the
// control that shows it, and a byte no control shows as a byte.
void AddPart(QStringList& lines, const QString& label, const QString& before, const QString& after,
             const ConfigBytes& a, const ConfigBytes& b, int n, int offset, int count,
             int language) {
    if (SameBytes(a, b, offset, count))
        return;
    const QString indent = QStringLiteral("  ");
    if (before != after) {
        lines << indent + label + QStringLiteral(": ") + before + QStringLiteral(" -> ") + after;
        return;
    }
    const std::vector<EntryFieldWord> fieldsA = EntryFieldWords(a, n, language);
    const std::vector<EntryFieldWord> fieldsB = EntryFieldWords(b, n, language);
    for (int i = offset; i < offset + count; ++i) {
        if (a[static_cast<std::size_t>(i)] == b[static_cast<std::size_t>(i)])
            continue;
        const EntryFieldWord* fa = FieldAt(fieldsA, i);
        const EntryFieldWord* fb = FieldAt(fieldsB, i);
        if (fa != nullptr && fb != nullptr && fa->offset == fb->offset && fa->size == fb->size) {
            lines << indent + ParameterLine(fa->word, fb->word);
            i = fa->offset + fa->size - 1; // one line for the whole field
        } else {
            lines << indent + ByteLine(a, b, i, language);
        }
    }
}

void AddEntry(QStringList& lines, const ConfigImage& a, const ConfigImage& b, int n,
              const QString& eventLabel, const QString& reactionLabel, int language) {
    const int at = EntryOffset(n);
    if (SameBytes(a.bytes, b.bytes, at, EntrySize))
        return;
    const int lastByte = at + EntrySize - 1; // not interpreted by the tool
    const bool added = IsEntryEmpty(a.bytes, n);
    const bool removed = IsEntryEmpty(b.bytes, n);
    if (added || removed) {
        const ConfigImage& used = added ? b : a;
        const QByteArray caption = EntryCaption(used, n).toUtf8();
        lines << LangFormat(added ? EntryAddedText : EntryRemovedText, language,
                            caption.constData());
        lines << QStringLiteral("  ") + eventLabel + QStringLiteral(": ") +
                     EventWords(used, n, language);
        lines << QStringLiteral("  ") + reactionLabel + QStringLiteral(": ") +
                     ReactionWords(used, n, language);
        AddByteLines(lines, QStringLiteral("  "), a.bytes, b.bytes, lastByte, 1, language);
        return;
    }
    lines << EntryCaption(b, n);
    AddPart(lines, LangText(TabNameLabel, language), Quoted(a.bytes, n), Quoted(b.bytes, n),
            a.bytes, b.bytes, n, at, EntryNameSize, language);
    AddPart(lines, eventLabel, EventWords(a, n, language), EventWords(b, n, language), a.bytes,
            b.bytes, n, at + EventPartOffset, EventPartSize, language);
    AddPart(lines, reactionLabel, ReactionWords(a, n, language), ReactionWords(b, n, language),
            a.bytes, b.bytes, n, at + ReactionPartOffset, ReactionPartSize - 1, language);
    AddByteLines(lines, QStringLiteral("  "), a.bytes, b.bytes, lastByte, 1, language);
}

} // namespace

QStringList DiffConfigurations(const ConfigBytes& before, const ConfigBytes& after, int language) {
    if (before == after)
        return {LangText(ConfigsSameText, language)};
    QStringList lines;
    if (!SameBytes(before, after, ParamRegionOffset, ParamRegionSize)) {
        const std::vector<ParameterWord> a = ParameterWords(before, language);
        const std::vector<ParameterWord> b = ParameterWords(after, language);
        for (std::size_t i = 0; i < a.size(); ++i)
            if (a[i].stored != b[i].stored || a[i].value != b[i].value)
                lines << ParameterLine(a[i], b[i]);
        // The four bytes after the backlight are carried, never interpreted.
        constexpr int Carried = LinParam2Offset + 4;
        AddByteLines(lines, QString(), before, after, Carried, ConfigImageSize - Carried, language);
    }
    // The entry texts read whole images; one copy of each side serves every entry.
    ConfigImage a;
    a.bytes = before;
    ConfigImage b;
    b.bytes = after;
    const QString eventLabel = MainCaption("GroupBoxEvent", language);
    const QString reactionLabel = MainCaption("GroupBoxReaction", language);
    for (int n = 0; n < EntryCount; ++n)
        AddEntry(lines, a, b, n, eventLabel, reactionLabel, language);
    return lines;
}

ConfigBytes AsEditorShows(const ConfigBytes& bytes) {
    ConfigBytes shown = bytes;
    ApplyLongPressDefault(shown);
    ApplyBacklightDefaults(shown);
    for (int n = 0; n < EntryCount; ++n) {
        ShowEventPart(shown, n, LangEnglish);
        ShowReaction(shown, n, LangEnglish);
    }
    return shown;
}

namespace {

// `before` with the range of `after` in it: the diff of one part alone.
ConfigBytes WithRange(const ConfigBytes& before, const ConfigBytes& after, int offset, int count) {
    ConfigBytes mixed = before;
    std::copy(after.begin() + offset, after.begin() + offset + count, mixed.begin() + offset);
    return mixed;
}

// The diff, one part (the parameters, then each entry) at a time, with the changes the rules
// alone made noted; `onlyNoted` keeps those only, each with its entry's caption before it.
QStringList NoteRules(const ConfigBytes& before, const ConfigBytes& after, int language,
                      bool onlyNoted) {
    const ConfigBytes shown = AsEditorShows(before);
    QStringList lines;
    for (int part = -1; part < EntryCount; ++part) {
        const int offset = part < 0 ? ParamRegionOffset : EntryOffset(part);
        const int count = part < 0 ? ParamRegionSize : EntrySize;
        if (SameBytes(before, after, offset, count))
            continue;
        ConfigBytes ruled = before; // the bytes the rules set and the user left so
        for (int i = offset; i < offset + count; ++i) {
            const auto at = static_cast<std::size_t>(i);
            if (shown[at] != before[at] && after[at] == shown[at])
                ruled[at] = after[at];
        }
        const QStringList all =
            DiffConfigurations(before, WithRange(before, after, offset, count), language);
        const QStringList byRules =
            ruled == before ? QStringList() : DiffConfigurations(before, ruled, language);
        const bool shortPress = part >= 0 &&
                                Get(after, EntryField(part, entry::eventKind)) == kind::EventLin &&
                                Get(after, EntryField(part, entry::eventPress)) == press::Short;
        const QString note = LangText(shortPress ? ShortPressRuleNote : EditorRuleNote, language);
        // An entry's first line is its caption, alike in both.
        for (int i = 0; i < all.size(); ++i) {
            const bool caption = part >= 0 && i == 0;
            const bool noted = !caption && byRules.indexOf(all[i], part >= 0 ? 1 : 0) >= 0;
            if (!onlyNoted)
                lines << (noted ? all[i] + note : all[i]);
            else if (noted)
                lines << (part >= 0 ? all[0] + QStringLiteral(": ") : QString()) +
                             all[i].trimmed() + note;
        }
    }
    return lines;
}

} // namespace

QStringList DiffNotingRules(const ConfigBytes& before, const ConfigBytes& after, int language) {
    if (before == after)
        return DiffConfigurations(before, after, language);
    return NoteRules(before, after, language, false);
}

QStringList RuleMadeChanges(const ConfigBytes& before, const ConfigBytes& after, int language) {
    return NoteRules(before, after, language, true);
}

QString DiffSummary(const QStringList& lines, int maxLines, int language) {
    if (lines.size() <= maxLines)
        return lines.join(QLatin1Char('\n'));
    QStringList shown = lines.mid(0, maxLines);
    shown << LangFormat(MoreLinesText, language, int(lines.size() - maxLines));
    return shown.join(QLatin1Char('\n'));
}

QString ChangeSummary(const ConfigBytes& before, const ConfigBytes& after, int language) {
    if (before == after)
        return LangText(NothingChangesText, language);
    return LangText(ChangesHeadingText, language) + QLatin1Char('\n') +
           DiffSummary(DiffNotingRules(before, after, language), SummaryLines, language);
}

} // namespace korvex
