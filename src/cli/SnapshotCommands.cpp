// The snapshot listing.
#include "SnapshotCommands.h"

#include "CliCommands.h"
#include "CliSession.h"
#include "config/Snapshots.h"
#include "text/TextPair.h"

namespace korvex {

namespace {
constexpr TextPair NoSnapshots{"Снимков конфигурации нет", "There are no configuration snapshots"};
constexpr TextPair NoSnapshotsOf{"Снимков конфигурации контроллера %s нет",
                                 "There are no configuration snapshots of controller %s"};
constexpr TextPair BadSerial{"Серийный номер %s: нужно целое число от 0",
                             "Serial number %s: a whole number, 0 or more, is needed"};

bool ParseSerial(const QString& text, std::uint32_t& serial) {
    bool ok = false;
    serial = text.toUInt(&ok);
    return ok;
}
} // namespace

QString SnapshotsProblem(const QStringList& args, int language) {
    if (args.size() > 1)
        return LangFormat(ExtraArgument, language, args.at(1).toUtf8().constData());
    std::uint32_t serial = 0;
    if (args.size() == 1 && !ParseSerial(args.at(0), serial))
        return LangFormat(BadSerial, language, args.at(0).toUtf8().constData());
    return {};
}

int CommandSnapshots(const QStringList& args, int language, QTextStream& out) {
    const SnapshotStore store(DefaultSnapshotRoot());
    std::uint32_t serial = 0;
    const bool one = !args.isEmpty() && ParseSerial(args.at(0), serial);
    const QList<SnapshotFile> files = one ? store.List(serial) : store.ListAll();
    for (const SnapshotFile& f : files)
        out << f.serial << "  " << f.taken.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss 'UTC'"))
            << "  " << f.path << Qt::endl;
    if (files.isEmpty())
        out << (one ? LangFormat(NoSnapshotsOf, language, QByteArray::number(serial).constData())
                    : LangText(NoSnapshots, language))
            << Qt::endl;
    return exitcode::Ok;
}

} // namespace korvex
