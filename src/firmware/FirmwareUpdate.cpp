// The firmware update.
#include "FirmwareUpdate.h"

#include "FirmwareTexts.h"
#include "host/MonitorState.h"
#include "host/UiHost.h"
#include "link/DeviceLink.h"
#include "link/ResultText.h"
#include "text/TextPair.h"

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

void ShowError(FirmwareContext& ctx, const QString& text) {
    ctx.host.ShowMessageBox(mb::IconError, text);
    ctx.lastError = text.trimmed().replace(u'\n', QStringLiteral(": "));
}

void ShowFileError(FirmwareContext& ctx, const TextPair& format, const FileNameParts& shown) {
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

// The whole operation, as the toolbar button runs it.
FirmwareOutcome UpdateFirmwareSteps(FirmwareContext& ctx) {
    const int rc = ctx.link.device.ReadAndPrintIdentity(ctx.updateIdentity);
    if (rc != result::Ok) {
        ShowResultError(ctx, ReadIdentityError, rc);
        return FirmwareOutcome::Refused;
    }
    const QString path = ctx.chooseFirmwareFile ? ctx.chooseFirmwareFile() : QString();
    if (path.isEmpty())
        return FirmwareOutcome::NoFile;
    ctx.path = path;
    if (ctx.rememberFirmwareFile)
        ctx.rememberFirmwareFile(path);
    if (!LoadFirmwareFile(ctx, path))
        return FirmwareOutcome::Refused;
    return FlashFirmware(ctx);
}

// After the boxes and the notice: a cancelled dialog and a question answered No leave no line.
void LogOutcome(FirmwareContext& ctx, FirmwareOutcome outcome) {
    const int lang = ctx.language.current;
    const unsigned version = ctx.file.imageVersion();
    if (outcome == FirmwareOutcome::Updated)
        ctx.host.LogLine(LangFormat(UpdatedLine, lang, version / 100, version % 100));
    else if ((outcome == FirmwareOutcome::Refused || outcome == FirmwareOutcome::Failed) &&
             !ctx.lastError.isEmpty())
        ctx.host.LogLine(LangFormat(NotUpdatedLine, lang, ctx.lastError.toUtf8().constData()));
}

} // namespace

FirmwareOutcome UpdateFirmware(FirmwareContext& ctx) {
    ctx.lastError.clear();
    ctx.leftInBootloader = false;
    const FirmwareOutcome outcome = UpdateFirmwareSteps(ctx);
    if (ctx.logResult) {
        LogOutcome(ctx, outcome);
        // The window's way back: after its error box, a box and a log line of their own.
        if (ctx.leftInBootloader && !ctx.link.state.appClosing) {
            const QString text = BootloaderLeftMessage(
                ctx, LangFormat(WindowUpdateAgain, ctx.language.current,
                                QFileInfo(ctx.path).fileName().toUtf8().constData()));
            ctx.host.LogLine(text);
            ctx.host.ShowMessageBox(mb::IconInformation, text);
        }
    }
    return outcome;
}

QString BootloaderLeftMessage(const FirmwareContext& ctx, const QString& wayBack) {
    return LangFormat(BootloaderLeftText, ctx.language.current, wayBack.toUtf8().constData());
}

bool LoadFirmwareFile(FirmwareContext& ctx, const QString& path) {
    const FileNameParts shown = SplitFileName(path);
    FirmwareFile& fw = ctx.file;
    const FirmwareFileError error = LoadFirmwareBytes(path, ControllerFirmwareLayout,
                                                      fw.buffer.data(), fw.buffer.size(), fw.size);
    if (error == FirmwareFileError::Size && QFileInfo(path).size() <= FirmwareMaxFileSize) {
        const int lang = ctx.language.current;
        ShowError(ctx, FileMessage(SizeError, lang, path) + u'\n' +
                           LangFormat(UnaddressableText, lang, ControllerFirmwareLayout.maxSize));
        return false;
    }
    if (error != FirmwareFileError::None) {
        ShowFileError(ctx, LoadErrorText(error), shown);
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
    if (ctx.beforeWrite && !ctx.beforeWrite())
        return FirmwareOutcome::Refused;

    // The monitor announces the controller afresh once the update is over.
    ctx.host.SuspendMonitor();
    ctx.monitor.controllerConnected = false;
    ctx.host.ProgressBegin(length, LangText(ProgressCaption, ctx.language));

    DeviceAccess& device = ctx.link.device;
    if (!id.isBootloader()) {
        // The running application hands over to its bootloader on this chunk and may not
        // answer it; the bootloader answers once it has started.
        const bool& closing = ctx.link.state.appClosing;
        int rc = device.DeviceWrite(area::Firmware, 0, fw.image(), ChunkSize);
        for (int poll = 0; rc != result::Ok && poll < BootPolls && !closing; ++poll) {
            ctx.host.WaitMs(BootPollMs, true);
            // The window may have been closed while the wait ran its messages.
            if (closing)
                break;
            rc = device.ReadAndPrintIdentity(ctx.updateIdentity);
        }
        if (rc != result::Ok) {
            // The application may have handed over on the chunk and its bootloader stayed silent.
            ctx.leftInBootloader = true;
            ctx.host.ResumeMonitor();
            if (!closing)
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
    ctx.leftInBootloader = true;
    if (!ctx.link.state.appClosing)
        ShowResultError(ctx, UpdateError, rc);
    ctx.host.ResumeMonitor();
    return FirmwareOutcome::Failed;
}

} // namespace korvex
