// The snapshot keeper.
#include "SnapshotKeeper.h"

#include "config/ConfigImage.h"
#include "host/MonitorState.h"
#include "host/UiHost.h"
#include "text/TextPair.h"

#include <QDir>

namespace korvex {

QString SnapshotKeeper::KeepLastRead() {
    const ReadCopy& copy = image_.lastRead;
    if (!copy.valid || image_.lastReadKept || monitor_.lastSerial == 0 ||
        copy.serial != monitor_.lastSerial)
        return {};
    // Also after a failure: one line per read is enough, and every later edit would repeat it.
    image_.lastReadKept = true;
    return Keep(copy.serial, copy.bytes);
}

QString SnapshotKeeper::KeepHeld() {
    const ReadCopy& copy = image_.lastRead;
    if (!copy.valid || monitor_.lastSerial == 0 || copy.serial != monitor_.lastSerial)
        return {};
    if (!image_.lastReadKept)
        return KeepLastRead();
    if (!LastKept().isEmpty() && keptBytes_ == copy.held)
        return {};
    return Keep(copy.serial, copy.held);
}

QString SnapshotKeeper::Keep(std::uint32_t serial, const ConfigBytes& bytes) {
    const SnapshotResult saved = store.Save(serial, bytes, host_, language_.current);
    if (saved.path.isEmpty()) {
        host_.LogLine(
            LangFormat(SnapshotNotKeptText, language_.current, saved.error.toUtf8().constData()));
        return {};
    }
    host_.LogLine(LangFormat(SnapshotKeptText, language_.current,
                             QDir::toNativeSeparators(saved.path).toUtf8().constData()));
    lastKept_ = saved.path;
    lastKeptSerial_ = serial;
    keptBytes_ = bytes;
    return saved.path;
}

QString SnapshotKeeper::LastKept() const {
    return lastKeptSerial_ != 0 && lastKeptSerial_ == monitor_.lastSerial ? lastKept_ : QString();
}

} // namespace korvex
