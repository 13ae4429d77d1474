// The LIN programmer's own messages: lines of MemoLIN and boxes. Loading and checking a LIN file
// shares the firmware update's texts.
#pragma once

#include "text/TextPair.h"

namespace korvex::lintexts {

inline constexpr TextPair Error{"Ошибка:%d", "Error:%d"};
// The spaces align the values in the fixed-pitch memo.
inline constexpr TextPair ReadOk{"Прочитано успешно", "Read successfully"};
inline constexpr TextPair Serial{"Серийный номер    %lu", "The serial number   %lu"};
inline constexpr TextPair BootVersion{"Версия загрузчика %u.%02u", "Boot version        %u.%02u"};
inline constexpr TextPair AppVersion{"Версия приложения %u.%02u", "Application version %u.%02u"};
inline constexpr TextPair NoApp{"Версия приложения (Приложение не загружено)",
                                "Application version (application is not loaded)"};
inline constexpr TextPair DeviceType{"Тип устройства    %lu", "The device type     %lu"};
inline constexpr TextPair BoardType{"Тип платы         %lu", "The PCB type        %lu"};
inline constexpr TextPair NotRead{"Конфигурация устройства еще не считана по шине LIN",
                                  "The device config have not yet been read from the LIN bus"};
inline constexpr TextPair ParamLength{"Ошибка в длине параметров", "Error in parameter length"};
inline constexpr TextPair Recorded{"Записано успешно", "Recorded successfully"};
inline constexpr TextPair ImageSize{"Ошибка в размере файла", "File size error"};
// The main log's record of a flashing, which outlives the notice and the box.
inline constexpr TextPair FlashedLine{"Устройство LIN прошито, версия %u.%02u",
                                      "The LIN device is flashed to version %u.%02u"};
inline constexpr TextPair NotFlashedLine{"Устройство LIN не прошито: %s",
                                         "The LIN device is not flashed: %s"};
// A failed block is reported with its LIN code, not with a result text.
inline constexpr TextPair FlashFailed{"Ошибка обновления прошивки\n%d",
                                      "Failed to update the firmware\n%d"};

} // namespace korvex::lintexts
