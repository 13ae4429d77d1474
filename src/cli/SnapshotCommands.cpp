// The snapshot listing.
#include "SnapshotCommands.h"

#include "CliCommands.h"
#include "CliSession.h"
#include "config/ConfigFile.h"
#include "config/ConfigTransfer.h"
#include "config/Snapshots.h"
#include "host/CommandTexts.h"
#include "link/IdentityRecord.h"
#include "link/ResultText.h"
#include "text/TextPair.h"

#include <QDir>

namespace korvex {

namespace {
constexpr TextPair NoSnapshots{"Снимков конфигурации нет", "There are no configuration snapshots"};
constexpr TextPair NoSnapshotsOf{"Снимков конфигурации контроллера %s нет",
                                 "There are no configuration snapshots of controller %s"};
constexpr TextPair NoSnapshotInBootloader{
    "Снимок конфигурации не сделан: в контроллере работает загрузчик",
    "No configuration snapshot could be taken: the controller runs its bootloader"};
constexpr TextPair StoppedWithoutSnapshot{
    "Без снимка ничего не отправлено; --no-snapshot продолжит без него",
    "Nothing was sent without a snapshot; --no-snapshot goes on without one"};
constexpr TextPair DamagedSnapshot{"(поврежден: не записывайте его)",
                                   "(damaged: do not write it back)"};
constexpr TextPair BadSerial{"Серийный номер %s: нужно целое число от 0",
                             "Serial number %s: a whole number, 0 or more, is needed"};

constexpr TextPair FutureSnapshot{"(дата в будущем)", "(date in the future)"};

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
    for (const SnapshotFile& f : files) {
        out << f.serial << "  " << f.taken.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss 'UTC'"))
            << "  " << QDir::toNativeSeparators(f.path);
        // Written back, a cut or foreign file would put zeros where the controller had settings.
        if (!IsWholeConfigFile(f.path))
            out << "  " << LangText(DamagedSnapshot, language);
        // Taken under a clock that was set wrong: its place in the list is not its age.
        if (f.taken > QDateTime::currentDateTimeUtc())
            out << "  " << LangText(FutureSnapshot, language);
        out << Qt::endl;
    }
    if (files.isEmpty())
        out << (one ? LangFormat(NoSnapshotsOf, language, QByteArray::number(serial).constData())
                    : LangText(NoSnapshots, language))
            << Qt::endl;
    return exitcode::Ok;
}

bool KeepControllerSnapshot(Session& s, const Options& o, const IdentityRecord& id,
                            bool bootloaderGoesOn, QTextStream& out, QTextStream& err,
                            QString& path) {
    path.clear();
    if (o.noSnapshot)
        return true;
    const int lang = s.language.current;
    if (id.isBootloader() && bootloaderGoesOn) {
        err << LangText(NoSnapshotInBootloader, lang) << Qt::endl;
        return true;
    }
    const int rc = s.transfer->ReadConfiguration();
    if (rc != result::Ok) {
        s.fail(err, texts::ReadDeviceError, rc);
        err << LangText(StoppedWithoutSnapshot, lang) << Qt::endl;
        return false;
    }
    s.host.EndProgress();
    // The controller's own bytes, before any default the display would fill in.
    SnapshotStore store(DefaultSnapshotRoot());
    const SnapshotResult saved =
        store.Save(id.serialNumber(), s.image.lastRead.bytes, s.host, lang);
    if (saved.path.isEmpty() && s.host.stopped()) {
        s.interrupted(err);
        return false;
    }
    if (saved.path.isEmpty()) {
        err << LangFormat(SnapshotNotKeptText, lang, saved.error.toUtf8().constData()) << Qt::endl
            << LangText(StoppedWithoutSnapshot, lang) << Qt::endl;
        return false;
    }
    path = saved.path;
    out << LangFormat(SnapshotKeptText, lang, QDir::toNativeSeparators(path).toUtf8().constData())
        << Qt::endl;
    return true;
}

} // namespace korvex
