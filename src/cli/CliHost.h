// The command-line tool's side of the user-interface seam: log lines to standard output, errors
// and trace lines to standard error, questions answered from --yes.
#pragma once

#include "host/UiHost.h"

#include <QTextStream>

namespace korvex {

class CliHost final : public UiHost {
public:
    CliHost(QTextStream& out, QTextStream& err) : out_(out), err_(err) {}

    bool traceToStderr = false;
    bool assumeYes = false;
    int monitorSuspend = 0;

    int ShowMessageBox(unsigned flags, const QString& text) override;
    void ProcessEvents() override;
    void ProgressBegin(int, const QString&) override {}
    void ProgressStep(int) override {}
    void ProgressHide() override {}
    void LogLineColored(LogColour colour, const QString& text) override;
    void TraceLine(const QString& text) override;
    void ShowPanelMessage(bool alert, int hideMs, int blinkMs, const QString& text) override;
    void ClearPanelMessage() override {}
    void SuspendMonitor() override { ++monitorSuspend; }
    void ResumeMonitor() override {
        if (monitorSuspend > 0)
            --monitorSuspend;
    }

private:
    QTextStream& out_;
    QTextStream& err_;
};

} // namespace korvex
