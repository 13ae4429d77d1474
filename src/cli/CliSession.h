// One run of korvex-cli: its options, the link it opens, and what every command shares.
#pragma once

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

struct Options {
    QString port;
    bool demo = false;
    int language = SystemDefaultLanguage();
    bool trace = false;
    bool yes = false;
    QString command;
    QStringList args;
};

// Parses the options wherever they stand; false on a usage error.
bool ParseOptions(const QStringList& arguments, Options& o);

// The link and everything it stands on, for one run of the tool.
struct Session {
    Session(const Options& o, QTextStream& out, QTextStream& err, sim::VirtualController* demo);
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
};

// Probes every candidate once in turn (a named port only once); 0 when a controller answered.
int Connect(Session& s, IdentityRecord& id);

} // namespace korvex
