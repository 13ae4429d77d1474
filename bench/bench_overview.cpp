// The overview's model with all 60 entries used: rebuilt after a change of one entry, and asked
// again with nothing changed (what every monitor tick costs while the page is shown).
#include "sheet/OverviewModel.h"
#include "sim/VirtualController.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace korvex;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
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
    return 0;
}
