// korvex-cli entry point.
#include "CliCommands.h"
#include "CliPlatform.h"
#include "InputLines.h"
#include "LineOutput.h"
#include "SheetCommands.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <cstdio>
#include <memory>

int main(int argc, char* argv[]) {
    // Qt's own warnings (a missing runtime directory, a font) are not the program's words.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    QStringList given;
    for (int i = 1; i < argc; ++i)
        given << QString::fromLocal8Bit(argv[i]);
    // The sheet's PDF is laid out with fonts, which a GUI application brings; it never shows a
    // window, so on Linux the offscreen platform serves with or without a display. Windows always
    // has its own, the one deployed beside the program.
    std::unique_ptr<QCoreApplication> app;
    if (korvex::WantsSheetPdf(given)) {
#ifndef Q_OS_WIN
        qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    korvex::cli::PrepareStandardStreams();
    // Each line whole to the system, never through the C library's unbuffered console stream,
    // which hands a console one byte at a time.
    korvex::cli::LineOutput outDevice(korvex::cli::DescriptorSink(1));
    korvex::cli::LineOutput errDevice(korvex::cli::DescriptorSink(2));
    QTextStream out(&outDevice);
    QTextStream err(&errDevice);
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
