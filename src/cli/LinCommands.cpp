// The lin commands drive the same LIN programmer as the LIN Prog page; what the page writes to
// MemoLIN goes to standard output, its error lines and boxes to standard error.
#include "LinCommands.h"

#include "CliCommands.h"
#include "CliSession.h"
#include "lin/LinProgrammer.h"
#include "lin/LinTexts.h"
#include "link/IdentityRecord.h"
#include "link/ResultText.h"

namespace korvex {

namespace {

const char LinUsageLine[] =
    "usage: korvex-cli [--port DEVICE | --demo] [--lang ru|en] lin read | lin write-params HEX | "
    "lin flash FILE [--yes]";

class CliLinView final : public LinView {
public:
    CliLinView(QTextStream& out, QTextStream& err) : out_(out), err_(err) {}
    void MemoLineAdded(const QString& line, bool isError) override {
        (isError ? err_ : out_) << line << Qt::endl;
    }

private:
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
    CliLinView view(out, err);
    LinProgrammer lin(s.link->frames, s.host, s.language, &view);

    if (sub == QLatin1String("read") && args.size() == 1) {
        if (!ConnectAndRead(s, lin, err))
            return exitcode::Failure;
        out << FormatLinParams(lin.state().linParams) << Qt::endl;
        return exitcode::Ok;
    }
    if (sub == QLatin1String("write-params") && args.size() >= 2) {
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
    if (sub == QLatin1String("flash") && args.size() == 2) {
        if (!ConnectAndRead(s, lin, err))
            return exitcode::Failure;
        const QString file = args.at(1);
        const LinFlashOutcome outcome = lin.FlashFromFile([&file] { return file; }, {});
        if (outcome == LinFlashOutcome::Declined)
            err << LangText(RefusedWithoutYes, s.language) << Qt::endl;
        return outcome == LinFlashOutcome::Done ? exitcode::Ok : exitcode::Failure;
    }
    err << LinUsageLine << Qt::endl;
    return exitcode::Usage;
}

} // namespace korvex
