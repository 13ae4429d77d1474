// What files dropped on the window mean: a configuration file opens as with the open button, a
// firmware file starts the firmware update with it, anything else is refused.
#pragma once

#include "text/TextPair.h"

#include <QList>
#include <QString>
#include <QUrl>

namespace korvex {

enum class DropKind { Configuration, Firmware, LinFirmware, Other };

struct DroppedFile {
    DropKind kind = DropKind::Other;
    QString path; // native separators, as the file dialogs give it; empty for Other
};

inline constexpr TextPair DropRefusedText{
    "Перетащите сюда один файл *.KSWA (конфигурация) или *.LDR (прошивка)",
    "Drop one *.KSWA file (configuration) or *.LDR file (firmware) here"};

// Said instead of any question when a LIN device's firmware is dropped on the window.
QString LinFirmwareDroppedText(const QString& path, int language);

// Asked before a dropped firmware file is flashed, since a drop may be an accident: the file,
// the connected controller's version (0: none is connected) and the file's; an unreadable file
// gives an empty text, and the update's own checks then refuse it.
QString DroppedFirmwareQuestion(const QString& path, unsigned controllerVersion, int language);

// Exactly one local file named *.KSWA, *.txt that starts as a configuration text, or *.LDR (the
// controller's or a LIN device's, told apart by its header), in any letter case; several files, a
// web address or another name are Other.
DroppedFile ClassifyDrop(const QList<QUrl>& urls);

} // namespace korvex
