// Recording host for tests.
#include "TestHost.h"

#include <algorithm>

namespace korvex::test {

int TestHost::ShowMessageBox(unsigned flags, const QString& text) {
    boxes.append({flags, text});
    if (!answers.isEmpty())
        return answers.takeFirst();
    const unsigned icon = flags & 0xF0;
    return (icon == mb::IconQuestion || icon == mb::IconWarning) ? mb::IdNo : mb::IdOk;
}

void TestHost::ProgressBegin(int total, const QString& caption) {
    progressTotal = total;
    progressCaption = caption;
    progressCount = 0;
    progressSteps = 0;
}

void TestHost::ProgressStep(int count) {
    progressCount += count;
    ++progressSteps;
}

void TestHost::LogLineColored(LogColour colour, const QString& text) {
    log.append(text);
    if (colour == LogColour::ControllerBlue)
        blueLines.append(text);
}

void TestHost::TraceLine(const QString& text) {
    traces.append(text);
    LogLine(text);
}

void TestHost::ShowPanelMessage(bool alert, int hideMs, int blinkMs, const QString& text) {
    notices.append({alert, hideMs, blinkMs, text});
}

void TestHost::SuspendMonitor() {
    ++monitorSuspend;
    maxMonitorSuspend = std::max(maxMonitorSuspend, monitorSuspend);
}

void TestHost::ResumeMonitor() {
    if (monitorSuspend > 0)
        --monitorSuspend;
}

} // namespace korvex::test
