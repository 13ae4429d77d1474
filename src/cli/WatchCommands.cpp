// The terminal and capture commands of korvex-cli.
#include "WatchCommands.h"

#include "CliCommands.h"
#include "CliSession.h"
#include "TextCommands.h"
#include "app/ConnectionMonitor.h"
#include "config/ConfigFile.h"
#include "config/EntryWords.h"
#include "config/Vocabulary.h"
#include "host/CommandTexts.h"
#include "host/FileTexts.h"
#include "host/TickCount.h"
#include "link/IdentityRecord.h"
#include "link/Notifications.h"
#include "link/ResultText.h"
#include "link/Terminal.h"

#include <QDir>
#include <QFileInfo>

#include <functional>

namespace korvex {

namespace {

constexpr int DefaultTerminalSeconds = 1;
constexpr int DefaultCaptureSeconds = 60;

constexpr TextPair CapturedText{"Вкладка %d: событие \"%s\"", "Tab %d: event \"%s\""};
constexpr TextPair NoFreeEntryText{"Свободных вкладок не осталось", "No free tab is left"};

// The window's side of the monitor, without a window: the configuration is never read over what
// the command holds.
class QuietMonitorView final : public MonitorView {
public:
    void SetStatusText(const QString&) override {}
    void SetCurrentSource(bool, const QString&) override {}
    void SetToolbarBusy(bool) override {}
    void ReadDeviceConfiguration() override {}
};

// The tab strip of a command: a selected entry and the capture switch.
class CommandCaptureView final : public CaptureView {
public:
    explicit CommandCaptureView(bool autoCapture) : autoCapture_(autoCapture) {}
    int SelectedEntry() const override { return selected_; }
    void SelectEntry(int entry) override { selected_ = entry; }
    void ShowSelectedEntry() override {}
    bool AutoCapture() const override { return autoCapture_; }
    void SetAutoCapture(bool on) override { autoCapture_ = on; }

private:
    int selected_ = 0;
    bool autoCapture_;
};

// The monitor of the window on an open connection: it polls, shows key presses and the
// terminal's lines, and runs the capture step after each shown key.
struct Watch {
    Watch(Session& s, const IdentityRecord& connected, CaptureView& view)
        : s(s), identity(connected), monitor(*s.link, s.monitor, identity, s.image, *s.transfer,
                                             monitorView, s.host, s.language),
          terminal(s.link->device, *s.transfer, s.monitor, s.link->state, s.host, s.language),
          capture(s.link->frames, s.image, s.monitor, s.host, s.language, view) {
        // Announced already by the connection: the first poll goes straight to the notices.
        s.monitor.controllerConnected = true;
        s.monitor.lastSerial = identity.serialNumber();
        monitor.showKeyPress = [this] { return capture.ShowKeyPress(); };
        monitor.autoCaptureStep = [this] {
            capture.AutoCaptureStep();
            if (onCaptureStep)
                onCaptureStep();
        };
        monitor.readTerminalText = [this] { return terminal.ReadTerminalText(); };
        monitor.resetTerminalLine = [this] { terminal.ResetLine(); };
        terminal.pollSoon = [this] { monitor.PollSoon(); };
    }

    // Polls until `done` says so, the controller goes or the user stops; the result code of a
    // lost connection, 0 otherwise.
    int Run(const std::function<bool()>& done) {
        while (!s.host.stopped() && !done()) {
            const int rc = monitor.PollController();
            if (!s.monitor.controllerConnected)
                return rc != result::Ok ? rc : result::Disconnected;
            s.host.WaitMs(monitor.interval(), true);
        }
        return result::Ok;
    }

