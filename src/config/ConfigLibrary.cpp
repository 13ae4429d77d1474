// The library of configuration files and the history of snapshots.
#include "ConfigLibrary.h"

#include "config/ConfigDiff.h"
#include "config/ConfigFile.h"
#include "config/ConfigText.h"
#include "config/EntryWords.h"
#include "config/ParameterWords.h"
#include "host/FileAccess.h"
#include "text/Cp1251.h"
#include "text/TextPair.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>
#include <cstring>

namespace korvex {

namespace {
constexpr TextPair NotRegularReason{"не обычный файл (папка, канал или устройство)",
                                    "not a regular file (a folder, a pipe or a device)"};
constexpr TextPair LinkReason{"ссылка никуда не ведет или замкнута в кольцо",
                              "a link that leads nowhere or loops"};
constexpr TextPair TooLargeReason{"больше %d МБ: это не файл конфигурации",
                                  "larger than %d MB: no configuration file"};
constexpr TextPair UnreadableReason{"не читается: %s", "cannot be read: %s"};
constexpr TextPair DamagedReason{"поврежден: в нем нет всей конфигурации",
                                 "damaged: it does not hold the whole configuration"};
constexpr TextPair FolderReason{"Папка библиотеки недоступна: %s",
                                "The library folder cannot be read: %s"};
constexpr TextPair NoFolderReason{"ее нет (диск или сетевая папка отключены?)",
                                  "it is not there (a drive or network share removed?)"};
constexpr TextPair NotFolderReason{"это не папка", "it is no folder"};
constexpr TextPair SnippetSummary{"Фрагмент: %s", "Snippet: %s"};
constexpr TextPair EntriesSummary{"Записей: %d", "Entries used: %d"};
constexpr TextPair DifferText{"отличий: %d", "%d settings differ"};
constexpr TextPair DifferOneText{"отличий: 1", "1 setting differs"};
constexpr TextPair SameText{"как сейчас", "same as now"};
constexpr int NamesInSummary = 3;

TextByLanguage Both(const TextPair& pair) {
    return {LangText(pair, LangRussian), LangText(pair, LangEnglish)};
}

TextByLanguage BothFormat(const TextPair& pair, const QString& argument) {
    const QByteArray a = argument.toUtf8();
    return {LangFormat(pair, LangRussian, a.constData()),
            LangFormat(pair, LangEnglish, a.constData())};
}

bool IsLibraryName(const QString& name) {
    return name.endsWith(QLatin1String(".KSWA"), Qt::CaseInsensitive) ||
           name.endsWith(QLatin1String(".txt"), Qt::CaseInsensitive);
}

// A whole configuration's summary and words: the overview's, as the Overview page shows them.
void DescribeWhole(LibraryFile& file, int language, QStringList& words) {
    const std::vector<ParameterWord> parameters = ParameterWords(file.bytes, language);
    words << ParameterDumpLines(parameters);
    QStringList parts;
    const QString linType = MainCaption("PanelLINTYPE", language);
    for (const ParameterWord& word : parameters)
        if (word.label == linType)
            parts << word.label + QStringLiteral(": ") + word.value;
    ConfigImage image;
    image.bytes = file.bytes;
    int used = 0;
    QStringList names;
    for (int n = 0; n < EntryCount; ++n) {
        if (IsEntryEmpty(file.bytes, n))
            continue;
        ++used;
        const QString name = DecodeCp1251(EntryRef(image.bytes, n).name()).trimmed();
        if (!name.isEmpty() && names.size() < NamesInSummary)
            names << name;
        words << EntryCaption(image, n) << EventText(image, n, language)
              << ReactionText(image, n, language);
    }
    parts.prepend(LangFormat(EntriesSummary, language, used));
    if (!names.isEmpty())
        parts << names.join(QStringLiteral(", "));
    file.summary = parts.join(QStringLiteral(" · "));
}

void Describe(LibraryFile& file, int language) {
    file.language = language;
    if (!file.usable()) {
        file.summary.clear();
        file.words = (file.folder + QLatin1Char('/') + file.name).toLower().toUtf8();
        return;
    }
    QStringList words{file.folder + QLatin1Char('/') + file.name};
    if (file.snippet) {
        const QStringList lines = DiffConfigurations(FactoryBytes(), file.bytes, language);
        file.summary =
            LangFormat(SnippetSummary, language, lines.value(0).trimmed().toUtf8().constData());
        words << lines;
    } else {
        DescribeWhole(file, language, words);
    }
    words << file.summary;
    file.words = words.join(QLatin1Char('\n')).toLower().toUtf8();
}

// Reads the file into `file`, or names why not.
void ReadInto(LibraryFile& file) {
    // The caller has seen a regular file of a size fit to read.
    QFile in(file.path);
    QByteArray data;
    if (in.open(QIODevice::ReadOnly))
        data = in.readAll();
    if (!in.isOpen() || in.error() != QFileDevice::NoError) {
        file.problem = BothFormat(UnreadableReason, in.errorString());
        return;
    }
    if (IsConfigTextName(file.path)) {
        const auto encoding = QStringConverter::encodingForData(data);
        QStringDecoder decoder(encoding.value_or(QStringConverter::Utf8));
        const QString text = decoder.decode(data);
        ConfigBytes bytes = FactoryBytes();
        const ConfigTextResult read =
            decoder.hasError() ? ConfigTextResult{} : ApplyConfigText(text, bytes, LangEnglish);
        if (!read.ok) {
            for (int lang : {LangRussian, LangEnglish}) {
                ConfigBytes unused = FactoryBytes();
                QString why;
                ReadConfigTextFile(file.path, unused, lang, &why);
                file.problem[lang] = why.isEmpty() ? LangText(DamagedReason, lang) : why;
            }
            return;
        }
        file.snippet = !read.whole;
        if (file.snippet)
            file.text = text;
        file.bytes = bytes;
        return;
    }
    if (!ReadWholeConfigBytes(data, file.bytes))
        file.problem = Both(DamagedReason);
}

} // namespace

LibraryFile SummariseLibraryFile(const QString& path, const QString& root, int language) {
    return SummariseLibraryFile(QFileInfo(path), root, language);
}

LibraryFile SummariseLibraryFile(const QFileInfo& info, const QString& root, int language) {
    LibraryFile file;
    file.path = info.absoluteFilePath();
    file.name = info.fileName();
    file.folder = QDir(root).relativeFilePath(info.absolutePath());
    if (file.folder == QLatin1String("."))
        file.folder.clear();
    file.modified = info.lastModified();
    if (info.isSymLink() && !info.exists()) {
        file.problem = Both(LinkReason);
    } else if (!info.isFile()) {
        file.problem = Both(NotRegularReason);
    } else if (info.size() > LibraryFileLimit) {
        file.problem = {LangFormat(TooLargeReason, LangRussian, int(LibraryFileLimit >> 20)),
                        LangFormat(TooLargeReason, LangEnglish, int(LibraryFileLimit >> 20))};
    } else if (!(info.permissions() & QFile::ReadOwner)) {
        // Refused as a user is refused, also for an administrator who could read it.
        file.problem = BothFormat(UnreadableReason, QString::fromLocal8Bit(std::strerror(EACCES)));
    } else {
        file.size = info.size();
        ReadInto(file);
    }
    Describe(file, language);
    return file;
}

ConfigBytes LibraryFileApplied(const LibraryFile& file, const ConfigBytes& held) {
    if (!file.usable())
        return held;
    if (!file.snippet)
        return file.bytes;
    ConfigBytes applied = held;
    if (!ApplyConfigText(file.text, applied, LangEnglish).ok)
        return held;
    return applied;
}

LibrarySearch::LibrarySearch(const QString& text) {
    for (const QString& word : text.toLower().split(QLatin1Char(' '), Qt::SkipEmptyParts))
        words.append(word.toUtf8());
}

bool LibraryFileMatches(const LibraryFile& file, const LibrarySearch& search) {
    return std::all_of(search.words.begin(), search.words.end(),
                       [&file](const QByteArray& w) { return file.words.contains(w); });
}

bool LibraryFileMatches(const LibraryFile& file, const QString& search) {
    return LibraryFileMatches(file, LibrarySearch(search));
}

LibraryListing LibraryIndex::List(const QString& root, int language) {
    LibraryListing listing;
    const QFileInfo rootInfo(root);
    listing.root = rootInfo.absoluteFilePath();
    if (listing.root != root_) {
        kept_.clear();
        root_ = listing.root;
    }
    if (!rootInfo.exists() || !rootInfo.isDir() || !(rootInfo.permissions() & QFile::ReadOwner)) {
        const TextPair& why = !rootInfo.exists()  ? NoFolderReason
                              : !rootInfo.isDir() ? NotFolderReason
                                                  : UnreadableReason;
        for (int lang : {LangRussian, LangEnglish}) {
            const QString reason = &why == &UnreadableReason
                                       ? QString::fromLocal8Bit(std::strerror(EACCES))
                                       : LangText(why, lang);
            listing.problem[lang] = LangFormat(FolderReason, lang, reason.toUtf8().constData());
        }
        return listing; // what was kept stays, for when the folder comes back
    }
    QHash<QString, Kept> seen;
    // Links to folders are not followed, so that a link loop cannot make the walk endless.
    QDirIterator it(listing.root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        if (!IsLibraryName(info.fileName()))
            continue;
        const QString path = info.absoluteFilePath();
        const qint64 size = info.size();
        const QDateTime modified = info.lastModified();
        auto old = kept_.find(path);
        if (old != kept_.end() && old->size == size && old->modified == modified) {
            if (old->file.language != language)
                Describe(old->file, language);
            seen.insert(path, *old);
            continue;
        }
        ++listing.summarised;
        seen.insert(path, {size, modified, SummariseLibraryFile(info, listing.root, language)});
    }
    kept_ = std::move(seen);
    listing.files.reserve(kept_.size());
    for (const Kept& k : std::as_const(kept_))
        listing.files.append(k.file);
    std::sort(listing.files.begin(), listing.files.end(),
              [](const LibraryFile& a, const LibraryFile& b) {
                  if (a.folder != b.folder)
                      return a.folder.localeAwareCompare(b.folder) < 0;
                  return a.name.localeAwareCompare(b.name) < 0;
              });
    return listing;
}

int CountDifferingSettings(const ConfigBytes& before, const ConfigBytes& after) {
    // Counted as the editor shows both: a value its rules fill in is no choice of the user's.
    const ConfigBytes a = AsEditorShows(before);
    const ConfigBytes b = AsEditorShows(after);
    if (a == b)
        return 0;
    const QStringList lines = DiffConfigurations(a, b, LangEnglish);
    int count = 0;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const bool indented = lines.at(i).startsWith(QLatin1Char(' '));
        const bool heading =
            !indented && i + 1 < lines.size() && lines.at(i + 1).startsWith(QLatin1Char(' '));
        if (!heading)
            ++count;
    }
    return count;
}

