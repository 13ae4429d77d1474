// The printable configuration sheet: a title block (the controller, the file, the date, the
// program), the parameter pages in words and the used entries, as plain text and as HTML that a
// printer or the PDF writer lays out on A4.
#pragma once

#include "sheet/ConfigOverview.h"

#include <QDateTime>
#include <QString>

namespace korvex {

struct SheetSource {
    QString fileName; // the file the configuration came from or went to; empty when none
    QDateTime when;   // the sheet's date, local time
};

QString SheetText(const ConfigOverview& overview, const SheetSource& source, int language);
QString SheetHtml(const ConfigOverview& overview, const SheetSource& source, int language);

} // namespace korvex
