// korvex-cli: the same core as the window, for scripts, backups and machines without a display.
#pragma once

#include <QStringList>
#include <QTextStream>

namespace korvex {

namespace sim {
class VirtualController;
}

namespace exitcode {
constexpr int Ok = 0;
constexpr int Failure = 1;
constexpr int Usage = 2;
} // namespace exitcode

// Runs one command line (without the program name). With `demo` given, --demo talks to that
// virtual controller instead of a fresh one.
int RunCli(const QStringList& arguments, QTextStream& out, QTextStream& err,
           sim::VirtualController* demo = nullptr);

} // namespace korvex
