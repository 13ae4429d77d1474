// The terminal in the window: how much CPU the tool spends per kilobyte of controller text that
// it shows, how fast it drains a full queue, and how long a line waits from the controller's
// text bit to the log. The window's own timer drives the monitor, as in use.
// Run with QT_QPA_PLATFORM=offscreen (set here unless the caller chose a platform).
#include "ProcessCpuTime.h"
#include "app/AppCore.h"
#include "app/MainWindow.h"
#include "sim/VirtualController.h"
#include "sim/VirtualTransport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace korvex;

namespace {

// Runs the event loop until `done` or the time limit; false on the limit.
bool RunUntil(const std::function<bool()>& done, int limitMs) {
    QElapsedTimer clock;
    clock.start();
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (done() || clock.elapsed() > limitMs)
            loop.quit();
    });
    check.start(5); // coarse, so that the check itself costs next to nothing
    loop.exec();
    return done();
}

QByteArray TextLines(int bytes) {
    QByteArray text;
    int n = 0;
    while (text.size() < bytes) {
        QByteArray line = QByteArray::number(n++).rightJustified(6, '0') + " LIN 1 EV:12 ";
        line += QByteArray(80 - line.size(), 'x');
        text += line + "\r\n";
    }
    return text;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    sim::VirtualController controller;
    sim::VirtualTransport transport{controller};
    sim::VirtualPortFinder finder{controller};
    MainWindow window(transport, finder, dir.filePath("bench.ini"), QStringLiteral("bench"));
    window.show();
    auto* log = window.findChild<QTextEdit*>(QStringLiteral("RichEditRX"));
    if (!RunUntil([&] { return window.core().monitor.controllerConnected; }, 5000)) {
        std::fprintf(stderr, "virtual controller did not connect\n");
        return 1;
    }
    RunUntil([] { return false; }, 300); // the configuration read and its display settle

    for (const bool lineTime : {false, true}) {
        controller.emulateLineTime = lineTime;
        const QByteArray text = TextLines(100 * 1024);
        const int lines = static_cast<int>(text.count('\n'));
        const int blocksBefore = log->document()->blockCount();
        controller.queueTerminalText(text);
        QElapsedTimer wall;
        wall.start();
        const double cpuStart = bench::ProcessCpuSeconds();
        const bool drained =
            RunUntil([&] { return log->document()->blockCount() - blocksBefore >= lines; }, 120000);
        const double cpu = bench::ProcessCpuSeconds() - cpuStart;
        const double seconds = double(wall.nsecsElapsed()) / 1e9;
        const double kb = double(text.size()) / 1024.0;
        std::printf("%s: %.0f KB in %d lines %s in %.2f s (%.1f KB/s); CPU %.2f ms per KB, "
                    "%.1f%% of a core at 11.5 KB/s\n",
                    lineTime ? "line time emulated" : "instant controller", kb, lines,
                    drained ? "shown" : "NOT all shown", seconds, kb / seconds, 1e3 * cpu / kb,
                    100.0 * (cpu / kb) * 11.5);
    }

    // From the text bit to the line in the log, with the monitor at its slow pace.
    controller.emulateLineTime = true;
    std::vector<double> waits;
    for (int i = 0; i < 20; ++i) {
        RunUntil([] { return false; }, 250 + 37 * (i % 7)); // back to slow polls, any phase
        const int blocks = log->document()->blockCount();
        controller.queueTerminalText("ready\r\n");
        QElapsedTimer wall;
        wall.start();
        if (!RunUntil([&] { return log->document()->blockCount() > blocks; }, 5000))
            return 1;
        waits.push_back(double(wall.nsecsElapsed()) / 1e6);
    }
    std::sort(waits.begin(), waits.end());
    std::printf("text bit to first line shown: median %.1f ms, worst %.1f ms of %zu\n",
                waits[waits.size() / 2], waits.back(), waits.size());
    return 0;
}
