// korvex-cli's listing of the configuration snapshots that the window keeps.
#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

namespace korvex {

// What is wrong with the arguments of `snapshots [SERIAL]`, empty when nothing is.
QString SnapshotsProblem(const QStringList& args, int language);

// One line per snapshot (serial, UTC date-time, full name), oldest first; a line saying that
// there are none when there are none.
int CommandSnapshots(const QStringList& args, int language, QTextStream& out);

} // namespace korvex
