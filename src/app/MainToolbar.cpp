// The toolbar's command buttons.
#include "MainToolbar.h"

#include "ui_MainWindow.h"

#include "app/ConnectionMonitor.h"
#include "app/RecentFilesMenu.h"
#include "app/ToolbarCommands.h"
#include "app/ToolbarKeys.h"
#include "host/ToolIcons.h"

namespace korvex {

MainToolbar::MainToolbar(QWidget* window, Ui::MainWindow& ui, ToolbarCommands& commands,
                         const QString& settingsPath, UiHost& host, const LanguageState& language)
    : ui_(ui) {
    const struct {
        QToolButton* button;
        const char* icon;
        void (ToolbarCommands::*click)();
    } buttons[] = {
        {ui.SpeedButtonUpdateDevice, "firmware", &ToolbarCommands::SpeedButtonUpdateDeviceClick},
        {ui.SpeedButtonReadConfig, "open", &ToolbarCommands::SpeedButtonReadConfigClick},
        {ui.SpeedButtonWriteConfig, "save", &ToolbarCommands::SpeedButtonWriteConfigClick},
        {ui.SpeedButtonReadDevice, "read-device", &ToolbarCommands::SpeedButtonReadDeviceClick},
        {ui.SpeedButtonWriteDevice, "write-device", &ToolbarCommands::SpeedButtonWriteDeviceClick},
        {ui.SpeedButtonToDefault, "defaults", &ToolbarCommands::SpeedButtonToDefaultClick},
        {ui.SpeedButtonReset, "restart", &ToolbarCommands::SpeedButtonResetClick},
    };
    for (const auto& b : buttons) {
        b.button->setIcon(ToolIcon(b.icon));
        QObject::connect(b.button, &QToolButton::clicked, window,
                         [&commands, click = b.click] { (commands.*click)(); });
    }
    ui.SpeedButtonOnlyUsedx->setIcon(ToolIcon("only-used"));

    // Nothing that writes to the controller without a modifier; read and write take Shift too,
    // being the controller's and not a file's.
    keys_ = new ToolbarKeys(window);
    keys_->Bind(ui.SpeedButtonReadConfig, QKeySequence(Qt::CTRL | Qt::Key_O));
    keys_->Bind(ui.SpeedButtonWriteConfig, QKeySequence(Qt::CTRL | Qt::Key_S));
    keys_->Bind(ui.SpeedButtonReadDevice, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_R));
    keys_->Bind(ui.SpeedButtonWriteDevice, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_W));
    new RecentFilesMenu(ui.SpeedButtonReadConfig, settingsPath, host, language,
                        [&commands](const QString& file) { commands.OpenConfigFile(file); });
}

bool MainToolbar::ShowBusy(bool busy, bool controllerConnected) {
    const ToolbarEnable enable = ToolbarEnableFor(busy, controllerConnected);
    ui_.SpeedButtonReadConfig->setEnabled(enable.fileButtons);
    ui_.SpeedButtonWriteConfig->setEnabled(enable.fileButtons);
    ui_.SpeedButtonReadDevice->setEnabled(enable.deviceButtons);
    ui_.SpeedButtonWriteDevice->setEnabled(enable.deviceButtons);
    ui_.SpeedButtonToDefault->setEnabled(enable.deviceButtons);
    ui_.SpeedButtonReset->setEnabled(enable.deviceButtons);
    return enable.fileButtons;
}

} // namespace korvex
