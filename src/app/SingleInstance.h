// One running instance per user session: a lock file named after the program identifier, whose
// lock a crashed instance leaves behind is taken over.
#pragma once

#include <QString>

#include <memory>

class QLockFile;

namespace korvex {

inline constexpr char ProgramIdentifier[] = "KORVEX_SETUP_UTILITY";
// Shown without the main window, in English only.
inline constexpr char AlreadyRunningText[] =
    "Setup programm KORVEX_SETUP_UTILITY is already running";
// The refusal's box: its text and, below, the lock that refused.
QString AlreadyRunningBoxText(const QString& lockPath);

// Where the lock lives: the user's runtime directory (the temporary directory where there is
// none) unless a directory is given.
QString SingleInstanceLockPath(const QString& directory = {});

// Where the instance that holds the lock takes files from a second start: beside the lock (in
// `directory` when given), or on Windows the pipe of this user's session.
QString HandOverAddress(const QString& directory = {});

// The held lock, or nothing when another live instance holds it. A lock that no running
// instance holds (empty, garbage or an empty folder, left by a crash or a full disk) is taken
// over. When no lock can be made at all, nothing is returned either and `problem` (when given)
// says why, naming the file: the program then runs without the guard.
std::unique_ptr<QLockFile> AcquireSingleInstance(const QString& lockPath,
                                                 QString* problem = nullptr);

// The box's text when no lock could be made (our own words: `problem` is the system's).
QString NoLockText(const QString& problem, int language);

} // namespace korvex
