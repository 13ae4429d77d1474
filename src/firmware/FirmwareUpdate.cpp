// The firmware update.
#include "FirmwareUpdate.h"

#include "FirmwareTexts.h"
#include "host/MonitorState.h"
#include "host/UiHost.h"
#include "link/DeviceLink.h"
#include "link/ResultText.h"
#include "text/TextPair.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace korvex {

namespace {

using namespace texts::firmware;

constexpr int ChunkSize = 64;
constexpr int BootPolls = 50;
constexpr int BootPollMs = 100;
constexpr int UpdatedNoticeMs = 3000;
constexpr int UpdatedBlinkMs = 250;

// The file's name and extension without its directory, the two halves of "%s%s".
struct ShownName {
    QByteArray name;
    QByteArray extension;
};

ShownName NameOf(const QString& path) {
    const QString file = QFileInfo(path).fileName();
    const qsizetype dot = file.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        return {file.toUtf8(), {}};
    return {file.left(dot).toUtf8(), file.mid(dot).toUtf8()};
}

void ShowError(FirmwareContext& ctx, const QString& text) {
    ctx.host.ShowMessageBox(mb::IconError, text);
}

void ShowFileError(FirmwareContext& ctx, const TextPair& format, const ShownName& shown) {
    ShowError(ctx, LangFormat(format, ctx.language.current, shown.name.constData(),
                              shown.extension.constData()));
}

void ShowResultError(FirmwareContext& ctx, const TextPair& format, int rc) {
    const QByteArray reason = ResultText(rc, ctx.language.current).toUtf8();
    ShowError(ctx, LangFormat(format, ctx.language.current, reason.constData()));
}

// A warning with Yes and No; true only for Yes.
bool Confirm(FirmwareContext& ctx, const TextPair& question) {
    return ctx.host.ShowMessageBox(mb::IconWarning, LangText(question, ctx.language)) == mb::IdYes;
}

} // namespace

FirmwareOutcome UpdateFirmware(FirmwareContext& ctx) {
    const int rc = ctx.link.device.ReadAndPrintIdentity(ctx.updateIdentity);
    if (rc != result::Ok) {
        ShowResultError(ctx, ReadIdentityError, rc);
        return FirmwareOutcome::Refused;
    }
    const QString path = ctx.chooseFirmwareFile ? ctx.chooseFirmwareFile() : QString();
    if (path.isEmpty())
        return FirmwareOutcome::NoFile;
    if (ctx.rememberFirmwareFile)
        ctx.rememberFirmwareFile(path);
    if (!LoadFirmwareFile(ctx, path))
        return FirmwareOutcome::Refused;
    return FlashFirmware(ctx);
}

bool LoadFirmwareFile(FirmwareContext& ctx, const QString& path) {
    const ShownName shown = NameOf(path);
    FirmwareFile& fw = ctx.file;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ShowFileError(ctx, OpenError, shown);
        return false;
    }
    const qint64 size = file.size();
    // An image longer than 65,472 bytes cannot be sent with its trailer: the offsets would wrap
    // to 0 and overwrite the start of the new image.
    if (size > FirmwareMaxFileSize || size - FirmwareMinFileSize > FirmwareMaxImage) {
        ShowFileError(ctx, SizeError, shown);
        return false;
    }
    fw.size = static_cast<int>(size);
    const qint64 got =
        file.read(reinterpret_cast<char*>(fw.buffer.data()), static_cast<qint64>(fw.size));
    // Behind the file the transfer sends zeros, never what an earlier, longer file left there.
    std::fill(fw.buffer.begin() + std::max<qint64>(got, 0), fw.buffer.end(), std::uint8_t{0});
    if (got < size) {
        ShowFileError(ctx, ReadError, shown);
        return false;
    }
    file.close();
    // Without header and CRC there is no image to check.
    if (fw.size < FirmwareMinFileSize) {
        ShowFileError(ctx, FileError, shown);
        return false;
    }
    const std::size_t covered = static_cast<std::size_t>(fw.size - FirmwareCrcSize);
    if (FirmwareCrc16(fw.buffer.data(), covered) != GetU16le(&fw.buffer[covered])) {
        ShowFileError(ctx, FileError, shown);
        return false;
    }
    std::copy_n(fw.buffer.begin(), FirmwareHeaderSize, fw.header.begin());
    const int lang = ctx.language.current;
    ctx.host.LogLine(LangText(UpdateHeader, lang));
    ctx.host.LogLine(
        LangFormat(UpdateFileLine, lang, shown.name.constData(), shown.extension.constData()));
    ctx.host.LogLine(
        LangFormat(ImageVersionLine, lang, fw.imageVersion() / 100, fw.imageVersion() % 100));
    if (fw.targetSerial() != 0 && fw.targetSerial() != ctx.updateIdentity.serialNumber()) {
        ShowError(ctx, LangText(WrongSerial, lang));
        return false;
    }
    return true;
}

FirmwareOutcome FlashFirmware(FirmwareContext& ctx) {
    const FirmwareFile& fw = ctx.file;
    const IdentityRecord& id = ctx.updateIdentity;
    if (fw.targetType() != id.deviceType()) {
        ShowError(ctx, LangText(WrongType, ctx.language));
        return FirmwareOutcome::Refused;
    }
    if (fw.imageVersion() == id.appVersion()) {
        if (!Confirm(ctx, SameVersion))
            return FirmwareOutcome::Declined;
    } else if (id.appVersion() > fw.imageVersion()) {
        if (!Confirm(ctx, OlderVersion))
            return FirmwareOutcome::Declined;
    }
    const int length = fw.imageLength();

    // The monitor announces the controller afresh once the update is over.
    ctx.host.SuspendMonitor();
    ctx.monitor.controllerConnected = false;
    ctx.host.ProgressBegin(length, LangText(ProgressCaption, ctx.language));

    DeviceAccess& device = ctx.link.device;
    if (!id.isBootloader()) {
        // The running application hands over to its bootloader on this chunk and may not
        // answer it; the bootloader answers once it has started.
        int rc = device.DeviceWrite(area::Firmware, 0, fw.image(), ChunkSize);
        for (int poll = 0; rc != result::Ok && poll < BootPolls; ++poll) {
            ctx.host.WaitMs(BootPollMs, true);
            rc = device.ReadAndPrintIdentity(ctx.updateIdentity);
        }
        if (rc != result::Ok) {
            ctx.host.ResumeMonitor();
            ShowResultError(ctx, UpdateError, rc);
            return FirmwareOutcome::Failed;
        }
    }

    if (ctx.setToolbarBusy)
        ctx.setToolbarBusy(true);
    const int rc =
        device.DeviceWriteBlock(area::Firmware, 0, fw.image(), length + FirmwareTrailer, ChunkSize);
    if (rc == result::Ok) {
        ctx.host.ResumeMonitor();
        ctx.host.ShowPanelMessage(false, UpdatedNoticeMs, UpdatedBlinkMs,
                                  LangFormat(Updated, ctx.language.current, fw.imageVersion() / 100,
                                             fw.imageVersion() % 100));
        return FirmwareOutcome::Updated;
    }
    if (!ctx.link.state.appClosing)
        ShowResultError(ctx, UpdateError, rc);
    ctx.host.ResumeMonitor();
    return FirmwareOutcome::Failed;
}

} // namespace korvex
