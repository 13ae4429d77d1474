// Dropped files.
#include "DroppedFiles.h"

#include "config/ConfigText.h"
#include "firmware/FirmwareFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace korvex {

namespace {
constexpr TextPair DroppedFirmwareText{
    "Обновить ПО контроллера из файла \"%s\"?\nВерсия контроллера: %s\nВерсия файла: %u.%02u",
    "Update the controller's firmware from the file \"%s\"?\nController's version: %s\n"
    "File's version: %u.%02u"};
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
} // namespace

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
    if (suffix.compare(QLatin1String("KSWA"), Qt::CaseInsensitive) == 0 || LooksLikeConfigText(path))
        return {DropKind::Configuration, path};
    if (suffix.compare(QLatin1String("LDR"), Qt::CaseInsensitive) == 0)
        return {DropKind::Firmware, path};
    return {};
}

} // namespace korvex
