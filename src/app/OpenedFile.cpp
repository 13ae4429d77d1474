// The file the title names.
#include "OpenedFile.h"

#include "config/ConfigDiff.h"
#include "host/MonitorState.h"

#include <QFileInfo>

namespace korvex {

void OpenedFile::Take(const QString& fileName, const ConfigBytes& bytes) {
    fileName_ = fileName;
    bytes_ = bytes;
}

bool OpenedFile::Modified(const ConfigBytes& image) const {
    return !fileName_.isEmpty() && image != bytes_;
}

bool OpenedFile::HoldsOwnWork(const ConfigImage& image, const MonitorState& monitor) const {
    // Values the display fills in by its rules are nobody's work.
    const ConfigBytes shown = AsEditorShows(image.bytes);
    if (shown == AsEditorShows(bytes_))
        return false;
    const ReadCopy& read = image.lastRead;
    const bool onController =
        monitor.controllerConnected && read.valid && read.serial == monitor.lastSerial;
    return !onController || shown != AsEditorShows(read.held);
}

QString OpenedFile::TitleSuffix() const {
    if (fileName_.isEmpty())
        return {};
    QString name = QFileInfo(fileName_).fileName();
    name.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
    return QStringLiteral(" - ") + name + QStringLiteral("[*]");
}

} // namespace korvex
