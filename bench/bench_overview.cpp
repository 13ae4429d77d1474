// The overview's model with all 60 entries used: rebuilt after a change of one entry, and asked
// again with nothing changed (what every monitor tick costs while the page is shown); and the
// printable sheet of that configuration as a PDF.
#include "sheet/ConfigSheet.h"
#include "sheet/OverviewModel.h"
#include "sheet/SheetPdf.h"
#include "sim/VirtualController.h"

#include <QElapsedTimer>
#include <QGuiApplication>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace korvex;

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen"); // the PDF's fonts, no window
    QGuiApplication app(argc, argv);
    ConfigBytes bytes = sim::FactoryConfiguration();
    for (int n = 0; n < EntryCount; ++n) {
        EntryRef e(bytes, n);
        e.set(entry::eventKind, kind::EventLin);
        e.set(entry::eventCode, std::uint8_t(n % 76));
        e.set(entry::eventPress, 3);
        e.set(entry::reactionKind, kind::ReactionLin);
        e.set(entry::reactionCode, std::uint8_t(n % 71));
    }
    OverviewModel model;
    model.Refresh(bytes, 1, nullptr, false);
    std::vector<double> changed, unchanged;
    QElapsedTimer clock;
    for (int i = 0; i < 200; ++i) {
        EntryRef(bytes, i % EntryCount)
            .set(entry::eventOnce, std::uint8_t((i / EntryCount + 1) % 2));
        clock.start();
        model.Refresh(bytes, 1, nullptr, false);
        changed.push_back(double(clock.nsecsElapsed()) / 1e3);
        clock.start();
        model.Refresh(bytes, 1, nullptr, false);
        unchanged.push_back(double(clock.nsecsElapsed()) / 1e3);
    }
    std::sort(changed.begin(), changed.end());
    std::sort(unchanged.begin(), unchanged.end());
    std::printf("overview of 60 used entries: rebuilt after a change median %.1f us, unchanged "
                "median %.2f us\n",
                changed[changed.size() / 2], unchanged[unchanged.size() / 2]);
    std::vector<double> pdf;
    qsizetype size = 0;
    for (int i = 0; i < 10; ++i) {
        clock.start();
        const ConfigOverview overview = BuildOverview(bytes, 1, nullptr);
        size = SheetPdf(SheetHtml(overview, {QStringLiteral("bench.KSWA"), {}}, 1), "bench").size();
        pdf.push_back(double(clock.nsecsElapsed()) / 1e6);
    }
    std::sort(pdf.begin(), pdf.end());
    std::printf("PDF sheet of 60 used entries: median %.1f ms (%lld bytes)\n", pdf[pdf.size() / 2],
                static_cast<long long>(size));
    return 0;
}
