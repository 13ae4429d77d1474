// Private-profile files kept line by line, so that a write touches only its own line.
#include "IniFile.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

#include <limits>

namespace korvex {

namespace {

constexpr char ByteOrderMark[] = "\xEF\xBB\xBF";

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
    byteOrderMark_ = false;
    QFile file(path_);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly))
        return false;
    FromBytes(file.readAll());
    return file.error() == QFileDevice::NoError;
}

void IniFile::FromBytes(QByteArrayView content) {
    lines_.clear();
    byteOrderMark_ = content.startsWith(QByteArrayView(ByteOrderMark));
    if (byteOrderMark_)
        content = content.sliced(3);
    qsizetype start = 0;
    while (start < content.size()) {
        qsizetype end = content.indexOf('\n', start);
        const qsizetype next = end < 0 ? content.size() : end + 1;
        if (end < 0)
            end = content.size();
        if (end > start && content[end - 1] == '\r')
            --end;
        lines_.push_back(ParseLine(content.sliced(start, end - start).toByteArray()));
        start = next;
    }
}

QByteArray IniFile::ToBytes() const {
    QByteArray out;
    qsizetype size = byteOrderMark_ ? 3 : 0;
    for (const Line& line : lines_)
        size += line.raw.size() + 2;
    out.reserve(size);
    if (byteOrderMark_)
        out.append(ByteOrderMark);
    for (const Line& line : lines_) {
        out.append(line.raw);
        out.append("\r\n");
    }
    return out;
}

bool IniFile::Save() const {
    QSaveFile file(path_);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = ToBytes();
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
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
