// Private-profile files kept line by line, so that a write touches only its own line.
#include "IniFile.h"

#include <QFileInfo>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <limits>

namespace korvex {

namespace {

constexpr char ByteOrderMark[] = "\xEF\xBB\xBF";
constexpr char Utf16LeMark[] = "\xFF\xFE";
constexpr char Utf16BeMark[] = "\xFE\xFF";

// Text has no NUL and no control bytes but tab, line ends, form feeds and the old end-of-file
// mark; a binary file (a firmware image) always has some.
bool HasControlBytes(QByteArrayView text) {
    for (char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 && b != '\t' && b != '\n' && b != '\r' && b != '\f' && b != '\v' && b != 0x1A)
            return true;
    }
    return false;
}

bool IsUtf8(QByteArrayView text) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    // The decoder works only when its result is taken.
    const QString decoded = utf8.decode(text);
    return !utf8.hasError();
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

QByteArrayView Trimmed(QByteArrayView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && IsBlank(text[begin]))
        ++begin;
    while (end > begin && IsBlank(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin);
}

// Lines are UTF-8 as we write them; a line that is not (an old file in the system's 8-bit
// code page, as the Windows profile functions write it) is read in the local 8-bit encoding.
QString DecodeText(QByteArrayView text) {
    bool ascii = true;
    for (char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (ascii)
        return QString::fromLatin1(text);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString decoded = utf8.decode(text);
    if (!utf8.hasError())
        return decoded;
    return QString::fromLocal8Bit(text);
}

// The profile functions drop one pair of enclosing quotes from a value.
QByteArrayView WithoutQuotes(QByteArrayView value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        return value.sliced(1, value.size() - 2);
    return value;
}

bool HasLineBreak(QStringView text) {
    return text.contains(u'\n') || text.contains(u'\r') || text.contains(QChar(0));
}

bool ParseInteger(QStringView text, int* result) {
    text = text.trimmed();
    bool negative = false;
    if (!text.isEmpty() && (text.front() == u'-' || text.front() == u'+')) {
        negative = text.front() == u'-';
        text = text.sliced(1);
    }
    int base = 10;
    if (text.startsWith(u'$')) {
        base = 16;
        text = text.sliced(1);
    } else if (text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        base = 16;
        text = text.sliced(2);
    }
    if (text.isEmpty())
        return false;
    qint64 magnitude = 0;
    for (QChar ch : text) {
        const char16_t c = ch.unicode();
        int digit = -1;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (c >= u'a' && c <= u'f')
            digit = c - u'a' + 10;
        else if (c >= u'A' && c <= u'F')
            digit = c - u'A' + 10;
        if (digit < 0 || digit >= base)
            return false;
        magnitude = magnitude * base + digit;
        if (magnitude > qint64(std::numeric_limits<int>::max()) + 1)
            return false;
    }
    const qint64 value = negative ? -magnitude : magnitude;
    if (value > std::numeric_limits<int>::max() || value < std::numeric_limits<int>::min())
        return false;
    *result = static_cast<int>(value);
    return true;
}

} // namespace

IniFile::Line IniFile::ParseLine(QByteArray raw) {
    Line line;
    const QByteArrayView text = Trimmed(raw);
    if (text.startsWith('[')) {
        qsizetype close = text.indexOf(']');
        if (close < 0)
            close = text.size();
        line.kind = LineKind::Section;
        line.name = DecodeText(Trimmed(text.sliced(1, close - 1)));
    } else if (!text.startsWith(';') && !text.startsWith('#')) {
        const qsizetype equals = text.indexOf('=');
        if (equals > 0) {
            const QByteArrayView key = Trimmed(text.first(equals));
            if (!key.isEmpty()) {
                line.kind = LineKind::Key;
                line.name = DecodeText(key);
                line.value = DecodeText(WithoutQuotes(Trimmed(text.sliced(equals + 1))));
            }
        }
    }
    line.raw = std::move(raw);
    return line;
}

bool IniFile::Load() {
    lines_.clear();
    encoding_ = Encoding::Utf8;
    otherData_ = false;
    problem_ = {};
    if (!QFileInfo::exists(path_))
        return true;
    QByteArray content;
    problem_ = ReadWholeFile(path_, content);
    if (!problem_.ok())
        return false;
    FromBytes(content);
    return true;
}

void IniFile::FromBytes(QByteArrayView content) {
    lines_.clear();
    encoding_ = Encoding::Utf8;
    otherData_ = false;
    lineEnd_ = "\r\n";
    // UTF-16 (Notepad's "Unicode") is read whole and kept as UTF-8 lines until it is written.
    QByteArray decoded;
    if (content.startsWith(QByteArrayView(ByteOrderMark))) {
        encoding_ = Encoding::Utf8Bom;
        content = content.sliced(3);
    } else if (content.startsWith(QByteArrayView(Utf16LeMark)) ||
               content.startsWith(QByteArrayView(Utf16BeMark))) {
        const bool little = content.startsWith(QByteArrayView(Utf16LeMark));
        encoding_ = little ? Encoding::Utf16Le : Encoding::Utf16Be;
        QStringDecoder utf16(little ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE,
                             QStringDecoder::Flag::Stateless);
        decoded = QString(utf16.decode(content.sliced(2))).toUtf8();
        content = decoded;
    }
    if (HasControlBytes(content)) {
        otherData_ = true;
        encoding_ = Encoding::Utf8;
        return;
    }
    qsizetype start = 0;
    while (start < content.size()) {
        qsizetype end = start;
        while (end < content.size() && content[end] != '\n' && content[end] != '\r')
            ++end;
        qsizetype next = end + 1;
        const bool crlf =
            end + 1 < content.size() && content[end] == '\r' && content[end + 1] == '\n';
        if (crlf)
            ++next;
        // A file keeps the line ends it came with, as its first line has it.
        if (keepLineEnds_ && start == 0 && end < content.size())
            lineEnd_ = crlf ? QByteArray("\r\n") : QByteArray(1, content[end]);
        lines_.push_back(ParseLine(content.sliced(start, end - start).toByteArray()));
        start = next;
    }
    // Old files in an 8-bit code page are INI text too, but only if they look like one.
    const bool anySection = std::any_of(lines_.begin(), lines_.end(), [](const Line& line) {
        return line.kind == LineKind::Section;
    });
    if (!anySection && !IsUtf8(content)) {
        lines_.clear();
        otherData_ = true;
    }
}

QByteArray IniFile::ToBytes() const {
    QByteArray out;
    qsizetype size = encoding_ == Encoding::Utf8Bom ? 3 : 0;
    for (const Line& line : lines_)
        size += line.raw.size() + lineEnd_.size();
    out.reserve(size);
    if (encoding_ == Encoding::Utf8Bom)
        out.append(ByteOrderMark);
    for (const Line& line : lines_) {
        out.append(line.raw);
        out.append(lineEnd_);
    }
    if (encoding_ != Encoding::Utf16Le && encoding_ != Encoding::Utf16Be)
        return out;
    QStringEncoder utf16(encoding_ == Encoding::Utf16Le ? QStringEncoder::Utf16LE
                                                        : QStringEncoder::Utf16BE,
                         QStringEncoder::Flag::WriteBom);
    return utf16.encode(QString::fromUtf8(out));
}

bool IniFile::Save(const StopPoll& stop) const {
    problem_ = WriteWholeFile(path_, ToBytes(), stop);
    return problem_.ok();
}

qsizetype IniFile::FindSection(QStringView section) const {
    for (qsizetype i = 0; i < qsizetype(lines_.size()); ++i) {
        const Line& line = lines_[size_t(i)];
        if (line.kind == LineKind::Section &&
            QStringView(line.name).compare(section, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

qsizetype IniFile::SectionEnd(qsizetype header) const {
    qsizetype i = header + 1;
    while (i < qsizetype(lines_.size()) && lines_[size_t(i)].kind != LineKind::Section)
        ++i;
    return i;
}

qsizetype IniFile::FindKey(qsizetype header, QStringView key) const {
    const qsizetype end = SectionEnd(header);
    for (qsizetype i = header + 1; i < end; ++i) {
        const Line& line = lines_[size_t(i)];
        if (line.kind == LineKind::Key &&
            QStringView(line.name).compare(key, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

bool IniFile::HasSection(QStringView section) const {
    return FindSection(section) >= 0;
}

bool IniFile::HasKey(QStringView section, QStringView key) const {
    const qsizetype header = FindSection(section);
    return header >= 0 && FindKey(header, key) >= 0;
}

QString IniFile::ReadString(QStringView section, QStringView key,
                            const QString& defaultValue) const {
    const qsizetype header = FindSection(section);
    const qsizetype at = header < 0 ? -1 : FindKey(header, key);
    return at < 0 ? defaultValue : lines_[size_t(at)].value;
}

int IniFile::ReadInteger(QStringView section, QStringView key, int defaultValue) const {
    const qsizetype header = FindSection(section);
    const qsizetype at = header < 0 ? -1 : FindKey(header, key);
    int value = 0;
    if (at < 0 || !ParseInteger(lines_[size_t(at)].value, &value))
        return defaultValue;
    return value;
}

bool IniFile::WriteString(QStringView section, QStringView key, const QString& value) {
    const QStringView trimmedSection = section.trimmed();
    const QStringView trimmedKey = key.trimmed();
    if (trimmedSection.isEmpty() || trimmedKey.isEmpty() || HasLineBreak(section) ||
        HasLineBreak(key) || HasLineBreak(value) || section.contains(u']') || key.contains(u'=') ||
        trimmedKey.startsWith(u'[') || trimmedKey.startsWith(u';') || trimmedKey.startsWith(u'#'))
        return false;

    qsizetype header = FindSection(trimmedSection);
    if (header < 0) {
        lines_.push_back(ParseLine("[" + trimmedSection.toUtf8() + "]"));
        header = qsizetype(lines_.size()) - 1;
    }
    const qsizetype at = FindKey(header, trimmedKey);
    if (at >= 0) {
        // Keep the key as the file spells it; only the value changes.
        Line& line = lines_[size_t(at)];
        const QByteArrayView text = Trimmed(line.raw);
        const QByteArray keyBytes = Trimmed(text.first(text.indexOf('='))).toByteArray();
        line = ParseLine(keyBytes + '=' + value.toUtf8());
        return true;
    }
    // After the section's last non-blank line, so that blank lines between sections stay.
    qsizetype insertAt = SectionEnd(header);
    while (insertAt - 1 > header && Trimmed(lines_[size_t(insertAt - 1)].raw).isEmpty())
        --insertAt;
    lines_.insert(lines_.begin() + insertAt, ParseLine(trimmedKey.toUtf8() + '=' + value.toUtf8()));
    return true;
}

bool IniFile::WriteInteger(QStringView section, QStringView key, int value) {
    return WriteString(section, key, QString::number(value));
}

} // namespace korvex
