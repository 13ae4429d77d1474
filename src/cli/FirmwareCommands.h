// korvex-cli's firmware update.
#pragma once

#include <QString>
#include <QTextStream>

namespace korvex {

struct Session;

// The whole update from FILE; a question counts as Yes only with --yes.
int CommandUpdateFirmware(Session& s, const QString& file, QTextStream& out, QTextStream& err);

} // namespace korvex
