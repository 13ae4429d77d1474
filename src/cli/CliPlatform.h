// What korvex-cli asks of the operating system: the stop signals and whether standard error is a
// terminal. Everything platform-specific of the tool is in CliPlatform.cpp.
#pragma once

namespace korvex::cli {

// From now on Ctrl+C, a termination request and a hang-up only set a flag, which the waits poll.
void InstallStopHandlers();
bool StopRequested();

bool StandardErrorIsTerminal();

} // namespace korvex::cli
