// Reading and writing whole files so that nothing is lost: a target that is not a regular file
// is refused before it is opened, and a write that fails anywhere leaves the old file as it was.
#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

namespace korvex {

// Why a file could not be read or written.
struct FileProblem {
    enum class Kind { None, NotRegularFile, System, TooLarge, Stopped };
    Kind kind = Kind::None;
    QString systemReason; // the system's words, for Kind::System
    qint64 limit = 0;     // the largest size taken, for Kind::TooLarge

    bool ok() const { return kind == Kind::None; }
    static FileProblem System(QString reason) { return {Kind::System, std::move(reason)}; }
};

// A path that exists but is no regular file (a device, a FIFO, a socket, a folder) is never
// opened: opening a FIFO waits for a writer for good, and a save would replace a device node.
// A missing path is no problem.
FileProblem CheckRegularFile(const QString& path);

// The most a configuration file or text may hold: a whole text is about 30 KB, so anything near
// this is no configuration, and it is refused by its size before it is read.
constexpr qint64 MaxConfigFileBytes = 4 * 1024 * 1024;

// Asked at the points where a long read or write can stop; true: stop there.
using StopPoll = std::function<bool()>;

// The whole of an existing regular file; one larger than `limit` (when not negative) is refused
// before it is read.
FileProblem ReadWholeFile(const QString& path, QByteArray& bytes, qint64 limit = -1);

// Replaces the file with `bytes` through a temporary file in its folder. Every failure (the
// open, a short write, the flush that a full disk refuses, the rename) leaves the old file byte
// for byte, and so does a stop asked for before the rename.
FileProblem WriteWholeFile(const QString& path, const QByteArray& bytes, const StopPoll& stop = {});

// What a write of the path would meet before any byte is written: no regular file, a file
// read-only for its owner, a folder that cannot take a new file.
FileProblem CheckWritable(const QString& path);

// The temporary files a save of `path` leaves when it is killed before its rename, older than a
// minute (so never one of a save running now), are removed.
void RemoveStaleTemporaries(const QString& path);

// The reason as one line of our own, in the given language.
QString FileProblemText(const FileProblem& problem, int language);

} // namespace korvex
