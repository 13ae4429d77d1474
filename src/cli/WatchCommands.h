// korvex-cli's commands that watch the controller as the window's monitor does: the terminal and
// automatic event capture.
#pragma once

#include <QString>
#include <QTextStream>

namespace korvex {

struct CliEnvironment;
struct Options;
struct Session;

// Shows the controller's lines and key presses and sends the lines of standard input; ends
// `--seconds` (default 1) after the input has closed.
int CommandTerminal(Session& s, const Options& o, const CliEnvironment& env, QTextStream& out,
                    QTextStream& err);
// Captures pressed keys into the free entries of FILE and saves it after `--count` events or
// `--seconds` (default 60).
int CommandCapture(Session& s, const Options& o, const QString& file, QTextStream& out,
                   QTextStream& err);

} // namespace korvex
