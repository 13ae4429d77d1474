// Dropped files.
#include "DroppedFiles.h"

#include <QDir>
#include <QFileInfo>

namespace korvex {

DroppedFile ClassifyDrop(const QList<QUrl>& urls) {
    if (urls.size() != 1 || !urls.constFirst().isLocalFile())
        return {};
    const QString path = QDir::toNativeSeparators(urls.constFirst().toLocalFile());
    const QString suffix = QFileInfo(path).suffix();
    if (suffix.compare(QLatin1String("KSWA"), Qt::CaseInsensitive) == 0)
        return {DropKind::Configuration, path};
    if (suffix.compare(QLatin1String("LDR"), Qt::CaseInsensitive) == 0)
        return {DropKind::Firmware, path};
    return {};
}

} // namespace korvex
