// The configuration as text from a file or the controller, and snippets applied to either.
#include "TextCommands.h"

#include "CliSession.h"
#include "SnapshotCommands.h"
#include "config/ConfigDiff.h"
#include "config/ConfigFile.h"
#include "config/ConfigText.h"
#include "config/ConfigTransfer.h"
#include "host/CommandTexts.h"
#include "host/FileTexts.h"
#include "link/DeviceAccess.h"
#include "link/IdentityRecord.h"
#include "link/ResultText.h"

namespace korvex {

namespace {

constexpr TextPair TextNeedsSource{"Команде text нужен SOURCE: FILE или device",
                                   "text needs a SOURCE: a FILE or device"};
constexpr TextPair ApplyNeedsTwo{"Команде apply нужны SNIPPET и TARGET: FILE или device",
                                 "apply needs a SNIPPET and a TARGET: a FILE or device"};
constexpr TextPair TextSaved{"Конфигурация сохранена текстом в файл \"%s\"",
                             "The configuration is saved as text to the file \"%s\""};
constexpr TextPair SnippetApplied{"Файл \"%s\" применен к \"%s\"",
                                  "The file \"%s\" is applied to \"%s\""};
constexpr TextPair SnippetSent{"Файл \"%s\" применен к контроллеру: отправлено байт: %d",
                               "The file \"%s\" is applied to the controller: %d bytes sent"};

bool IsDevice(const QString& name) {
    return name == QLatin1String("device");
}

// The controller's configuration as it holds it, before any default the display fills in.
bool ReadConfiguration(Session& s, QTextStream& err) {
    const int rc = s.transfer->ReadConfiguration();
    s.host.EndProgress();
    if (rc != result::Ok) {
        s.fail(err, texts::ReadDeviceError, rc);
        return false;
    }
    return true;
}

bool ReadDevice(Session& s, IdentityRecord& id, QTextStream& err) {
    if (const int rc = Connect(s, id); rc != result::Ok) {
        err << ResultText(rc, s.language.current) << Qt::endl;
        return false;
    }
    return ReadConfiguration(s, err);
}

bool LoadFile(Session& s, const QString& file, ConfigBytes& bytes, QTextStream& err) {
    QString why;
    ConfigImage image;
    if (!LoadConfigFile(file, image, s.host, &why, s.language.current)) {
        err << ReadFailureText(file, why, s.language.current) << Qt::endl;
        return false;
    }
    bytes = image.bytes;
    return true;
}

} // namespace

QString ReadFailureText(const QString& file, const QString& why, int language) {
    // A file that could not be read at all gets the system's reason; a text, its wrong line.
    if (why.isEmpty())
        return ReadFileErrorText(file, language);
    return FileMessage(texts::ReadFileError, language, file) + QLatin1Char('\n') + why;
}

QString TextCommandProblem(const Options& o) {
    const int lang = o.language;
    if (o.all && o.command != QLatin1String("text"))
        return LangFormat(UnknownOption, lang, "--all");
    const bool text = o.command == QLatin1String("text");
    const qsizetype least = text ? 1 : 2;
    const qsizetype most = 2;
    if (o.args.size() < least)
        return LangText(text ? TextNeedsSource : ApplyNeedsTwo, lang);
    if (o.args.size() > most)
        return LangFormat(ExtraArgument, lang, o.args.at(most).toUtf8().constData());
    return {};
}

int CommandText(Session& s, const Options& o, QTextStream& out, QTextStream& err) {
    const int lang = s.language.current;
    const QString& source = o.args.at(0);
    const QString target = o.args.value(1);
    // A target that can never be written is refused before the controller is asked.
    if (!target.isEmpty()) {
        if (const FileProblem problem = CheckRegularFile(target); !problem.ok()) {
            err << WriteErrorText(UnableToWriteText(target, problem, lang), lang) << Qt::endl;
            return exitcode::Failure;
        }
    }
    ConfigTextOptions options;
    options.language = lang;
    options.all = o.all;
    ConfigBytes bytes{};
    IdentityRecord id;
    if (IsDevice(source)) {
        if (!ReadDevice(s, id, err))
            return exitcode::Failure;
        bytes = s.image.lastRead.valid ? s.image.lastRead.bytes : s.image.bytes;
        options.controller = &id;
    } else if (!LoadFile(s, source, bytes, err)) {
        return exitcode::Failure;
    }
    if (target.isEmpty()) {
        out << WriteConfigText(bytes, options);
        return exitcode::Ok;
    }
    const ConfigSaveResult saved = SaveConfigText(target, bytes, options);
    if (!saved.ok()) {
        err << WriteErrorText(saved.error, lang) << Qt::endl;
        return exitcode::Failure;
    }
    return s.done(out, LangFormat(TextSaved, lang, target.toUtf8().constData()));
}

int CommandApply(Session& s, const Options& o, QTextStream& out, QTextStream& err) {
    const int lang = s.language.current;
    const QString& snippet = o.args.at(0);
    const QString& target = o.args.at(1);
    // Every line is checked before a target is read, so that nothing is sent for a wrong one.
    QString why;
    ConfigBytes check = FactoryBytes();
    if (!ReadConfigTextFile(snippet, check, lang, &why).ok) {
        err << ReadFailureText(snippet, why, lang) << Qt::endl;
        return exitcode::Failure;
    }
    ConfigBytes before{};
    IdentityRecord id;
    QString snapshot;
    if (IsDevice(target)) {
        if (const int rc = Connect(s, id); rc != result::Ok) {
            err << ResultText(rc, lang) << Qt::endl;
            return exitcode::Failure;
        }
        // The snapshot's read is the read the changes are made against.
        if (!KeepControllerSnapshot(s, o, id, false, out, err, snapshot))
            return exitcode::Failure;
        if (o.noSnapshot && !ReadConfiguration(s, err))
            return exitcode::Failure;
        before = s.image.lastRead.held;
    } else if (!LoadFile(s, target, before, err)) {
        return exitcode::Failure;
    }
    ConfigBytes after = before;
    if (!ReadConfigTextFile(snippet, after, lang, &why).ok) {
        err << ReadFailureText(snippet, why, lang) << Qt::endl;
        return exitcode::Failure;
    }
    for (const QString& line : DiffConfigurations(before, after, lang))
        out << line << Qt::endl;
    const QByteArray names[] = {snippet.toUtf8(), target.toUtf8()};
    if (!IsDevice(target)) {
        s.image.bytes = after;
        if (!SaveToFile(s, target, err))
            return exitcode::Failure;
        return s.done(out,
                      LangFormat(SnippetApplied, lang, names[0].constData(), names[1].constData()));
    }
    // Only the runs of changed bytes, as the window sends an edit live.
    int sent = 0;
    for (int i = 0; i < ConfigImageSize;) {
        if (before[size_t(i)] == after[size_t(i)]) {
            ++i;
            continue;
        }
        const int start = i;
        while (i < ConfigImageSize && before[size_t(i)] != after[size_t(i)])
            ++i;
        const int rc =
            s.transfer->WriteBlock(area::Configuration, start, after.data() + start, i - start);
        if (rc != result::Ok) {
            s.host.EndProgress();
            err << PartWrittenLine(snapshot, lang) << Qt::endl;
            return exitcode::Failure;
        }
        sent += i - start;
    }
    return s.done(out, LangFormat(SnippetSent, lang, names[0].constData(), sent));
}

} // namespace korvex
