// Replacing the controller's application firmware through its bootloader: the identity read, the
// file and device checks, the version questions, the hand-over to the bootloader and the write.
#pragma once

#include "FirmwareFile.h"
#include "link/IdentityRecord.h"

#include <QString>

#include <functional>

namespace korvex {

class DeviceLink;
class UiHost;
struct LanguageState;
struct MonitorState;

enum class FirmwareOutcome {
    Updated,  // the whole image was written
    NoFile,   // no file was chosen
    Refused,  // the identity read, the file or a device check failed; nothing was written
    Declined, // a version question was not answered Yes; nothing was written
    Failed,   // the transfer failed
};

// What one update works with. The window fills the three functions from its dialogs and toolbar,
// the command-line tool from its argument; only the chooser is required.
struct FirmwareContext {
    FirmwareContext(DeviceLink& link, UiHost& host, MonitorState& monitor,
                    const LanguageState& language)
        : link(link), host(host), monitor(monitor), language(language) {}

    DeviceLink& link;
    UiHost& host;
    MonitorState& monitor;
    const LanguageState& language;

    // The full name of the firmware file, or empty when the user cancelled.
    std::function<QString()> chooseFirmwareFile;
    // Keeps the chosen file for the next choice.
    std::function<void(const QString&)> rememberFirmwareFile;
    // The toolbar's busy state once the transfer is about to start.
    std::function<void(bool)> setToolbarBusy;
    // Runs once the update is confirmed, before its first byte is sent; false stops the update
    // there, with nothing sent.
    std::function<bool()> beforeWrite;

    // The window's log keeps a line with the result and the window says the way back after a
    // failed transfer; the command-line tool prints its own.
    bool logResult = false;
    // The text of the last error box, its lines joined, for that line.
    QString lastError;

    // True once a failed or interrupted transfer has left the controller without its
    // application, in its bootloader (BootloaderLeftText says so and names the way back).
    bool leftInBootloader = false;
    QString path; // the file chosen

    FirmwareFile file;
    IdentityRecord updateIdentity; // the update's own copy of the identity
};

// The whole operation, as the toolbar button runs it.
FirmwareOutcome UpdateFirmware(FirmwareContext& ctx);
// What the controller runs after a failed transfer, and `wayBack`, the same update again.
QString BootloaderLeftMessage(const FirmwareContext& ctx, const QString& wayBack);
// Reads and checks the file into ctx.file against ctx.updateIdentity; every failure has been
// shown in an error box.
bool LoadFirmwareFile(FirmwareContext& ctx, const QString& path);
// Compares, asks and writes; runs after a successful load.
FirmwareOutcome FlashFirmware(FirmwareContext& ctx);

} // namespace korvex
