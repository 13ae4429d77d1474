// The single-instance guard.
#include "SingleInstance.h"

#include "text/TextPair.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>
#include <QSysInfo>
#include <QThread>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

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

QString HandOverAddress(const QString& directory) {
#ifdef Q_OS_WIN
    Q_UNUSED(directory);
    DWORD session = 0;
    ProcessIdToSessionId(GetCurrentProcessId(), &session);
    return QStringLiteral("\\\\.\\pipe\\") + QString::fromLatin1(ProgramIdentifier) + u'-' +
           qEnvironmentVariable("USERNAME") + u'-' + QString::number(session);
#else
    QString lock = SingleInstanceLockPath(directory);
    lock.chop(int(sizeof ".lock") - 1);
    return lock + QStringLiteral(".socket");
#endif
}

QString AlreadyRunningBoxText(const QString& lockPath) {
    return QString::fromLatin1(AlreadyRunningText) + QStringLiteral("\n\nLock file: ") +
           QDir::toNativeSeparators(lockPath);
}

namespace {
constexpr TextPair NoLockPair{
    "Не удалось создать файл блокировки \"%s\": %s.\nВторой экземпляр программы не будет "
    "замечен; программа запускается.",
    "The lock file \"%s\" cannot be made: %s.\nA second instance of the program will not be "
    "noticed; the program starts all the same."};

QString LockErrorText(QLockFile::LockError error, const QString& path) {
    if (QFileInfo(path).isDir())
        return QStringLiteral("a folder of that name is in the way");
    if (!QFileInfo(QFileInfo(path).absolutePath()).isDir())
        return QStringLiteral("its folder does not exist");
    switch (error) {
    case QLockFile::PermissionError:
        return QStringLiteral("permission denied");
    case QLockFile::LockFailedError:
        return QStringLiteral("the file cannot be replaced");
    default:
        return QStringLiteral("the file cannot be written (is the disk full?)");
    }
}

// The name the lock gives this machine: Qt writes the computer name on Windows, the host name
// elsewhere.
QString ThisMachine() {
#ifdef Q_OS_WIN
    return qEnvironmentVariable("COMPUTERNAME");
#else
    return QSysInfo::machineHostName();
#endif
}

// A lock in this machine's own folder that names another machine was left there (a copied home,
// a renamed machine): no instance that runs here can hold it.
bool HeldElsewhere(QLockFile& lock) {
    qint64 pid = 0;
    QString host;
    QString app;
    if (!lock.getLockInfo(&pid, &host, &app) || host.isEmpty())
        return false;
    const QString here = ThisMachine();
    return !here.isEmpty() && host.compare(here, Qt::CaseInsensitive) != 0;
}

// What a crash or a full disk leaves: a lock whose owner cannot be read. An instance that has
// only just made its lock writes the owner at once, so the lock is looked at twice.
bool NobodyHolds(QLockFile& lock) {
    for (int look = 0; look < 2; ++look) {
        qint64 pid = 0;
        QString host;
        QString app;
        if (lock.getLockInfo(&pid, &host, &app))
            return false;
        if (look == 0)
            QThread::msleep(100);
    }
    return true;
}
} // namespace

// Kept apart from the rest so that platform fixes of the lock stay small: QLockFile does the
// work on both systems, this only decides what to do when it refuses.
std::unique_ptr<QLockFile> AcquireSingleInstance(const QString& lockPath, QString* problem) {
    auto lock = std::make_unique<QLockFile>(lockPath);
    // Never stale by age: a running instance may run for days. A lock whose process is gone is
    // still taken over.
    lock->setStaleLockTime(0);
    if (lock->tryLock(0))
        return lock;
    const bool isDir = QFileInfo(lockPath).isDir();
    if (lock->error() == QLockFile::LockFailedError && !isDir && !HeldElsewhere(*lock) &&
        !NobodyHolds(*lock))
        return nullptr; // a running instance
    // Empty, garbage or an empty folder: taken over.
    if (isDir ? QDir().rmdir(lockPath) : QFile::remove(lockPath)) {
        if (lock->tryLock(0))
            return lock;
    }
    if (problem != nullptr)
        *problem = QDir::toNativeSeparators(lockPath) + QLatin1Char('\n') +
                   LockErrorText(lock->error(), lockPath);
    return nullptr;
}

QString NoLockText(const QString& problem, int language) {
    const QString path = problem.section(QLatin1Char('\n'), 0, 0);
    const QString why = problem.section(QLatin1Char('\n'), 1);
    return LangFormat(NoLockPair, language, path.toUtf8().constData(), why.toUtf8().constData());
}

} // namespace korvex
