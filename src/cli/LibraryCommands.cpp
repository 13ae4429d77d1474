// The library and history commands.
#include "LibraryCommands.h"

#include "CliCommands.h"
#include "CliSession.h"
#include "config/ConfigLibrary.h"
#include "host/CommandTexts.h"
#include "link/IdentityRecord.h"
#include "link/ResultText.h"
#include "text/TextPair.h"

#include <QDir>

#include <optional>

namespace korvex {

namespace {
constexpr TextPair NoFiles{"Файлов конфигурации нет", "There are no configuration files"};
constexpr TextPair NoHistory{"Снимков конфигурации нет", "There are no configuration snapshots"};
constexpr TextPair BadSerial{"Серийный номер %s: нужно целое число от 0",
                             "Serial number %s: a whole number, 0 or more, is needed"};
constexpr TextPair Unreadable{"(не читается: поврежден)", "(unreadable: damaged)"};
const QString DateFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss"); // as the page shows it
} // namespace

QString LibraryProblem(const Options& o) {
    const int lang = o.language;
    const qsizetype takes = o.command == QLatin1String("library") ? 2 : 1;
    if (o.args.size() > takes)
        return LangFormat(ExtraArgument, lang, o.args.at(takes).toUtf8().constData());
    if (o.command == QLatin1String("history") && !o.args.isEmpty()) {
        bool ok = false;
        o.args.at(0).toUInt(&ok);
        if (!ok)
            return LangFormat(BadSerial, lang, o.args.at(0).toUtf8().constData());
    }
    return {};
}

int CommandLibrary(const Options& o, int language, QTextStream& out, QTextStream& err) {
    const int lang = language == LangEnglish ? 1 : 0;
    LibraryIndex index;
    const LibraryListing listing = index.List(o.args.value(0, QDir::currentPath()), language);
    if (!listing.problem[lang].isEmpty()) {
        err << listing.problem[lang] << Qt::endl;
        return exitcode::Failure;
    }
    const QString search = o.args.value(1);
    int shown = 0;
    for (const LibraryFile& f : listing.files) {
        if (!LibraryFileMatches(f, search))
            continue;
        ++shown;
        out << QDir::toNativeSeparators(f.path) << "  " << f.modified.toString(DateFormat) << "  "
            << (f.usable() ? f.summary : QLatin1Char('(') + f.problem[lang] + u')') << Qt::endl;
    }
    if (shown == 0)
        out << LangText(NoFiles, language) << Qt::endl;
    return exitcode::Ok;
}

int CommandHistory(Session& s, const Options& o, QTextStream& out, QTextStream& err) {
    const int lang = s.language.current;
    SnapshotHistory history(DefaultSnapshotRoot());
    std::optional<ConfigBytes> controller;
    std::uint32_t connectedSerial = 0;
    if (!o.port.isEmpty() || o.demo) {
        IdentityRecord id;
        int rc = Connect(s, id);
        if (rc == result::Ok)
            rc = s.transfer->ReadConfiguration();
        if (rc != result::Ok)
            return s.fail(err, texts::ReadDeviceError, rc);
        s.host.EndProgress();
        connectedSerial = id.serialNumber();
        controller = s.image.lastRead.bytes;
    }
    QList<std::uint32_t> serials;
    if (!o.args.isEmpty())
        serials = {o.args.at(0).toUInt()};
    else if (controller)
        serials = {connectedSerial};
    else
        serials = history.Serials();
    int shown = 0;
    for (const std::uint32_t serial : serials) {
        for (const HistoryItem& item : history.List(serial, controller ? &*controller : nullptr)) {
            ++shown;
            out << serial << "  " << item.file.taken.toLocalTime().toString(DateFormat) << "  "
                << (item.readable ? DifferenceText(item.differences, lang)
                                  : LangText(Unreadable, lang))
                << "  " << QDir::toNativeSeparators(item.file.path) << Qt::endl;
        }
    }
    if (shown == 0)
        out << LangText(NoHistory, lang) << Qt::endl;
    return exitcode::Ok;
}

} // namespace korvex
