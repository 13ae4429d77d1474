// The lin commands drive the same LIN programmer as the LIN Prog page; what the page writes to
// MemoLIN goes to standard output, its error lines and boxes to standard error.
#include "LinCommands.h"

#include "CliCommands.h"
#include "CliHelp.h"
#include "CliSession.h"
#include "firmware/FirmwareTexts.h"
#include "host/FileTexts.h"
#include "lin/LinFirmwareFile.h"
#include "lin/LinProgrammer.h"
#include "lin/LinTexts.h"
#include "link/IdentityRecord.h"
#include "link/ResultText.h"

namespace korvex {

namespace {

// The tool's polls give up where the window would wait for the user to close it.
constexpr int PollLimitMs = 10000;

class CliLinView final : public LinView {
public:
    CliLinView(CliHost& host, QTextStream& out, QTextStream& err)
        : host_(host), out_(out), err_(err) {}
    void MemoLineAdded(const QString& line, bool isError) override {
        host_.EndProgress();
        (isError ? err_ : out_) << line << Qt::endl;
    }

private:
    CliHost& host_;
    QTextStream& out_;
    QTextStream& err_;
};

// Connects and reads the device, as the page's read button does; false after a failure, which
// has been reported.
bool ConnectAndRead(Session& s, LinProgrammer& lin, QTextStream& err) {
    IdentityRecord id;
    const int rc = Connect(s, id);
    if (rc != result::Ok) {
        err << ResultText(rc, s.language.current) << Qt::endl;
        return false;
    }
    return lin.ReadDevice() == linresult::Ok;
}

} // namespace

int RunLinCommand(Session& s, const QStringList& args, QTextStream& out, QTextStream& err) {
    const QString sub = args.value(0);
    const int lang = s.language.current;
    const QByteArray command = QStringLiteral("lin %1").arg(sub).toUtf8();
    // Usage errors first, before anything is opened.
    if (sub.isEmpty())
        return UsageError(err, LangText(MissingCommand, lang), LinUsageLine(lang));
    if (sub == QLatin1String("read") && args.size() > 1)
        return UsageError(err, LangFormat(ExtraArgument, lang, args.at(1).toUtf8().constData()),
                          LinUsageLine(lang));
    if (sub == QLatin1String("write-params") && args.size() < 2)
        return UsageError(err, LangFormat(MissingHex, lang, command.constData()),
                          LinUsageLine(lang));
    if (sub == QLatin1String("flash") && args.size() != 2)
        return UsageError(err,
                          args.size() < 2
                              ? LangFormat(MissingFile, lang, command.constData())
                              : LangFormat(ExtraArgument, lang, args.at(2).toUtf8().constData()),
                          LinUsageLine(lang));
    if (sub != QLatin1String("read") && sub != QLatin1String("write-params") &&
        sub != QLatin1String("flash"))
        return UsageError(err, LangFormat(UnknownCommand, lang, command.constData()),
                          LinUsageLine(lang));

    CliLinView view(s.host, out, err);
    LinProgrammer lin(s.link->frames, s.host, s.language, &view);
    lin.link().pollLimitMs = PollLimitMs;

    if (sub == QLatin1String("read")) {
        if (!ConnectAndRead(s, lin, err))
            return exitcode::Failure;
        out << FormatLinParams(lin.state().linParams) << Qt::endl;
        return exitcode::Ok;
    }
    if (sub == QLatin1String("write-params")) {
        // The bytes may come as one word or as several.
        const QString text = args.mid(1).join(QLatin1Char(' '));
        if (!ParseLinParams(text)) {
            err << LangText(lintexts::ParamLength, s.language) << Qt::endl;
            return exitcode::Failure;
        }
        if (!ConnectAndRead(s, lin, err))
            return exitcode::Failure;
        lin.EnterParams(text);
        if (lin.WriteParams() != linresult::Ok)
            return exitcode::Failure;
        out << FormatLinParams(lin.state().linParams) << Qt::endl;
        return exitcode::Ok;
    }
    const QString file = args.at(1);
    if (!FirmwareFileExists(s, file, err))
        return exitcode::Failure;
    // As the controller's update does: a file that is no LIN firmware is refused before the
    // device is asked anything; the flash checks it again against the device.
    if (const LinFileError bad = LinFirmwareFile().Load(file); bad != LinFileError::None) {
        err << FileMessage(texts::firmware::LoadErrorText(bad), lang, file) << Qt::endl;
        return exitcode::Failure;
    }
    if (!ConnectAndRead(s, lin, err))
        return exitcode::Failure;
    const LinFlashOutcome outcome = lin.FlashFromFile([&file] { return file; }, {});
    if (outcome == LinFlashOutcome::Declined)
        err << LangText(RefusedWithoutYes, s.language) << Qt::endl;
    return outcome == LinFlashOutcome::Done ? exitcode::Ok : exitcode::Failure;
}

} // namespace korvex
