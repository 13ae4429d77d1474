// The recovery copy on disk.
#include "RecoveryCopy.h"

#include "config/ConfigFile.h"
#include "config/Snapshots.h"
#include "host/FileAccess.h"
#include "host/QuietHost.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace korvex {

RecoveryCopy::RecoveryCopy(const QString& directory) {
    const QDir dir(directory.isEmpty()
                       ? QDir(DefaultSnapshotRoot()).filePath(QStringLiteral("recovery"))
                       : directory);
    path_ = dir.filePath(QStringLiteral("unsaved.KSWA"));
    source_ = dir.filePath(QStringLiteral("unsaved.source"));
}

std::optional<RecoveryCopy::Kept> RecoveryCopy::Find() const {
    if (!QFileInfo(path_).isFile() || !IsWholeConfigFile(path_))
        return std::nullopt;
    QuietHost quiet;
    ConfigImage image;
    if (!LoadConfigFile(path_, image, quiet))
        return std::nullopt;
    QByteArray source;
    if (QFileInfo(source_).isFile())
        (void)ReadWholeFile(source_, source);
    return Kept{image.bytes, QString::fromUtf8(source), QFileInfo(path_).lastModified()};
}

bool RecoveryCopy::Write(const ConfigBytes& bytes, const QString& source) const {
    if (!QDir().mkpath(QFileInfo(path_).absolutePath()))
        return false;
    ConfigImage image;
    image.bytes = bytes;
    QuietHost quiet;
    return WriteWholeFile(source_, source.toUtf8()).ok() &&
           SaveConfigFile(path_, image, quiet, LangEnglish).error.isEmpty();
}

void RecoveryCopy::Remove() const {
    QFile::remove(path_);
    QFile::remove(source_);
}

bool RecoveryCopy::Exists() const {
    return QFileInfo::exists(path_);
}

} // namespace korvex
