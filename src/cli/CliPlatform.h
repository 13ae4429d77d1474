// What korvex-cli asks of the operating system: the stop signals and whether standard error is a
// terminal. Everything platform-specific of the tool is in CliPlatform.cpp.
#pragma once

#include <QByteArray>

namespace korvex::cli {

// From now on Ctrl+C, a termination request and a hang-up only set a flag, which the waits poll.
void InstallStopHandlers();
bool StopRequested();

bool StandardErrorIsTerminal();

// The whole of standard input, for a FILE given as "-": at most `limit` bytes (`tooLarge` when
// there were more); it ends early at a stop.
QByteArray ReadStandardInput(qint64 limit, bool& tooLarge);

// Output and input as UTF-8 with bare line feeds on every system: on Windows the console is told
// so (else it shows Russian wrongly) and the C runtime is kept from adding a CR to each line, so
// that what a command prints, piped or redirected, is the same bytes as elsewhere.
void PrepareStandardStreams();

// Writes all of `bytes` to the open descriptor `fd`, in one call where the system takes it all:
// to a Windows console as its UTF-16 text, so that the console's code page cannot split a
// letter. False when the system refuses.
bool WriteWhole(int fd, const QByteArray& bytes);

} // namespace korvex::cli
