// The snapshot store.
#include "Snapshots.h"

#include "config/ConfigFile.h"
#include "host/FileTexts.h"
#include "host/SystemFacts.h"

#include <QDir>
#include <QFileInfo>
#include <QTimeZone>

#include <algorithm>

namespace korvex {

namespace {

const QString StampFormat = QStringLiteral("yyyyMMdd'T'HHmmss'Z'");
const QString Extension = QStringLiteral(".KSWA");

// A file of ours: its time and the number added when that second was taken already.
struct ParsedName {
    bool valid = false;
    QDateTime taken;
    int suffix = 0;
};

ParsedName ParseName(const QString& fileName) {
    if (!fileName.endsWith(Extension, Qt::CaseInsensitive))
        return {};
    const QString base = fileName.left(fileName.size() - Extension.size());
    const QString stamp = base.section(QLatin1Char('-'), 0, 0);
    const QString rest = base.section(QLatin1Char('-'), 1);
    // Read as UTC from the start: as local time, an hour that a clock change skips is invalid.
    if (stamp.size() != 16 || stamp.at(8) != QLatin1Char('T') || stamp.at(15) != QLatin1Char('Z'))
        return {};
    const QDate date = QDate::fromString(stamp.left(8), QStringLiteral("yyyyMMdd"));
    const QTime time = QTime::fromString(stamp.mid(9, 6), QStringLiteral("HHmmss"));
    const QDateTime taken(date, time, QTimeZone::utc());
    if (!taken.isValid())
        return {};
    int suffix = 0;
    if (!rest.isEmpty()) {
        bool ok = false;
        suffix = rest.toInt(&ok);
        if (!ok || suffix < 2)
            return {};
    }
    return {true, taken, suffix};
}

} // namespace

QString DefaultSnapshotRoot() {
    // The window's own data directory; the command-line tool has another program name, so both
    // name it explicitly to find the same snapshots.
    return QDir(UserDataDirectory()).filePath(QStringLiteral("korvex-setup"));
}

SnapshotStore::SnapshotStore(QString root, std::function<QDateTime()> now)
    : root_(std::move(root)), now_(std::move(now)) {
    if (!now_)
        now_ = [] { return QDateTime::currentDateTimeUtc(); };
}

QString SnapshotStore::SerialDirectory(std::uint32_t serial) const {
    return QDir(root_).filePath(QStringLiteral("snapshots/%1").arg(serial));
}

SnapshotResult SnapshotStore::Save(std::uint32_t serial, const ConfigBytes& bytes, UiHost& host,
                                   int language) {
    const QString directory = SerialDirectory(serial);
    const QString stamp = now_().toUTC().toString(StampFormat);
    QDir dir(directory);
    QString path = dir.filePath(stamp + Extension);
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = dir.filePath(QStringLiteral("%1-%2%3").arg(stamp).arg(n).arg(Extension));
    if (!QDir().mkpath(directory))
        return {{}, UnableToWriteText(path, {}, language)};

    ConfigImage image;
    image.bytes = bytes;
    const ConfigSaveResult saved = SaveConfigFile(path, image, host, language);
    if (!saved.ok())
        return {{}, saved.error};

    // The first written go, never the one just taken: by the files' own times, since under a
    // clock that was set wrong the names may lie in the future of the newest real state.
    QList<SnapshotFile> others = List(serial);
    const QString taken = QFileInfo(path).absoluteFilePath();
    others.removeIf([&taken](const SnapshotFile& f) { return f.path == taken; });
    std::stable_sort(others.begin(), others.end(),
                     [](const SnapshotFile& a, const SnapshotFile& b) {
                         return QFileInfo(a.path).lastModified() < QFileInfo(b.path).lastModified();
                     });
    for (qsizetype i = 0; i + MaxPerSerial - 1 < others.size(); ++i)
        QFile::remove(others.at(i).path);
    if (!QFileInfo(path).isFile())
        return {{}, UnableToWriteText(path, {}, language)};
    return {path, {}};
}

QList<SnapshotFile> SnapshotStore::List(std::uint32_t serial) const {
    struct Found {
        SnapshotFile file;
        int suffix;
    };
    QList<Found> found;
    const QDir dir(SerialDirectory(serial));
    for (const QFileInfo& info : dir.entryInfoList(QDir::Files)) {
        const ParsedName name = ParseName(info.fileName());
        if (name.valid && info.size() > 0)
            found.append({{serial, name.taken, info.absoluteFilePath()}, name.suffix});
    }
    std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
        if (a.file.taken != b.file.taken)
            return a.file.taken < b.file.taken;
        return a.suffix < b.suffix;
    });
    QList<SnapshotFile> files;
    for (const Found& f : found)
        files.append(f.file);
    return files;
}

QList<SnapshotFile> SnapshotStore::ListAll() const {
    QList<std::uint32_t> serials;
    const QDir dir(QDir(root_).filePath(QStringLiteral("snapshots")));
    for (const QString& name : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool ok = false;
        const std::uint32_t serial = name.toUInt(&ok);
        // "007" would name the same controller as "7" but not be its directory.
        if (ok && QString::number(serial) == name)
            serials.append(serial);
    }
    std::sort(serials.begin(), serials.end());
    QList<SnapshotFile> files;
    for (const std::uint32_t serial : serials)
        files.append(List(serial));
    return files;
}

} // namespace korvex
