// korvex-cli's firmware update.
#pragma once

#include <QString>
#include <QTextStream>

namespace korvex {

struct Options;
struct Session;

// The whole update from FILE; a question counts as Yes only with --yes. The controller's
// configuration is kept as a snapshot before the first byte is sent, unless --no-snapshot.
int CommandUpdateFirmware(Session& s, const Options& o, const QString& file, QTextStream& out,
                          QTextStream& err);

} // namespace korvex