QString DifferenceText(int count, int language) {
    if (count == 0)
        return LangText(SameText, language);
    if (count == 1)
        return LangText(DifferOneText, language);
    return LangFormat(DifferText, language, count);
}

QList<std::uint32_t> SnapshotHistory::Serials() const {
    QList<std::uint32_t> serials;
    for (const SnapshotFile& f : store_.ListAll())
        if (serials.isEmpty() || serials.last() != f.serial)
            serials.append(f.serial);
    return serials;
}

QList<HistoryItem> SnapshotHistory::List(std::uint32_t serial, const ConfigBytes* compareTo) {
    QList<HistoryItem> items;
    const QList<SnapshotFile> files = store_.List(serial);
    for (auto f = files.rbegin(); f != files.rend(); ++f) {
        const QFileInfo info(f->path);
        auto old = kept_.find(f->path);
        if (old == kept_.end() || old->size != info.size() ||
            old->modified != info.lastModified()) {
            Kept k{info.size(), info.lastModified(), false, {}, {}, -1};
            QByteArray data;
            // A snapshot is a file the program wrote; anything bigger is not one of them.
            k.readable = info.size() <= LibraryFileLimit && ReadWholeFile(f->path, data).ok() &&
                         ReadWholeConfigBytes(data, k.bytes);
            old = kept_.insert(f->path, k);
        }
        items.append({*f, old->readable, old->bytes, 0});
    }
    const ConfigBytes* base = compareTo;
    if (base == nullptr && !items.isEmpty() && items.first().readable)
        base = &items.first().bytes;
    if (base != nullptr) {
        const ConfigBytes compared = *base;
        // Counted again only when what they are compared with changed: the list follows the disk
        // every second.
        for (HistoryItem& item : items) {
            Kept& k = kept_[item.file.path];
            if (!item.readable)
                continue;
            if (k.differences < 0 || k.comparedWith != compared) {
                k.comparedWith = compared;
                k.differences = CountDifferingSettings(item.bytes, compared);
            }
            item.differences = k.differences;
        }
    }
    return items;
}

} // namespace korvex
