// korvex-cli entry point.
#include "CliCommands.h"
#include "CliPlatform.h"
#include "InputLines.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    korvex::cli::InstallStopHandlers();
    korvex::CliEnvironment env{
        korvex::cli::StandardErrorIsTerminal(), korvex::cli::StopRequested, {}};
    // Started by the first call, so that only a command that reads its input takes it.
    env.readInput = [poll = std::function<QStringList(bool&)>()](bool& closed) mutable {
        if (!poll)
            poll = korvex::cli::StandardInputLines();
        return poll(closed);
    };
    const int rc = korvex::RunCli(args, out, err, nullptr, env);
    out.flush();
    err.flush();
    return rc;
}
