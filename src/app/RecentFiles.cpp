// The recent configuration files.
#include "RecentFiles.h"

#include "app/Settings.h"
#include "config/IniFile.h"
#include "host/UiHost.h"
#include "text/TextPair.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace korvex {

namespace {

constexpr QStringView Section = u"RecentFilesx";
constexpr int GoneNoticeMs = 5000;
constexpr TextPair GoneText{"Файл \"%s\" не найден и убран из списка недавних",
                            "File \"%s\" is not found; it is taken off the recent files"};

QString KeyOf(int index) {
    return QStringLiteral("File%1").arg(index + 1);
}

} // namespace

bool SameFile(const QString& a, const QString& b) {
#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
    constexpr Qt::CaseSensitivity cs = Qt::CaseInsensitive;
#else
    constexpr Qt::CaseSensitivity cs = Qt::CaseSensitive;
#endif
    return QDir::cleanPath(QDir::fromNativeSeparators(a))
               .compare(QDir::cleanPath(QDir::fromNativeSeparators(b)), cs) == 0;
}

QStringList WithRecentFile(QStringList files, const QString& file) {
    files.removeIf([&file](const QString& old) { return SameFile(old, file); });
    files.prepend(file);
    while (files.size() > RecentFilesMax)
        files.removeLast();
    return files;
}

QStringList RecentFilesIn(const IniFile& settings) {
    QStringList files;
    for (int i = 0; i < RecentFilesMax; ++i) {
        const QString file = settings.ReadString(Section, KeyOf(i), QString()).trimmed();
        const bool known = std::any_of(files.cbegin(), files.cend(),
                                       [&file](const QString& f) { return SameFile(f, file); });
        if (!file.isEmpty() && !known)
            files << file;
    }
    return files;
}

bool StoreRecentFiles(IniFile& settings, const QStringList& files) {
    for (int i = 0; i < RecentFilesMax; ++i) {
        // Keys that were never written stay unwritten: a short list adds only its own lines.
        const QString file = files.value(i);
        if (file.isEmpty() && !settings.HasKey(Section, KeyOf(i)))
            continue;
        if (!settings.WriteString(Section, KeyOf(i), file))
            return false;
    }
    return true;
}

QStringList ReadRecentFiles(const QString& path) {
    IniFile settings(path);
    settings.Load();
    return RecentFilesIn(settings);
}

bool RecentFileStillThere(const QString& path, const QString& file, UiHost& host, int language) {
    if (QFileInfo::exists(file))
        return true;
    ChangeSettings(
        path,
        [&file](IniFile& settings) {
            QStringList files = RecentFilesIn(settings);
            files.removeIf([&file](const QString& f) { return SameFile(f, file); });
            return StoreRecentFiles(settings, files);
        },
        host, language);
    host.ShowPanelMessage(
        true, GoneNoticeMs, 0,
        LangFormat(GoneText, language, QDir::toNativeSeparators(file).toUtf8().constData()));
    return false;
}

} // namespace korvex
