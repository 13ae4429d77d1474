// Reading the fields of the identity record and printing it.
#include "IdentityRecord.h"

#include "text/TextPair.h"

#include <algorithm>

namespace korvex {

QString IdentityRecord::deviceName() const {
    const char* name = reinterpret_cast<const char*>(&raw[16]);
    int n = 0;
    while (n < 32 && name[n] != '\0')
        ++n;
    return QString::fromLatin1(name, n);
}

bool IdentityRecord::hasName() const {
    const QString name = deviceName();
    return std::any_of(name.begin(), name.end(), [](QChar c) {
        const char16_t u = c.unicode();
        return (u > 0x20 && u < 0x7F) || u > 0xA0;
    });
}

bool IdentityRecord::isBootloader() const {
    return deviceName().contains(QLatin1String(BootloaderNameMark));
}

QStringList IdentityLines(const IdentityRecord& id, int language) {
    // The spaces align the values in the fixed-pitch log window.
    static constexpr TextPair Name{"Контроллер        \"%s\"", "Controller          \"%s\""};
    static constexpr TextPair Serial{"Серийный номер    %lu", "The serial number   %lu"};
    static constexpr TextPair Boot{"Версия загрузчика %u.%02u", "Boot version        %u.%02u"};
    static constexpr TextPair App{"Версия приложения %u.%02u", "Application version %u.%02u"};
    static constexpr TextPair NoApp{"Версия приложения (Приложение не загружено)",
                                    "Application version (application is not loaded)"};
    QStringList lines;
    lines << LangFormat(Name, language, id.deviceName().toUtf8().constData());
    lines << LangFormat(Serial, language, static_cast<unsigned long>(id.serialNumber()));
    lines << LangFormat(Boot, language, static_cast<unsigned>(id.bootVersion() / 100),
                        static_cast<unsigned>(id.bootVersion() % 100));
    if (id.appVersion() != 0)
        lines << LangFormat(App, language, static_cast<unsigned>(id.appVersion() / 100),
                            static_cast<unsigned>(id.appVersion() % 100));
    else
        lines << LangText(NoApp, language);
    return lines;
}

QString IdentityHeader(int language) {
    static constexpr TextPair Header{"**************** Устройство ****************",
                                     "******************* Device *******************"};
    return LangText(Header, language);
}

} // namespace korvex
