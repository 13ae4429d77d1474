// The messages of the toolbar commands, shared by the window and korvex-cli.
#pragma once

#include "text/TextPair.h"

#include <QDir>

namespace korvex::texts {

inline constexpr TextPair ReadDeviceError{
    "Ошибка чтения конфигурации из устройства\n%s\nОбновите ПО контроллера\n",
    "Error reading the configuration of the device\n%s\nUpdate controller software"};
inline constexpr TextPair WriteQuestion{"Вы действительно хотите\nзаписать данные в контроллер?",
                                        "Are you sure you want to write\ndata to the controller?"};
inline constexpr TextPair WriteDeviceError{"Ошибка записи конфигурации\n%s",
                                           "Error writing configuration\n%s"};
// After a failed write: what the controller may hold now, and the way back.
inline constexpr TextPair PartWrittenText{
    "Контроллер может теперь хранить часть новой конфигурации. Чтобы вернуть прежнюю, запишите "
    "конфигурацию еще раз или выполните korvex-cli write-config \"%s\"",
    "The controller may now hold part of the new configuration. To put back the one it had, "
    "write again, or run korvex-cli write-config \"%s\""};
inline constexpr TextPair PartWrittenNoSnapshotText{
    "Контроллер может теперь хранить часть новой конфигурации: запишите конфигурацию еще раз",
    "The controller may now hold part of the new configuration: write the configuration again"};
inline constexpr TextPair DefaultsQuestion{
    "Вы действительно хотите сбросить\nконфигурацию устройства\nв состояние по умолчанию?",
    "Are you sure you want to reset\nthe device configuration\nto its default state?"};
inline constexpr TextPair DefaultsError{
    "Ошибка сброса конфигурации устройства в состояние по умолчанию\n%s",
    "Failed to reset the device configuration in its default state\n%s"};
inline constexpr TextPair RestartError{"Ошибка сброса устройства\n%s",
                                       "Failed to reset the device\n%s"};
inline constexpr TextPair ConfigWritten{"Конфигурация записана", "The configuration is written"};
inline constexpr TextPair ConfigRead{"Конфигурация прочитана", "The configuration is read"};

} // namespace korvex::texts

namespace korvex {
// The line after a failed write, naming the snapshot to write back when there is one.
inline QString PartWrittenLine(const QString& snapshot, int language) {
    if (snapshot.isEmpty())
        return LangText(texts::PartWrittenNoSnapshotText, language);
    return LangFormat(texts::PartWrittenText, language,
                      QDir::toNativeSeparators(snapshot).toUtf8().constData());
}
} // namespace korvex
