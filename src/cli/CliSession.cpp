// One run of korvex-cli.
#include "CliSession.h"

#include "CliCommands.h"
#include "config/ConfigFile.h"
#include "config/ConfigText.h"
#include "firmware/FirmwareTexts.h"
#include "host/FileAccess.h"
#include "host/FileTexts.h"
#include "link/IdentityRecord.h"
#include "link/PortDoctor.h"
#include "link/QtSerialTransport.h"
#include "link/ResultText.h"
#include "sim/VirtualController.h"
#include "sim/VirtualTransport.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace korvex {

QString ParseOptions(const QStringList& arguments, Options& o) {
    // The language of the message is known only at the end.
    const TextPair* problem = nullptr;
    QByteArray subject;
    const auto wrong = [&](const TextPair& text, const QString& what) {
        if (problem == nullptr) {
            problem = &text;
            subject = what.toUtf8();
        }
    };
    bool optionsEnded = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments.at(i);
        // After "--" every word is an argument, so that a file may start with "-".
        if (optionsEnded || a == QLatin1String("--")) {
            if (optionsEnded && o.command.isEmpty())
                o.command = a;
            else if (optionsEnded)
                o.args.append(a);
            optionsEnded = true;
            continue;
        }
        const bool hasValue = i + 1 < arguments.size() && !arguments.at(i + 1).isEmpty();
        if (a == QLatin1String("--port")) {
            if (!hasValue)
                wrong(MissingValue, a);
            else
                o.port = arguments.at(++i);
        } else if (a == QLatin1String("--demo")) {
            o.demo = true;
        } else if (a == QLatin1String("--lang")) {
            if (!hasValue) {
                wrong(MissingValue, a);
                continue;
            }
            const QString v = arguments.at(++i);
            if (v == QLatin1String("ru"))
                o.language = LangRussian;
            else if (v == QLatin1String("en"))
                o.language = LangEnglish;
            else
                wrong(BadLanguage, v);
        } else if (a == QLatin1String("--seconds") || a == QLatin1String("--count")) {
            if (!hasValue) {
                wrong(MissingValue, a);
                continue;
            }
            bool ok = false;
            const int value = arguments.at(++i).toInt(&ok);
            if (!ok || value < 0)
                wrong(BadNumber, a);
            else
                (a == QLatin1String("--seconds") ? o.seconds : o.count) = value;
        } else if (a == QLatin1String("--trace")) {
            o.trace = true;
        } else if (a == QLatin1String("--yes")) {
            o.yes = true;
        } else if (a == QLatin1String("--no-snapshot")) {
            o.noSnapshot = true;
        } else if (a == QLatin1String("--all")) {
            o.all = true;
        } else if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            o.help = true;
        } else if (a == QLatin1String("--version")) {
            o.version = true;
        } else if (a.startsWith(QLatin1Char('-')) && a.size() > 1) {
            wrong(UnknownOption, a);
        } else if (o.command.isEmpty()) {
            o.command = a;
        } else {
            o.args.append(a);
        }
    }
    if (o.demo && !o.port.isEmpty())
        wrong(DemoWithPort, {});
    if (o.command.isEmpty() && !o.help && !o.version)
        wrong(MissingCommand, {});
    if (problem == nullptr)
        return {};
    return LangFormat(*problem, o.language, subject.constData());
}

int UsageError(QTextStream& err, const QString& problem, const QString& usage) {
    err << problem << Qt::endl << usage << Qt::endl;
    return exitcode::Usage;
}

Session::Session(const Options& o, QTextStream& out, QTextStream& err, sim::VirtualController* demo,
                 const CliEnvironment& env)
    : host(out, err) {
    language.current = o.language;
    host.traceToStderr = o.trace;
    host.assumeYes = o.yes;
    host.progressLine = env.errIsTerminal;
    host.stopRequested = env.stopRequested;
    // Every wait ends: the exchanges give up and the port is gone.
    host.onStop = [this] {
        link->state.appClosing = true;
        link->serial.ComClose();
    };
    if (o.demo) {
        if (demo == nullptr) {
            ownController = std::make_unique<sim::VirtualController>();
            ownController->demoActivity = true;
            ownController->keepLog = false;
            demo = ownController.get();
        }
        transport = std::make_unique<sim::VirtualTransport>(*demo);
        finder = std::make_unique<sim::VirtualPortFinder>(*demo);
    } else {
        transport = std::make_unique<QtSerialTransport>();
        if (!o.port.isEmpty())
            finder = std::make_unique<FixedPortFinder>(QStringList{o.port});
        else
            finder = std::make_unique<UsbPortFinder>();
    }
    link = std::make_unique<DeviceLink>(*transport, *finder, host, monitor, language);
    link->state.traceEnabled = o.trace;
    // A refused port is explained in the command's error (Connect), not among its results.
    link->device.logPortProblems = false;
    transfer =
        std::make_unique<ConfigTransfer>(link->device, host, image, monitor, language, link->ports);
}

