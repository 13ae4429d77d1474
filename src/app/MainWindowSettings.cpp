// The main window's settings: read once at start (the place, the options, the language) and
// written once at close.
#include "MainWindow.h"

#include "ui_MainWindow.h"

#include "app/Settings.h"
#include "app/WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>

namespace korvex {

void MainWindow::ApplySettings() {
    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    // At least one line of the memo; the page is not laid out yet, so the window's height bounds
    // what it can hold (the splitter then keeps the log's minimum).
    QPlainTextEdit* memo = ui_->MemoTX;
    const TxHeightLimits txLimits{memo->fontMetrics().lineSpacing() + 2 * memo->frameWidth(),
                                  height()};
    // A file that cannot be read is reported in the language the system asks for, which the
    // window then keeps.
    const int systemLanguage = SystemDefaultLanguage();
    core_->language.current = systemLanguage; // the box's title too
    const auto settings = korvex::LoadSettings(settingsPath_, screen, size(), systemLanguage,
                                               *host_, systemLanguage, txLimits);
    ui_->PageControlMain->setCurrentIndex(1);
    if (!settings) {
        // The box has told the user; the window keeps its designed place and options.
        SetLanguage(systemLanguage);
        return;
    }
    // Another monitor or another scale since: the window is put back where it can be seen.
    QList<QRect> screens;
    for (const QScreen* each : QGuiApplication::screens())
        screens << each->availableGeometry();
    const QRect place = FitOnScreens(
        QRect(settings->mainLeft, settings->mainTop, settings->mainWidth, settings->mainHeight),
        screens);
    move(place.topLeft());
    resize(place.size());
    if (settings->maximized)
        setWindowState(windowState() | Qt::WindowMaximized);
    const int total = ui_->SplitterTerminal->height();
    ui_->SplitterTerminal->setSizes({qMax(1, total - settings->txHeight), settings->txHeight});
    ui_->MemoTX->resize(ui_->MemoTX->width(), settings->txHeight);
    menu_->log->setChecked(settings->log);
    menu_->debug->setChecked(settings->debug);
    menu_->onlyUsed->setChecked(settings->onlyUsed);
    SetLanguage(settings->lang);
}

void MainWindow::StoreSettings() {
    Settings settings;
    settings.mainTop = y();
    settings.mainLeft = x();
    settings.lang = core_->language.current;
    settings.log = menu_->log->isChecked();
    settings.debug = menu_->debug->isChecked();
    settings.onlyUsed = menu_->onlyUsed->isChecked();
    settings.txHeight = ui_->MemoTX->height();
    // A maximised window keeps the size it comes back to.
    const QSize kept = isMaximized() || isFullScreen() ? normalGeometry().size() : size();
    settings.maximized = isMaximized();
    settings.mainWidth = kept.width();
    settings.mainHeight = kept.height();
    korvex::SaveSettings(settingsPath_, settings, *host_, core_->language.current);
}

} // namespace korvex
