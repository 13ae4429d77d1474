// The settings file on any bytes: the window's place and sizes, the options, the remembered
// files, each kept within its limits.
#include "FuzzSupport.h"
#include "app/Settings.h"
#include "host/QuietHost.h"

#include <cstdlib>

using namespace korvex;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString path = fuzz::ScratchFile(bytes, ".ini");
    QuietHost host;
    const TxHeightLimits limits{20, 400};
    const auto settings =
        LoadSettings(path, QSize(1920, 1080), QSize(720, 513), 0, host, 0, limits);
    if (settings && (settings->txHeight < limits.lowest || settings->txHeight > limits.highest ||
                     (settings->lang != 0 && settings->lang != 1)))
        std::abort(); // a value outside its limits reaches the window
    ReadRememberedFile(path, RememberedFile::Configuration, QStringLiteral("/default/"), host, 0);
    ReadRememberedFile(path, RememberedFile::Firmware, QStringLiteral("/default/"), host, 1);
    return 0;
}
