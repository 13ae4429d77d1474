// The configuration transfer.
#include "ConfigTransfer.h"

#include "ConfigImage.h"
#include "host/CommandTexts.h"
#include "host/MonitorState.h"
#include "host/UiHost.h"
#include "link/DeviceAccess.h"
#include "link/LinkState.h"
#include "link/ResultText.h"
#include "text/TextPair.h"

#include <algorithm>

namespace korvex {

namespace {
constexpr TextPair ReadingText{"Читаю конфигурацию из устройства",
                               "Reading configuration from the device"};
constexpr TextPair WritingText{"Пишу конфигурацию в устройство",
                               "Write configuration to the device"};
constexpr int ChunkSize = 64;
} // namespace

int ConfigTransfer::ReadConfiguration() {
    monitor_.imageInSync = false;
    int rc = 0;
    {
        MonitorSuspension suspended(host_);
        host_.ProgressBegin(ConfigImageSize, LangText(ReadingText, language_));
        rc = device_.DeviceReadBlock(area::Configuration, 0, image_.bytes.data(), ConfigImageSize);
        // Parameters half read are worse than none: they would be shown and edited as real.
        if (rc != result::Ok)
            ClearParameterRegion(image_.bytes);
        else // the controller's own bytes, before the display fills in its defaults
            image_.lastRead = ReadCopy{true, monitor_.lastSerial, image_.bytes, image_.bytes};
        ApplyLongPressDefault(image_.bytes);
    }
    if (refreshViews)
        refreshViews();
    if (rc != result::Ok)
        return rc;
    image_.shadowCopy = image_.bytes;
    image_.lastReadKept = false;
    monitor_.imageInSync = true;
    return result::Ok;
}

int ConfigTransfer::WriteConfiguration() {
    if (beforeReplace)
        beforeReplace();
    {
        MonitorSuspension suspended(host_);
        host_.ProgressBegin(ConfigImageSize, LangText(WritingText, language_));
        const int rc = device_.DeviceWriteBlock(area::Configuration, 0, image_.bytes.data(),
                                                ConfigImageSize, ChunkSize);
        if (rc != result::Ok)
            return rc;
    }
    NoteHeld(0, image_.bytes.data(), ConfigImageSize);
    // The controller holds the whole image now: the live sending has nothing left to send.
    image_.shadowCopy = image_.bytes;
    monitor_.imageInSync = true;
    return RestartDevice();
}

int ConfigTransfer::ResetToDefaults() {
    const int answer = host_.ShowMessageBox(mb::IconWarning | mb::YesNo | mb::DefButton2,
                                            LangText(texts::DefaultsQuestion, language_));
    resetAnswered_ = answer == mb::IdYes;
    if (!resetAnswered_)
        return result::Ok;
    if (beforeReplace)
        beforeReplace();
    return device_.DeviceWrite(area::Defaults, 0, nullptr, 0);
}

void ConfigTransfer::NoteHeld(int offset, const std::uint8_t* bytes, int count) {
    // Only the controller that was read; a failed write leaves it unknown what arrived, so the
    // old bytes stay and a later question names the change once more.
    ReadCopy& read = image_.lastRead;
    if (read.valid && read.serial == monitor_.lastSerial && offset >= 0 &&
        offset + count <= ConfigImageSize)
        std::copy(bytes, bytes + count, read.held.begin() + offset);
}

int ConfigTransfer::RestartDevice() {
    return device_.DeviceWrite(area::Restart, 0, nullptr, 0);
}

int ConfigTransfer::WriteBlock(int area, int offset, const std::uint8_t* bytes, int count) {
    const int rc = device_.DeviceWriteBlock(area, offset, bytes, count, ChunkSize);
    if (rc == result::Ok && area == area::Configuration)
        NoteHeld(offset, bytes, count);
    if (rc == result::Ok)
        return rc;
    const QString reason = ResultText(rc, language_.current);
    QString text;
    if (language_.current == LangEnglish)
        text =
            QStringLiteral("Error writing to the device \"%1\"\n%2").arg(ports_.portName, reason);
    else
        text = QStringLiteral("Ошибка записи в устройство\n%1").arg(reason);
    host_.ShowMessageBox(mb::IconError, text);
    return rc;
}

} // namespace korvex
