// The texts about files that several loaders and savers share, and the file-name split that
// their "%s%s" formats take.
#pragma once

#include "host/FileAccess.h"
#include "text/TextPair.h"

#include <QByteArray>
#include <QDir>
#include <QFileInfo>
#include <QString>

namespace korvex {

namespace texts {
inline constexpr TextPair ReadFileError{"Ошибка чтения файла \"%s%s\"",
                                        "Error reading file \"%s%s\""};
} // namespace texts

// The file's name and extension without its directory ("lamp", ".LDR"), UTF-8, the two halves
// of the "%s%s" of the file messages.
struct FileNameParts {
    QByteArray name;
    QByteArray extension;
};

inline FileNameParts SplitFileName(const QString& path) {
    const QString file = QFileInfo(path).fileName();
    const qsizetype dot = file.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        return {file.toUtf8(), {}};
    return {file.left(dot).toUtf8(), file.mid(dot).toUtf8()};
}

// A "%s%s" file message in the chosen language, naming the file without its directory.
inline QString FileMessage(const TextPair& format, int language, const QString& path) {
    const FileNameParts n = SplitFileName(path);
    return LangFormat(format, language, n.name.constData(), n.extension.constData());
}

// The message of a file that cannot be written, with its full name as the user chose it, and
// the reason on a line of its own.
inline QString UnableToWriteText(const QString& path, const FileProblem& problem, int language) {
    QString text = QString::asprintf("Unable to write to %s",
                                     QDir::toNativeSeparators(path).toUtf8().constData());
    if (!problem.ok())
        text += QLatin1Char('\n') + FileProblemText(problem, language);
    return text;
}

} // namespace korvex
