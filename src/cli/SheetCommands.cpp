// The sheet command.
#include "SheetCommands.h"

#include "CliCommands.h"
#include "CliSession.h"
#include "TextCommands.h"
#include "config/ConfigFile.h"
#include "host/CommandTexts.h"
#include "host/FileAccess.h"
#include "host/FileTexts.h"
#include "link/IdentityRecord.h"
#include "link/ResultText.h"
#include "sheet/ConfigSheet.h"
#include "sheet/SheetPdf.h"
#include "text/TextPair.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace korvex {

namespace {
constexpr TextPair SheetNeeds{"Команде sheet нужны SOURCE (FILE или device) и OUT",
                              "sheet needs SOURCE (a FILE or device) and OUT"};
constexpr TextPair BadFormat{"OUT %s: нужно окончание .pdf, .html или .txt",
                             "OUT %s: it must end in .pdf, .html or .txt"};
constexpr TextPair SameFileText{
    "OUT %s - это сам файл SOURCE: он не заменен листом",
    "OUT %s is the SOURCE file itself: it is not replaced by the sheet"};
constexpr TextPair SheetSaved{"Лист конфигурации сохранен в файл \"%s\"",
                              "The configuration sheet is saved to the file \"%s\""};

QString Format(const QString& out) {
    return QFileInfo(out).suffix().toLower();
}
} // namespace

bool WantsSheetPdf(const QStringList& arguments) {
    return arguments.contains(QStringLiteral("sheet")) &&
           std::any_of(arguments.begin(), arguments.end(), [](const QString& a) {
               return a.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive);
           });
}

QString SheetProblem(const QStringList& args, int language) {
    if (args.size() < 2)
        return LangText(SheetNeeds, language);
    if (args.size() > 2)
        return LangFormat(ExtraArgument, language, args.at(2).toUtf8().constData());
    static const QStringList formats{"pdf", "html", "txt"};
    if (!formats.contains(Format(args.at(1))))
        return LangFormat(BadFormat, language, args.at(1).toUtf8().constData());
    return {};
}

int CommandSheet(Session& s, const QStringList& args, QTextStream& out, QTextStream& err) {
    const int lang = s.language.current;
    const QString& source = args.at(0);
    const QString& target = args.at(1);
    // A target that can never be written is refused before the controller is asked.
    if (const FileProblem problem = CheckRegularFile(target); !problem.ok()) {
        err << UnableToWriteText(target, problem, lang) << Qt::endl;
        return exitcode::Failure;
    }
    IdentityRecord identity;
    const bool device = source == QLatin1String("device");
    // Through a link or another spelling of its name, OUT may be SOURCE itself.
    const QString sourceFile = QFileInfo(source).canonicalFilePath();
    if (!device && !sourceFile.isEmpty() && sourceFile == QFileInfo(target).canonicalFilePath()) {
        err << LangFormat(SameFileText, lang, QDir::toNativeSeparators(target).toUtf8().constData())
            << Qt::endl;
        return exitcode::Failure;
    }
    if (device) {
        int rc = Connect(s, identity);
        if (rc != result::Ok) {
            err << ResultText(rc, lang) << Qt::endl;
            return exitcode::Failure;
        }
        rc = s.transfer->ReadConfiguration();
        if (rc != result::Ok)
            return s.fail(err, texts::ReadDeviceError, rc);
        s.host.EndProgress();
    } else if (QString why; !LoadConfigFile(source, s.image, s.host, &why, lang)) {
        if (s.host.StopRequested())
            return s.interrupted(err);
        err << ReadFailureText(source, why, lang) << Qt::endl;
        return exitcode::Failure;
    }
    if (s.host.StopRequested())
        return s.interrupted(err);
    const ConfigOverview overview =
        BuildOverview(s.image.bytes, lang, device ? &identity : nullptr);
    const SheetSource from{device ? QString() : source, QDateTime::currentDateTime()};
    const QString format = Format(target);
    QByteArray bytes;
    if (format == QLatin1String("txt"))
        bytes = SheetText(overview, from, lang).toUtf8();
    else if (format == QLatin1String("html"))
        bytes = SheetHtml(overview, from, lang).toUtf8();
    else
        bytes = SheetPdf(SheetHtml(overview, from, lang), QFileInfo(target).completeBaseName());
    if (const FileProblem problem =
            WriteWholeFile(target, bytes, [&s] { return s.host.StopRequested(); });
        problem.kind == FileProblem::Kind::Stopped) {
        return s.interrupted(err);
    } else if (!problem.ok()) {
        err << UnableToWriteText(target, problem, lang) << Qt::endl;
        return exitcode::Failure;
    }
    return s.done(out, LangFormat(SheetSaved, lang, target.toUtf8().constData()));
}

} // namespace korvex
