// A small private-profile (INI) file: reads what the Windows profile functions write and
// changes single values while keeping every other line of the file as it was.
#pragma once

#include "host/FileAccess.h"

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <utility>
#include <vector>

namespace korvex {

class IniFile {
public:
    explicit IniFile(QString path) : path_(std::move(path)) {}

    const QString& Path() const { return path_; }

    // Reads the file afresh. A missing file is an empty document; false when an existing file
    // cannot be read or is not a regular file (the document is then empty too).
    bool Load();
    // Replaces the file with the document through a temporary file, so that a failed write
    // leaves the old file untouched. False when the file cannot be written.
    bool Save(const StopPoll& stop = {}) const;
    // Why the last Load or Save failed.
    const FileProblem& LastProblem() const { return problem_; }

    // A configuration file keeps the line ends it came with (as its first line has them); any
    // other file is written with CRLF, as the profile functions write it.
    void KeepLineEnds(bool keep) { keepLineEnds_ = keep; }

    // The document as it is written: CRLF line ends unless kept, in the encoding the file came in
    // (UTF-8 with a byte-order mark only if the file had one; UTF-16 with its mark as it was).
    QByteArray ToBytes() const;
    // Takes `content` as the document, as Load does with the file's bytes. Line ends are LF,
    // CRLF or a lone CR.
    void FromBytes(QByteArrayView content);
    // The content was no INI text (NUL or other control bytes, or neither UTF-8 nor any section
    // line): the document was taken as empty, and a save replaces the file whole.
    bool HeldOtherData() const { return otherData_; }

    // Section and key names compare without regard to case; the first match counts.
    bool HasSection(QStringView section) const;
    bool HasKey(QStringView section, QStringView key) const;
    QString ReadString(QStringView section, QStringView key, const QString& defaultValue) const;
    // Decimal (or 0x / $ hexadecimal) text; a missing key or a value that is not a whole
    // integer in range gives the default.
    int ReadInteger(QStringView section, QStringView key, int defaultValue) const;

    // Replaces the key's value where it stands, or adds the key at the end of its section,
    // creating the section at the end of the file. Refuses (false) names and values that
    // would change the structure of the file: line breaks, "=" or "[" in a key, "]" in a
    // section name, empty names.
    bool WriteString(QStringView section, QStringView key, const QString& value);
    bool WriteInteger(QStringView section, QStringView key, int value);

private:
    enum class LineKind { Other, Section, Key };
    struct Line {
        QByteArray raw; // as read, without its line end
        LineKind kind = LineKind::Other;
        QString name; // section or key name, trimmed
        QString value;
    };

    static Line ParseLine(QByteArray raw);
    // Index of the section's header line, or -1.
    qsizetype FindSection(QStringView section) const;
    // Index of the key's line within the section starting at `header`, or -1.
    qsizetype FindKey(qsizetype header, QStringView key) const;
    // One past the last line that belongs to the section starting at `header`.
    qsizetype SectionEnd(qsizetype header) const;

    enum class Encoding { Utf8, Utf8Bom, Utf16Le, Utf16Be };

    QString path_;
    std::vector<Line> lines_;
    Encoding encoding_ = Encoding::Utf8;
    bool otherData_ = false;
    QByteArray lineEnd_ = "\r\n";
    bool keepLineEnds_ = false;
    mutable FileProblem problem_;
};

} // namespace korvex
