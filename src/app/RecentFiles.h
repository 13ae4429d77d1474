// The configuration files last opened or saved, newest first, as the open button's drop-down
// lists them. They live in the settings file in a section of their own, beside the keys of the
// file dialogs.
#pragma once

#include <QString>
#include <QStringList>

namespace korvex {

class IniFile;
class UiHost;

constexpr int RecentFilesMax = 8;

// True when two names lead to the same file (separators and "." / ".." aside; letter case only
// where the file system ignores it).
bool SameFile(const QString& a, const QString& b);

// `files` with `file` first: an older entry for the same file goes, and the list keeps at most
// RecentFilesMax names.
QStringList WithRecentFile(QStringList files, const QString& file);

// The list as stored: keys File1.. in order, empty values and repeats skipped.
QStringList RecentFilesIn(const IniFile& settings);
// Stores the list; keys beyond it are emptied, so that a shorter list leaves no old name behind.
// False when a name cannot be stored (a line break in it).
bool StoreRecentFiles(IniFile& settings, const QStringList& files);

// The list in the settings file at `path`; empty when there is none or it cannot be read (the
// drop-down asks for it each time it opens, so it tells nothing).
QStringList ReadRecentFiles(const QString& path);

// True when `file` is still there to be opened. A file that is gone leaves the list, which is
// stored at once, and the panel says so; no box.
bool RecentFileStillThere(const QString& path, const QString& file, UiHost& host, int language);

} // namespace korvex
