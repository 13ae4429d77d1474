// Lines from standard input without blocking the caller: a reader thread collects them.
#pragma once

#include <QStringList>

#include <functional>

namespace korvex::cli {

// Starts reading standard input (once) and returns the poll: the lines read since the last call;
// `closed` becomes true once the input has ended and every line has been handed out.
std::function<QStringList(bool& closed)> StandardInputLines();

} // namespace korvex::cli
