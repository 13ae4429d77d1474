// The single-instance guard.
#include "SingleInstance.h"

#include <QDir>
#include <QLockFile>
#include <QStandardPaths>

namespace korvex {

QString SingleInstanceLockPath(const QString& directory) {
    QString place = directory;
    // The user's runtime directory: one lock per user, so another user of the machine may run
    // the program too.
    if (place.isEmpty())
        place = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (place.isEmpty())
        place = QDir::tempPath();
    const QDir dir(place);
    return dir.filePath(QString::fromLatin1(ProgramIdentifier) + QStringLiteral(".lock"));
}

std::unique_ptr<QLockFile> AcquireSingleInstance(const QString& lockPath) {
    auto lock = std::make_unique<QLockFile>(lockPath);
    // Never stale by age: a running instance may run for days. A lock whose process is gone is
    // still taken over.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0))
        return nullptr;
    return lock;
}

} // namespace korvex
