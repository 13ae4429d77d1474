// A user-interface seam that shows nothing and answers every box with OK, which no question
// takes for Yes: for benchmarks, which measure only the work itself, and for fuzzing.
#pragma once

#include "host/UiHost.h"

namespace korvex {

class QuietHost final : public UiHost {
public:
    int ShowMessageBox(unsigned, const QString&) override { return mb::IdOk; }
    void ProcessEvents() override {}
    void ProgressBegin(int, const QString&) override {}
    void ProgressStep(int) override {}
    void ProgressHide() override {}
    void LogLineColored(LogColour, const QString&) override {}
    void ShowPanelMessage(bool, int, int, const QString&) override {}
    void ClearPanelMessage() override {}
    void SuspendMonitor() override {}
    void ResumeMonitor() override {}
};

} // namespace korvex
