// Saving and loading the configuration image as a KSWA file.
#include "ConfigFile.h"

#include "config/ConfigText.h"
#include "config/IniFile.h"
#include "firmware/FirmwareFile.h"
#include "host/FileTexts.h"
#include "host/UiHost.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace korvex {

namespace {

struct ParamBlock {
    const char16_t* key;
    int offset;
    int length;
};

// In the order they are written: LINPARAM2 comes before ANAPARAM in the file although it
// follows it in the image, as in the files our users already have.
constexpr ParamBlock ParamBlocks[] = {
    {u"PINMODE", 1980, 8},
    {u"LINPARAM", 1988, 15},
    {u"LINPARAM2", 2011, 8},
    {u"ANAPARAM", 2003, 8},
};
// The file's own view of the image, spelled out here so that the file format stays fixed
// whatever the image's accessors become.
namespace layout {
constexpr int ParamRegionOffset = 1980;
constexpr int ParamRegionSize = 39;
constexpr int EntryCount = 60;
constexpr int EntrySize = 33;
} // namespace layout

static_assert(layout::ParamRegionOffset + layout::ParamRegionSize == ConfigImageSize);
static_assert(layout::EntryCount * layout::EntrySize == layout::ParamRegionOffset);

constexpr TextPair IsFirmwareText{
    "это файл прошивки (версия %s); установить его: korvex-cli update-firmware \"%s\"",
    "this is a firmware file (version %s); to install it: korvex-cli update-firmware \"%s\""};
constexpr TextPair IsTextOfOtherName{
    "это конфигурация текстом: такой файл читается под именем *.txt",
    "this is a configuration text: such a file is read under a *.txt name"};
constexpr TextPair HoldsNoConfiguration{"в файле нет конфигурации",
                                        "the file holds no configuration"};

constexpr QStringView ParamSection = u"PARAM";
constexpr QStringView EventsSection = u"EVENTS";

QString EntryKey(int number) {
    return QString::asprintf("EVRESP%02d", number);
}

bool IsHexDigit(QChar c) {
    return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F') || (c >= u'a' && c <= u'f');
}

int DigitValue(char16_t c) {
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    return 0;
}

} // namespace

void HexEncode(const std::uint8_t* bytes, int count, char* text) {
    static constexpr char Digits[] = "0123456789ABCDEF";
    for (int i = 0; i < count; ++i) {
        *text++ = Digits[bytes[i] >> 4];
        *text++ = Digits[bytes[i] & 0x0F];
    }
    *text = '\0';
}

QString HexEncode(const std::uint8_t* bytes, int count) {
    QByteArray text(2 * qsizetype(std::max(count, 0)) + 1, '\0');
    HexEncode(bytes, std::max(count, 0), text.data());
    text.chop(1);
    return QString::fromLatin1(text);
}

int HexDecode(QStringView text, int count, std::uint8_t* destination) {
    const qsizetype length = text.size();
    for (int stored = 0; stored < count; ++stored) {
        const qsizetype at = 2 * qsizetype(stored);
        if (at + 1 >= length || text[at].unicode() == 0 || text[at + 1].unicode() == 0) {
            std::fill(destination + stored, destination + count, std::uint8_t{0});
            return stored;
        }
        destination[stored] = static_cast<std::uint8_t>(16 * DigitValue(text[at].unicode()) +
                                                        DigitValue(text[at + 1].unicode()));
    }
    return std::max(count, 0);
}

ConfigSaveResult SaveConfigFile(const QString& fileName, const ConfigImage& image, UiHost& host,
                                int language) {
    const MonitorSuspension suspension(host);
    const StopPoll stop = [&host] { return host.StopRequested(); };
    if (IsConfigTextName(fileName)) {
        ConfigTextOptions options;
        options.language = language;
        options.stop = stop;
        return SaveConfigText(fileName, image.bytes, options);
    }
    IniFile file(fileName);
    // An LF-only or CR-only file stays one: a tool of the user's made it so.
    file.KeepLineEnds(true);
    // A file we cannot read must not be replaced by one that lost its other sections.
    if (!file.Load())
        return {UnableToWriteText(fileName, file.LastProblem(), language)};
    for (const ParamBlock& block : ParamBlocks) {
        const QString value = HexEncode(image.bytes.data() + block.offset, block.length);
        if (!file.WriteString(ParamSection, QStringView(block.key), value))
            return {UnableToWriteText(fileName, {}, language)};
    }
    for (int n = 1; n <= layout::EntryCount; ++n) {
        const QString value =
            HexEncode(image.bytes.data() + layout::EntrySize * (n - 1), layout::EntrySize);
        if (!file.WriteString(EventsSection, EntryKey(n), value))
            return {UnableToWriteText(fileName, {}, language)};
    }
    if (!file.Save(stop)) {
        if (file.LastProblem().kind == FileProblem::Kind::Stopped)
            return {FileProblemText(file.LastProblem(), language), false, true};
        return {UnableToWriteText(fileName, file.LastProblem(), language)};
    }
    return {{}, file.HeldOtherData()};
}

