// korvex-cli's firmware update: the window's operation with the file from the command line.
#include "FirmwareCommands.h"

#include "CliCommands.h"
#include "CliSession.h"
#include "SnapshotCommands.h"
#include "firmware/FirmwareTexts.h"
#include "firmware/FirmwareUpdate.h"
#include "link/ResultText.h"

namespace korvex {

int CommandUpdateFirmware(Session& s, const Options& o, const QString& file, QTextStream& out,
                          QTextStream& err) {
    if (!FirmwareFileExists(s, file, err))
        return exitcode::Failure;
    IdentityRecord id;
    const int rc = Connect(s, id);
    if (rc != result::Ok)
        return s.fail(err, texts::firmware::ReadIdentityError, rc);
    FirmwareContext ctx(*s.link, s.host, s.monitor, s.language);
    ctx.chooseFirmwareFile = [&file] { return file; };
    // Once the file and the versions are accepted: what the controller holds is kept first.
    ctx.beforeWrite = [&] {
        QString snapshot;
        return KeepControllerSnapshot(s, o, ctx.updateIdentity, true, out, err, snapshot);
    };
    const FirmwareOutcome outcome = UpdateFirmware(ctx);
    out.flush();
    // The host has printed the question; say why nothing happened.
    if (outcome == FirmwareOutcome::Declined)
        err << LangText(RefusedWithoutYes, s.language) << Qt::endl;
    // Also after Ctrl+C: the controller looks dead until the same update runs again.
    if (ctx.leftInBootloader) {
        if (s.host.stopped())
            s.interrupted(err);
        s.host.EndProgress();
        err << BootloaderLeftMessage(ctx,
                                     QStringLiteral("korvex-cli update-firmware \"%1\"").arg(file))
            << Qt::endl;
    }
    return outcome == FirmwareOutcome::Updated ? exitcode::Ok : exitcode::Failure;
}

} // namespace korvex
