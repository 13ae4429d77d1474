// Keeps the configuration last read from the connected controller before something replaces
// it: once per read, reported in the log, and never in the way of the operation itself.
#pragma once

#include "config/ConfigImage.h"
#include "config/Snapshots.h"

#include <QString>

#include <cstdint>

namespace korvex {

class UiHost;
struct ConfigImage;
struct LanguageState;
struct MonitorState;

class SnapshotKeeper {
public:
    SnapshotKeeper(ConfigImage& image, const MonitorState& monitor, UiHost& host,
                   const LanguageState& language, const QString& root = DefaultSnapshotRoot())
        : store(root), image_(image), monitor_(monitor), host_(host), language_(language) {}

    // Saves the last read copy when it came from the connected controller and has not been
    // saved (or tried) since that read. Returns the file written, empty when none was.
    QString KeepLastRead();
    // What the connected controller holds now (its last read and every write since), unless
    // that is the last snapshot kept already. Returns the file written, empty when none was.
    QString KeepHeld();
    // The file last written for the connected controller, empty when there is none.
    QString LastKept() const;

    SnapshotStore store;

private:
    QString Keep(std::uint32_t serial, const ConfigBytes& bytes);

    ConfigImage& image_;
    const MonitorState& monitor_;
    UiHost& host_;
    const LanguageState& language_;
    QString lastKept_;
    ConfigBytes keptBytes_{};
    std::uint32_t lastKeptSerial_ = 0;
};

} // namespace korvex
