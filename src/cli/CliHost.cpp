// Where the command-line tool puts what the window would show.
#include "CliHost.h"

#include <QCoreApplication>

namespace korvex {

int CliHost::ShowMessageBox(unsigned flags, const QString& text) {
    const unsigned icon = flags & 0xF0;
    const bool question =
        icon == mb::IconQuestion || icon == mb::IconWarning || (flags & mb::YesNo);
    // A question answered by --yes needs no showing; one answered No says why nothing happened.
    if (!(question && assumeYes))
        err_ << text << Qt::endl;
    if (question)
        return assumeYes ? mb::IdYes : mb::IdNo;
    return mb::IdOk;
}

void CliHost::ProcessEvents() {
    if (QCoreApplication::instance() != nullptr)
        QCoreApplication::processEvents();
}

void CliHost::LogLineColored(LogColour, const QString& text) {
    out_ << text << Qt::endl;
}

void CliHost::TraceLine(const QString& text) {
    if (traceToStderr)
        err_ << text << Qt::endl;
}

void CliHost::ShowPanelMessage(bool, int, int, const QString& text) {
    out_ << text << Qt::endl;
}

} // namespace korvex
