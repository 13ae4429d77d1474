// Option parsing and the commands of korvex-cli.
#include "CliCommands.h"

#include "CliHelp.h"
#include "CliHost.h"
#include "CliPlatform.h"
#include "CliSession.h"
#include "FirmwareCommands.h"
#include "LibraryCommands.h"
#include "LinCommands.h"
#include "SheetCommands.h"
#include "SnapshotCommands.h"
#include "TextCommands.h"
#include "WatchCommands.h"
#include "config/ConfigDiff.h"
#include "config/ConfigFile.h"
#include "config/ConfigImage.h"
#include "config/ConfigText.h"
#include "config/ConfigTransfer.h"
#include "config/EntryWords.h"
#include "config/ParameterWords.h"
#include "host/CommandTexts.h"
#include "host/FileTexts.h"
#include "host/MonitorState.h"
#include "link/DeviceLink.h"
#include "link/IdentityRecord.h"
#include "link/PortDoctor.h"
#include "link/PortFinder.h"
#include "link/QtSerialTransport.h"
#include "link/ResultText.h"
#include "sim/VirtualController.h"
#include "sim/VirtualTransport.h"
#include "text/TextPair.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <array>
#include <memory>
#include <optional>

namespace korvex {

namespace {

// A file's name as the system writes it, for the messages.
QByteArray Shown(const QString& file) {
    return QDir::toNativeSeparators(file).toUtf8();
}

int CommandPorts(Session& s, QTextStream& out) {
    const QStringList ports = s.finder->findPorts();
    for (const QString& p : ports)
        out << p << Qt::endl;
    return exitcode::Ok;
}

int CommandInfo(Session& s, QTextStream& out, QTextStream& err) {
    IdentityRecord id;
    const int rc = Connect(s, id);
    if (rc != result::Ok) {
        err << ResultText(rc, s.language.current) << Qt::endl;
        // Not after Ctrl+C: an interrupted search says nothing about the converter.
        if (!s.host.stopped())
            err << DoctorHintText(s.language.current) << Qt::endl;
        return exitcode::Failure;
    }
    out << IdentityHeader(s.language.current) << Qt::endl;
    for (const QString& line : IdentityLines(id, s.language.current))
        out << line << Qt::endl;
    return exitcode::Ok;
}

int CommandReadConfig(Session& s, const QString& file, QTextStream& out, QTextStream& err) {
    // A target that can never be written is refused before the controller is asked.
    if (const FileProblem target = CheckRegularFile(file); !target.ok()) {
        err << WriteErrorText(UnableToWriteText(file, target, s.language.current),
                              s.language.current)
            << Qt::endl;
        return exitcode::Failure;
    }
    IdentityRecord id;
    int rc = Connect(s, id);
    if (rc != result::Ok)
        return s.fail(err, ResultOnly, rc);
    rc = s.transfer->ReadConfiguration();
    // A half-read configuration is never saved.
    if (rc != result::Ok)
        return s.fail(err, texts::ReadDeviceError, rc);
    if (!SaveToFile(s, file, err, &id))
        return exitcode::Failure;
    return s.done(out, LangFormat(ConfigSaved, s.language.current, Shown(file).constData()));
}

int CommandWriteConfig(Session& s, const Options& o, const QString& given, QTextStream& out,
                       QTextStream& err) {
    // Standard input is read into a file of its own, named for what it holds.
    QTemporaryDir input;
    QString file = given;
    if (given == QLatin1String("-")) {
        bool tooLarge = false;
        const QByteArray data = cli::ReadStandardInput(MaxConfigFileBytes, tooLarge);
        if (s.host.StopRequested())
            return s.interrupted(err);
        QString text;
        ConfigTextError notText;
        const bool isText = DecodeConfigText(data, text, notText, s.language.current) &&
                            ConfigTextKind(text) != TextKind::None;
        file = input.filePath(isText ? QStringLiteral("-.txt") : QStringLiteral("-.KSWA"));
        FileProblem problem;
        if (tooLarge) {
            problem.kind = FileProblem::Kind::TooLarge;
            problem.limit = MaxConfigFileBytes;
        } else {
            problem = WriteWholeFile(file, data);
        }
        if (!problem.ok()) {
            err << ReadFileErrorLine(given, s.language.current) << u'\n'
                << FileProblemText(problem, s.language.current) << Qt::endl;
            return exitcode::Failure;
        }
    }
    // Nothing goes to the controller unless the file is really a configuration.
    ConfigImage fromFile;
    QString why;
    if (!LoadConfigFile(file, fromFile, s.host, &why, s.language.current)) {
        if (s.host.StopRequested())
            return s.interrupted(err);
        if (why.isEmpty() && given != file)
            why = NoConfigurationReason(file, s.language.current);
        err << ReadFailureText(given, why, s.language.current) << Qt::endl;
        return exitcode::Failure;
    }
    if (s.host.StopRequested())
        return s.interrupted(err);
    IdentityRecord id;
    int rc = Connect(s, id);
    if (rc != result::Ok)
        return s.fail(err, ResultOnly, rc);
    QString snapshot;
    if (!KeepControllerSnapshot(s, o, id, false, out, err, snapshot))
        return exitcode::Failure;
    s.image.bytes = fromFile.bytes;
    rc = s.transfer->WriteConfiguration();
    if (rc != result::Ok) {
        s.fail(err, texts::WriteDeviceError, rc);
        err << PartWrittenLine(snapshot, s.language.current) << Qt::endl;
        return exitcode::Failure;
    }
    return s.done(out,
                  LangFormat(ConfigFromFileWritten, s.language.current, Shown(given).constData()));
}

int CommandRestart(Session& s, QTextStream& out, QTextStream& err) {
    IdentityRecord id;
    int rc = Connect(s, id);
    if (rc == result::Ok)
        rc = s.transfer->RestartDevice();
    return rc == result::Ok ? s.done(out, LangText(Restarted, s.language))
                            : s.fail(err, texts::RestartError, rc);
}

int CommandDefaults(Session& s, const Options& o, QTextStream& out, QTextStream& err) {
    if (!o.yes) {
        err << LangText(texts::DefaultsQuestion, s.language) << Qt::endl
            << LangText(RefusedWithoutYes, s.language) << Qt::endl;
        return exitcode::Failure;
    }
    IdentityRecord id;
    int rc = Connect(s, id);
    QString snapshot;
    if (rc == result::Ok && !KeepControllerSnapshot(s, o, id, false, out, err, snapshot))
        return exitcode::Failure;
    if (rc == result::Ok)
        rc = s.transfer->ResetToDefaults();
    return rc == result::Ok ? s.done(out, LangText(DefaultsDone, s.language))
                            : s.fail(err, texts::DefaultsError, rc);
}

QStringList DumpConfiguration(const ConfigImage& image, int lang) {
    QStringList lines = ParameterDumpLines(ParameterWords(image.bytes, lang));
    const QString event = MainCaption("GroupBoxEvent", lang);
    const QString reaction = MainCaption("GroupBoxReaction", lang);
    for (int n = 0; n < EntryCount; ++n) {
        if (IsEntryEmpty(image.bytes, n))
            continue;
        lines << EntryCaption(image, n);
        lines << QStringLiteral("  ") + event + QStringLiteral(": ") + EventText(image, n, lang);
        lines << QStringLiteral("  ") + reaction + QStringLiteral(": ") +
                     ReactionText(image, n, lang);
    }
    return lines;
}

// The system's checks of the converter, whatever port or demo the options name.
int CommandDoctor(const Session& s, QTextStream& out) {
    UsbPortFinder finder;
    const DoctorReport report =
        RunPortDoctor(GatherSystemFacts(SystemView{}), finder.findPorts(), s.language.current);
    for (const DoctorLine& line : report.lines)
        out << DoctorLineText(line) << Qt::endl;
    return report.usable ? exitcode::Ok : exitcode::Failure;
}

int CommandDump(Session& s, const QString& file, QTextStream& out, QTextStream& err) {
    QString why;
    if (!LoadConfigFile(file, s.image, s.host, &why, s.language.current) ||
        s.host.StopRequested()) {
        if (s.host.StopRequested())
            return s.interrupted(err);
        err << ReadFailureText(file, why, s.language.current) << Qt::endl;
        return exitcode::Failure;
    }
    for (const QString& line : DumpConfiguration(s.image, s.language.current))
        out << line << Qt::endl;
    return exitcode::Ok;
}

// A configuration to compare: a file, or the word "device" for the controller's, read once
// however often it is named. Trouble of any kind ends the diff with status 2, as diff does.
int CommandDiff(Session& s, const QStringList& args, QTextStream& out, QTextStream& err) {
    const int lang = s.language.current;
    std::optional<ConfigBytes> device;
    std::array<ConfigBytes, 2> sides{};
    for (int i = 0; i < 2; ++i) {
        const QString& name = args.at(i);
        if (name == QLatin1String("device")) {
            if (!device) {
                IdentityRecord id;
                int rc = Connect(s, id);
                if (rc != result::Ok) {
                    s.fail(err, ResultOnly, rc);
                    return exitcode::Usage;
                }
                rc = s.transfer->ReadConfiguration();
                if (rc != result::Ok) {
                    s.fail(err, texts::ReadDeviceError, rc);
                    return exitcode::Usage;
                }
                device = s.image.bytes;
            }
            sides[static_cast<std::size_t>(i)] = *device;
        } else {
            QString why;
            if (!LoadConfigFile(name, s.image, s.host, &why, lang)) {
                if (s.host.StopRequested())
                    return s.interrupted(err);
                err << ReadFailureText(name, why, lang) << Qt::endl;
                return exitcode::Usage;
            }
            sides[static_cast<std::size_t>(i)] = s.image.bytes;
        }
    }
    s.host.EndProgress();
    if (s.host.StopRequested())
        return s.interrupted(err);
    for (const QString& line : DiffConfigurations(sides[0], sides[1], lang))
        out << line << Qt::endl;
    return sides[0] == sides[1] ? exitcode::Ok : exitcode::Failure;
}

int RunCommand(Session& s, const Options& o, const CliEnvironment& env, QTextStream& out,
               QTextStream& err) {
    const QString& c = o.command;
    const QString file = o.args.value(0);
    if (c == QLatin1String("ports"))
        return CommandPorts(s, out);
    if (c == QLatin1String("info"))
        return CommandInfo(s, out, err);
    if (c == QLatin1String("read-config"))
        return CommandReadConfig(s, file, out, err);
    if (c == QLatin1String("write-config"))
        return CommandWriteConfig(s, o, file, out, err);
    if (c == QLatin1String("restart"))
        return CommandRestart(s, out, err);
    if (c == QLatin1String("defaults"))
        return CommandDefaults(s, o, out, err);
    if (c == QLatin1String("dump"))
        return CommandDump(s, file, out, err);
    if (c == QLatin1String("diff"))
        return CommandDiff(s, o.args, out, err);
    if (c == QLatin1String("sheet"))
        return CommandSheet(s, o.args, out, err);
    if (c == QLatin1String("update-firmware"))
        return CommandUpdateFirmware(s, o, file, out, err);
    if (c == QLatin1String("terminal"))
        return CommandTerminal(s, o, env, out, err);
    if (c == QLatin1String("capture"))
        return CommandCapture(s, o, file, out, err);
    if (c == QLatin1String("doctor"))
        return CommandDoctor(s, out);
    if (c == QLatin1String("snapshots"))
        return CommandSnapshots(o.args, s.language.current, out);
    if (c == QLatin1String("library"))
        return CommandLibrary(o, s.language.current, out, err);
    if (c == QLatin1String("history"))
        return CommandHistory(s, o, out, err);
    if (c == QLatin1String("text"))
        return CommandText(s, o, out, err);
    if (c == QLatin1String("apply"))
        return CommandApply(s, o, out, err);
    return RunLinCommand(s, o.args, out, err);
}

// What is wrong with the command's words, empty when nothing is; the lin command checks its own.
QString CommandProblem(const Options& o) {
    static const QStringList withoutFile{"ports",    "info",     "restart",
                                         "defaults", "terminal", "doctor"};
    static const QStringList withFile{"read-config", "write-config", "dump", "update-firmware",
                                      "capture"};
    const int lang = o.language;
    const QByteArray command = o.command.toUtf8();
    // The two options of the watching commands mean nothing to the others.
    const bool watching = o.command == QLatin1String("terminal");
    // --no-snapshot is a global option: where nothing is overwritten it does nothing.
    if (o.count >= 0 && o.command != QLatin1String("capture"))
        return LangFormat(UnknownOption, lang, "--count");
    if (o.seconds >= 0 && !watching && o.command != QLatin1String("capture"))
        return LangFormat(UnknownOption, lang, "--seconds");
    if (o.all || o.command == QLatin1String("text") || o.command == QLatin1String("apply"))
        return TextCommandProblem(o);
    if (o.command == QLatin1String("snapshots"))
        return SnapshotsProblem(o.args, lang);
    if (o.command == QLatin1String("sheet"))
        return SheetProblem(o.args, lang);
    if (o.command == QLatin1String("library") || o.command == QLatin1String("history"))
        return LibraryProblem(o);
    qsizetype takes = 0;
    if (withFile.contains(o.command))
        takes = 1;
    else if (o.command == QLatin1String("diff"))
        takes = 2;
    else if (o.command == QLatin1String("lin"))
        return {};
    else if (!withoutFile.contains(o.command))
        return LangFormat(UnknownCommand, lang, command.constData());
    if (o.args.size() < takes)
        return LangFormat(takes == 2 ? MissingTwoSides : MissingFile, lang, command.constData());
    if (o.args.size() > takes)
        return LangFormat(ExtraArgument, lang, o.args.at(takes).toUtf8().constData());
    return {};
}

} // namespace

int RunCli(const QStringList& arguments, QTextStream& out, QTextStream& err,
           sim::VirtualController* demo, const CliEnvironment& env) {
    Options o;
    QString problem = ParseOptions(arguments, o);
    if (problem.isEmpty() && o.help) {
        out << HelpText(o.language);
        return exitcode::Ok;
    }
    if (problem.isEmpty() && o.version) {
        out << "korvex-cli " KORVEX_VERSION_TEXT << Qt::endl;
        return exitcode::Ok;
    }
    if (problem.isEmpty())
        problem = CommandProblem(o);
    if (!problem.isEmpty())
        return UsageError(err, problem, UsageLine(o.language));
    Session s(o, out, err, demo, env);
    int rc = RunCommand(s, o, env, out, err);
    s.host.EndProgress();
    if (s.host.stopped())
        rc = s.interrupted(err);
    return rc;
}

} // namespace korvex
