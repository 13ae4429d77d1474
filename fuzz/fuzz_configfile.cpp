// Configuration files and the INI layer under them, on any bytes: CR-only lines, UTF-16, byte
// order marks, very long lines and keys. A file that loads must save and load back to the same
// image, and the INI document must write itself out the same way twice.
#include "FuzzSupport.h"
#include "config/ConfigFile.h"
#include "config/ConfigImage.h"
#include "config/IniFile.h"
#include "host/QuietHost.h"

#include <cstdlib>

using namespace korvex;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    IniFile ini(QString{});
    ini.FromBytes(bytes);
    const QByteArray written = ini.ToBytes();
    IniFile again(QString{});
    again.FromBytes(written);
    if (again.ToBytes() != written)
        std::abort(); // the document changes each time it is written
    ini.ReadString(u"PARAM", u"PINS", QString());
    ini.ReadInteger(u"MainSettings", u"Lang", 0);
    if (ini.WriteString(u"EVENTS", u"EVENT1", QStringLiteral("00")) &&
        ini.ReadString(u"EVENTS", u"EVENT1", QString()) != QStringLiteral("00"))
        std::abort(); // a value written is not read back

    QuietHost host;
    ConfigImage image;
    if (LoadConfigFile(fuzz::ScratchFile(bytes, ".KSWA"), image, host)) {
        const QString copy = fuzz::ScratchFile({}, "-copy.KSWA");
        ConfigImage back;
        if (!SaveConfigFile(copy, image, host, LangEnglish).ok() ||
            !LoadConfigFile(copy, back, host) || back.bytes != image.bytes)
            std::abort(); // a loaded configuration does not survive saving
    }
    return 0;
}
