// The main window.
#include "MainWindow.h"

#include "ui_MainWindow.h"

#include "app/AboutBox.h"
#include "app/KeyboardAccess.h"
#include "app/MainToolbar.h"
#include "app/OverviewPage.h"
#include "app/PanelMenu.h"
#include "app/TextClipboard.h"
#include "app/ToolbarKeys.h"
#include "app/UndoBar.h"
#include "config/ConfigFile.h"
#include "firmware/FirmwareUpdate.h"
#include "host/TextFile.h"
#include "lin/LinProgPage.h"
#include "link/LogWindow.h"
#include "link/Notifications.h"
#include "link/Terminal.h"
#include "link/TerminalInput.h"
#include "text/ApplyLanguageTable.h"
#include "text/LanguageTable.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QMenu>
#include <QTimer>

namespace korvex {

namespace {
constexpr TextPair TitleText{"Программа настройки KORVEX-SWC-ADP. Версия %s",
                             "Setup program KORVEX-SWC-ADP. Version %s"};
constexpr TextPair OverviewCaption{"Обзор", "Overview"};
constexpr TextPair CurrentSourceHint{"Текущий номер выбранного источника",
                                     "Current number of the selected source"};
constexpr TextPair LogName{"Журнал", "Log"};
constexpr TextPair TerminalInputName{"Строка для контроллера", "Line to the controller"};
constexpr TextPair SignalCloseLine{"Программа закрывается по сигналу %d",
                                   "The program is closing on signal %d"};
} // namespace

MainWindow::MainWindow(SerialTransport& transport, PortFinder& finder, const QString& settingsPath,
                       const QString& titleNote, QWidget* parent)
    : QMainWindow(parent), ui_(std::make_unique<Ui::MainWindow>()), settingsPath_(settingsPath),
      titleNote_(titleNote) {
    ui_->setupUi(this);
    statusText_ = new QLabel(this);
    statusText_->setObjectName(QStringLiteral("StatusBarPanelx"));
    statusText_->setMinimumWidth(400);
    ui_->StatusBar->addWidget(statusText_, 1);
    QSizePolicy keep = ui_->PanelMenu->sizePolicy();
    keep.setRetainSizeWhenHidden(true);             // blinking must not shake the toolbar
    keep.setHorizontalPolicy(QSizePolicy::Ignored); // nor a long notice: it is cut short
    ui_->PanelMenu->setSizePolicy(keep);
    ui_->SplitterTerminal->setStretchFactor(0, 1);
    ui_->SplitterTerminal->setStretchFactor(1, 0);

    log_ = new LogWindow(ui_->RichEditRX, language_);
    host_ = new WindowHost(this, ui_->PanelMenu, statusText_, *log_, language_);
    core_ = std::make_unique<AppCore>(language_, transport, finder, *host_, *this, *this);
    core_->transfer.refreshViews = [this] {
        InvalidateViews();
        RefreshParameterPages();
        undo_->RestartAfterRead();
    };
    guard_ = std::make_unique<WorkGuard>(core_->image, core_->monitor, openedFile_, *host_,
                                         core_->language);
    guard_->sendPending = [this] { core_->connection.SendChangedBytes(); };
    guard_->saveTo = [this](const QString& file) { return core_->commands.SaveConfigTo(file); };
    guard_->saveAs = [this] { core_->commands.SpeedButtonWriteConfigClick(); };
    guard_->restore = [this](const RecoveryCopy::Kept& kept) { RestoreWork(kept); };
    files_ = std::make_unique<FileDialogs>(this, settingsPath_, *host_, core_->language);
    menu_ = new PanelMenu(this, ui_->PanelMenu);
    ConnectPopupMenu();
    editor_ = new EditorPanel({core_->image, core_->views, *host_, core_->language, *this,
                               menu_->onlyUsed, ui_->SpeedButtonOnlyUsedx, ui_->PageControlParams},
                              this);
    ui_->SplitterParametersx->insertWidget(0, editor_);
    capture_ = std::make_unique<EventCapture>(core_->link.frames, core_->image, core_->monitor,
                                              *host_, core_->language, *editor_);
    core_->connection.showKeyPress = [this] { return capture_->ShowKeyPress(); };
    core_->connection.autoCaptureStep = [this] { capture_->AutoCaptureStep(); };
    core_->connection.doctor = SystemDoctor(finder);
    editor_->captureOnClick = [this] { capture_->CaptureEventOnClick(); };
    editor_->openKeysMenu = [this](QPoint at) {
        log_->OpenKeysMenu(LogWindow::ContextEventPanel, at);
    };
    log_->onAutoCaptureOn = [this] { SetAutoCapture(true); };
    log_->onSaveToFile = [this] { SaveLogToFile(); };
    new TerminalInput(ui_->MemoTX, [this](const QString& line) {
        core_->terminal.SendTerminalLine(line);
        // The answer is fetched at once, not at the next slow tick.
        host_->monitorTimer().setInterval(core_->connection.interval());
    });
    ui_->SplitterParametersx->setStretchFactor(0, 0);
    ui_->SplitterParametersx->setStretchFactor(1, 1);
    pages_ = new ParameterPages(ui_->PageControlParams, core_->image, core_->views, *this, *host_,
                                core_->language, this);
    linProg_ = new LinProgPage(
        pages_->linProgPage(), core_->link, *host_, core_->language,
        [this] { return files_->ChooseFirmwareFile(); },
        [this](const QString& file) { files_->RememberFirmwareFile(file); }, this);
    host_->onMonitorTick = [this] { TimerLUMAPADSCREENTestTimer(); };

    ConnectToolbar();
    // Undo and redo follow the language button, before the spacer that ends the buttons.
    undo_ = new UndoBar(core_->image.bytes, ui_->MainToolBarLayout,
                        ui_->MainToolBarLayout->indexOf(ui_->SpeedButtonLangx) + 1, this,
                        core_->language);
    undo_->showImage = [this](int entry) { ShowUndoneImage(entry); };
    overview_ = new OverviewPage(core_->image, core_->language, ui_->PageControlMain);
    ui_->PageControlMain->addTab(overview_, LangText(OverviewCaption, core_->language));
    overview_->identity = [this]() -> const IdentityRecord* {
        return core_->monitor.controllerConnected ? &core_->identity : nullptr;
    };
    overview_->fileName = [this] { return openedFile_.FileName(); };
    overview_->showError = [this](const QString& text) {
        host_->ShowMessageBox(mb::IconError, text);
    };
    // The sheet from the panel menu too, and its keys wherever the window is.
    connect(menu_->print, &QAction::triggered, overview_, &OverviewPage::Print);
    connect(menu_->exportSheet, &QAction::triggered, overview_, &OverviewPage::Export);
    auto* clipboard = new TextClipboard(core_->image, *host_, core_->language, this);
    clipboard->identity = overview_->identity;
    core_->commands.applySnippet = [clipboard](const QString& file) {
        return clipboard->ApplySnippetFile(file);
    };
    overview_->mayReplaceFile = [this](const QString& file) {
        return MayReplaceFile(*host_, file, core_->language.current);
    };
    clipboard->applied = [this] {
        ShowUndoneImage(-1);
        undo_->Record(); // the whole paste is one step
        undo_->UpdateButtons();
    };
    connect(menu_->copyText, &QAction::triggered, clipboard, &TextClipboard::Copy);
    connect(menu_->pasteText, &QAction::triggered, clipboard, &TextClipboard::Paste);
    overview_->showEntry = [this](int entry) {
        ui_->PageControlMain->setCurrentIndex(1);
        editor_->ClickTab(entry);
    };
    ConnectLibrary(*clipboard);
    ConnectHabits();
    new KeyboardAccess(this);

    // The main initialisation, in its order.
    ApplySettings();
    setMinimumSize(720, 513);
    menu_->ShowDebugItems();
    core_->identity.clear();
    core_->image = ConfigImage{};
    editor_->InitTabs();
    ui_->PageControlParams->setCurrentIndex(0);
    SetToolbarBusy(false);
    host_->ResumeMonitor();
    RefreshParameterPages();
    undo_->history().Restart();
    undo_->UpdateButtons();
    openedFile_.Take(QString(), core_->image.bytes); // what a fresh start holds is nobody's work
}

MainWindow::~MainWindow() {
    host_->StopAll();
}

void MainWindow::ConnectPopupMenu() {
    connect(menu_->debug, &QAction::triggered, this, [this] { menu_->ShowDebugItems(); });
    connect(menu_->log, &QAction::toggled, this,
            [this](bool on) { core_->link.state.traceEnabled = on; });
    connect(menu_->onlyUsed, &QAction::triggered, this, [this] { ApplyOnlyUsedView(); });
    connect(menu_->russian, &QAction::triggered, this, [this] { SwitchLanguage(LangRussian); });
    connect(menu_->english, &QAction::triggered, this, [this] { SwitchLanguage(LangEnglish); });
}

void MainWindow::ConnectToolbar() {
    toolbar_ = std::make_unique<MainToolbar>(this, *ui_, core_->commands, settingsPath_, *host_,
                                             core_->language);
    connect(ui_->SpeedButtonOnlyUsedx, &QToolButton::clicked, this,
            [this] { SpeedButtonOnlyUsedxClick(); });
    connect(ui_->SpeedButtonLangx, &QToolButton::clicked, this, [this] {
        SwitchLanguage(core_->language.current == LangRussian ? LangEnglish : LangRussian);
    });
    connect(ui_->SpeedButtonLanguageMakerx, &QToolButton::clicked, this,
            [this] { SwitchLanguage(LangRussian); });
}

void MainWindow::SwitchLanguage(int language) {
    // Without a controller nothing is read again, and nothing is lost.
    if (core_->monitor.controllerConnected && !MayDropWork())
        return;
    SetLanguage(language);
}

void MainWindow::CloseForSignal(int signalNumber) {
    if (closed_ || quitting_)
        return;
    quitting_ = true;
    host_->SetUnattended(); // nobody is asked to answer anything from here on
    guard_->KeepWorkNow();
    host_->LogLine(LangFormat(SignalCloseLine, core_->language.current, signalNumber));
    // Their loops end first; the close follows from whichever loop runs next, between frames of
    // a write that is running.
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* dialog = qobject_cast<QDialog*>(widget); dialog && dialog->isVisible())
            dialog->reject();
    QTimer::singleShot(0, this, [this] { close(); });
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!closed_ && !quitting_ && !MayDropWork()) {
        event->ignore();
        return;
    }
    if (!closed_) {
        closed_ = true;
        if (quitting_)
            guard_->KeepWorkNow(); // as it is when the window ends
        else
            guard_->DropRecovery();
        host_->BeginClosing();
        core_->link.state.appClosing = true;
        host_->WaitMs(100, true);
        core_->link.serial.ComClose();
        host_->WaitMs(100, true);
        StoreSettings();
        host_->StopAll();
    }
    event->accept();
}

