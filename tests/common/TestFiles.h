// Reading and writing whole files in tests.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace korvex::test {

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
