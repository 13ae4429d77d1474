// How long the configuration as text takes with all 60 entries in use: the window writes it for
// "Copy as text" and reads it for "Paste text", so neither may be felt (goal: 5 ms each).
#include "config/ConfigText.h"
#include "link/LittleEndian.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

using namespace korvex;

namespace {

// Every entry in use with a name, an event and a reaction of each kind in turn, every
// parameter set.
ConfigBytes FullConfiguration() {
    ConfigBytes c{};
    for (int n = 0; n < EntryCount; ++n) {
        std::uint8_t* e = c.data() + EntryOffset(n);
        char name[11];
        std::snprintf(name, sizeof name, "Tab%02d", n);
        std::memcpy(e, name, std::strlen(name));
        e[10] = static_cast<std::uint8_t>(1 + n % 4);
        e[11] = static_cast<std::uint8_t>(n);
        e[12] = static_cast<std::uint8_t>((n * 3) % 60);
        PutU32le(e + 13, static_cast<std::uint32_t>(1000 * (n + 1)));
        e[19] = static_cast<std::uint8_t>(n % 4);
        e[21] = static_cast<std::uint8_t>(1 + n % 5);
        e[22] = static_cast<std::uint8_t>(n % 10);
        e[23] = static_cast<std::uint8_t>(n % 4);
        PutU16le(e + 24, static_cast<std::uint16_t>(100 + n));
        PutU16le(e + 26, static_cast<std::uint16_t>(200 + n));
        e[28] = static_cast<std::uint8_t>(n % 6);
        e[30] = static_cast<std::uint8_t>((n + 1) % 6);
    }
    for (int i = ParamRegionOffset; i < ConfigImageSize; ++i)
        c[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i % 3);
    return c;
}

double Ms(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

void Report(const char* what, std::vector<double>& times) {
    std::sort(times.begin(), times.end());
    const std::size_t n = times.size();
    std::printf("%-6s runs %zu  median %.3f ms  p95 %.3f ms  max %.3f ms  (goal: under 5 ms)\n",
                what, n, times[n / 2], times[n * 95 / 100], times.back());
}

} // namespace

int main() {
    const ConfigBytes image = FullConfiguration();
    // The first text builds the tables of words once; that is timed on its own.
    auto start = std::chrono::steady_clock::now();
    ConfigTextOptions o;
    o.all = true;
    ConfigBytes read{};
    const bool warmOk = ApplyConfigText(WriteConfigText(image, o), read, LangEnglish).ok;
    std::printf("first text, with the tables of words: %.1f ms\n", Ms(start));
    std::vector<double> writes;
    std::vector<double> reads;
    qsizetype lines = 0;
    bool exact = warmOk && read == image;
    constexpr int Runs = 200;
    for (int i = 0; i < Runs; ++i) {
        o.language = i % 2 == 0 ? LangEnglish : LangRussian;
        o.all = (i / 2) % 2 == 0;
        start = std::chrono::steady_clock::now();
        const QString text = WriteConfigText(image, o);
        writes.push_back(Ms(start));
        lines = text.count(QLatin1Char('\n'));
        start = std::chrono::steady_clock::now();
        const bool ok = ApplyConfigText(text, read, LangEnglish).ok;
        reads.push_back(Ms(start));
        exact = exact && ok && read == image;
    }
    std::printf("text of a configuration with all 60 entries used (%lld lines), %s\n",
                static_cast<long long>(lines), exact ? "read back exactly" : "NOT READ BACK");
    Report("write", writes);
    Report("read", reads);
    return exact ? 0 : 1;
}
