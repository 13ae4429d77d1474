// One run of korvex-cli: its options, the link it opens, and what every command shares.
#pragma once

#include "CliCommands.h"
#include "CliHost.h"
#include "config/ConfigImage.h"
#include "config/ConfigTransfer.h"
#include "host/MonitorState.h"
#include "link/DeviceLink.h"
#include "link/PortFinder.h"
#include "text/TextPair.h"

#include <QStringList>
#include <QTextStream>

#include <memory>

namespace korvex {

namespace sim {
class VirtualController;
}

// Texts shared by the commands.
inline constexpr TextPair RefusedWithoutYes{
    "Ответ \"Да\" дается только с --yes: ничего не отправлено",
    "Answered Yes only with --yes: nothing was sent"};

inline constexpr TextPair ConfigSaved{"Конфигурация сохранена в файл \"%s\"",
                                      "The configuration is saved to the file \"%s\""};
inline constexpr TextPair ReplacedWholeText{
    "Файл \"%s\" не был текстом INI: он заменен целиком",
    "The file \"%s\" held no INI text: it is replaced whole"};
inline constexpr TextPair ConfigFromFileWritten{
    "Конфигурация из файла \"%s\" записана в контроллер",
    "The configuration from the file \"%s\" is written to the controller"};
inline constexpr TextPair Restarted{"Контроллер перезапущен", "The controller is restarted"};
inline constexpr TextPair DefaultsDone{"Конфигурация сброшена в состояние по умолчанию",
                                       "The configuration is reset to its default state"};
inline constexpr TextPair Interrupted{"Прервано", "Interrupted"};
inline constexpr TextPair ResultOnly{"%s", "%s"}; // a failure said by its result text alone
// The English half is the fixed line itself, which is never said twice.
inline constexpr TextPair UnableToWriteSaid{"Не удалось записать в %s", "Unable to write to %s"};
// What was wrong with a command line.
inline constexpr TextPair UnknownOption{"Неизвестный параметр %s", "Unknown option %s"};
inline constexpr TextPair MissingValue{"После %s не хватает значения", "%s needs a value"};
inline constexpr TextPair BadLanguage{"Язык %s неизвестен: ru или en",
                                      "Unknown language %s: ru or en"};
inline constexpr TextPair DemoWithPort{"--demo и --port вместе не используются",
                                       "--demo and --port cannot be used together"};
inline constexpr TextPair MissingCommand{"Не указана команда", "No COMMAND given"};
inline constexpr TextPair UnknownCommand{"Неизвестная команда %s", "Unknown command %s"};
inline constexpr TextPair MissingFile{"Команде %s нужен FILE", "%s needs a FILE"};
inline constexpr TextPair MissingTwoSides{"Команде %s нужны A и B: FILE или device",
                                          "%s needs A and B: a FILE or device"};
inline constexpr TextPair MissingHex{"Команде %s нужны байты HEX", "%s needs the HEX bytes"};
inline constexpr TextPair BadNumber{"После %s нужно целое число от 0",
                                    "%s needs a whole number, 0 or more"};
inline constexpr TextPair ExtraArgument{"Лишний аргумент %s", "Unexpected argument %s"};

struct Options {
    QString port;
    bool demo = false;
    int language = SystemDefaultLanguage();
    bool trace = false;
    bool yes = false;
    bool noSnapshot = false; // --no-snapshot
    bool all = false;        // --all: every setting in a text
    bool help = false;
    int seconds = -1; // --seconds; -1 when not given
    int count = -1;   // --count
    bool version = false;
    QString command;
    QStringList args;
};

// Parses the options wherever they stand; returns what was wrong, empty when nothing was. The
// command's own arguments are not checked here.
QString ParseOptions(const QStringList& arguments, Options& o);

// A usage error: what was wrong, then the usage line, on standard error.
int UsageError(QTextStream& err, const QString& problem, const QString& usage);

// The link and everything it stands on, for one run of the tool.
struct Session {
    Session(const Options& o, QTextStream& out, QTextStream& err, sim::VirtualController* demo,
            const CliEnvironment& env);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    CliHost host;
    LanguageState language;
    MonitorState monitor;
    std::unique_ptr<sim::VirtualController> ownController;
    std::unique_ptr<SerialTransport> transport;
    std::unique_ptr<PortFinder> finder;
    std::unique_ptr<DeviceLink> link;
    ConfigImage image;
    std::unique_ptr<ConfigTransfer> transfer;

    // A command's failure in the window's words, with the result text.
    int fail(QTextStream& err, const TextPair& format, int rc);
    // "Interrupted", once, after a stop.
    int interrupted(QTextStream& err);
    bool interruptedSaid = false;
    // A line of success on standard output.
    int done(QTextStream& out, const QString& line);
};

// A failed save's message, whose first line is the system's fixed "Unable to write to <file>":
// in Russian that line is said again in Russian below it, the rest follows unchanged.
QString WriteErrorText(const QString& message, int language);

// "Error reading file" of a configuration file, with the system's reason on a line of its own.
QString ReadFileErrorText(const QString& file, int language);
// Its first line alone, naming the file as it was typed.
QString ReadFileErrorLine(const QString& file, int language);

// Saves the session's image to a configuration file; says why it failed, or that a file that
// held no INI text was replaced whole.
// A text names the controller `id` in its header when given.
bool SaveToFile(Session& s, const QString& file, QTextStream& err,
                const IdentityRecord* id = nullptr);

// A firmware file that is no regular file (missing, a folder, a FIFO) is refused with the open
// error before the controller is asked anything.
bool FirmwareFileExists(Session& s, const QString& file, QTextStream& err);

// Probes every candidate once in turn (a named port only once); 0 when a controller answered.
int Connect(Session& s, IdentityRecord& id);

} // namespace korvex
