// The messages of the toolbar commands, shared by the window and korvex-cli.
#pragma once

#include "text/TextPair.h"

namespace korvex::texts {

inline constexpr TextPair ReadDeviceError{
    "Ошибка чтения конфигурации из устройства\n%s\nОбновите ПО контроллера\n",
    "Error reading the configuration of the device\n%s\nUpdate controller software"};
inline constexpr TextPair WriteQuestion{"Вы действительно хотите\nзаписать данные в контроллер?",
                                        "Are you sure you want to write\ndata to the controller?"};
inline constexpr TextPair WriteDeviceError{"Ошибка записи конфигурации\n%s",
                                           "Error writing configuration\n%s"};
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
