// Whole-file reads and writes.
#include "FileAccess.h"

#include "host/SystemFacts.h"
#include "text/TextPair.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

#include <cerrno>
#include <cstring>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace korvex {

namespace {

constexpr TextPair ReasonText{"Причина: %s", "Reason: %s"};
constexpr TextPair NotRegularText{"это не обычный файл (устройство, канал или папка)",
                                  "it is not a regular file (a device, a pipe or a folder)"};
constexpr TextPair TooLargeText{"файл больше %d МБ: столько не занимает ни одна конфигурация",
                                "the file is larger than %d MB, more than any configuration"};
constexpr TextPair StoppedText{"Прервано", "Interrupted"};

FileProblem TooLarge(qint64 limit) {
    FileProblem problem{FileProblem::Kind::TooLarge, {}};
    problem.limit = limit;
    return problem;
}

// The system's reason for the call that just failed. QSaveFile reports a failed flush as an
// unknown error, so the error number itself is asked first.
QString SystemReason(const QFileDevice& file) {
    const QString fromSystem = qt_error_string(-1);
    if (file.error() == QFileDevice::NoError || file.errorString() == QFile().errorString())
        return fromSystem;
    return file.errorString();
}

// The system's words for an error number: on Windows those of the matching Windows error, in the
// thread's language (qt_error_string would read the C number as a Windows code, and EACCES (13)
// there is "The data is invalid"); elsewhere the C library's.
QString ErrnoText(int number) {
#ifdef Q_OS_WIN
    const DWORD code = number == ENOENT   ? ERROR_FILE_NOT_FOUND
                       : number == EACCES ? ERROR_ACCESS_DENIED
                                          : 0;
    wchar_t* text = nullptr;
    if (code != 0 &&
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                           FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr) != 0) {
        QString words = QString::fromWCharArray(text).trimmed();
        LocalFree(text);
        if (words.endsWith(u'.'))
            words.chop(1); // followed by the message's own line end
        if (!words.isEmpty())
            return words;
    }
#endif
    return QString::fromLocal8Bit(std::strerror(number));
}

} // namespace

FileProblem CheckRegularFile(const QString& path) {
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        return {FileProblem::Kind::NotRegularFile, {}};
    return {};
}

FileProblem ReadWholeFile(const QString& path, QByteArray& bytes, qint64 limit) {
    bytes.clear();
    if (!QFileInfo(path).isFile()) {
        if (!QFileInfo::exists(path))
            return FileProblem::System(ErrnoText(ENOENT));
        return {FileProblem::Kind::NotRegularFile, {}};
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return FileProblem::System(file.errorString());
    // The open file's size, not the name's: the file may have been swapped in between.
    if (limit >= 0 && file.size() > limit)
        return TooLarge(limit);
    bytes = limit >= 0 ? file.read(limit + 1) : file.readAll();
    if (limit >= 0 && bytes.size() > limit) {
        bytes.clear();
        return TooLarge(limit);
    }
    if (file.error() != QFileDevice::NoError) {
        bytes.clear();
        return FileProblem::System(file.errorString());
    }
    return {};
}

FileProblem CheckWritable(const QString& path) {
    if (const FileProblem target = CheckRegularFile(path); !target.ok())
        return target;
    // Read-only for its owner: refused as a user is refused, also for root, who could.
    const QFileInfo info(path);
    if (info.exists() && !(info.permissions() & QFile::WriteOwner))
        return FileProblem::System(ErrnoText(EACCES));
    const QFileInfo folder(info.absolutePath());
    if (!folder.isDir())
        return FileProblem::System(ErrnoText(ENOENT));
    if (!folder.isWritable())
        return FileProblem::System(ErrnoText(EACCES));
    return {};
}

void RemoveStaleTemporaries(const QString& path) {
    const QFileInfo target(path);
    // The name QSaveFile gives its temporary file: the target's and six letters or digits.
    const QRegularExpression ours(QRegularExpression::anchoredPattern(
        QRegularExpression::escape(target.fileName()) + QStringLiteral("\\.[A-Za-z0-9]{6}")));
    const QDateTime aMinuteAgo = QDateTime::currentDateTimeUtc().addSecs(-60);
    const QDir folder(target.absolutePath());
    const QFileInfoList found = folder.entryInfoList(
        {target.fileName() + QStringLiteral(".??????")}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QFileInfo& stale : found) {
        if (stale.isSymLink() || !ours.match(stale.fileName()).hasMatch() ||
            stale.lastModified().toUTC() > aMinuteAgo || !IsOwnFile(stale))
            continue;
        QFile::remove(stale.filePath());
    }
}

FileProblem WriteWholeFile(const QString& path, const QByteArray& bytes, const StopPoll& stop) {
    if (const FileProblem target = CheckRegularFile(path); !target.ok())
        return target;
    // Read-only for its owner: refused as a user is refused, also for root, who could.
    if (const QFileInfo info(path); info.exists() && !(info.permissions() & QFile::WriteOwner))
        return FileProblem::System(ErrnoText(EACCES));
    RemoveStaleTemporaries(path);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return FileProblem::System(file.errorString());
    if (const QString kept = KeepOwnerAndMode(file.handle(), path); !kept.isEmpty()) {
        file.cancelWriting();
        return FileProblem::System(kept);
    }
    // Qt's commit() renames the temporary file even after its last flush failed, which put an
    // empty or cut file in place of a good one: every step is checked here first.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const QString reason = SystemReason(file);
        file.cancelWriting();
        return FileProblem::System(reason);
    }
    // The last moment a stop can leave the old file as it was.
    if (stop && stop()) {
        file.cancelWriting();
        return {FileProblem::Kind::Stopped, {}};
    }
    if (!file.commit())
        return FileProblem::System(SystemReason(file));
    return {};
}

QString FileProblemText(const FileProblem& problem, int language) {
    switch (problem.kind) {
    case FileProblem::Kind::None:
        return {};
    case FileProblem::Kind::NotRegularFile:
        return LangFormat(ReasonText, language,
                          LangText(NotRegularText, language).toUtf8().constData());
    case FileProblem::Kind::TooLarge:
        return LangFormat(ReasonText, language,
                          LangFormat(TooLargeText, language, int(problem.limit / (1024 * 1024)))
                              .toUtf8()
                              .constData());
    case FileProblem::Kind::Stopped:
        return LangText(StoppedText, language);
    case FileProblem::Kind::System:
        break;
    }
    return LangFormat(ReasonText, language, problem.systemReason.toUtf8().constData());
}

} // namespace korvex
