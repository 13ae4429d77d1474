// One run of korvex-cli.
#include "CliSession.h"

#include "CliCommands.h"
#include "link/IdentityRecord.h"
#include "link/QtSerialTransport.h"
#include "link/ResultText.h"
#include "sim/VirtualController.h"
#include "sim/VirtualTransport.h"

#include <algorithm>

namespace korvex {

bool ParseOptions(const QStringList& arguments, Options& o) {
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments.at(i);
        if (a == QLatin1String("--port")) {
            if (i + 1 >= arguments.size() || arguments.at(i + 1).isEmpty())
                return false;
            o.port = arguments.at(++i);
        } else if (a == QLatin1String("--demo")) {
            o.demo = true;
        } else if (a == QLatin1String("--lang")) {
            if (i + 1 >= arguments.size())
                return false;
            const QString v = arguments.at(++i);
            if (v == QLatin1String("ru"))
                o.language = LangRussian;
            else if (v == QLatin1String("en"))
                o.language = LangEnglish;
            else
                return false;
        } else if (a == QLatin1String("--trace")) {
            o.trace = true;
        } else if (a == QLatin1String("--yes")) {
            o.yes = true;
        } else if (a.startsWith(QLatin1Char('-')) && a.size() > 1) {
            return false;
        } else if (o.command.isEmpty()) {
            o.command = a;
        } else {
            o.args.append(a);
        }
    }
    return !o.command.isEmpty() && !(o.demo && !o.port.isEmpty());
}

Session::Session(const Options& o, QTextStream& out, QTextStream& err, sim::VirtualController* demo)
    : host(out, err) {
    language.current = o.language;
    host.traceToStderr = o.trace;
    host.assumeYes = o.yes;
    if (o.demo) {
        if (demo == nullptr) {
            ownController = std::make_unique<sim::VirtualController>();
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
    transfer =
        std::make_unique<ConfigTransfer>(link->device, host, image, monitor, language, link->ports);
}

Session::~Session() {
    link->serial.ComClose();
}

int Session::fail(QTextStream& err, const TextPair& format, int rc) {
    err << LangFormat(format, language.current,
                      ResultText(rc, language.current).toUtf8().constData())
               .trimmed()
        << Qt::endl;
    return exitcode::Failure;
}

int Connect(Session& s, IdentityRecord& id) {
    s.link->serial.ComFindPorts();
    const qsizetype candidates = std::max<qsizetype>(1, s.link->ports.portList.size());
    int rc = result::Disconnected;
    for (qsizetype i = 0; i < candidates; ++i) {
        rc = s.link->device.ComProbe(id);
        if (rc == result::Ok)
            break;
    }
    return rc;
}

} // namespace korvex
