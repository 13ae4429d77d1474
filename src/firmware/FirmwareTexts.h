// The messages and log lines of the firmware update, shared by the window and korvex-cli.
#pragma once

#include "FirmwareFile.h"
#include "text/TextPair.h"

namespace korvex::texts::firmware {

inline constexpr TextPair ReadIdentityError{"Ошибка чтения конфигурации устройства\n%s",
                                            "Error reading the device configuration\n%s"};
inline constexpr TextPair OpenError{"Ошибка открытия файла \"%s%s\"",
                                    "Error opening file \"%s%s\""};
inline constexpr TextPair SizeError{"Ошибка размера файла \"%s%s\"", "Error file size \"%s%s\""};
inline constexpr TextPair ReadError = texts::ReadFileError;
// Why a file within the size limit is refused all the same.
inline constexpr TextPair UnaddressableText{
    "Образ с хвостом передачи должен кончаться в 16-битных адресах: файл не больше %d байт",
    "The image and its transfer trailer must end within 16-bit addresses: at most %d bytes"};
inline constexpr TextPair FileError{"Ошибка файла \"%s%s\"", "Error in file \"%s%s\""};
// The box for a file the loader refused.
constexpr const TextPair& LoadErrorText(FirmwareFileError error) {
    switch (error) {
    case FirmwareFileError::Open:
        return OpenError;
    case FirmwareFileError::Size:
        return SizeError;
    case FirmwareFileError::Read:
        return ReadError;
    default:
        return FileError;
    }
}
// The spaces align the values in the fixed-pitch log window.
inline constexpr TextPair UpdateHeader{"**************** Обновление ****************",
                                       "******************* Update *******************"};
inline constexpr TextPair UpdateFileLine{"Файл обновления   \"%s%s\"",
                                         "The update file           \"%s%s\""};
inline constexpr TextPair ImageVersionLine{"Версия приложения %u.%02u",
                                           "Application version       %u.%02u"};
inline constexpr TextPair WrongSerial{"Обновление не для этого серийного номера устройства",
                                      "No update for this serial number"};
inline constexpr TextPair WrongType{"Это обновление не для данного устройства",
                                    "This update is not for this device"};
inline constexpr TextPair SameVersion{
    "Вы пытаетесь загрузить такую же версию как и в устройстве\nПродолжаем?",
    "Are you trying to download the same version as in the device\nContinue?"};
inline constexpr TextPair OlderVersion{
    "Вы пытаетесь загрузить более старую версию, чем в устройстве\nПродолжаем?",
    "Are you trying to download an older version than the device\nContinue?"};
inline constexpr TextPair ProgressCaption{"Обновление программного обеспечения", "Firmware update"};
inline constexpr TextPair UpdateError{"Ошибка обновления прошивки\n%s",
                                      "Failed to update the firmware\n%s"};
inline constexpr TextPair Updated{"Устройство обновлено до версии %u.%02u",
                                  "The device is updated to version %u.%02u"};
// The log's record of the result, which outlives the notice and the box.
inline constexpr TextPair UpdatedLine{"ПО контроллера обновлено до версии %u.%02u",
                                      "The controller's firmware is updated to version %u.%02u"};
// After a failed or interrupted transfer the application is gone but the bootloader stays, and
// the same update run again starts writing at once: the user must know the way back.
inline constexpr TextPair BootloaderLeftText{
    "В контроллере теперь работает загрузчик, без приложения. То же обновление, запущенное "
    "снова, вернет приложение: %s",
    "The controller now runs its bootloader, without its application. The same update, run "
    "again, puts an application back: %s"};
inline constexpr TextPair WindowUpdateAgain{"кнопка \"Обновление ПО устройства\" и файл \"%s\"",
                                            "the button \"Firmware update\" and the file \"%s\""};
inline constexpr TextPair NotUpdatedLine{"ПО контроллера не обновлено: %s",
                                         "The controller's firmware is not updated: %s"};

} // namespace korvex::texts::firmware