void MainWindow::SpeedButtonOnlyUsedxClick() {
    menu_->onlyUsed->setChecked(!menu_->onlyUsed->isChecked());
    InvalidateViews();
    ApplyOnlyUsedView();
}

int MainWindow::SetLanguage(int language) {
    LanguageState& state = core_->language;
    if (language == -1)
        return state.current;
    state.current = language == LangEnglish ? LangEnglish : LangRussian;
    undo_->Record(); // what the user changed before, as its own step
    const bool english = state.current == LangEnglish;
    // The button names the language it switches to.
    ui_->SpeedButtonLangx->setText(english ? QStringLiteral("RU") : QStringLiteral("EN"));
    qtTexts_.Follow(state.current);
    // The monitor announces the controller again in the new language and re-reads it; an edit
    // not yet sent would be read over, so it goes out first.
    core_->connection.SendChangedBytes();
    core_->monitor.controllerConnected = false;
    // The device buttons wait for the next successful poll; a command still running (its file
    // buttons are off) keeps the toolbar busy.
    SetToolbarBusy(!ui_->SpeedButtonReadConfig->isEnabled());
    BeginScreenUpdate();
    InvalidateViews();
    ApplyLanguageTable(MainFormLanguageTable, this, state.current);
    toolbar_->keys().ShowKeysInHints();
    menu_->LanguageChanged(state.current);
    editor_->currentSourcePanel()->setToolTip(LangText(CurrentSourceHint, state));
    editor_->currentSourcePanel()->setText(LangText(SelectedUnknownText, state));
    editor_->LanguageChanged();
    pages_->LanguageChanged();
    RefreshParameterPages();
    UpdateTitle();
    EndScreenUpdate();
    undo_->Rebase();
    undo_->UpdateButtons();
    ui_->PageControlMain->setTabText(ui_->PageControlMain->indexOf(overview_),
                                     LangText(OverviewCaption, state));
    overview_->LanguageChanged();
    LibraryLanguageChanged();
    // What screen readers say follows the language; the log and the terminal input share a page.
    ui_->RichEditRX->setAccessibleName(LangText(LogName, state));
    ui_->MemoTX->setAccessibleName(LangText(TerminalInputName, state));
    NameControls(this);
    return state.current;
}

