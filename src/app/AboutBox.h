// The About box, over the main window like every other box.
#pragma once

#include <QString>

class QWidget;

namespace korvex {

class UiHost;

void ShowAboutBox(QWidget* mainWindow, UiHost& host, const QString& settingsPath, int language);

} // namespace korvex
