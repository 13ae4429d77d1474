// korvex-cli: the same core as the window, for scripts, backups and machines without a display.
#pragma once

#include <QStringList>
#include <QTextStream>

#include <functional>

namespace korvex {

namespace sim {
class VirtualController;
}

namespace exitcode {
constexpr int Ok = 0;
constexpr int Failure = 1;
constexpr int Usage = 2;
} // namespace exitcode

// What the program's surroundings tell a run: the tool's main fills it from the platform.
struct CliEnvironment {
    bool errIsTerminal = false;          // a progress line goes to standard error
    std::function<bool()> stopRequested; // polled by every wait
    // Lines typed on standard input since the last call, for the terminal; `closed` turns true
    // once the input has ended. Unset: the input is closed from the start.
    std::function<QStringList(bool& closed)> readInput;
};

// Runs one command line (without the program name). With `demo` given, --demo talks to that
// virtual controller instead of a fresh one.
int RunCli(const QStringList& arguments, QTextStream& out, QTextStream& err,
           sim::VirtualController* demo = nullptr, const CliEnvironment& env = {});

} // namespace korvex
