// What korvex-cli says about its own use: the usage line after a usage error, and the table of
// options and commands of --help, in the chosen language.
#pragma once

#include <QString>

namespace korvex {

// One line, naming --help for the rest.
QString UsageLine(int language);
QString LinUsageLine(int language);
// The usage, then one line per option and per command, as the README's tables.
QString HelpText(int language);

} // namespace korvex
