// The Library page in the window: the paths of the window it acts through.
#include "MainWindow.h"

#include "ui_MainWindow.h"

#include "app/AppCore.h"
#include "app/FileDialogs.h"
#include "app/LibraryPage.h"
#include "app/TextClipboard.h"
#include "app/UndoBar.h"
#include "text/TextPair.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QUrl>

namespace korvex {

namespace {
constexpr TextPair LibraryCaption{"Библиотека", "Library"};
} // namespace

void MainWindow::ConnectLibrary(TextClipboard& clipboard) {
    library_ = new LibraryPage(core_->language, settingsPath_, core_->snapshots.store.root(),
                               ui_->PageControlMain);
    ui_->PageControlMain->addTab(library_, LangText(LibraryCaption, core_->language));
    LibraryPageLinks& l = library_->links;
    l.windowBytes = [this]() -> const ConfigBytes& { return core_->image.bytes; };
    l.connectedSerial = [this] {
        return core_->monitor.controllerConnected && !core_->identity.isBootloader()
                   ? core_->identity.serialNumber()
                   : 0u;
    };
    l.mayDropWork = [this] { return MayDropWork(); };
    l.openFile = [this](const QString& path) { core_->commands.OpenConfigFile(path); };
    l.applyText = [&clipboard](const QString& text, const QString& name) {
        clipboard.ApplyFileText(text, name);
    };
    l.writeToController = [this](const ConfigBytes& bytes) {
        if (RequireController())
            return;
        core_->commands.WriteBytesToDevice(bytes, [this] { core_->snapshots.KeepHeld(); });
        ShowUndoneImage(-1);
        undo_->Record();
        undo_->UpdateButtons();
    };
    l.saveAs = [this](const QString& proposed) {
        files_->proposedSave = proposed;
        core_->commands.SpeedButtonWriteConfigClick();
    };
    l.showFolder = [](const QString& folder) {
        QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
    };
    l.copyText = [](const QString& text) { QGuiApplication::clipboard()->setText(text); };
}

void MainWindow::LibraryLanguageChanged() {
    ui_->PageControlMain->setTabText(ui_->PageControlMain->indexOf(library_),
                                     LangText(LibraryCaption, core_->language));
    library_->LanguageChanged();
}

} // namespace korvex
