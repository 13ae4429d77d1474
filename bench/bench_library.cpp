// The library folder at a shop's size: 10,000 configuration files in 100 subfolders, listed cold
// and looked at again, searched per keystroke, one file previewed; and the window's event loop
// while the Library page lists them (the longest gap between two ticks of a 5 ms timer).
#include "ProcessCpuTime.h"
#include "app/LibraryPage.h"
#include "config/ConfigDiff.h"
#include "config/ConfigFile.h"
#include "config/ConfigLibrary.h"
#include "config/ConfigText.h"
#include "config/LibraryScanner.h"
#include "host/QuietHost.h"
#include "text/TextPair.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace korvex;

namespace {

constexpr int Folders = 100;

// A configuration of eight used LIN entries that differs from file to file.
ConfigBytes Variant(int n) {
    ConfigBytes bytes = FactoryBytes();
    for (int e = 0; e < 8; ++e) {
        EntryRef entry(bytes, 2 + e);
        entry.set(entry::eventKind, kind::EventLin);
        entry.set(entry::eventCode, std::uint8_t((n + e) % 76));
        entry.set(entry::eventPress, 3);
        entry.set(entry::reactionKind, kind::ReactionLin);
        entry.set(entry::reactionCode, std::uint8_t((n * 3 + e) % 71));
    }
    return bytes;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // A smaller shop for a quick look: bench_library 1000.
    const int Files = argc > 1 ? std::max(Folders, QString::fromLocal8Bit(argv[1]).toInt()) : 10000;
    QTemporaryDir shop;
    QuietHost quiet;
    for (int n = 0; n < Files; ++n) {
        const QString folder = shop.filePath(QStringLiteral("Марка %1").arg(n % Folders));
        QDir().mkpath(folder);
        ConfigImage image;
        image.bytes = Variant(n);
        const QString name = QStringLiteral("%1/Car %2").arg(folder).arg(n);
        if (n % 5 == 0)
            (void)SaveConfigText(name + QStringLiteral(".txt"), image.bytes, {});
        else
            (void)SaveConfigFile(name + QStringLiteral(".KSWA"), image, quiet, LangEnglish);
    }

    QElapsedTimer clock;
    LibraryIndex index;
    clock.start();
    const double cpuBefore = bench::ProcessCpuSeconds();
    const LibraryListing cold = index.List(shop.path(), LangEnglish);
    const double coldMs = double(clock.nsecsElapsed()) / 1e6;
    const double coldCpuMs = (bench::ProcessCpuSeconds() - cpuBefore) * 1e3;
    clock.start();
    const LibraryListing warm = index.List(shop.path(), LangEnglish);
    const double warmMs = double(clock.nsecsElapsed()) / 1e6;
    std::printf("index of %lld files: cold %.0f ms (CPU %.0f ms, %d read), looked at again %.0f ms "
                "(%d read)\n",
                static_cast<long long>(cold.files.size()), coldMs, coldCpuMs, cold.summarised,
                warmMs, warm.summarised);

    // A search typed one key at a time, each keystroke over every file.
    const QString typed = QStringLiteral("enc vol up");
    std::vector<double> keystrokes;
    int found = 0;
    for (qsizetype k = 1; k <= typed.size(); ++k) {
        clock.start();
        found = 0;
        const LibrarySearch search(typed.left(k));
        for (const LibraryFile& f : cold.files)
            found += LibraryFileMatches(f, search) ? 1 : 0;
        keystrokes.push_back(double(clock.nsecsElapsed()) / 1e6);
    }
    std::printf("search per keystroke over %lld files: median %.1f ms, longest %.1f ms (%d "
                "found)\n",
                static_cast<long long>(cold.files.size()), Median(keystrokes),
                *std::max_element(keystrokes.begin(), keystrokes.end()), found);

    std::vector<double> previews;
    const QString one = cold.files.at(cold.files.size() / 2).path;
    for (int i = 0; i < 20; ++i) {
        clock.start();
        const LibraryFile f = SummariseLibraryFile(one, shop.path(), LangEnglish);
        const QStringList lines = DiffNotingRules(FactoryBytes(), LibraryFileApplied(f, {}), 1);
        previews.push_back(double(clock.nsecsElapsed()) / 1e6);
        found += int(lines.isEmpty());
    }
    std::printf("preview of one file (read, summarised, diff): median %.2f ms\n", Median(previews));

    // The page as the window shows it: the listing off the window's thread, the search typed.
    LanguageState language;
    language.current = LangEnglish;
    QTemporaryDir settings;
    LibraryPage page(language, settings.filePath(QStringLiteral("korvex-setup.ini")),
                     settings.path());
    page.resize(1000, 700);
    page.show();
    // The first paint (fonts, style) is the window's start, not the library's.
    clock.start();
    while (clock.elapsed() < 300)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    QElapsedTimer sinceTick;
    double longestGap = 0;
    QTimer ticks;
    ticks.setInterval(5);
    QObject::connect(&ticks, &QTimer::timeout, [&] {
        if (sinceTick.isValid())
            longestGap = std::max(longestGap, double(sinceTick.nsecsElapsed()) / 1e6);
        sinceTick.start();
    });
    ticks.start();
    clock.start();
    double listedMs = -1;
    QObject::connect(&page.scanner(), &LibraryScanner::listed, [&] {
        if (!page.scanner().listing().files.isEmpty() && listedMs < 0)
            listedMs = double(clock.nsecsElapsed()) / 1e6;
    });
    page.ChooseFolder(shop.path());
    while (listedMs < 0 && clock.elapsed() < 60000)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    const double listingGap = longestGap;
    auto* search = page.findChild<QLineEdit*>(QStringLiteral("LibrarySearchx"));
    std::vector<double> pageKeys;
    for (qsizetype k = 1; k <= typed.size(); ++k) {
        clock.start();
        search->setText(typed.left(k));
        QApplication::processEvents();
        pageKeys.push_back(double(clock.nsecsElapsed()) / 1e6);
    }
    // Three more looks at the folder, each off the window's thread.
    longestGap = 0;
    sinceTick.invalidate();
    clock.start();
    while (clock.elapsed() < 3 * LibraryScanner::RescanMs)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    std::printf("page: listed in %.0f ms, longest event-loop gap meanwhile %.0f ms; search "
                "typed into the page: median %.1f ms, longest %.1f ms a key; longest gap while "
                "it follows the disk %.0f ms\n",
                listedMs, listingGap, Median(pageKeys),
                *std::max_element(pageKeys.begin(), pageKeys.end()), longestGap);
    return 0;
}
