// korvex-cli's configuration as text: `text SOURCE [OUT] [--all]` and `apply SNIPPET TARGET`.
#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

namespace korvex {

struct Options;
struct Session;

// What is wrong with the arguments of `text` or `apply`, empty when nothing is.
QString TextCommandProblem(const Options& o);

int CommandText(Session& s, const Options& o, QTextStream& out, QTextStream& err);
int CommandApply(Session& s, const Options& o, QTextStream& out, QTextStream& err);

// "Error reading file …" and, for a text, the line that was wrong on a line of its own.
QString ReadFailureText(const QString& file, const QString& why, int language);

} // namespace korvex