    Session& s;
    IdentityRecord identity;
    QuietMonitorView monitorView;
    ConnectionMonitor monitor;
    Terminal terminal;
    EventCapture capture;
    std::function<void()> onCaptureStep;
};

bool Elapsed(std::uint32_t since, int seconds) {
    return TickCount() - since >= static_cast<std::uint32_t>(seconds) * 1000u;
}

} // namespace

int CommandTerminal(Session& s, const Options& o, const CliEnvironment& env, QTextStream& out,
                    QTextStream& err) {
    IdentityRecord id;
    const int connected = Connect(s, id);
    if (connected != result::Ok) {
        err << ResultText(connected, s.language.current) << Qt::endl;
        return exitcode::Failure;
    }
    s.host.toolLogToStderr = true;
    CommandCaptureView view(false);
    Watch watch(s, id, view);
    const int seconds = o.seconds >= 0 ? o.seconds : DefaultTerminalSeconds;
    bool closed = env.readInput == nullptr;
    std::uint32_t closedAt = TickCount();
    const int rc = watch.Run([&] {
        if (!closed) {
            for (const QString& line : env.readInput(closed)) {
                // Ctrl+C between two lines: the rest of the input is not sent.
                s.host.ProcessEvents();
                if (s.host.stopped())
                    return true;
                // As Enter at the end of a typed line; a line longer than the controller takes
                // is sent cut, and said so, whatever its length.
                const QString typed = line.left(Terminal::MaxSentLength + 1);
                const TerminalEnter enter = TerminalEnterKey(typed, static_cast<int>(typed.size()));
                if (enter.send)
                    watch.terminal.SendTerminalLine(enter.line);
            }
            if (closed)
                closedAt = TickCount();
        }
        return closed && Elapsed(closedAt, seconds);
    });
    out.flush();
    // After a stop the port is closed on purpose: that is no lost controller.
    if (rc != result::Ok && !s.host.stopped()) {
        err << ResultText(rc, s.language.current) << Qt::endl;
        return exitcode::Failure;
    }
    return exitcode::Ok;
}

int CommandCapture(Session& s, const Options& o, const QString& file, QTextStream& out,
                   QTextStream& err) {
    const int lang = s.language.current;
    // A file that is not a configuration is never saved over.
    const bool existing = QFileInfo::exists(file);
    if (QString why; existing && !LoadConfigFile(file, s.image, s.host, &why, lang)) {
        err << ReadFailureText(file, why, lang) << Qt::endl;
        return exitcode::Failure;
    }
    IdentityRecord id;
    const int connected = Connect(s, id);
    if (connected != result::Ok) {
        err << ResultText(connected, lang) << Qt::endl;
        return exitcode::Failure;
    }
    // A new file starts from what the controller holds, so that writing it back adds only the
    // captured keys instead of wiping its settings.
    if (!existing) {
        if (const int rc = s.transfer->ReadConfiguration(); rc != result::Ok)
            return s.fail(err, texts::ReadDeviceError, rc);
        s.host.EndProgress();
    }
    CommandCaptureView view(true);
    Watch watch(s, id, view);
    int stored = 0;
    watch.onCaptureStep = [&] {
        if (watch.capture.lastResult() != 1)
            return;
        ++stored;
        const int entry = watch.capture.lastEntry();
        const int code = EntryRef(s.image.bytes, entry).get(entry::eventCode);
        const QString key = LinKeyName(code).value_or(QString::number(code));
        out << LangFormat(CapturedText, lang, entry + 1, key.toUtf8().constData()) << Qt::endl;
    };
    const int seconds = o.seconds >= 0 ? o.seconds : DefaultCaptureSeconds;
    const std::uint32_t start = TickCount();
    const int rc = watch.Run([&] {
        return (o.count >= 0 && stored >= o.count) || !view.AutoCapture() ||
               Elapsed(start, seconds);
    });
    if (!view.AutoCapture())
        out << LangText(NoFreeEntryText, lang) << Qt::endl;
    // What was captured is kept, whatever ended the run.
    if (!SaveToFile(s, file, err))
        return exitcode::Failure;
    out << LangFormat(ConfigSaved, lang, QDir::toNativeSeparators(file).toUtf8().constData())
        << Qt::endl;
    if (rc != result::Ok) {
        err << ResultText(rc, lang) << Qt::endl;
        return exitcode::Failure;
    }
    return exitcode::Ok;
}

} // namespace korvex
