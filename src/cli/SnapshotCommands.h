// korvex-cli's listing of the configuration snapshots that the window keeps.
#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

namespace korvex {

struct IdentityRecord;
struct Options;
struct Session;

// What is wrong with the arguments of `snapshots [SERIAL]`, empty when nothing is.
QString SnapshotsProblem(const QStringList& args, int language);

// One line per snapshot (serial, UTC date-time, full name), oldest first; a line saying that
// there are none when there are none.
int CommandSnapshots(const QStringList& args, int language, QTextStream& out);

// Before a command replaces the controller's configuration as a whole: reads it once and keeps
// it where the window keeps its snapshots, saying where. Nothing with --no-snapshot; a
// controller in its bootloader cannot be read, which is said and, for a firmware update, not in
// the way. False when the command must stop, its reason printed; `path` receives the file.
bool KeepControllerSnapshot(Session& s, const Options& o, const IdentityRecord& id,
                            bool bootloaderGoesOn, QTextStream& out, QTextStream& err,
                            QString& path);

} // namespace korvex
