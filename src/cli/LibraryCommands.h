// korvex-cli's reach into the window's Library page: a folder of configurations and a
// controller's snapshot history.
#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

namespace korvex {

struct Options;
struct Session;

// What is wrong with the arguments of `library [DIR] [SEARCH]` and `history [SERIAL]`.
QString LibraryProblem(const Options& o);

// One line per file under DIR (the current directory without it) whose words hold SEARCH:
// path, date, summary, or the reason it cannot be used. 1 with the reason when DIR cannot be read.
int CommandLibrary(const Options& o, int language, QTextStream& out, QTextStream& err);

// One line per snapshot of SERIAL (the connected controller's, or every serial's), newest first,
// with how many settings differ from the controller (with --port or --demo) or from the newest.
int CommandHistory(Session& s, const Options& o, QTextStream& out, QTextStream& err);

} // namespace korvex
