// The window's side of the user-interface seam: message boxes over the main window, the
// progress gauge on the message panel, log lines, panel notices, and the monitor timer with its
// suspension counter.
#pragma once

#include "host/UiHost.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>

class QLabel;
class QProgressBar;
class QWidget;

namespace korvex {

class LogWindow;
struct LanguageState;

class WindowHost final : public QObject, public UiHost {
    Q_OBJECT
public:
    // `panel` is the message panel; `status` the status bar's text.
    WindowHost(QWidget* mainWindow, QLabel* panel, QLabel* status, LogWindow& log,
               const LanguageState& language);

    // Tests answer boxes here instead of opening them; production leaves it unset.
    std::function<int(unsigned flags, const QString& text)> answerBox;
    // Runs on each tick of the monitor timer.
    std::function<void()> onMonitorTick;

    int ShowMessageBox(unsigned flags, const QString& text) override;
    enum class SaveAnswer { Save, Discard, Cancel };
    // "Save changes?" with Save, Discard and Cancel; a scripted answerBox answers IdYes for
    // Save, IdNo for Discard and anything else for Cancel. Discard once the window has closed.
    SaveAnswer AskToSave(const QString& text);
    void ProcessEvents() override;
    void ProgressBegin(int total, const QString& caption) override;
    void ProgressStep(int count) override;
    void ProgressHide() override;
    void LogLineColored(LogColour colour, const QString& text) override;
    void ShowPanelMessage(bool alert, int hideMs, int blinkMs, const QString& text) override;
    void ClearPanelMessage() override;
    void SuspendMonitor() override;
    void ResumeMonitor() override;

    // Calls `callback` once per interval until cancelled; a null callback or 0 cancels.
    void RunLater(std::function<void()> callback, int intervalMs);

    int monitorSuspend() const { return monitorSuspend_; }
    QTimer& monitorTimer() { return monitorTimer_; }
    QProgressBar* gauge() const { return gauge_; }
    // The window is closing: the monitor stops and never starts again.
    void BeginClosing();
    // Nobody is there to answer (the program ends on a signal): a box's text goes to the log and
    // standard error instead, questions are taken as No, "Save changes?" as Cancel.
    void SetUnattended() { unattended_ = true; }
    // The window has closed: every timer stops, and boxes that operations still raise on their
    // way out are answered without being shown (No for questions).
    void StopAll();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SetPanelColours(bool alert);
    void ShowPanelText(const QString& text);
    void FitPanelText();

    QWidget* mainWindow_;
    QLabel* panel_;
    QLabel* status_;
    LogWindow& log_;
    const LanguageState& language_;
    QProgressBar* gauge_;
    QString progressCaption_;
    QString panelText_; // the notice whole
    QString panelHint_; // the panel's own hint, while a notice cut short holds its place
    QString hintShown_; // the hint as the panel last set it
    bool cutShown_ = false;
    int progressTotal_ = 0;
    QTimer monitorTimer_;   // TimerLUMAPADSCREENTest
    QTimer flashTimer_;     // TimerFlash
    QTimer universalTimer_; // UniversalTimer
    std::function<void()> later_;
    // Stays at 1 until the main initialisation has finished and releases the monitor.
    int monitorSuspend_ = 1;
    bool closing_ = false;
    bool closed_ = false;
    bool unattended_ = false;
};

} // namespace korvex
