// The file the title names.
#include "OpenedFile.h"

#include <QFileInfo>

namespace korvex {

void OpenedFile::Take(const QString& fileName, const ConfigBytes& bytes) {
    fileName_ = fileName;
    bytes_ = bytes;
}

bool OpenedFile::Modified(const ConfigBytes& image) const {
    return !fileName_.isEmpty() && image != bytes_;
}

QString OpenedFile::TitleSuffix() const {
    if (fileName_.isEmpty())
        return {};
    QString name = QFileInfo(fileName_).fileName();
    name.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
    return QStringLiteral(" - ") + name + QStringLiteral("[*]");
}

} // namespace korvex
