// A shop's folder of configurations (*.KSWA and configuration texts, subfolders included) and a
// controller's snapshots, each file read once and summarised in both languages, again only when
// its size or time changes. Reading never waits on a file: what is no regular file, too large or
// unreadable is listed with the reason instead.
#pragma once

#include "config/ConfigImage.h"
#include "config/Snapshots.h"

#include <QDateTime>
#include <QFileInfo>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>

namespace korvex {

// No configuration file comes near this; a larger one is refused before it is opened.
inline constexpr qint64 LibraryFileLimit = 4 * 1024 * 1024;

// Texts by language (0 Russian, 1 English).
using TextByLanguage = std::array<QString, 2>;

struct LibraryFile {
    QString path;   // absolute
    QString folder; // relative to the library folder, "" for the folder itself
    QString name;   // the file's name
    QDateTime modified;
    qint64 size = -1;
    TextByLanguage problem;     // why it cannot be used; empty when it can
    bool snippet = false;       // a text that changes only what it names
    QString text;               // a snippet's text, applied to what the window holds
    ConfigBytes bytes{};        // the configuration (a snippet: applied to the factory one)
    int language = LangEnglish; // of the summary and the words
    QString summary;            // one line: used entries, LIN type, the first entries' names
    // Folder, name, summary and settings in words, lower case in UTF-8, for the search: half
    // the bytes of a QString, and searched as bytes.
    QByteArray words;

    bool usable() const { return problem[0].isEmpty(); }
};

// Reads and summarises one file in `language`; `root` is the library folder it lies under.
LibraryFile SummariseLibraryFile(const QString& path, const QString& root, int language);
LibraryFile SummariseLibraryFile(const QFileInfo& info, const QString& root, int language);

// The file's configuration applied to `held`: a whole one replaces it, a snippet changes what it
// names. `held` unchanged for a file that cannot be used.
ConfigBytes LibraryFileApplied(const LibraryFile& file, const ConfigBytes& held);

// A search's words (blank-separated, case ignored), prepared once for every file.
struct LibrarySearch {
    explicit LibrarySearch(const QString& text);
    QList<QByteArray> words;
};

// True when every word of `search` is in the file's words.
bool LibraryFileMatches(const LibraryFile& file, const LibrarySearch& search);
bool LibraryFileMatches(const LibraryFile& file, const QString& search);

struct LibraryListing {
    QString root;
    TextByLanguage problem;   // the folder itself cannot be read; empty when it can
    QList<LibraryFile> files; // by folder, then name
    int summarised = 0;       // files read for this listing, the rest came from before
};

// The folder's listing in `language`, keeping what it read before: a file is read again only
// when its size or time changed, described again only in another language. Not thread-bound;
// one instance per thread.
class LibraryIndex {
public:
    LibraryListing List(const QString& root, int language);

private:
    struct Kept {
        qint64 size;
        QDateTime modified;
        LibraryFile file;
    };
    QString root_;
    QHash<QString, Kept> kept_;
};

// How many settings differ between two configurations as the editor shows them: the lines of the
// diff that name a setting, not the headings of entries. 0 when they are the same.
int CountDifferingSettings(const ConfigBytes& before, const ConfigBytes& after);

// "12 settings differ", "same as now".
QString DifferenceText(int count, int language);

struct HistoryItem {
    SnapshotFile file;
    bool readable = false; // a whole configuration file
    ConfigBytes bytes{};
    int differences = 0; // from the configuration compared with
};

// A serial's snapshots, newest first, each read once (again when its size or time changes).
class SnapshotHistory {
public:
    explicit SnapshotHistory(QString root) : store_(std::move(root)) {}

    const SnapshotStore& store() const { return store_; }
    // Every serial that has snapshots, in order.
    QList<std::uint32_t> Serials() const;
    // The differences are counted from `compareTo`; null: from the newest snapshot.
    QList<HistoryItem> List(std::uint32_t serial, const ConfigBytes* compareTo);

private:
    struct Kept {
        qint64 size;
        QDateTime modified;
        bool readable;
        ConfigBytes bytes;
        ConfigBytes comparedWith;
        int differences;
    };
    SnapshotStore store_;
    QHash<QString, Kept> kept_;
};

} // namespace korvex
