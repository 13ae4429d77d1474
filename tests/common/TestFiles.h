// Reading and writing whole files in tests.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <QTest>

namespace korvex::test {

// The system's words for a missing file: the C library's, or Windows' own in the thread's
// language, without the full stop.
inline QString NoSuchFileWords() {
#ifdef Q_OS_WIN
    QString words = qt_error_string(2).trimmed(); // ERROR_FILE_NOT_FOUND
    words.chop(words.endsWith(u'.') ? 1 : 0);
    return words;
#else
    return QStringLiteral("No such file or directory");
#endif
}

inline QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

inline void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

// Points the per-user data directory (where snapshots go) at a fresh temporary directory for
// the life of the object, so that no test writes into the user's own (programs the test starts
// inherit it). Construct it before whatever takes the directory.
struct TemporaryDataHome {
    TemporaryDataHome() {
        qputenv("XDG_DATA_HOME", dir.path().toLocal8Bit());
        qputenv("LOCALAPPDATA", dir.path().toLocal8Bit()); // its name on Windows
    }
    QString path() const { return dir.path(); }
    QTemporaryDir dir;
};

} // namespace korvex::test
