// Where the command-line tool puts what the window would show.
#include "CliHost.h"

#include <QCoreApplication>

namespace korvex {

int CliHost::ShowMessageBox(unsigned flags, const QString& text) {
    const unsigned icon = flags & 0xF0;
    const bool question =
        icon == mb::IconQuestion || icon == mb::IconWarning || (flags & mb::YesNo);
    // After a stop the port is closed on purpose: an error of the exchange it cut is untrue.
    if (!question && StopRequested())
        return mb::IdOk;
    // A question answered by --yes needs no showing; one answered No says why nothing happened.
    if (!(question && assumeYes)) {
        EndProgress();
        err_ << text << Qt::endl;
    }
    if (question)
        return assumeYes ? mb::IdYes : mb::IdNo;
    return mb::IdOk;
}

bool CliHost::StopRequested() {
    if (!stopped_ && stopRequested && stopRequested()) {
        stopped_ = true;
        if (onStop)
            onStop();
    }
    return stopped_;
}

void CliHost::ProcessEvents() {
    StopRequested();
    if (QCoreApplication::instance() != nullptr)
        QCoreApplication::processEvents();
}

void CliHost::ProgressBegin(int total, const QString& caption) {
    EndProgress();
    progressTotal_ = total;
    progressCount_ = 0;
    progressShown_ = -1;
    progressCaption_ = caption;
    ShowProgress();
}

void CliHost::ProgressStep(int count) {
    progressCount_ += count;
    ShowProgress();
}

void CliHost::ShowProgress() {
    if (!progressLine)
        return;
    // The firmware update writes a trailer beyond the total it announced; as the window's gauge,
    // the line stays at 100 for it.
    const int percent =
        progressTotal_ > 0
            ? static_cast<int>(qMin(qint64{progressCount_} * 100 / progressTotal_, qint64{100}))
            : 100;
    if (percent == progressShown_)
        return;
    progressShown_ = percent;
    progressOpen_ = true;
    err_ << '\r' << progressCaption_ << QStringLiteral(" %1%").arg(percent, 3) << Qt::flush;
}

void CliHost::EndProgress() {
    if (!progressOpen_)
        return;
    progressOpen_ = false;
    err_ << Qt::endl;
}

void CliHost::ErrorLine(const QString& text) {
    EndProgress();
    err_ << text << Qt::endl;
}

void CliHost::LogLineColored(LogColour colour, const QString& text) {
    // After a stop the port is closed on purpose: the monitor's news of a lost controller and
    // the like would be untrue.
    if (colour != LogColour::ControllerBlue && StopRequested())
        return;
    EndProgress();
    if (toolLogToStderr && colour != LogColour::ControllerBlue)
        err_ << text << Qt::endl;
    else
        out_ << text << Qt::endl;
}

void CliHost::TraceLine(const QString& text) {
    if (traceToStderr) {
        EndProgress();
        err_ << text << Qt::endl;
    }
}

void CliHost::ShowPanelMessage(bool, int, int, const QString& text) {
    EndProgress();
    out_ << text << Qt::endl;
}

} // namespace korvex