bool LoadConfigFile(const QString& fileName, ConfigImage& image, UiHost& host, QString* problem,
                    int language) {
    const MonitorSuspension suspension(host);
    if (IsConfigTextName(fileName)) {
        // A text is read onto the factory configuration, whole or snippet.
        ConfigBytes loaded = FactoryBytes();
        if (!QFileInfo(fileName).isFile())
            return false;
        const ConfigTextResult read = ReadConfigTextFile(fileName, loaded, language, problem,
                                                         [&host] { return host.StopRequested(); });
        if (!read.ok)
            return false;
        // A snippet is no configuration: taken as one, it would reset what it does not name.
        if (!read.whole) {
            if (problem != nullptr)
                *problem = SnippetRefusalText(language);
            return false;
        }
        image.bytes = loaded;
        return true;
    }
    IniFile file(fileName);
    // Taking any other file as an all-zero configuration would wipe a connected controller at
    // the next live sending: a file must exist and hold at least one of the keys.
    if (!QFileInfo(fileName).isFile() || QFileInfo(fileName).size() > MaxConfigFileBytes ||
        !file.Load() || host.StopRequested())
        return false;
    bool anyKey =
        std::any_of(std::begin(ParamBlocks), std::end(ParamBlocks),
                    [&](const ParamBlock& b) { return file.HasKey(ParamSection, b.key); });
    for (int n = 1; n <= layout::EntryCount && !anyKey; ++n)
        anyKey = file.HasKey(EventsSection, EntryKey(n));
    if (!anyKey)
        return false;

    ConfigBytes loaded{};
    for (const ParamBlock& block : ParamBlocks) {
        const QString value = file.ReadString(ParamSection, QStringView(block.key), QString());
        HexDecode(value, block.length, loaded.data() + block.offset);
    }
    for (int n = 1; n <= layout::EntryCount; ++n) {
        const QString value = file.ReadString(EventsSection, EntryKey(n), QString());
        HexDecode(value, layout::EntrySize, loaded.data() + layout::EntrySize * (n - 1));
    }
    image.bytes = loaded;
    return true;
}

QString NoConfigurationReason(const QString& fileName, int language) {
    QByteArray data;
    if (!ReadWholeFile(fileName, data, MaxConfigFileBytes).ok())
        return {};
    std::vector<std::uint8_t> buffer(FirmwareMaxFileSize + FirmwareTrailer, 0);
    int size = 0;
    if (LoadFirmwareBytes(fileName, ControllerFirmwareLayout, buffer.data(), buffer.size(), size) ==
        FirmwareFileError::None) {
        const std::uint32_t version = GetU32le(buffer.data() + 4);
        return LangFormat(
            IsFirmwareText, language,
            QString::asprintf("%u.%02u", version / 100, version % 100).toUtf8().constData(),
            QDir::toNativeSeparators(fileName).toUtf8().constData());
    }
    QString text;
    ConfigTextError error;
    if (DecodeConfigText(data, text, error, language)) {
        switch (ConfigTextKind(text)) {
        case TextKind::Snippet:
            return SnippetRefusalText(language);
        case TextKind::Whole:
            if (!IsConfigTextName(fileName))
                return LangText(IsTextOfOtherName, language);
            break;
        case TextKind::None:
            break;
        }
    }
    return LangText(HoldsNoConfiguration, language);
}

bool IsWholeConfigFile(const QString& fileName) {
    IniFile file(fileName);
    if (!QFileInfo(fileName).isFile() || !file.Load())
        return false;
    const auto whole = [&file](QStringView section, QStringView key, int length) {
        const QString value = file.ReadString(section, key, QString());
        return value.size() == 2 * length &&
               std::all_of(value.begin(), value.end(), [](QChar c) { return IsHexDigit(c); });
    };
    for (const ParamBlock& block : ParamBlocks)
        if (!whole(ParamSection, QStringView(block.key), block.length))
            return false;
    for (int n = 1; n <= layout::EntryCount; ++n)
        if (!whole(EventsSection, EntryKey(n), layout::EntrySize))
            return false;
    return true;
}

bool ReadWholeConfigBytes(QByteArrayView content, ConfigBytes& bytes) {
    IniFile file{QString()};
    file.FromBytes(content);
    ConfigBytes read{};
    const auto whole = [&](QStringView section, QStringView key, int offset, int length) {
        const QString value = file.ReadString(section, key, QString());
        if (value.size() != 2 * length ||
            !std::all_of(value.begin(), value.end(), [](QChar c) { return IsHexDigit(c); }))
            return false;
        HexDecode(value, length, read.data() + offset);
        return true;
    };
    for (const ParamBlock& block : ParamBlocks)
        if (!whole(ParamSection, QStringView(block.key), block.offset, block.length))
            return false;
    for (int n = 1; n <= layout::EntryCount; ++n)
        if (!whole(EventsSection, EntryKey(n), layout::EntrySize * (n - 1), layout::EntrySize))
            return false;
    bytes = read;
    return true;
}

} // namespace korvex