void MainWindow::UpdateTitle() {
    QString title = LangFormat(TitleText, core_->language.current, KORVEX_VERSION_TEXT);
    if (!titleNote_.isEmpty())
        title += QStringLiteral(" (%1)").arg(titleNote_);
    setWindowTitle(title + openedFile_.TitleSuffix());
    ShowModified();
}

void MainWindow::ShowModified() {
    setWindowModified(openedFile_.Modified(core_->image.bytes));
}

void MainWindow::TimerLUMAPADSCREENTestTimer() {
    // An action that ended in a dialog is taken before the tick sends it; what the tick itself
    // changed (an automatic capture, a read) after it.
    undo_->Record();
    core_->connection.Tick();
    undo_->Record();
    guard_->WatchWork();
    // A handed file opens after the tick that found (and read) a controller, not before it.
    arrivals_->OpenHanded();
    overview_->Refresh();
    host_->monitorTimer().setInterval(core_->connection.interval());
    ShowModified(); // edits made since the last tick
}

void MainWindow::SaveLogToFile() {
    const QString file = files_->ChooseLogFileToSave();
    if (!file.isEmpty())
        SaveTextFile(file, log_->PlainText(), *host_, core_->language.current);
}

void MainWindow::ShowUndoneImage(int entry) {
    BeginScreenUpdate();
    if (entry >= 0 && entry != editor_->selectedEntry())
        editor_->SelectTab(entry);
    InvalidateViews();
    RefreshParameterPages();
    UpdateTabLabels();
    ShowSelectedEntry();
    EndScreenUpdate();
}

