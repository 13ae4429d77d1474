// The toolbar's command buttons: their icons, clicks and keys, the recent files under the open
// button, and which of them may be used.
#pragma once

#include <QString>

class QWidget;

namespace Ui {
class MainWindow;
}

namespace korvex {

class ToolbarCommands;
class ToolbarKeys;
class UiHost;
struct LanguageState;

class MainToolbar {
public:
    MainToolbar(QWidget* window, Ui::MainWindow& ui, ToolbarCommands& commands,
                const QString& settingsPath, UiHost& host, const LanguageState& language);

    ToolbarKeys& keys() { return *keys_; }
    // Enables the buttons for a command running or not and a controller there or not; returns
    // whether the file buttons are free, as they are whenever no command runs.
    bool ShowBusy(bool busy, bool controllerConnected);

private:
    Ui::MainWindow& ui_;
    ToolbarKeys* keys_ = nullptr;
};

} // namespace korvex
