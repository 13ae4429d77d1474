// Result codes of every operation on the controller, and their bilingual texts.
#pragma once

#include <QString>

namespace korvex {

namespace result {
constexpr int Ok = 0;
constexpr int BadLength = 7;     // length byte above 64, or a block read came up short
constexpr int BadWriteReply = 8; // write reply with a wrong offset or without a status
constexpr int BadReadReply = 9;  // read reply with the wrong command or offset
constexpr int BadFrame = 10;     // reply length above 64 or wrong check byte
constexpr int Disconnected = 12; // port not open, short write, or the application is closing
constexpr int Timeout = 13;      // no reply
constexpr int BadParams = -254;  // status 0xFE, or a write of more than 64 bytes asked for
constexpr int Failed = -253;     // status 0xFD
} // namespace result

QString ResultText(int code, int language);

} // namespace korvex
