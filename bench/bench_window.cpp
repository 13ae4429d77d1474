// The window's own costs: start-up to the first monitor tick, a parameter-page refresh with a
// changed and with an unchanged image, the editor's display of a changed and of an unchanged
// entry and a tab switch, an undo and a redo of all 60 entries, and the CPU that the idle window
// uses while connected. Run with QT_QPA_PLATFORM=offscreen (set here unless the caller chose a
// platform).
#include "ProcessCpuTime.h"
#include "app/AppCore.h"
#include "app/MainWindow.h"
#include "app/UndoBar.h"
#include "app/WindowHost.h"
#include "config/ParameterPages.h"
#include "editor/EditorPanel.h"
#include "sim/VirtualController.h"
#include "sim/VirtualTransport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace korvex;

namespace {

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
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

    QElapsedTimer clock;
    clock.start();
    MainWindow window(transport, finder, dir.filePath("bench.ini"), QStringLiteral("bench"));
    window.show();
    QApplication::processEvents();
    const double built = double(clock.nsecsElapsed()) / 1e6;
    // The first tick comes one monitor period after the initialisation released the monitor.
    QEventLoop waiting;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &waiting, [&] {
        if (window.core().monitor.controllerConnected || clock.elapsed() > 5000)
            waiting.quit();
    });
    poll.start(1);
    waiting.exec();
    poll.stop();
    const double firstTick = double(clock.nsecsElapsed()) / 1e6;
    std::printf("start-up: window built and shown %.1f ms; connected at the first tick %.1f ms "
                "(of which 200 ms is the monitor period)\n",
                built, firstTick);

    ParameterPages& pages = window.pages();
    ConfigImage& image = window.core().image;
    std::vector<double> changed, unchanged;
    for (int i = 0; i < 200; ++i) {
        image.bytes[1981] ^= 1;
        clock.restart();
        pages.RefreshParameterPages();
        changed.push_back(double(clock.nsecsElapsed()) / 1e3);
        clock.restart();
        pages.RefreshParameterPages();
        unchanged.push_back(double(clock.nsecsElapsed()) / 1e3);
    }
    std::printf("RefreshParameterPages: changed image median %.1f us, unchanged median %.1f us\n",
                Median(changed), Median(unchanged));

    // The editor on tab 3, a LIN event with a LIN reaction: a changed key, the same entry again,
    // and a click to the next tab and back.
    EditorPanel& editor = window.editor();
    editor.SelectTab(2);
    EntryRef entry(image.bytes, 2);
    entry.set(entry::eventKind, kind::EventLin);
    entry.set(entry::eventPress, 3);
    entry.set(entry::reactionKind, kind::ReactionLin);
    std::vector<double> entryChanged, entryUnchanged, tabSwitch;
    for (int i = 0; i < 200; ++i) {
        entry.set(entry::eventCode, std::uint8_t(i % 76));
        clock.restart();
        editor.ShowSelectedEntry();
        entryChanged.push_back(double(clock.nsecsElapsed()) / 1e3);
        clock.restart();
        editor.ShowSelectedEntry();
        entryUnchanged.push_back(double(clock.nsecsElapsed()) / 1e3);
        clock.restart();
        editor.SelectTab(3 - (i % 2));
        tabSwitch.push_back(double(clock.nsecsElapsed()) / 1e3);
    }
    editor.SelectTab(2);
    std::printf("ShowSelectedEntry: changed entry median %.1f us, unchanged median %.2f us; tab "
                "switch median %.1f us\n",
                Median(entryChanged), Median(entryUnchanged), Median(tabSwitch));

    // The largest step: every entry changed at once, undone and redone with the display.
    UndoBar& undo = window.undo();
    for (int n = 0; n < EntryCount; ++n)
        EntryRef(image.bytes, n).set(entry::eventKind, kind::EventTimeout);
    undo.Record();
    std::vector<double> undone, redone;
    for (int i = 0; i < 200; ++i) {
        clock.restart();
        undo.Undo();
        undone.push_back(double(clock.nsecsElapsed()) / 1e3);
        clock.restart();
        undo.Redo();
        redone.push_back(double(clock.nsecsElapsed()) / 1e3);
    }
    std::printf("undo of all 60 entries with its display: median %.1f us; redo median %.1f us\n",
                Median(undone), Median(redone));

    const double cpuStart = bench::ProcessCpuSeconds();
    clock.restart();
    QEventLoop idle;
    QTimer::singleShot(5000, &idle, &QEventLoop::quit);
    idle.exec();
    const double cpu = bench::ProcessCpuSeconds() - cpuStart;
    const double wall = double(clock.elapsed()) / 1e3;
    std::printf("idle while connected: %.3f s CPU in %.1f s = %.2f%% of a core (the virtual "
                "controller's share included)\n",
                cpu, wall, 100.0 * cpu / wall);
    return 0;
}
