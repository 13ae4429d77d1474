// Copies of a controller's configuration kept before it is overwritten, so that an installer can
// put back what the controller held: snapshots/<serial>/<UTC date-time>.KSWA under a data
// directory, at most a fixed number per controller.
#pragma once

#include "config/ConfigImage.h"
#include "text/TextPair.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <cstdint>
#include <functional>

namespace korvex {

class UiHost;

inline constexpr TextPair SnapshotKeptText{
    "Снимок конфигурации контроллера сохранен в %s",
    "The controller's configuration snapshot is saved to %s"};
inline constexpr TextPair SnapshotNotKeptText{
    "Снимок конфигурации контроллера не сохранен: %s",
    "The controller's configuration snapshot is not saved: %s"};

struct SnapshotFile {
    std::uint32_t serial = 0;
    QDateTime taken; // UTC, from the file name
    QString path;    // full name
};

struct SnapshotResult {
    QString path;  // the file written; empty on failure
    QString error; // why nothing was written; empty on success
};

// The per-user data directory that the window and the command-line tool share.
QString DefaultSnapshotRoot();

class SnapshotStore {
public:
    static constexpr int MaxPerSerial = 50;

    // `root` is the data directory; `now` gives the UTC time of a new snapshot (the system's
    // when unset).
    explicit SnapshotStore(QString root, std::function<QDateTime()> now = {});

    const QString& root() const { return root_; }
    QString SerialDirectory(std::uint32_t serial) const;

    // Writes a new file (never over an existing one), then removes the oldest beyond the limit;
    // a failed write removes nothing. The error is in the given language.
    SnapshotResult Save(std::uint32_t serial, const ConfigBytes& bytes, UiHost& host, int language);

    // Oldest first; an empty file (left by a failed write of an older version) is none.
    QList<SnapshotFile> List(std::uint32_t serial) const;
    // Every serial's, by serial, each oldest first.
    QList<SnapshotFile> ListAll() const;

private:
    QString root_;
    std::function<QDateTime()> now_;
};

} // namespace korvex
