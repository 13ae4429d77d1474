// The configuration as text: its keys, the words of its values and the raw lines for the rest.
#include "ConfigText.h"

#include "config/EntryWords.h"
#include "config/ParameterWords.h"
#include "config/ValueEntry.h"
#include "config/Vocabulary.h"
#include "host/FileAccess.h"
#include "host/FileTexts.h"
#include "link/IdentityRecord.h"
#include "sim/VirtualController.h"
#include "text/Cp1251.h"
#include "text/LookAlike.h"

#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QRegularExpression>
#include <QStringConverter>
#include <QStringDecoder>

#include <algorithm>
#include <map>
#include <optional>
#include <vector>

namespace korvex {

namespace {

constexpr TextPair ProgramLine{"Программа KORVEX Setup %s, %s", "KORVEX Setup %s, %s"};
constexpr TextPair ControllerLine{
    "Контроллер \"%s\", серийный номер %u, загрузчик %s, программа %s",
    "Controller \"%s\", serial number %u, boot version %s, application version %s"};
constexpr TextPair DifferencesLine{
    "Только отличия от заводских настроек; одна настройка в строке: КЛЮЧ = значение",
    "Only what differs from the factory defaults; one setting per line: KEY = value"};
constexpr TextPair EverythingLine{"Все настройки; одна настройка в строке: КЛЮЧ = значение",
                                  "Every setting; one setting per line: KEY = value"};
constexpr TextPair EntriesLine{"Записи", "Entries"};
constexpr TextPair OtherBytesLine{"Байты, которые не показывает ни один элемент",
                                  "Bytes that no control shows"};

constexpr TextPair LineErrorText{"%s, строка %d: \"%s\": ожидается %s",
                                 "%s, line %d: \"%s\": expected %s"};
constexpr TextPair ExpectHeader{"первая строка \"%s\" или \"%s\"",
                                "the first line \"%s\" or \"%s\""};
constexpr TextPair ExpectUtf8{"текст в UTF-8", "a text in UTF-8"};
constexpr TextPair ExpectUtf8NotUtf16{
    "текст в UTF-8, а этот в UTF-16 без метки порядка байтов",
    "a text in UTF-8, and this one is UTF-16 without a byte-order mark"};
constexpr TextPair SnippetRefused{
    "это фрагмент: примените его командой korvex-cli apply SNIPPET TARGET",
    "this is a snippet: apply it with korvex-cli apply SNIPPET TARGET"};
constexpr TextPair ExpectKeyValue{"строка вида КЛЮЧ = значение", "a line KEY = value"};
constexpr TextPair ExpectKnownKey{
    "известный ключ: параметр (X21 … KEY_REASSIGN_TO), entry N, byte N или ключ записи",
    "a known key: a parameter (X21 … KEY_REASSIGN_TO), entry N, byte N or a key of an entry"};
constexpr TextPair ExpectEntryFirst{"строка entry N = имя перед ключами записи",
                                    "a line entry N = name before the keys of an entry"};
constexpr TextPair ExpectKindKey{"ключ этого вида события или реакции: %s",
                                 "a key of this kind of event or reaction: %s"};
constexpr TextPair ExpectWord{"одно из: %s или число 0..%u", "one of: %s, or a number 0..%u"};
constexpr TextPair ExpectNumber{"число 0..%u", "a number 0..%u"};
constexpr TextPair ExpectVolts{"напряжение 0.00..5.00 В", "a voltage 0.00..5.00 V"};
constexpr TextPair ExpectThreshold{"> или < и число 0..32767 мВ",
                                   "> or < and a number 0..32767 mV"};
constexpr TextPair ExpectEntryNumber{"номер записи 1..60 или next",
                                     "an entry number 1..60 or next"};
constexpr TextPair ExpectFreeEntry{"свободная запись для entry next",
                                   "a free entry for entry next"};
constexpr TextPair ExpectName{"имя до 10 знаков кодовой страницы 1251",
                              "a name of at most 10 characters of code page 1251"};
constexpr TextPair ExpectRaw{"шестнадцатеричные байты со смещения 0..%d",
                             "hexadecimal bytes from an offset 0..%d"};

// How a value is written and read besides its number.
enum class Parse { Words, Number, Volts, Threshold };

// A field: its bytes (absolute for parameters, inside the entry for entries).
struct Slot {
    int offset;
    int size; // 0: the half byte at `shift`
    int shift = 0;
};

std::uint32_t MaxOf(const Slot& s) {
    return s.size == 0 ? 15u : s.size == 1 ? 0xFFu : s.size == 2 ? 0xFFFFu : 0xFFFFFFFFu;
}

std::uint32_t ReadSlot(const ConfigBytes& b, const Slot& s, int base) {
    const auto* p = b.data() + base + s.offset;
    if (s.size == 0)
        return (*p >> s.shift) & 0x0Fu;
    std::uint32_t v = 0;
    for (int i = s.size - 1; i >= 0; --i)
        v = (v << 8) | p[i];
    return v;
}

void WriteSlot(ConfigBytes& b, const Slot& s, int base, std::uint32_t v) {
    auto* p = b.data() + base + s.offset;
    if (s.size == 0) {
        *p = static_cast<std::uint8_t>((*p & ~(0x0F << s.shift)) | ((v & 0x0F) << s.shift));
        return;
    }
    for (int i = 0; i < s.size; ++i, v >>= 8)
        p[i] = static_cast<std::uint8_t>(v & 0xFF);
}

// The parameters in the order of ParameterWords.
struct ParamKey {
    const char* key;
    Slot slot;
    Parse parse;
};
constexpr int LinTypeSlaveIndex = 20;
const ParamKey ParamKeys[] = {
    {"X21", {1980, 1}, Parse::Words},
    {"X22", {1981, 1}, Parse::Words},
    {"X23", {1982, 1}, Parse::Words},
    {"X24", {1983, 1}, Parse::Words},
    {"X25", {1984, 1}, Parse::Words},
    {"X26", {1985, 1}, Parse::Words},
    {"X27", {1986, 0, 0}, Parse::Words},
    {"X28", {1987, 0, 0}, Parse::Words},
    {"X29", {1986, 0, 4}, Parse::Words},
    {"X210", {1987, 0, 4}, Parse::Words},
    {"LIN1MODE", {1988, 1}, Parse::Words},
    {"LIN2MODE", {1989, 1}, Parse::Words},
    {"LINSPEED", {1990, 1}, Parse::Words},
    {"LINPROTOCOLVERSION", {1999, 1}, Parse::Words},
    {"LINTYPE", {1991, 1}, Parse::Words},
    {"SWAP_VOLDN_OK", {1992, 1}, Parse::Words},
    {"TEMP_RELAY_PIN", {1993, 1}, Parse::Words},
    {"LIGHT_VAR_ENABLE", {1994, 1}, Parse::Words},
    {"HEAT_VAR_ENABLE", {1995, 1}, Parse::Words},
    {"PAR_LongTO", {1996, 2}, Parse::Number},
    {"LINTYPESLAVE", {2002, 1}, Parse::Words},
    {"LIGHT_DIAG_USE", {2011, 1}, Parse::Words},
    {"Light_Day", {2012, 1}, Parse::Words},
    {"Light_Min", {2013, 1}, Parse::Words},
    {"Light_Max", {2014, 1}, Parse::Words},
    {"PULSESRCNUM", {1998, 1}, Parse::Words},
    {"VOUT1", {2003, 2}, Parse::Volts},
    {"VOUT1minmax", {2007, 2}, Parse::Volts},
    {"VOUT2", {2005, 2}, Parse::Volts},
    {"VOUT2minmax", {2009, 2}, Parse::Volts},
    {"KEY_REASSIGN_TO", {2000, 2}, Parse::Number},
};
constexpr int ParamKeyCount = int(std::size(ParamKeys));

// The keys of an entry's fields, by part, kind and offset inside the entry.
struct EntryKeyName {
    bool reaction;
    int kind; // -1: every kind of the part
    int offset;
    const char* key;
};
constexpr EntryKeyName EntryKeyNames[] = {
    {false, -1, 11, "sources"},  {false, -1, 19, "press"},  {false, -1, 20, "once"},
    {false, 1, 12, "key"},       {false, 3, 12, "from"},    {false, 3, 13, "after"},
    {false, 4, 12, "input"},     {false, 4, 13, "voltage"}, {false, 4, 15, "for"},
    {true, 1, 22, "command"},    {true, 1, 23, "trigger"},  {true, 2, 22, "pin"},
    {true, 2, 23, "mode"},       {true, 2, 24, "duration"}, {true, 3, 22, "ch1"},
    {true, 3, 28, "ch1.action"}, {true, 3, 29, "ch1.save"}, {true, 3, 24, "ch2"},
    {true, 3, 30, "ch2.action"}, {true, 3, 31, "ch2.save"}, {true, 3, 26, "replay"},
    {true, 4, 22, "select"},     {true, 4, 23, "skip"},     {true, 4, 24, "save"},
    {true, 5, 22, "control"},    {true, 5, 23, "target"},
};

QString EntryKeyFor(bool reaction, int kindByte, int offset) {
    for (const EntryKeyName& k : EntryKeyNames) {
        if (k.reaction == reaction && (k.kind < 0 || k.kind == kindByte) && k.offset == offset)
            return QLatin1String(k.key);
    }
    return QStringLiteral("field%1").arg(offset);
}

// A field with the words of its values in both languages, lower-cased for the look-up.
struct WordField {
    QString key;
    Slot slot;
    Parse parse = Parse::Words;
    QString unit[2];
    QHash<QString, std::uint32_t> exact; // as written, so that most look-ups need no case folding
    QHash<QString, std::uint32_t> words;
    QStringList shown[2]; // the words in table order, for the message of a wrong value
};

void AddWord(WordField& f, const QString& word, std::uint32_t v, int lang) {
    if (word.isEmpty())
        return;
    if (!f.exact.contains(word))
        f.exact.insert(word, v);
    const QString folded = FoldLookAlikes(word);
    if (!f.words.contains(folded))
        f.words.insert(folded, v);
    if (word != QString::number(v))
        f.shown[lang] << word;
}

QMutex CacheMutex;

// The parameters' fields, built once: every value of every field is named in one pass over
// images that hold that value in all the parameters' fields at once.
const std::vector<WordField>& ParamFields() {
    static std::vector<WordField> fields;
    const QMutexLocker lock(&CacheMutex);
    if (!fields.empty())
        return fields;
    std::vector<WordField> built(ParamKeyCount);
    ConfigBytes scratch = FactoryBytes();
    for (int i = 0; i < ParamKeyCount; ++i) {
        built[size_t(i)].key = QLatin1String(ParamKeys[i].key);
        built[size_t(i)].slot = ParamKeys[i].slot;
        built[size_t(i)].parse = ParamKeys[i].parse;
    }
    for (std::uint32_t v = 0; v < 256; ++v) {
        for (int i = 0; i < ParamKeyCount; ++i) {
            if (ParamKeys[i].parse == Parse::Words && v <= MaxOf(ParamKeys[i].slot))
                WriteSlot(scratch, ParamKeys[i].slot, 0, v);
        }
        for (int lang = 0; lang < 2; ++lang) {
            const std::vector<ParameterWord> words = ParameterWords(scratch, lang);
            for (int i = 0; i < ParamKeyCount && size_t(i) < words.size(); ++i) {
                WordField& f = built[size_t(i)];
                f.unit[lang] = words[size_t(i)].unit;
                if (f.parse == Parse::Words && i != LinTypeSlaveIndex && v <= MaxOf(f.slot))
                    AddWord(f, words[size_t(i)].value, v, lang);
            }
        }
    }
    fields = std::move(built);
    return fields;
}

// The slave encodings follow the slave type, so their words are looked up in its table.
WordField SlaveEncodingField(int lin1mode) {
    WordField f = ParamFields()[LinTypeSlaveIndex];
    const NameTable table = SlaveEncodingsFor(lin1mode);
    for (int lang = 0; lang < 2; ++lang) {
        for (std::uint32_t v = 0; v < table.size(); ++v)
            AddWord(f, TableText(table, int(v), lang), v, lang);
    }
    return f;
}

// The fields that the pages of one event kind (or reaction kind) show, built when first asked.
const std::vector<WordField>& KindFields(bool reaction, int kindByte) {
    static std::map<int, std::vector<WordField>> cache;
    const QMutexLocker lock(&CacheMutex);
    const int id = (reaction ? 256 : 0) + kindByte;
    const auto found = cache.find(id);
    if (found != cache.end())
        return found->second;
    std::vector<WordField>& fields = cache[id];
    ConfigBytes scratch{};
    if (reaction)
        SetReactionKind(scratch, 0, std::uint8_t(kindByte));
    else
        SetEventKind(scratch, 0, std::uint8_t(kindByte));
    const auto inPart = [&](int offset) {
        return reaction ? offset >= ReactionPartOffset : offset < ReactionPartOffset;
    };
    for (const EntryFieldWord& w : EntryFieldWords(scratch, 0, LangEnglish)) {
        if (!inPart(w.offset))
            continue;
        WordField f;
        f.key = EntryKeyFor(reaction, kindByte, w.offset);
        f.slot = {w.offset, w.size};
        f.parse = w.size == 1                             ? Parse::Words
                  : (f.key == QLatin1String("voltage"))   ? Parse::Threshold
                  : f.key.startsWith(QLatin1String("ch")) ? Parse::Volts
                                                          : Parse::Number;
        fields.push_back(f);
    }
    const bool worded = std::any_of(fields.begin(), fields.end(),
                                    [](const WordField& f) { return f.parse == Parse::Words; });
    for (std::uint32_t v = 0; worded && v < 256; ++v) {
        for (const WordField& f : fields) {
            if (f.parse == Parse::Words)
                WriteSlot(scratch, f.slot, 0, v);
        }
        for (int lang = 0; lang < 2; ++lang) {
            for (const EntryFieldWord& w : EntryFieldWords(scratch, 0, lang)) {
                for (WordField& f : fields) {
                    if (f.slot.offset != w.offset)
                        continue;
                    f.unit[lang] = w.word.unit;
                    if (f.parse == Parse::Words)
                        AddWord(f, w.word.value, v, lang);
                }
            }
        }
    }
    return fields;
}

// The kind of an event or reaction by the captions of its pages.
WordField KindWords(bool reaction) {
    WordField f;
    f.slot = {reaction ? ReactionPartOffset : EventPartOffset, 1};
    const NameTable table = reaction ? ReactionKindNames : EventKindNames;
    for (int lang = 0; lang < 2; ++lang) {
        for (std::uint32_t v = 0; v < table.size(); ++v)
            AddWord(f, LangText(table[v], lang), v, lang);
    }
    return f;
}

const WordField& KindField(bool reaction) {
    static const WordField fields[2] = {KindWords(false), KindWords(true)};
    return fields[reaction ? 1 : 0];
}

std::optional<std::uint32_t> ParseUnsigned(QString text, std::uint32_t max) {
    int base = 10;
    if (text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        text = text.mid(2);
        base = 16;
    }
    if (text.isEmpty() || text.size() > 10)
        return std::nullopt;
    for (const QChar c : text) {
        if (!(c.isDigit() || (base == 16 && QStringLiteral("abcdefABCDEF").contains(c))) ||
            c.unicode() > 127)
            return std::nullopt;
    }
    bool ok = false;
    const qulonglong v = text.toULongLong(&ok, base);
    if (!ok || v > max)
        return std::nullopt;
    return std::uint32_t(v);
}

QString StripUnit(const WordField& f, const QString& value) {
    for (const QString& unit : f.unit) {
        if (!unit.isEmpty() && value.endsWith(QLatin1Char(' ') + unit, Qt::CaseInsensitive))
            return value.chopped(unit.size() + 1).trimmed();
    }
    return value;
}

// The value a text names for a field, or nothing.
std::optional<std::uint32_t> ParseValue(const WordField& f, const QString& value) {
    const std::uint32_t max = MaxOf(f.slot);
    switch (f.parse) {
    case Parse::Words: {
        if (const auto hit = f.exact.constFind(value); hit != f.exact.cend())
            return *hit;
        const QString folded = FoldLookAlikes(value);
        auto it = f.words.constFind(folded);
        if (it == f.words.cend() && !folded.startsWith(QLatin1Char('"')))
            it = f.words.constFind(QLatin1Char('"') + folded + QLatin1Char('"'));
        if (it != f.words.cend())
            return *it;
        return ParseUnsigned(value, max);
    }
    case Parse::Number:
        return ParseUnsigned(StripUnit(f, value), max);
    case Parse::Volts: {
        QString v = StripUnit(f, value);
        if (v.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
            return ParseUnsigned(v, max);
        v.replace(QLatin1Char(','), QLatin1Char('.'));
        bool ok = false;
        const double volts = v.toDouble(&ok);
        if (!ok || !(volts >= 0 && volts <= VoltageCodeMax / 100.0))
            return std::nullopt;
        return VoltsToCode(v);
    }
    case Parse::Threshold: {
        const QString v = StripUnit(f, value);
        if (v.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
            return ParseUnsigned(v, max);
        if (!v.startsWith(QLatin1Char('<')) && !v.startsWith(QLatin1Char('>')))
            return std::nullopt;
        const auto n = ParseUnsigned(v.mid(1).trimmed(), VoltageThresholdMask);
        if (!n)
            return std::nullopt;
        return *n | (v.startsWith(QLatin1Char('>')) ? VoltageAboveBit : 0u);
    }
    }
    return std::nullopt;
}

QString ExpectedValue(const WordField& f, int lang) {
    switch (f.parse) {
    case Parse::Words: {
        QStringList shown = f.shown[lang].mid(0, 8);
        if (f.shown[lang].size() > 8)
            shown << QStringLiteral("…");
        if (shown.isEmpty())
            return LangFormat(ExpectNumber, lang, MaxOf(f.slot));
        return LangFormat(ExpectWord, lang, shown.join(QStringLiteral(", ")).toUtf8().constData(),
                          MaxOf(f.slot));
    }
    case Parse::Number:
        return LangFormat(ExpectNumber, lang, MaxOf(f.slot));
    case Parse::Volts:
        return LangText(ExpectVolts, lang);
    case Parse::Threshold:
        return LangText(ExpectThreshold, lang);
    }
    return {};
}

// The text of a value: its words where they read back as exactly this value, else its number.
QString ValueText(const WordField& f, const QString& word, const QString& unit, std::uint32_t v) {
    const QString worded = unit.isEmpty() ? word : word + QLatin1Char(' ') + unit;
    for (const QString& text :
         {worded, QString::number(v), QStringLiteral("0x") + QString::number(v, 16).toUpper()}) {
        if (ParseValue(f, text) == v)
            return text;
    }
    return QStringLiteral("0x") + QString::number(v, 16).toUpper();
}

QString HexBytes(const std::uint8_t* p, int count) {
    static constexpr char Digits[] = "0123456789ABCDEF";
    QString text;
    text.reserve(3 * count);
    for (int i = 0; i < count; ++i) {
        if (i > 0)
            text += QLatin1Char(' ');
        text += QLatin1Char(Digits[p[i] >> 4]);
        text += QLatin1Char(Digits[p[i] & 0x0F]);
    }
    return text;
}

// "key = value" lines for the runs of bytes in which `have` and `want` differ.
void RawLines(QStringList& out, const char* key, const ConfigBytes& have, const ConfigBytes& want,
              int from, int count, int shownBase) {
    for (int i = from; i < from + count;) {
        if (have[size_t(i)] == want[size_t(i)]) {
            ++i;
            continue;
        }
        int end = i;
        while (end < from + count && have[size_t(end)] != want[size_t(end)])
            ++end;
        out << QStringLiteral("%1 %2 = %3")
                   .arg(QLatin1String(key))
                   .arg(i - shownBase)
                   .arg(HexBytes(want.data() + i, end - i));
        i = end;
    }
}

// A name that reads back as its bytes, or nothing (its bytes then go into raw lines).
QString NameText(const ConfigBytes& b, int n) {
    QByteArray bytes;
    for (int i = 0; i < EntryNameSize && b[size_t(EntryOffset(n) + i)] != 0; ++i)
        bytes += char(b[size_t(EntryOffset(n) + i)]);
    const QString text = DecodeCp1251(bytes);
    const bool printable = std::all_of(text.begin(), text.end(), [](QChar c) {
        return c.unicode() >= 0x20 && c.unicode() != 0x7F && c.unicode() != 0x98;
    });
    if (!printable || text != text.trimmed() || EncodeCp1251(text) != bytes)
        return {};
    return text;
}

QString VersionText(std::uint32_t x100) {
    return QString::asprintf("%u.%02u", x100 / 100, x100 % 100);
}

// The reader: one line at a time onto `work`.
class Reader {
public:
    Reader(ConfigBytes& work, int language) : work_(work), lang_(language) {}

    // An empty text when the line was applied, else what was expected.
    QString apply(const QString& line) {
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq < 0)
            return LangText(ExpectKeyValue, lang_);
        const QString key = line.left(eq).simplified();
        const QString value = line.mid(eq + 1).trimmed();
        const QString lower = key.toLower();
        value_ = value;
        if (lower.startsWith(QLatin1String("entry ")) || lower == QLatin1String("entry"))
            return entryLine(lower.mid(5).trimmed(), value);
        if (lower.startsWith(QLatin1String("byte ")))
            return rawLine(lower.mid(5), value, 0, ConfigImageSize);
        static const QHash<QString, int> params = [] {
            QHash<QString, int> keys;
            for (int i = 0; i < ParamKeyCount; ++i)
                keys.insert(QString::fromLatin1(ParamKeys[i].key).toLower(), i);
            return keys;
        }();
        if (const auto it = params.constFind(lower); it != params.cend())
            return paramLine(*it, value);
        if (entry_ < 0)
            return LangText(isEntryKey(lower) ? ExpectEntryFirst : ExpectKnownKey, lang_);
        if (lower.startsWith(QLatin1String("raw ")))
            return rawLine(lower.mid(4), value, EntryOffset(entry_), EntrySize);
        if (lower == QLatin1String("event") || lower == QLatin1String("reaction"))
            return kindLine(lower == QLatin1String("reaction"), value);
        return fieldLine(lower);
    }

private:
    static bool isEntryKey(const QString& key) {
        if (key == QLatin1String("event") || key == QLatin1String("reaction") ||
            key.startsWith(QLatin1String("raw ")))
            return true;
        return std::any_of(std::begin(EntryKeyNames), std::end(EntryKeyNames),
                           [&](const EntryKeyName& k) { return key == QLatin1String(k.key); });
    }

    QString paramLine(int i, const QString& value) {
        const WordField slave =
            i == LinTypeSlaveIndex ? SlaveEncodingField(Get(work_, param::LIN1MODE)) : WordField{};
        const WordField& f = i == LinTypeSlaveIndex ? slave : ParamFields()[size_t(i)];
        const auto v = ParseValue(f, value);
        if (!v)
            return ExpectedValue(f, lang_);
        WriteSlot(work_, f.slot, 0, *v);
        return {};
    }

    QString entryLine(const QString& which, const QString& name) {
        int n = -1;
        if (which == QLatin1String("next")) {
            for (int i = 0; i < EntryCount && n < 0; ++i) {
                if (IsEntryEmpty(work_, i))
                    n = i;
            }
            if (n < 0)
                return LangText(ExpectFreeEntry, lang_);
        } else {
            const auto number = ParseUnsigned(which, EntryCount);
            if (!number || *number == 0 || which.startsWith(QLatin1String("0x")))
                return LangText(ExpectEntryNumber, lang_);
            n = int(*number) - 1;
        }
        const std::optional<QByteArray> bytes = EncodeCp1251(name);
        if (!bytes || bytes->size() > EntryNameSize)
            return LangText(ExpectName, lang_);
        std::fill_n(work_.begin() + EntryOffset(n), EntrySize, std::uint8_t{0});
        EntryRef(work_, n).setName(*bytes);
        entry_ = n;
        return {};
    }

    QString kindLine(bool reaction, const QString& value) {
        const WordField& f = KindField(reaction);
        const auto v = ParseValue(f, value);
        if (!v)
            return ExpectedValue(f, lang_);
        if (reaction)
            SetReactionKind(work_, entry_, std::uint8_t(*v));
        else
            SetEventKind(work_, entry_, std::uint8_t(*v));
        return {};
    }

    QString fieldLine(const QString& key) {
        QStringList keys;
        for (const bool reaction : {false, true}) {
            const int kindByte = work_[size_t(EntryOffset(entry_) +
                                              (reaction ? ReactionPartOffset : EventPartOffset))];
            for (const WordField& f : KindFields(reaction, kindByte)) {
                if (f.key != key) {
                    keys << f.key;
                    continue;
                }
                const auto v = ParseValue(f, value_);
                if (!v)
                    return ExpectedValue(f, lang_);
                WriteSlot(work_, f.slot, EntryOffset(entry_), *v);
                return {};
            }
        }
        if (!isEntryKey(key))
            return LangText(ExpectKnownKey, lang_);
        return LangFormat(ExpectKindKey, lang_,
                          (keys.isEmpty() ? QStringLiteral("event, reaction, raw N")
                                          : keys.join(QStringLiteral(", ")))
                              .toUtf8()
                              .constData());
    }

    QString rawLine(const QString& at, const QString& value, int base, int size) {
        const QString expected = LangFormat(ExpectRaw, lang_, size - 1);
        const auto offset = ParseUnsigned(at.trimmed(), std::uint32_t(size - 1));
        QString digits = value;
        digits.remove(QLatin1Char(' '));
        if (!offset || digits.isEmpty() || digits.size() % 2 != 0 ||
            int(*offset) + digits.size() / 2 > size)
            return expected;
        for (qsizetype i = 0; i < digits.size(); i += 2) {
            const auto b = ParseUnsigned(QStringLiteral("0x") + digits.mid(i, 2), 0xFF);
            if (!b)
                return expected;
            work_[size_t(base + int(*offset) + int(i / 2))] = std::uint8_t(*b);
        }
        return {};
    }

    ConfigBytes& work_;
    int lang_;
    int entry_ = -1;
    QString value_;
};

} // namespace

ConfigBytes FactoryBytes() {
    const auto factory = sim::FactoryConfiguration();
    ConfigBytes bytes{};
    std::copy(factory.begin(), factory.end(), bytes.begin());
    return bytes;
}

QString WriteConfigText(const ConfigBytes& want, const ConfigTextOptions& o) {
    const int lang = o.language;
    const QDateTime when = o.written.isNull() ? QDateTime::currentDateTimeUtc() : o.written;
    QStringList out;
    out << QLatin1String(WholeTextSignature);
    out << QStringLiteral("# ") + LangFormat(ProgramLine, lang, KORVEX_VERSION_TEXT,
                                             when.toUTC()
                                                 .toString(QStringLiteral("yyyy-MM-dd HH:mm 'UTC'"))
                                                 .toUtf8()
                                                 .constData());
    if (o.controller != nullptr) {
        const IdentityRecord& id = *o.controller;
        out << QStringLiteral("# ") + LangFormat(ControllerLine, lang,
                                                 id.deviceName().toUtf8().constData(),
                                                 unsigned(id.serialNumber()),
                                                 VersionText(id.bootVersion()).toUtf8().constData(),
                                                 VersionText(id.appVersion()).toUtf8().constData());
    }
    out << QStringLiteral("# ") + LangText(o.all ? EverythingLine : DifferencesLine, lang);

    // What the text so far reads as: every line is written with the value it reads back as.
    ConfigBytes work = FactoryBytes();

    const std::vector<ParameterWord> words = ParameterWords(want, lang);
    QString page;
    for (int i = 0; i < ParamKeyCount && size_t(i) < words.size(); ++i) {
        const WordField slave =
            i == LinTypeSlaveIndex ? SlaveEncodingField(Get(work, param::LIN1MODE)) : WordField{};
        const WordField& f = i == LinTypeSlaveIndex ? slave : ParamFields()[size_t(i)];
        const std::uint32_t v = ReadSlot(want, f.slot, 0);
        if (!o.all && ReadSlot(work, f.slot, 0) == v)
            continue;
        if (words[size_t(i)].page != page) {
            page = words[size_t(i)].page;
            out << QString() << QStringLiteral("# ") + page;
        }
        out << f.key + QStringLiteral(" = ") +
                   ValueText(f, words[size_t(i)].value, words[size_t(i)].unit, v);
        WriteSlot(work, f.slot, 0, v);
    }
    QStringList raw;
    RawLines(raw, "byte", work, want, ParamRegionOffset, ParamRegionSize, 0);
    if (!raw.isEmpty()) {
        out << QString() << QStringLiteral("# ") + LangText(OtherBytesLine, lang);
        out << raw;
        std::copy(want.begin() + ParamRegionOffset, want.end(), work.begin() + ParamRegionOffset);
    }

    bool entriesHeading = false;
    for (int n = 0; n < EntryCount; ++n) {
        const int base = EntryOffset(n);
        const bool same =
            std::equal(want.begin() + base, want.begin() + base + EntrySize, work.begin() + base);
        if (o.all ? (same && IsEntryEmpty(want, n)) : same)
            continue;
        if (!entriesHeading) {
            out << QString() << QStringLiteral("# ") + LangText(EntriesLine, lang);
            entriesHeading = true;
        }
        out << QString();
        const QString name = NameText(want, n);
        out << QStringLiteral("entry %1 = %2").arg(n + 1).arg(name);
        std::fill_n(work.begin() + base, EntrySize, std::uint8_t{0});
        EntryRef(work, n).setName(EncodeCp1251(name).value_or(QByteArray()));
        if (IsEntryEmpty(want, n))
            continue;
        const std::vector<EntryFieldWord> fields = EntryFieldWords(want, n, lang);
        for (const bool reaction : {false, true}) {
            const int partOffset = reaction ? ReactionPartOffset : EventPartOffset;
            const std::uint8_t kindByte = want[size_t(base + partOffset)];
            const NameTable table = reaction ? ReactionKindNames : EventKindNames;
            const QString kindWord =
                kindByte < table.size() ? LangText(table[kindByte], lang) : QString();
            out << QLatin1String(reaction ? "reaction = " : "event = ") +
                       ValueText(KindField(reaction), kindWord, {}, kindByte);
            if (reaction)
                SetReactionKind(work, n, kindByte);
            else
                SetEventKind(work, n, kindByte);
            for (const WordField& f : KindFields(reaction, kindByte)) {
                const auto w = std::find_if(fields.begin(), fields.end(), [&](const auto& x) {
                    return x.offset == base + f.slot.offset;
                });
                if (w == fields.end())
                    continue;
                const std::uint32_t v = ReadSlot(want, f.slot, base);
                out << f.key + QStringLiteral(" = ") + ValueText(f, w->word.value, w->word.unit, v);
                WriteSlot(work, f.slot, base, v);
            }
        }
        RawLines(out, "raw", work, want, base, EntrySize, base);
        std::copy(want.begin() + base, want.begin() + base + EntrySize, work.begin() + base);
    }
    return out.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

ConfigTextResult ApplyConfigText(QStringView text, ConfigBytes& bytes, int language,
                                 const StopPoll& stop) {
    ConfigTextResult result;
    static const QRegularExpression lineEnd(QStringLiteral("\r\n|\r|\n"));
    const QStringList lines = text.toString().split(lineEnd);
    qsizetype first = 0;
    while (first < lines.size() && lines.at(first).trimmed().isEmpty())
        ++first;
    const QString signature = first < lines.size() ? lines.at(first).simplified() : QString();
    result.whole = signature.compare(QLatin1String(WholeTextSignature), Qt::CaseInsensitive) == 0;
    if (!result.whole &&
        signature.compare(QLatin1String(SnippetTextSignature), Qt::CaseInsensitive) != 0) {
        result.noHeader = true;
        result.error = {
            int(std::min(first, lines.size() - 1)) + 1,
            first < lines.size() ? lines.at(first) : QString(),
            LangFormat(ExpectHeader, language, WholeTextSignature, SnippetTextSignature)};
        return result;
    }
    ConfigBytes work = result.whole ? FactoryBytes() : bytes;
    Reader reader(work, language);
    for (qsizetype i = first + 1; i < lines.size(); ++i) {
        // Often enough to stop within a moment, seldom enough to cost nothing.
        if (stop && i % 4096 == 0 && stop()) {
            result.stopped = true;
            return result;
        }
        const QString line = lines.at(i).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QString expected = reader.apply(line);
        if (!expected.isEmpty()) {
            result.error = {int(i) + 1, lines.at(i), expected};
            return result;
        }
    }
    bytes = work;
    result.ok = true;
    return result;
}

QString ConfigTextMessage(const QString& fileName, const ConfigTextError& e, int language) {
    // A NUL would end the quote where it stands and make the line look right; a line of a
    // megabyte is no help on a terminal.
    constexpr qsizetype MaxQuoted = 80;
    QString quoted = e.text.trimmed();
    if (quoted.size() > MaxQuoted)
        quoted = quoted.left(MaxQuoted) + QStringLiteral("…");
    quoted.replace(QChar(0), QStringLiteral("\\0"));
    return LangFormat(LineErrorText, language, QFileInfo(fileName).fileName().toUtf8().constData(),
                      e.line, quoted.toUtf8().constData(), e.expected.toUtf8().constData());
}

bool IsConfigTextName(const QString& fileName) {
    return fileName.endsWith(QLatin1String(".txt"), Qt::CaseInsensitive);
}

bool DecodeConfigText(const QByteArray& data, QString& text, ConfigTextError& error, int language) {
    const auto encoding = QStringConverter::encodingForData(data);
    if (encoding && *encoding != QStringConverter::Utf8) {
        QStringDecoder decoder(*encoding);
        text = decoder.decode(data);
        if (!decoder.hasError())
            return true;
        error = {1, {}, LangText(ExpectUtf8, language)};
        return false;
    }
    // UTF-16 without its mark: every other byte of a Latin text is zero.
    if (data.size() >= 2 && (data.at(0) == 0) != (data.at(1) == 0)) {
        error = {1, {}, LangText(ExpectUtf8NotUtf16, language)};
        return false;
    }
    QStringDecoder decoder(QStringConverter::Utf8);
    text = decoder.decode(data);
    if (!decoder.hasError())
        return true;
    // The line where the text stops being UTF-8, shown with what it holds there.
    int line = 1;
    qsizetype start = 0;
    while (start <= data.size()) {
        qsizetype end = start;
        while (end < data.size() && data.at(end) != '\n' && data.at(end) != '\r')
            ++end;
        const QByteArray bytes = data.mid(start, end - start);
        QStringDecoder one(QStringConverter::Utf8);
        const QString shown = one.decode(bytes);
        if (one.hasError()) {
            error = {line, shown, LangText(ExpectUtf8, language)};
            return false;
        }
        start = end +
                (end + 1 < data.size() && data.at(end) == '\r' && data.at(end + 1) == '\n' ? 2 : 1);
        ++line;
    }
    error = {1, {}, LangText(ExpectUtf8, language)};
    return false;
}

ConfigTextResult ReadConfigTextData(const QByteArray& data, const QString& shownName,
                                    ConfigBytes& bytes, int language, QString* message,
                                    const StopPoll& stop) {
    ConfigTextResult result;
    QString text;
    if (!DecodeConfigText(data, text, result.error, language))
        result.noHeader = true;
    else
        result = ApplyConfigText(text, bytes, language, stop);
    if (!result.ok && !result.stopped && message != nullptr)
        *message = ConfigTextMessage(shownName, result.error, language);
    return result;
}

ConfigTextResult ReadConfigTextFile(const QString& fileName, ConfigBytes& bytes, int language,
                                    QString* message, const StopPoll& stop) {
    ConfigTextResult result;
    QByteArray data;
    const FileProblem problem = ReadWholeFile(fileName, data, MaxConfigFileBytes);
    if (!problem.ok()) {
        result.noHeader = true;
        if (message != nullptr)
            *message = FileProblemText(problem, language);
        return result;
    }
    if (stop && stop()) {
        result.stopped = true;
        return result;
    }
    return ReadConfigTextData(data, fileName, bytes, language, message, stop);
}

TextKind ConfigTextKind(QStringView text) {
    for (QStringView line : text.tokenize(u'\n')) {
        line = line.trimmed();
        if (line.isEmpty())
            continue;
        // The signature may end in a lone CR of an old Mac file, which the tokenizer keeps.
        const QString first = line.split(u'\r').first().toString().simplified();
        if (first.compare(QLatin1String(WholeTextSignature), Qt::CaseInsensitive) == 0)
            return TextKind::Whole;
        if (first.compare(QLatin1String(SnippetTextSignature), Qt::CaseInsensitive) == 0)
            return TextKind::Snippet;
        return TextKind::None;
    }
    return TextKind::None;
}

namespace {

// A run of a snippet's lines that sets one thing: a parameter, a byte run, or an entry with
// the keys that follow it. Comments and blank lines belong to no unit.
struct SnippetUnit {
    enum Kind { Param, Byte, Entry, NextEntry } kind;
    QString key;            // the parameter's key, lower case, or the entry's number
    std::vector<int> lines; // indexes of its lines
};

bool IsParameterKey(const QString& lower) {
    return std::any_of(std::begin(ParamKeys), std::end(ParamKeys), [&](const ParamKey& k) {
        return lower == QString::fromLatin1(k.key).toLower();
    });
}

std::vector<SnippetUnit> SnippetUnits(const QStringList& lines) {
    std::vector<SnippetUnit> units;
    bool inEntry = false;
    for (int i = 0; i < int(lines.size()); ++i) {
        const QString line = lines.at(i).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QString key = line.left(line.indexOf(QLatin1Char('='))).simplified().toLower();
        if (key == QLatin1String("entry next") || key.startsWith(QLatin1String("entry "))) {
            const bool next = key == QLatin1String("entry next");
            units.push_back({next ? SnippetUnit::NextEntry : SnippetUnit::Entry,
                             next ? QString() : QString::number(key.mid(6).toUInt()),
                             {i}});
            inEntry = true;
        } else if (IsParameterKey(key)) {
            units.push_back({SnippetUnit::Param, key, {i}});
            inEntry = false;
        } else if (key.startsWith(QLatin1String("byte "))) {
            units.push_back({SnippetUnit::Byte, {}, {i}});
            inEntry = false;
        } else if (inEntry) {
            units.back().lines.push_back(i);
        }
    }
    return units;
}

bool SameOutcome(const QString& merged, const QString& target, const QString& source) {
    ConfigBytes factory = FactoryBytes();
    for (const ConfigBytes& base : {factory, ConfigBytes{}}) {
        ConfigBytes oneByOne = base;
        ConfigBytes together = base;
        if (!ApplyConfigText(target, oneByOne, LangEnglish).ok ||
            !ApplyConfigText(source, oneByOne, LangEnglish).ok ||
            !ApplyConfigText(merged, together, LangEnglish).ok || oneByOne != together)
            return false;
    }
    return true;
}

} // namespace

QString ApplySnippetToSnippet(const QString& target, const QString& source, int language) {
    Q_UNUSED(language);
    static const QRegularExpression lineEnd(QStringLiteral("\r\n|\r|\n"));
    const QRegularExpressionMatch firstEnd = lineEnd.match(target);
    const QString eol = firstEnd.hasMatch() ? firstEnd.captured() : QStringLiteral("\n");
    QStringList out = target.split(lineEnd);
    const bool endedWithLineEnd = out.size() > 1 && out.last().isEmpty();
    if (endedWithLineEnd)
        out.removeLast();
    const QStringList from = source.split(lineEnd);
    // Lines taken out of the target are marked, so that indexes stay valid until the end.
    const QString removed = QStringLiteral("\x01");
    QStringList added;
    std::vector<SnippetUnit> own = SnippetUnits(out);
    for (const SnippetUnit& unit : SnippetUnits(from)) {
        const auto same = std::find_if(own.rbegin(), own.rend(), [&](const SnippetUnit& u) {
            return u.kind == unit.kind && u.kind != SnippetUnit::NextEntry &&
                   u.kind != SnippetUnit::Byte && u.key == unit.key;
        });
        if (same == own.rend()) {
            for (const int i : unit.lines)
                added << from.at(i).trimmed();
            continue;
        }
        if (unit.kind == SnippetUnit::Param) {
            // The target's own spelling of the key, the source's value.
            QString& line = out[same->lines.front()];
            const QString& value = from.at(unit.lines.front());
            line = line.left(line.indexOf(QLatin1Char('=')) + 1) + QLatin1Char(' ') +
                   value.mid(value.indexOf(QLatin1Char('=')) + 1).trimmed();
            continue;
        }
        // An entry: its lines replace the target's where its first line stood.
        QStringList lines;
        for (const int i : unit.lines)
            lines << from.at(i).trimmed();
        for (const int i : same->lines)
            out[i] = removed;
        out[same->lines.front()] = lines.join(removed + removed);
    }
    QStringList merged;
    for (const QString& line : out) {
        if (line == removed)
            continue;
        merged << line.split(removed + removed);
    }
    if (!added.isEmpty()) {
        if (!merged.isEmpty() && !merged.last().trimmed().isEmpty())
            merged << QString();
        merged << added;
    }
    QString text = merged.join(eol) + (endedWithLineEnd || !added.isEmpty() ? eol : QString());
    if (SameOutcome(text, target, source))
        return text;
    // Where an edit in place would not do the same (a later line of the target sets the same
    // bytes, an entry next that would find other entries free), the source is added whole.
    QStringList body;
    bool signature = true;
    for (const QString& line : from) {
        if (signature && line.trimmed().isEmpty())
            continue;
        if (signature) {
            signature = false;
            continue;
        }
        body << line;
    }
    while (!body.isEmpty() && body.last().trimmed().isEmpty())
        body.removeLast();
    QStringList whole = target.split(lineEnd);
    if (endedWithLineEnd)
        whole.removeLast();
    whole << QString() << body;
    return whole.join(eol) + eol;
}

QString SnippetRefusalText(int language) {
    return LangText(SnippetRefused, language);
}

ConfigSaveResult SaveConfigText(const QString& fileName, const ConfigBytes& bytes,
                                const ConfigTextOptions& options) {
    const FileProblem problem =
        WriteWholeFile(fileName, WriteConfigText(bytes, options).toUtf8(), options.stop);
    if (problem.kind == FileProblem::Kind::Stopped)
        return {FileProblemText(problem, options.language), false, true};
    if (!problem.ok())
        return {UnableToWriteText(fileName, problem, options.language)};
    return {};
}

} // namespace korvex
