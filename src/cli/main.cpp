// korvex-cli entry point.
#include "CliCommands.h"
#include "CliPlatform.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    korvex::cli::InstallStopHandlers();
    const korvex::CliEnvironment env{korvex::cli::StandardErrorIsTerminal(),
                                     korvex::cli::StopRequested};
    const int rc = korvex::RunCli(args, out, err, nullptr, env);
    out.flush();
    err.flush();
    return rc;
}
