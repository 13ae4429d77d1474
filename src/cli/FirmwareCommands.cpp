// korvex-cli's firmware update: the window's operation with the file from the command line.
#include "FirmwareCommands.h"

#include "CliCommands.h"
#include "CliSession.h"
#include "firmware/FirmwareTexts.h"
#include "firmware/FirmwareUpdate.h"
#include "link/ResultText.h"

namespace korvex {

int CommandUpdateFirmware(Session& s, const QString& file, QTextStream& out, QTextStream& err) {
    IdentityRecord id;
    const int rc = Connect(s, id);
    if (rc != result::Ok)
        return s.fail(err, texts::firmware::ReadIdentityError, rc);
    FirmwareContext ctx(*s.link, s.host, s.monitor, s.language);
    ctx.chooseFirmwareFile = [&file] { return file; };
    const FirmwareOutcome outcome = UpdateFirmware(ctx);
    out.flush();
    // The host has printed the question; say why nothing happened.
    if (outcome == FirmwareOutcome::Declined)
        err << LangText(RefusedWithoutYes, s.language) << Qt::endl;
    return outcome == FirmwareOutcome::Updated ? exitcode::Ok : exitcode::Failure;
}

} // namespace korvex
