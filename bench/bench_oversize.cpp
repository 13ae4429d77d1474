// How fast and how lightly a file far larger than any configuration is refused: by its size,
// before it is read (goal: under 10 ms and under 10 MB of memory for a 100 MB file).
#include "config/ConfigFile.h"
#include "config/ConfigText.h"
#include "host/QuietHost.h"

#include <QFile>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>

#ifdef Q_OS_UNIX
#include <sys/resource.h>
#endif

using namespace korvex;

namespace {

// The most memory this process has held so far, in MB (0 where the system does not say).
double PeakMb() {
#ifdef Q_OS_UNIX
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
#else
    return 0;
#endif
}

} // namespace

int main() {
    QTemporaryDir dir;
    QuietHost host;
    bool allRefused = true;
    for (const char* name : {"big.txt", "big.KSWA"}) {
        const QString path = dir.filePath(QLatin1String(name));
        QFile f(path);
        // A sparse file: 100 MB that cost no disk, whose first line looks right.
        if (!f.open(QIODevice::WriteOnly) || f.write("# KORVEX-SWC-ADP configuration\n") < 0 ||
            !f.resize(100LL * 1024 * 1024)) {
            std::printf("cannot make %s\n", name);
            return 1;
        }
        f.close();
        const double before = PeakMb();
        const auto start = std::chrono::steady_clock::now();
        ConfigImage image;
        QString why;
        const bool loaded = LoadConfigFile(path, image, host, &why, LangEnglish);
        const double ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
        allRefused = allRefused && !loaded;
        std::printf("%-9s refused %s in %.3f ms, peak memory %+.1f MB (goal: under 10 ms, "
                    "under 10 MB)\n",
                    name, loaded ? "NOT" : "", ms, PeakMb() - before);
    }
    return allRefused ? 0 : 1;
}
