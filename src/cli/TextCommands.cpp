// The configuration as text from a file or the controller, and snippets applied to either.
#include "TextCommands.h"

#include "CliPlatform.h"
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

#include <QFileInfo>

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
constexpr TextPair TextTargetIsSource{
    "OUT - это сам SOURCE: текст заменил бы файл, из которого он сделан",
    "OUT is SOURCE itself: the text would replace the file it is made from"};
constexpr TextPair TextTargetNotText{
    "text пишет только в файл *.txt или в - (стандартный вывод); файл *.KSWA: korvex-cli "
    "read-config или write-config",
    "text writes only to a *.txt file or to - (standard output); for a *.KSWA file: korvex-cli "
    "read-config or write-config"};
constexpr TextPair WholeOntoSnippet{
    "Файл \"%s\" - это вся конфигурация, а \"%s\" - фрагмент: фрагмент остается фрагментом",
    "The file \"%s\" is a whole configuration and \"%s\" a snippet: a snippet stays a snippet"};
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
        s.fail(err, ResultOnly, rc);
        return false;
    }
    return ReadConfiguration(s, err);
}

bool LoadFile(Session& s, const QString& file, ConfigBytes& bytes, QTextStream& err) {
    QString why;
    ConfigImage image;
    if (!LoadConfigFile(file, image, s.host, &why, s.language.current)) {
        if (s.host.StopRequested())
            s.interrupted(err);
        else
            err << ReadFailureText(file, why, s.language.current) << Qt::endl;
        return false;
    }
    bytes = image.bytes;
    return true;
}

bool SameFile(const QString& a, const QString& b) {
    const QString canonical = QFileInfo(a).canonicalFilePath();
    return !canonical.isEmpty() && canonical == QFileInfo(b).canonicalFilePath();
}

// The bytes of a snippet or a target: "-" is standard input.
bool ReadInput(Session& s, const QString& file, QByteArray& data, QTextStream& err) {
    const int lang = s.language.current;
    FileProblem problem;
    if (file == QLatin1String("-")) {
        bool tooLarge = false;
        data = cli::ReadStandardInput(MaxConfigFileBytes, tooLarge);
        if (tooLarge) {
            problem.kind = FileProblem::Kind::TooLarge;
            problem.limit = MaxConfigFileBytes;
        }
    } else {
        problem = ReadWholeFile(file, data, MaxConfigFileBytes);
    }
    if (s.host.StopRequested()) {
        s.interrupted(err);
        return false;
    }
    if (!problem.ok()) {
        err << ReadFileErrorLine(file, lang) << u'\n' << FileProblemText(problem, lang) << Qt::endl;
        return false;
    }
    return true;
}

// A text read onto `bytes`; false with its reason said.
bool ReadText(Session& s, const QString& file, const QByteArray& data, ConfigBytes& bytes,
              QString& text, QTextStream& err, bool* whole = nullptr) {
    const int lang = s.language.current;
    QString why;
    ConfigTextError error;
    ConfigTextResult read;
    if (DecodeConfigText(data, text, error, lang)) {
        read = ApplyConfigText(text, bytes, lang, [&s] { return s.host.StopRequested(); });
        error = read.error;
    }
    if (read.stopped || s.host.StopRequested()) {
        s.interrupted(err);
        return false;
    }
    if (!read.ok) {
        err << ReadFileErrorLine(file, lang) << u'\n' << ConfigTextMessage(file, error, lang)
            << Qt::endl;
        return false;
    }
    if (whole != nullptr)
        *whole = read.whole;
    return true;
}

bool SaveText(Session& s, const QString& target, const QByteArray& bytes, QTextStream& err) {
    const int lang = s.language.current;
    const FileProblem problem =
        WriteWholeFile(target, bytes, [&s] { return s.host.StopRequested(); });
    if (problem.kind == FileProblem::Kind::Stopped) {
        s.interrupted(err);
        return false;
    }
    if (!problem.ok()) {
        err << WriteErrorText(UnableToWriteText(target, problem, lang), lang) << Qt::endl;
        return false;
    }
    return true;
}

} // namespace

