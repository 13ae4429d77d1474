// How long saving and loading a configuration file and decoding its hexadecimal take.
#include "config/ConfigFile.h"
#include "config/IniFile.h"
#include "host/QuietHost.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace korvex;

namespace {

using Steady = std::chrono::steady_clock;

double Microseconds(Steady::duration d) {
    return std::chrono::duration<double, std::micro>(d).count();
}

template <typename Work> void Report(const char* what, int runs, Work work) {
    std::vector<double> times;
    times.reserve(size_t(runs));
    for (int i = 0; i < runs; ++i) {
        const auto start = Steady::now();
        work();
        times.push_back(Microseconds(Steady::now() - start));
    }
    std::sort(times.begin(), times.end());
    std::printf("%-28s runs %5d  median %9.1f us  p95 %9.1f us  max %9.1f us\n", what, runs,
                times[times.size() / 2], times[times.size() * 95 / 100], times.back());
}

} // namespace

// bench_kswa [DIRECTORY]: the files go to a temporary directory inside DIRECTORY (default: the
// system's temporary directory), so that disks can be compared.
int main(int argc, char** argv) {
    QTemporaryDir dir =
        argc > 1
            ? QTemporaryDir(QString::fromLocal8Bit(argv[1]) + QStringLiteral("/bench_kswa-XXXXXX"))
            : QTemporaryDir();
    if (!dir.isValid()) {
        std::fprintf(stderr, "no temporary directory\n");
        return 1;
    }
    std::printf("files in %s\n", qPrintable(dir.path()));
    QuietHost host;
    ConfigImage image;
    QRandomGenerator random(42);
    for (auto& byte : image.bytes)
        byte = static_cast<std::uint8_t>(random.bounded(256));

    const QString fresh = dir.filePath("fresh.KSWA");
    const QString path = dir.filePath("bench.KSWA");
    if (!SaveConfigFile(path, image, host, LangEnglish).ok()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return 1;
    }

    Report("save (new file)", 200, [&] {
        QFile::remove(fresh);
        if (!SaveConfigFile(fresh, image, host, LangEnglish).ok())
            std::abort();
    });
    Report("save (over existing file)", 500, [&] {
        if (!SaveConfigFile(path, image, host, LangEnglish).ok())
            std::abort();
    });
    // The same work as a save without the disk: what remains of a save's time is the file
    // system's safe replace (flush to disk and rename).
    Report("save work without disk", 500, [&] {
        IniFile ini(path);
        ini.Load();
        for (const char16_t* key : {u"PINMODE", u"LINPARAM", u"LINPARAM2", u"ANAPARAM"})
            ini.WriteString(u"PARAM", QStringView(key), HexEncode(image.bytes.data() + 1980, 8));
        for (int n = 1; n <= 60; ++n)
            ini.WriteString(u"EVENTS", QString::asprintf("EVRESP%02d", n),
                            HexEncode(image.bytes.data() + 33 * (n - 1), 33));
        if (ini.ToBytes().isEmpty())
            std::abort();
    });
    ConfigImage loaded;
    Report("load", 500, [&] { (void)LoadConfigFile(path, loaded, host); });
    if (loaded.bytes != image.bytes) {
        std::fprintf(stderr, "load did not reproduce the image\n");
        return 1;
    }

    // A whole image's worth of digits, decoded many times over.
    const QString text = HexEncode(image.bytes.data(), ConfigImageSize);
    ConfigBytes decoded{};
    constexpr int Rounds = 20000;
    const auto start = Steady::now();
    for (int i = 0; i < Rounds; ++i)
        HexDecode(text, ConfigImageSize, decoded.data());
    const double seconds = Microseconds(Steady::now() - start) / 1e6;
    if (decoded != image.bytes)
        return 1;
    std::printf("%-28s %.1f MB/s of bytes decoded (%d x %d bytes in %.3f s)\n", "HexDecode",
                double(Rounds) * ConfigImageSize / seconds / 1e6, Rounds, ConfigImageSize, seconds);
    return 0;
}
