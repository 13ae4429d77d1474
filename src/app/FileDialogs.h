// The three file dialogs (configuration open and save, firmware open), each starting in the
// directory of the file last chosen for its purpose and held over the main window while it opens.
#pragma once

#include "app/Settings.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <functional>

class QFileDialog;
class QWidget;

namespace korvex {

class UiHost;
struct LanguageState;
struct TextPair;

class FileDialogs final : public QObject {
    Q_OBJECT
public:
    FileDialogs(QWidget* mainWindow, QString settingsPath, UiHost& host,
                const LanguageState& language);

    // The full name chosen, or an empty text when the user cancelled or the settings file
    // could not be read (its message has been shown then).
    QString ChooseConfigFileToOpen();
    QString ChooseConfigFileToSave();
    QString ChooseFirmwareFile();
    // Where to save the log window's text; starts where configurations are kept.
    QString ChooseLogFileToSave();

    // Store the name as the start of the next dialog of that kind; an empty name is ignored.
    void RememberConfigFile(const QString& fileName);
    void RememberFirmwareFile(const QString& fileName);

    // The next configuration save dialog proposes this file (folder and name); taken once.
    QString proposedSave;

    // Called once while a dialog is open and placed, with that dialog; lets a test act on it.
    std::function<void(QFileDialog&)> onShown;

    static constexpr int PlacementTicks = 50;

private:
    // `withText` offers the configuration as text (*.txt) beside the extension.
    QString Choose(bool save, const TextPair& title, const QString& extension, RememberedFile which,
                   bool withText = false);
    void TimerOnShowTimer();

    QWidget* mainWindow_;
    QString settingsPath_;
    UiHost& host_;
    const LanguageState& language_;
    QTimer timerOnShow_;
    QPointer<QFileDialog> dialog_;
    int placementTicks_ = 0;
    bool shownReported_ = false;
};

} // namespace korvex
