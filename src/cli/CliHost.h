// The command-line tool's side of the user-interface seam: log lines to standard output, errors
// and trace lines to standard error, questions answered from --yes, and a progress line on a
// terminal.
#pragma once

#include "host/UiHost.h"

#include <QTextStream>

#include <functional>

namespace korvex {

class CliHost final : public UiHost {
public:
    CliHost(QTextStream& out, QTextStream& err) : out_(out), err_(err) {}

    bool traceToStderr = false;
    bool assumeYes = false;
    bool progressLine = false; // standard error is a terminal
    // Standard output carries only what the controller said (the terminal): the tool's own log
    // lines go to standard error.
    bool toolLogToStderr = false;
    int monitorSuspend = 0;
    // Polled by every wait; once it returns true, `onStop` runs (once).
    std::function<bool()> stopRequested;
    std::function<void()> onStop;
    bool stopped() const { return stopped_; }

    int ShowMessageBox(unsigned flags, const QString& text) override;
    void ProcessEvents() override;
    bool StopRequested() override;
    void ProgressBegin(int total, const QString& caption) override;
    void ProgressStep(int count) override;
    void ProgressHide() override { EndProgress(); }
    void LogLineColored(LogColour colour, const QString& text) override;
    void TraceLine(const QString& text) override;
    void ShowPanelMessage(bool alert, int hideMs, int blinkMs, const QString& text) override;
    void ClearPanelMessage() override {}
    void SuspendMonitor() override { ++monitorSuspend; }
    void ResumeMonitor() override {
        if (monitorSuspend > 0)
            --monitorSuspend;
    }

    // Ends an open progress line, so that the next text starts on a line of its own.
    void EndProgress();
    // A line on standard error, after any progress line.
    void ErrorLine(const QString& text);

private:
    void ShowProgress();

    QTextStream& out_;
    QTextStream& err_;
    bool stopped_ = false;
    bool progressOpen_ = false;
    int progressTotal_ = 0;
    int progressCount_ = 0;
    int progressShown_ = -1;
    QString progressCaption_;
};

} // namespace korvex