void MainWindow::SetCurrentSource(bool enabled, const QString& caption) {
    editor_->currentSourcePanel()->setEnabled(enabled);
    editor_->currentSourcePanel()->setText(caption);
}

void MainWindow::SetToolbarBusy(bool busy) {
    const bool filesFree = toolbar_->ShowBusy(busy, core_->monitor.controllerConnected);
    if (undo_ != nullptr)
        undo_->SetBusy(!filesFree);
}

void MainWindow::UpdateFirmware(const QString& fileName) {
    FirmwareContext update(core_->link, *host_, core_->monitor, core_->language);
    update.chooseFirmwareFile = [this, fileName] {
        return fileName.isEmpty() ? files_->ChooseFirmwareFile() : fileName;
    };
    update.rememberFirmwareFile = [this](const QString& file) {
        files_->RememberFirmwareFile(file);
    };
    update.setToolbarBusy = [this](bool busy) { SetToolbarBusy(busy); };
    update.logResult = true;
    update.beforeWrite = [this] {
        core_->snapshots.KeepLastRead(); // the update goes on whether it was kept or not
        return true;
    };
    korvex::UpdateFirmware(update);
}

void MainWindow::BeginScreenUpdate() {
    if (core_->views.screenUpdateDepth++ == 0)
        setUpdatesEnabled(false);
}

void MainWindow::EndScreenUpdate() {
    int& depth = core_->views.screenUpdateDepth;
    if (depth == 0)
        return;
    if (--depth == 0) {
        setUpdatesEnabled(true);
        update();
    }
}

void MainWindow::RestoreWork(const RecoveryCopy::Kept& kept) {
    // Kept in the window as a file not sent, with the file it came from (when it still reads).
    core_->monitor.imageInSync = false;
    ConfigImage source;
    const bool read = !kept.source.isEmpty() && LoadConfigFile(kept.source, source, *host_);
    openedFile_.Take(kept.source, read ? source.bytes : core_->image.bytes);
    core_->image.bytes = kept.bytes;
    ShowUndoneImage(-1);
    undo_->Record(); // one step
    undo_->UpdateButtons();
    UpdateTitle();
}

void MainWindow::ConnectHabits() {
    const auto about = [this] {
        ShowAboutBox(this, *host_, settingsPath_, core_->language.current);
    };
    toolbar_->keys().Bind(QKeySequence(Qt::Key_F1), about);
    connect(menu_->about, &QAction::triggered, this, about);

    arrivals_ = new FileArrivals(this, *core_, *host_, [this] {
        return core_->monitor.commandInProgress || !ui_->SpeedButtonReadConfig->isEnabled();
    });
    core_->commands.mayReplaceWork = [this] { return MayDropWork(); };
    core_->commands.configSource = [this](const QString& fileName) {
        openedFile_.Take(fileName, core_->image.bytes);
        UpdateTitle();
    };
}

} // namespace korvex
