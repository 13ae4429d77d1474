// korvex-cli's lin commands: read a LIN device, write its parameters, flash it from a file.
#pragma once

#include <QStringList>
#include <QTextStream>

namespace korvex {

struct Session;

// `args` are the words after "lin"; returns the exit status.
int RunLinCommand(Session& s, const QStringList& args, QTextStream& out, QTextStream& err);

} // namespace korvex
