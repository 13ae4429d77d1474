// The toolbar's commands on the whole configuration and on the controller: what each locks,
// asks and shows, and which monitor state it leaves so that the monitor re-reads afterwards.
#pragma once

#include "config/ConfigImage.h"
#include "text/TextPair.h"

#include <QString>

#include <functional>

namespace korvex {

class ConfigTransfer;
class UiHost;
struct LanguageState;
struct MonitorState;

// What the commands need from the window.
class CommandView {
public:
    virtual ~CommandView() = default;
    virtual void SetToolbarBusy(bool busy) = 0;
    // Full file names; empty when the user cancelled.
    virtual QString ChooseConfigFileToOpen() = 0;
    virtual QString ChooseConfigFileToSave() = 0;
    virtual void RememberConfigFile(const QString& fileName) = 0;
    virtual void RefreshParameterPages() = 0;
    virtual void InvalidateViews() = 0;
    // The update with its dialogs and questions; with a file name its file dialog is not shown.
    virtual void UpdateFirmware(const QString& fileName) = 0;
};

class ToolbarCommands {
public:
    ToolbarCommands(MonitorState& monitor, ConfigImage& image, ConfigTransfer& transfer,
                    CommandView& view, UiHost& host, const LanguageState& language)
        : monitor_(monitor), image_(image), transfer_(transfer), view_(view), host_(host),
          language_(language) {}

    // The snapshot to name after a failed write; unset where none are kept.
    std::function<QString()> lastSnapshot;
    // Where the image now comes from: the file just opened or saved, the image then holding what
    // the window shows of it; or empty after a read from the controller. Unset where nothing
    // names the file.
    std::function<void(const QString& fileName)> configSource;

    // Asked before a command replaces what the window holds (a read, a file opened, the
    // defaults, a restart, a firmware update): false when the user keeps the window as it is (the
    // command then does nothing). Unset: nothing is asked.
    std::function<bool()> mayReplaceWork;
    // A text that only changes what it names is applied to the window's configuration, as a
    // paste is, not opened as one: true when the file was such a text (whatever came of it).
    std::function<bool(const QString& fileName)> applySnippet;

    // Shared with the monitor, which runs it for every newly connected controller.
    void ReadDeviceConfiguration();

    void SpeedButtonReadDeviceClick();
    void SpeedButtonWriteDeviceClick();
    void SpeedButtonToDefaultClick();
    void SpeedButtonResetClick();
    void SpeedButtonUpdateDeviceClick();
    void SpeedButtonWriteConfigClick(); // save to a file
    void SpeedButtonReadConfigClick();  // open a file
    // The save's work once the file is chosen; true when the file now holds the configuration.
    bool SaveConfigTo(const QString& fileName);

    // The open command from the chosen file on, for a file chosen elsewhere (the recent files,
    // a drop, a file handed over): a snippet is applied, anything else replaces the window's
    // configuration once work of its own was asked about.
    void OpenConfigFile(const QString& fileName);
    // The firmware update with a file chosen elsewhere (a drop); empty asks as the button does.
    void UpdateDevice(const QString& fileName);
    // The whole write of other bytes than the window's (a snapshot put back): the write question
    // with what they change on the controller, then `keepHeld` (a snapshot of what it holds),
    // then the write. The window holds them from the question on; a No gives it back its own.
    void WriteBytesToDevice(const ConfigBytes& bytes, const std::function<void()>& keepHeld);

private:
    // The write button's question and write; true when the user said Yes.
    bool AskAndWrite(const std::function<void()>& beforeWrite);
    // What the connected controller holds as far as we know (its last read and every write it
    // accepted since); null when its configuration was not read.
    const ConfigBytes* HeldByThisController() const;
    // Shows a failed command's first line and the result text; nothing for 0.
    void ReportFailure(int rc, const TextPair& firstLine);
    void NoteSource(const QString& fileName);
    void LoadConfigFrom(const QString& fileName);
    // The log's line of a device command: `done`, or `failed` with the result text.
    void LogResult(int rc, const TextPair& done, const TextPair& failed);
    void LogOpened(const QString& fileName);
    // The log's lines of the changes to `held` that the editor's rules made, not the user.
    void LogRuleMade(const ConfigBytes& held);
    // The "file not sent" notice goes once it is no longer true (a read, a write, another file).
    void ClearFileKept();

    MonitorState& monitor_;
    ConfigImage& image_;
    ConfigTransfer& transfer_;
    CommandView& view_;
    UiHost& host_;
    const LanguageState& language_;
    bool fileKeptShown_ = false;
};

} // namespace korvex
