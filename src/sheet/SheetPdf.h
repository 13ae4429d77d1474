// The sheet as a PDF on A4 with page numbers, laid out by QtGui's text document: no library but
// Qt's. Needs a QGuiApplication (the command-line tool makes one on the offscreen platform).
#pragma once

#include <QByteArray>
#include <QString>

namespace korvex {

QByteArray SheetPdf(const QString& html, const QString& title);

} // namespace korvex
