// The tests' side of the user-interface seam: records everything shown and answers message
// boxes from a script.
#pragma once

#include "host/UiHost.h"

#include <QList>
#include <QStringList>

#include <functional>

namespace korvex::test {

class TestHost final : public UiHost {
public:
    struct Box {
        unsigned flags;
        QString text;
    };
    struct Notice {
        bool alert;
        int hideMs;
        int blinkMs;
        QString text;
    };

    QList<int> answers; // answers for the next boxes; IdOk / IdNo once they run out
    QList<Box> boxes;
    QStringList log;    // every log line, trace lines included
    QStringList traces; // trace lines only
    QStringList blueLines;
    QList<Notice> notices;
    int processEventsCalls = 0;
    std::function<void()> onProcessEvents; // runs inside every wait that keeps the window alive
    int progressTotal = -1;
    QString progressCaption;
    int progressCount = 0;
    int progressSteps = 0;
    int monitorSuspend = 0;
    int maxMonitorSuspend = 0;

    int ShowMessageBox(unsigned flags, const QString& text) override;
    void ProcessEvents() override {
        ++processEventsCalls;
        if (onProcessEvents)
            onProcessEvents();
    }
    void ProgressBegin(int total, const QString& caption) override;
    void ProgressStep(int count) override;
    void ProgressHide() override {}
    void LogLineColored(LogColour colour, const QString& text) override;
    void TraceLine(const QString& text) override;
    void ShowPanelMessage(bool alert, int hideMs, int blinkMs, const QString& text) override;
    void ClearPanelMessage() override {}
    void SuspendMonitor() override;
    void ResumeMonitor() override;
};

} // namespace korvex::test
