// The main window: its frame and pages, the language switch, the settings at start and close,
// and the timer that drives the connection monitor. The toolbar's buttons and the panel menu are
// classes of their own; the work itself is done by the core (AppCore). This class shows state
// and forwards the user's actions.
#pragma once

#include "app/AppCore.h"
#include "app/ConnectionMonitor.h"
#include "app/FileArrivals.h"
#include "app/FileDialogs.h"
#include "app/OpenedFile.h"
#include "app/PanelMenu.h"
#include "app/QtTranslation.h"
#include "app/RecoveryCopy.h"
#include "app/ToolbarCommands.h"
#include "app/WindowHost.h"
#include "app/WorkGuard.h"
#include "config/ParameterPages.h"
#include "editor/EditorPanel.h"
#include "host/EditorViews.h"
#include "host/RequireController.h"
#include "text/TextPair.h"

#include <QLabel>
#include <QMainWindow>

#include <memory>

class QAction;
class QMenu;

namespace Ui {
class MainWindow;
}

namespace korvex {

class EditorPanel;
class EventCapture;
class FileDialogs;
class LibraryPage;
class LinProgPage;
class LogWindow;
class MainToolbar;
class OverviewPage;
class ParameterPages;
class PortFinder;
class SerialTransport;
class TextClipboard;
class UndoBar;
class WindowHost;
class WorkGuard;
struct AppCore;

class MainWindow final : public QMainWindow,
                         public MonitorView,
                         public CommandView,
                         public EditorViews {
    Q_OBJECT
public:
    // `titleNote` ends the title in parentheses: where the controller is looked for.
    MainWindow(SerialTransport& transport, PortFinder& finder, const QString& settingsPath,
               const QString& titleNote, QWidget* parent = nullptr);
    ~MainWindow() override;

    AppCore& core() { return *core_; }
    WindowHost& host() { return *host_; }
    ParameterPages& pages() { return *pages_; }
    QMenu& popupMenu() { return menu_->menu(); }
    EditorPanel& editor() { return *editor_; }
    FileDialogs& files() { return *files_; }
    EventCapture& capture() { return *capture_; }
    LogWindow& log() { return *log_; }
    UndoBar& undo() { return *undo_; }
    OverviewPage& overview() { return *overview_; }
    WorkGuard& guard() { return *guard_; }

    // Applies a language (1 English, anything else Russian) and returns the current one; -1
    // only returns it.
    int SetLanguage(int language);
    // The monitor tick; the timer calls it, tests may too.
    void TimerLUMAPADSCREENTestTimer();
    // False when a controller is connected; otherwise tells the user and returns true.
    bool RequireController() {
        return korvex::RequireController(core_->monitor, *host_, core_->language);
    }
    void UpdateTitle();
    void UpdateTabLabels() override { editor_->UpdateTabLabels(); }
    // A request to end from outside (SIGTERM and the like): closes as the user would, without a
    // question; open boxes and dialogs give way, a write in progress stops between frames.
    void CloseForSignal(int signalNumber);
    // A file given on the command line or handed over by a second start: the window comes to the
    // front and opens it as a dropped file, once no command or box is in the way.
    void OpenHandedFile(const QString& fileName) { arrivals_->Hand(fileName); }

    // MonitorView
    void SetStatusText(const QString& text) override { statusText_->setText(text); }
    void SetCurrentSource(bool enabled, const QString& caption) override;
    void SetToolbarBusy(bool busy) override;
    void ReadDeviceConfiguration() override { core_->commands.ReadDeviceConfiguration(); }
    // CommandView
    QString ChooseConfigFileToOpen() override { return files_->ChooseConfigFileToOpen(); }
    QString ChooseConfigFileToSave() override { return files_->ChooseConfigFileToSave(); }
    void RememberConfigFile(const QString& fileName) override {
        files_->RememberConfigFile(fileName);
    }
    void RefreshParameterPages() override { pages_->RefreshParameterPages(); }
    void InvalidateViews() override { korvex::InvalidateViews(core_->views); }
    void UpdateFirmware(const QString& fileName) override;
    // EditorViews
    void BeginScreenUpdate() override;
    void EndScreenUpdate() override;
    void ShowSelectedEntry() override { editor_->ShowSelectedEntry(); }
    void ApplyOnlyUsedView() override { editor_->ApplyOnlyUsedView(); }
    void FillLinReactionList() override { editor_->FillLinReactionList(); }
    void SetAutoCapture(bool on) override { editor_->SetAutoCapture(on); }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void ConnectPopupMenu();
    void ConnectToolbar();
    // The settings file, read once at start and written once at close.
    void ApplySettings();
    void StoreSettings();
    void SpeedButtonOnlyUsedxClick();
    void SaveLogToFile();
    // After an undo or redo: the views, and the entry it changed.
    void ShowUndoneImage(int entry);
    // What a desktop program is expected to have beyond the toolbar's keys and recent files:
    // the About box, dropped files, and the title naming the file.
    void ConnectHabits();
    // Work a kill or a crash left, given back as one step.
    void RestoreWork(const RecoveryCopy::Kept& kept);
    // The Library page and the window's paths it acts through.
    void ConnectLibrary(TextClipboard& clipboard);
    void LibraryLanguageChanged();
    // The title's mark of changes since the named file was opened or saved.
    void ShowModified();
    // Before an action replaces or drops the configuration: true when nothing of the user's
    // would be lost, or the user saved it or let it go; false leaves everything as it was.
    bool MayDropWork() { return guard_->MayReplace(); }
    // The language button and menu items: the switch reads the controller again, so work that
    // exists only in the window is asked about first.
    void SwitchLanguage(int language);

    std::unique_ptr<Ui::MainWindow> ui_;
    LanguageState language_;
    QtTranslation qtTexts_;
    QLabel* statusText_ = nullptr;
    QString settingsPath_;
    QString titleNote_;
    LogWindow* log_ = nullptr;
    WindowHost* host_ = nullptr;
    std::unique_ptr<AppCore> core_;
    ParameterPages* pages_ = nullptr;
    EditorPanel* editor_ = nullptr;
    LinProgPage* linProg_ = nullptr;
    std::unique_ptr<FileDialogs> files_;
    std::unique_ptr<EventCapture> capture_;
    UndoBar* undo_ = nullptr;
    OverviewPage* overview_ = nullptr;
    LibraryPage* library_ = nullptr;
    PanelMenu* menu_ = nullptr;
    std::unique_ptr<MainToolbar> toolbar_;
    OpenedFile openedFile_;
    std::unique_ptr<WorkGuard> guard_;
    FileArrivals* arrivals_ = nullptr;
    bool closed_ = false;
    bool quitting_ = false; // closing on a signal: nothing is asked
};

} // namespace korvex
