// The toolbar commands.
#include "ToolbarCommands.h"

#include "config/ConfigDiff.h"
#include "config/ConfigFile.h"
#include "config/ConfigText.h"
#include "config/ConfigTransfer.h"
#include "host/CommandTexts.h"
#include "host/FileTexts.h"
#include "host/MonitorState.h"
#include "host/UiHost.h"
#include "link/ResultText.h"
#include "text/TextPair.h"

#include <QDir>

namespace korvex {

namespace {
constexpr TextPair SendFileQuestion{
    "Отправить изменения из файла в контроллер сейчас?\n"
    "Нет: файл останется в окне, а в контроллер ничего не уйдет до записи конфигурации.",
    "Send the changes of the file to the controller now?\n"
    "No: the file stays in the window and nothing is sent until the configuration is written."};
constexpr TextPair FileKeptText{
    "Файл не отправлен в контроллер: запишите конфигурацию в устройство, чтобы отправить его",
    "The file is not sent to the controller: write the configuration to the device to send it"};

// The log's record of each command's result, after the notice or the box, which fade or close.
constexpr TextPair ReadLine{"Конфигурация прочитана из контроллера",
                            "The configuration is read from the controller"};
constexpr TextPair NotReadLine{"Конфигурация не прочитана из контроллера: %s",
                               "The configuration is not read from the controller: %s"};
constexpr TextPair WrittenLine{"Конфигурация записана в контроллер",
                               "The configuration is written to the controller"};
constexpr TextPair NotWrittenLine{"Конфигурация не записана в контроллер: %s",
                                  "The configuration is not written to the controller: %s"};
constexpr TextPair DefaultsLine{"Конфигурация контроллера сброшена в состояние по умолчанию",
                                "The controller's configuration is reset to its defaults"};
constexpr TextPair NoDefaultsLine{"Конфигурация контроллера не сброшена: %s",
                                  "The controller's configuration is not reset: %s"};
constexpr TextPair RestartedLine{"Контроллер перезапущен", "The controller is restarted"};
constexpr TextPair NotRestartedLine{"Контроллер не перезапущен: %s",
                                    "The controller is not restarted: %s"};
constexpr TextPair SavedLine{"Конфигурация сохранена в файл \"%s\"",
                             "The configuration is saved to the file \"%s\""};
constexpr TextPair NotSavedLine{"Конфигурация не сохранена: %s",
                                "The configuration is not saved: %s"};
constexpr TextPair OpenedLine{"Открыт файл конфигурации \"%s\"",
                              "The configuration file \"%s\" is opened"};
constexpr TextPair RuleMadeLine{"Изменено правилами редактора, не вами: %s",
                                "Changed by the editor's rules, not by you: %s"};
constexpr TextPair NotOpenedLine{"Файл конфигурации не открыт: %s",
                                 "The configuration file is not opened: %s"};

// A box's text or a file name as one line of the log.
QByteArray OneLine(const QString& text) {
    return text.trimmed().replace(u'\n', QStringLiteral(": ")).toUtf8();
}

} // namespace

void ToolbarCommands::LogResult(int rc, const TextPair& done, const TextPair& failed) {
    const int lang = language_.current;
    if (rc == result::Ok)
        host_.LogLine(LangText(done, lang));
    else
        host_.LogLine(LangFormat(failed, lang, OneLine(ResultText(rc, lang)).constData()));
}

const ConfigBytes* ToolbarCommands::HeldByThisController() const {
    const ReadCopy& read = image_.lastRead;
    return read.valid && read.serial == monitor_.lastSerial ? &read.held : nullptr;
}

void ToolbarCommands::ReportFailure(int rc, const TextPair& firstLine) {
    if (rc == result::Ok)
        return;
    const QByteArray reason = ResultText(rc, language_.current).toUtf8();
    host_.ShowMessageBox(mb::IconError,
                         LangFormat(firstLine, language_.current, reason.constData()));
}

void ToolbarCommands::NoteSource(const QString& fileName) {
    if (configSource)
        configSource(fileName);
}

void ToolbarCommands::ReadDeviceConfiguration() {
    monitor_.commandInProgress = true;
    view_.SetToolbarBusy(true);
    const int rc = transfer_.ReadConfiguration();
    // Even a failed read has replaced the image.
    NoteSource(QString());
    ClearFileKept();
    ReportFailure(rc, texts::ReadDeviceError);
    LogResult(rc, ReadLine, NotReadLine);
    view_.SetToolbarBusy(false);
    monitor_.commandInProgress = false;
}

void ToolbarCommands::SpeedButtonReadDeviceClick() {
    if (mayReplaceWork && !mayReplaceWork())
        return;
    MonitorSuspension suspended(host_);
    view_.InvalidateViews();
    ReadDeviceConfiguration();
}

void ToolbarCommands::SpeedButtonWriteDeviceClick() {
    AskAndWrite({});
}

void ToolbarCommands::WriteBytesToDevice(const ConfigBytes& bytes,
                                         const std::function<void()>& keepHeld) {
    const ConfigBytes own = image_.bytes;
    const bool wasInSync = monitor_.imageInSync;
    // Nothing of it goes out by the live sending while the question is open.
    monitor_.imageInSync = false;
    image_.bytes = bytes;
    view_.InvalidateViews();
    if (!AskAndWrite(keepHeld)) {
        image_.bytes = own;
        monitor_.imageInSync = wasInSync;
    }
    view_.InvalidateViews();
    view_.RefreshParameterPages();
}

bool ToolbarCommands::AskAndWrite(const std::function<void()>& beforeWrite) {
    monitor_.commandInProgress = true;
    view_.SetToolbarBusy(true);
    // Below the question, what the write changes on the controller: edits already sent are no
    // longer changes, values the display filled in but never sent still are.
    QString question = LangText(texts::WriteQuestion, language_);
    const ConfigBytes* held = HeldByThisController();
    if (held != nullptr)
        question += QStringLiteral("\n\n") + ChangeSummary(*held, image_.bytes, language_.current);
    const int answer = host_.ShowMessageBox(mb::IconQuestion | mb::DefButton2, question);
    if (answer == mb::IdYes) {
        const ConfigBytes before = held != nullptr ? *held : image_.bytes;
        if (beforeWrite)
            beforeWrite();
        const int rc = transfer_.WriteConfiguration();
        if (rc == result::Ok)
            ClearFileKept();
        ReportFailure(rc, texts::WriteDeviceError);
        LogResult(rc, WrittenLine, NotWrittenLine);
        if (rc == result::Ok)
            LogRuleMade(before);
        if (rc != result::Ok)
            host_.LogLine(
                PartWrittenLine(lastSnapshot ? lastSnapshot() : QString(), language_.current));
    }
    view_.SetToolbarBusy(false);
    monitor_.commandInProgress = false;
    return answer == mb::IdYes;
}

void ToolbarCommands::SpeedButtonToDefaultClick() {
    // The controller is read again whatever the defaults' answer: work of the window's own is
    // asked about first.
    if (mayReplaceWork && !mayReplaceWork())
        return;
    monitor_.commandInProgress = true;
    view_.SetToolbarBusy(true);
    const int rc = transfer_.ResetToDefaults();
    ReportFailure(rc, texts::DefaultsError);
    if (transfer_.resetAnswered())
        LogResult(rc, DefaultsLine, NoDefaultsLine);
    view_.SetToolbarBusy(false);
    // Also after a declined question: what the controller holds is read again either way.
    monitor_.imageInSync = false;
    monitor_.lastSerial = 0;
    monitor_.commandInProgress = false;
}

void ToolbarCommands::SpeedButtonResetClick() {
    if (mayReplaceWork && !mayReplaceWork())
        return;
    monitor_.commandInProgress = true;
    monitor_.imageInSync = false;
    monitor_.lastSerial = 0;
    view_.SetToolbarBusy(true);
    const int rc = transfer_.RestartDevice();
    ReportFailure(rc, texts::RestartError);
    LogResult(rc, RestartedLine, NotRestartedLine);
    view_.SetToolbarBusy(false);
    monitor_.commandInProgress = false;
}

void ToolbarCommands::SpeedButtonUpdateDeviceClick() {
    UpdateDevice(QString());
}

void ToolbarCommands::UpdateDevice(const QString& fileName) {
    if (mayReplaceWork && !mayReplaceWork())
        return;
    monitor_.commandInProgress = true;
    view_.SetToolbarBusy(true);
    view_.UpdateFirmware(fileName);
    view_.SetToolbarBusy(false);
    monitor_.imageInSync = false;
    monitor_.lastSerial = 0;
    monitor_.commandInProgress = false;
}

void ToolbarCommands::SpeedButtonWriteConfigClick() {
    view_.SetToolbarBusy(true);
    const QString fileName = view_.ChooseConfigFileToSave();
    if (!fileName.isEmpty())
        SaveConfigTo(fileName);
    view_.SetToolbarBusy(false);
}

bool ToolbarCommands::SaveConfigTo(const QString& fileName) {
    QString error;
    {
        MonitorSuspension suspended(host_);
        error = SaveConfigFile(fileName, image_, host_, language_.current).error;
        if (error.isEmpty()) {
            view_.RememberConfigFile(fileName);
            NoteSource(fileName);
        }
    }
    // A file that cannot be written ends the command with its message; the toolbar comes back
    // all the same, so the user can try another place.
    if (!error.isEmpty()) {
        host_.ShowMessageBox(mb::IconError, error);
        host_.LogLine(LangFormat(NotSavedLine, language_.current, OneLine(error).constData()));
        return false;
    }
    host_.ShowPanelMessage(false, 2500, 250, LangText(texts::ConfigWritten, language_));
    host_.LogLine(LangFormat(SavedLine, language_.current,
                             OneLine(QDir::toNativeSeparators(fileName)).constData()));
    return true;
}

void ToolbarCommands::SpeedButtonReadConfigClick() {
    view_.SetToolbarBusy(true);
    const QString fileName = view_.ChooseConfigFileToOpen();
    if (fileName.isEmpty()) {
        view_.SetToolbarBusy(false);
        return;
    }
    OpenConfigFile(fileName);
}

void ToolbarCommands::OpenConfigFile(const QString& fileName) {
    if (applySnippet && IsConfigTextName(fileName) && applySnippet(fileName)) {
        view_.SetToolbarBusy(false);
        return;
    }
    if (mayReplaceWork && !mayReplaceWork()) {
        view_.SetToolbarBusy(false);
        return;
    }
    LoadConfigFrom(fileName);
}

void ToolbarCommands::LoadConfigFrom(const QString& fileName) {
    view_.SetToolbarBusy(true);
    const bool wasInSync = monitor_.imageInSync;
    monitor_.imageInSync = false;
    bool loaded = false;
    QString why; // the wrong line of a text
    {
        MonitorSuspension suspended(host_);
        loaded = LoadConfigFile(fileName, image_, host_, &why, language_.current);
        if (loaded)
            view_.RememberConfigFile(fileName);
    }
    if (!loaded) {
        // Nothing changed: the image, its sending and the remembered directory stay as they were.
        monitor_.imageInSync = wasInSync;
        const QString error = FileMessage(texts::ReadFileError, language_.current, fileName);
        host_.ShowMessageBox(mb::IconError,
                             why.isEmpty() ? error : error + QLatin1Char('\n') + why);
        host_.LogLine(LangFormat(NotOpenedLine, language_.current, OneLine(error).constData()));
        view_.SetToolbarBusy(false);
        return;
    }
    view_.SetToolbarBusy(false);
    view_.RefreshParameterPages();
    ClearFileKept();
    // Kept in the window whatever the answer below.
    NoteSource(fileName);
    // A controller whose configuration we know would get the file at the next tick: the user sees
    // what changes and may keep the file in the window only.
    const ConfigBytes* held = monitor_.controllerConnected ? HeldByThisController() : nullptr;
    if (held != nullptr && *held != image_.bytes) {
        const QString question = LangText(SendFileQuestion, language_) + QStringLiteral("\n\n") +
                                 ChangeSummary(*held, image_.bytes, language_.current);
        if (host_.ShowMessageBox(mb::IconQuestion | mb::DefButton2, question) != mb::IdYes) {
            host_.ShowPanelMessage(false, 0, 0, LangText(FileKeptText, language_));
            fileKeptShown_ = true;
            LogOpened(fileName);
            LogRuleMade(*held);
            host_.LogLine(LangText(FileKeptText, language_));
            return;
        }
    }
    // From here the live sending hands the loaded configuration to a connected controller.
    monitor_.imageInSync = true;
    host_.ShowPanelMessage(false, 2500, 250, LangText(texts::ConfigRead, language_));
    LogOpened(fileName);
    if (held != nullptr)
        LogRuleMade(*held);
}

void ToolbarCommands::LogRuleMade(const ConfigBytes& held) {
    for (const QString& line : RuleMadeChanges(held, image_.bytes, language_.current))
        host_.LogLine(LangFormat(RuleMadeLine, language_.current, line.toUtf8().constData()));
}

void ToolbarCommands::ClearFileKept() {
    if (fileKeptShown_)
        host_.ClearPanelMessage();
    fileKeptShown_ = false;
}

void ToolbarCommands::LogOpened(const QString& fileName) {
    host_.LogLine(LangFormat(OpenedLine, language_.current,
                             OneLine(QDir::toNativeSeparators(fileName)).constData()));
}

} // namespace korvex
