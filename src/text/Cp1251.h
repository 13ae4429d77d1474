// Code page 1251, the code page of tab names and of the controller's terminal text.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <optional>

namespace korvex {

// Tab names are single bytes in code page 1251, the code page of the files our users exchange.
QString DecodeCp1251(QByteArrayView bytes);
// The bytes of a text in code page 1251; nothing for a text with a character outside it (or a
// zero character, which would end the name early).
std::optional<QByteArray> EncodeCp1251(QStringView text);

} // namespace korvex
