// Dropped files.
#include "DroppedFiles.h"

#include "config/ConfigText.h"
#include "firmware/FirmwareFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <vector>

namespace korvex {

namespace {
constexpr TextPair DroppedFirmwareText{
    "Обновить ПО контроллера из файла \"%s\"?\nВерсия контроллера: %s\nВерсия файла: %u.%02u",
    "Update the controller's firmware from the file \"%s\"?\nController's version: %s\n"
    "File's version: %u.%02u"};
constexpr TextPair LinFirmwareText{
    "Файл \"%s\" - прошивка устройства LIN, а не контроллера: обновите устройство на странице LIN",
    "The file \"%s\" is the firmware of a LIN device, not of the controller: update the device "
    "on the LIN page"};
constexpr TextPair NotConnectedVersion{"(контроллер не подключен)", "(no controller connected)"};
// A *.txt is taken for a configuration only when it starts as one: other notes get the hint.
bool LooksLikeConfigText(const QString& path) {
    if (!IsConfigTextName(path))
        return false;
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return false;
    QByteArray start = file.read(64);
    if (start.startsWith("\xFF\xFE") || start.startsWith("\xFE\xFF"))
        return true; // UTF-16: the reading says what it holds
    if (start.startsWith("\xEF\xBB\xBF"))
        start.remove(0, 3);
    return start.startsWith(QByteArray(SnippetTextSignature).left(16));
}
// A LIN device's header holds a 16-bit version and its device and board type where the
// controller's holds a 32-bit version: read as the controller's, no real version is that large.
bool IsLinFirmware(const QString& path) {
    std::vector<std::uint8_t> buffer(LinFirmwareLayout.maxSize, 0);
    int size = 0;
    if (LoadFirmwareBytes(path, LinFirmwareLayout, buffer.data(), buffer.size(), size) !=
        FirmwareFileError::None)
        return false;
    return GetU32le(&buffer[4]) > 0xFFFF;
}
} // namespace

QString LinFirmwareDroppedText(const QString& path, int language) {
    return LangFormat(LinFirmwareText, language, QFileInfo(path).fileName().toUtf8().constData());
}

QString DroppedFirmwareQuestion(const QString& path, unsigned controllerVersion, int language) {
    FirmwareFile file;
    if (LoadFirmwareBytes(path, ControllerFirmwareLayout, file.buffer.data(), file.buffer.size(),
                          file.size) != FirmwareFileError::None)
        return {};
    std::copy(file.buffer.begin(), file.buffer.begin() + FirmwareHeaderSize, file.header.begin());
    const QString controller =
        controllerVersion == 0
            ? LangText(NotConnectedVersion, language)
            : QString::asprintf("%u.%02u", controllerVersion / 100, controllerVersion % 100);
    const unsigned version = file.imageVersion();
    return LangFormat(DroppedFirmwareText, language,
                      QFileInfo(path).fileName().toUtf8().constData(),
                      controller.toUtf8().constData(), version / 100, version % 100);
}

DroppedFile ClassifyDrop(const QList<QUrl>& urls) {
    if (urls.size() != 1 || !urls.constFirst().isLocalFile())
        return {};
    const QString path = QDir::toNativeSeparators(urls.constFirst().toLocalFile());
    const QString suffix = QFileInfo(path).suffix();
    if (suffix.compare(QLatin1String("KSWA"), Qt::CaseInsensitive) == 0 ||
        LooksLikeConfigText(path))
        return {DropKind::Configuration, path};
    if (suffix.compare(QLatin1String("LDR"), Qt::CaseInsensitive) == 0)
        return {IsLinFirmware(path) ? DropKind::LinFirmware : DropKind::Firmware, path};
    return {};
}

} // namespace korvex