Session::~Session() {
    link->serial.ComClose();
}

int Session::fail(QTextStream& err, const TextPair& format, int rc) {
    host.EndProgress();
    // A stop closes the port on purpose: the exchange it cut is no disconnected controller.
    if (host.stopped())
        return interrupted(err);
    err << LangFormat(format, language.current,
                      ResultText(rc, language.current).toUtf8().constData())
               .trimmed()
        << Qt::endl;
    return exitcode::Failure;
}

int Session::interrupted(QTextStream& err) {
    host.EndProgress();
    if (!interruptedSaid)
        err << LangText(Interrupted, language.current) << Qt::endl;
    interruptedSaid = true;
    return exitcode::Failure;
}

int Session::done(QTextStream& out, const QString& line) {
    host.EndProgress();
    out << line << Qt::endl;
    return exitcode::Ok;
}

int Connect(Session& s, IdentityRecord& id) {
    s.link->serial.ComFindPorts();
    const qsizetype candidates = std::max<qsizetype>(1, s.link->ports.portList.size());
    int rc = result::Disconnected;
    // Ports that exist but cannot be opened are explained once each, before the error.
    QStringList problems;
    // A probe would open the port again after a stop.
    for (qsizetype i = 0; i < candidates && !s.host.stopped(); ++i) {
        rc = s.link->device.ComProbe(id);
        if (rc == result::Ok) {
            s.monitor.lastSerial = id.serialNumber();
            return rc;
        }
        const QString problem = PortProblemText(s.link->serial.openFailure(), s.language.current);
        if (!problem.isEmpty() && !problems.contains(problem))
            problems.append(problem);
    }
    for (const QString& problem : problems)
        s.host.ErrorLine(problem);
    return rc;
}

QString ReadFileErrorText(const QString& file, int language) {
    QString text = ReadFileErrorLine(file, language);
    // The system's reason when the file could not be read at all; else what it holds instead.
    QByteArray bytes;
    if (const FileProblem problem = ReadWholeFile(file, bytes, MaxConfigFileBytes); !problem.ok())
        text += u'\n' + FileProblemText(problem, language);
    else
        text += u'\n' + NoConfigurationReason(file, language);
    return text;
}

QString ReadFileErrorLine(const QString& file, int language) {
    // The path as it was typed (in the system's own form): the base name alone may be any of
    // several files.
    return LangFormat(texts::ReadFileError, language,
                      QDir::toNativeSeparators(file).toUtf8().constData(), "");
}

bool FirmwareFileExists(Session& s, const QString& file, QTextStream& err) {
    if (QFileInfo(file).isFile())
        return true;
    // The path as typed, and the system's reason: a missing folder, no file, a device.
    QByteArray bytes;
    const FileProblem problem = ReadWholeFile(file, bytes, 0);
    err << LangFormat(texts::firmware::OpenError, s.language.current, file.toUtf8().constData(), "")
        << u'\n' << FileProblemText(problem, s.language.current) << Qt::endl;
    return false;
}

QString WriteErrorText(const QString& message, int language) {
    const QLatin1String fixed("Unable to write to ");
    if (!message.startsWith(fixed))
        return message;
    const qsizetype end = message.indexOf(u'\n');
    const QString first = message.left(end < 0 ? message.size() : end);
    const QString said =
        LangFormat(UnableToWriteSaid, language, first.mid(fixed.size()).toUtf8().constData());
    if (said == first)
        return message;
    return first + u'\n' + said + (end < 0 ? QString() : message.mid(end));
}

bool SaveToFile(Session& s, const QString& file, QTextStream& err, const IdentityRecord* id) {
    ConfigTextOptions text;
    text.language = s.language.current;
    text.controller = id;
    // The controller's own bytes, before the defaults the display fills in.
    const ConfigBytes& bytes =
        id != nullptr && s.image.lastRead.valid ? s.image.lastRead.bytes : s.image.bytes;
    text.stop = [&s] { return s.host.StopRequested(); };
    const ConfigSaveResult saved = IsConfigTextName(file)
                                       ? SaveConfigText(file, bytes, text)
                                       : SaveConfigFile(file, s.image, s.host, s.language.current);
    if (saved.stopped) {
        s.interrupted(err);
        return false;
    }
    if (!saved.ok()) {
        err << WriteErrorText(saved.error, s.language.current) << Qt::endl;
        return false;
    }
    if (saved.replacedWhole)
        err << LangFormat(ReplacedWholeText, s.language.current,
                          QDir::toNativeSeparators(file).toUtf8().constData())
            << Qt::endl;
    return true;
}

} // namespace korvex
