// Reading and writing whole files so that nothing is lost: a target that is not a regular file
// is refused before it is opened, and a write that fails anywhere leaves the old file as it was.
#pragma once

#include <QByteArray>
#include <QString>

namespace korvex {

// Why a file could not be read or written.
struct FileProblem {
    enum class Kind { None, NotRegularFile, System };
    Kind kind = Kind::None;
    QString systemReason; // the system's words, for Kind::System

    bool ok() const { return kind == Kind::None; }
    static FileProblem System(QString reason) { return {Kind::System, std::move(reason)}; }
};

// A path that exists but is no regular file (a device, a FIFO, a socket, a folder) is never
// opened: opening a FIFO waits for a writer for good, and a save would replace a device node.
// A missing path is no problem.
FileProblem CheckRegularFile(const QString& path);

// The whole of an existing regular file.
FileProblem ReadWholeFile(const QString& path, QByteArray& bytes);

// Replaces the file with `bytes` through a temporary file in its folder. Every failure (the
// open, a short write, the flush that a full disk refuses, the rename) leaves the old file byte
// for byte.
FileProblem WriteWholeFile(const QString& path, const QByteArray& bytes);

// The reason as one line of our own, in the given language.
QString FileProblemText(const FileProblem& problem, int language);

} // namespace korvex
