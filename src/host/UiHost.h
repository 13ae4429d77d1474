// The one seam between the core and whatever shows things to the user: the main window, the
// command-line tool and the tests each implement it. Core code never calls a widget.
#pragma once

#include <QString>

namespace korvex {

// Message box flags and answers, with the values the rest of the program uses.
namespace mb {
constexpr unsigned IconError = 0x10;
constexpr unsigned IconQuestion = 0x20;
constexpr unsigned IconWarning = 0x30;
constexpr unsigned IconInformation = 0x40;
constexpr unsigned YesNo = 0x04;
constexpr unsigned DefButton2 = 0x100;
constexpr int IdOk = 1;
constexpr int IdYes = 6;
constexpr int IdNo = 7;
} // namespace mb

enum class LogColour { WindowText, ControllerBlue };

class Clock;

class UiHost {
public:
    UiHost();
    virtual ~UiHost() = default;

    // The clock of every wait and time limit; the system's unless a test sets its own.
    Clock* clock;

    // A modal box; questions and warnings offer Yes and No. Returns mb::IdOk, IdYes or IdNo.
    virtual int ShowMessageBox(unsigned flags, const QString& text) = 0;

    // Let the user interface handle what is pending, once.
    virtual void ProcessEvents() = 0;

    // A request to end the program from outside (a signal) has come: work that runs without
    // waiting for anything asks here at its steps, so that it stops before it changes a file.
    virtual bool StopRequested() { return false; }

    // Wait at least `ms` milliseconds, keeping the user interface alive when asked to.
    // Returns the milliseconds that passed.
    virtual int WaitMs(int ms, bool processMessages);

    // Progress of a long operation.
    virtual void ProgressBegin(int total, const QString& caption) = 0;
    virtual void ProgressStep(int count) = 0;
    virtual void ProgressHide() = 0;

    // The log window.
    virtual void LogLineColored(LogColour colour, const QString& text) = 0;
    void LogLine(const QString& text) { LogLineColored(LogColour::WindowText, text); }
    // Frame trace lines; they go to the log unless the host sends them elsewhere.
    virtual void TraceLine(const QString& text) { LogLine(text); }

    // Short notices on the message panel.
    virtual void ShowPanelMessage(bool alert, int hideMs, int blinkMs, const QString& text) = 0;
    virtual void ClearPanelMessage() = 0;

    // The connection monitor's suspension counter; calls nest.
    virtual void SuspendMonitor() = 0;
    virtual void ResumeMonitor() = 0;
};

// Suspends the monitor for the life of the object, so that every path resumes it.
class MonitorSuspension {
public:
    explicit MonitorSuspension(UiHost& host) : host_(host) { host_.SuspendMonitor(); }
    ~MonitorSuspension() { host_.ResumeMonitor(); }
    MonitorSuspension(const MonitorSuspension&) = delete;
    MonitorSuspension& operator=(const MonitorSuspension&) = delete;

private:
    UiHost& host_;
};

} // namespace korvex
