// korvex-cli's printable sheet of a configuration file or of the controller's configuration.
#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

namespace korvex {

struct Session;

// What is wrong with `sheet SOURCE OUT`, empty when nothing is.
QString SheetProblem(const QStringList& args, int language);

// Writes the sheet of SOURCE (a *.KSWA file or "device") to OUT as PDF, HTML or text, by OUT's
// extension; a failed write leaves OUT as it was.
int CommandSheet(Session& s, const QStringList& args, QTextStream& out, QTextStream& err);

// Whether the command line asks for the sheet as a PDF, which needs QtGui's fonts.
bool WantsSheetPdf(const QStringList& arguments);

} // namespace korvex