QString ReadFailureText(const QString& file, const QString& why, int language) {
    // A file that could not be read at all gets the system's reason; a text, its wrong line.
    if (why.isEmpty())
        return ReadFileErrorText(file, language);
    return ReadFileErrorLine(file, language) + QLatin1Char('\n') + why;
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
    // "-" is standard output, as where no OUT is given.
    const QString target = o.args.value(1) == QLatin1String("-") ? QString() : o.args.value(1);
    // A target that can never be written is refused before the controller is asked.
    if (!target.isEmpty()) {
        // Only a text's name reads back as a text: any other would turn a file into one that
        // no command takes as that file.
        if (!IsConfigTextName(target)) {
            err << LangText(TextTargetNotText, lang) << Qt::endl;
            return exitcode::Failure;
        }
        if (!IsDevice(source) && SameFile(source, target)) {
            err << LangText(TextTargetIsSource, lang) << Qt::endl;
            return exitcode::Failure;
        }
        if (const FileProblem problem = CheckWritable(target); !problem.ok()) {
            err << WriteErrorText(UnableToWriteText(target, problem, lang), lang) << Qt::endl;
            return exitcode::Failure;
        }
    }
    ConfigTextOptions options;
    options.language = lang;
    options.all = o.all;
    options.stop = [&s] { return s.host.StopRequested(); };
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
    if (s.host.StopRequested())
        return s.interrupted(err);
    if (target.isEmpty()) {
        out << WriteConfigText(bytes, options);
        return exitcode::Ok;
    }
    const ConfigSaveResult saved = SaveConfigText(target, bytes, options);
    if (saved.stopped)
        return s.interrupted(err);
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
    QByteArray data;
    QString sourceText;
    ConfigBytes check = FactoryBytes();
    bool sourceWhole = false;
    if (!ReadInput(s, snippet, data, err) ||
        !ReadText(s, snippet, data, check, sourceText, err, &sourceWhole))
        return exitcode::Failure;
    // Nothing is shown as changed in a file that cannot take the change.
    if (!IsDevice(target)) {
        if (const FileProblem problem = CheckWritable(target); !problem.ok()) {
            err << WriteErrorText(UnableToWriteText(target, problem, lang), lang) << Qt::endl;
            return exitcode::Failure;
        }
    }
    const QByteArray names[] = {snippet.toUtf8(), target.toUtf8()};
    ConfigBytes before{};
    IdentityRecord id;
    QString snapshot;
    QByteArray targetData;
    QString targetText;
    ConfigTextError notText;
    const bool ontoText = !IsDevice(target) && IsConfigTextName(target) &&
                          QFileInfo(target).isFile() &&
                          ReadWholeFile(target, targetData, MaxConfigFileBytes).ok() &&
                          DecodeConfigText(targetData, targetText, notText, lang);
    if (ontoText && ConfigTextKind(targetText) == TextKind::Snippet) {
        // A snippet target stays a snippet: its own lines change, the rest is added to it.
        before = FactoryBytes();
        if (!ReadText(s, target, targetData, before, targetText, err))
            return exitcode::Failure;
        if (sourceWhole) {
            err << LangFormat(WholeOntoSnippet, lang, names[0].constData(), names[1].constData())
                << Qt::endl;
            return exitcode::Failure;
        }
        const QString merged = SameFile(snippet, target)
                                   ? targetText
                                   : ApplySnippetToSnippet(targetText, sourceText, lang);
        ConfigBytes after = FactoryBytes();
        ApplyConfigText(merged, after, lang);
        for (const QString& line : DiffConfigurations(before, after, lang))
            out << line << Qt::endl;
        if (merged != targetText && !SaveText(s, target, merged.toUtf8(), err))
            return exitcode::Failure;
        return s.done(out,
                      LangFormat(SnippetApplied, lang, names[0].constData(), names[1].constData()));
    }
    if (IsDevice(target)) {
        if (const int rc = Connect(s, id); rc != result::Ok)
            return s.fail(err, ResultOnly, rc);
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
    QString again;
    if (!ReadText(s, snippet, data, after, again, err))
        return exitcode::Failure;
    for (const QString& line : DiffConfigurations(before, after, lang))
        out << line << Qt::endl;
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
            s.fail(err, texts::WriteDeviceError, rc);
            err << PartWrittenLine(snapshot, lang) << Qt::endl;
            return exitcode::Failure;
        }
        sent += i - start;
    }
    return s.done(out, LangFormat(SnippetSent, lang, names[0].constData(), sent));
}

} // namespace korvex
