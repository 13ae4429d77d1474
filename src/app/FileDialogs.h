// The three file dialogs (configuration open and save, firmware open), each starting in the
// directory of the file last chosen for its purpose (at first in the user's Documents) and held
// over the main window while it opens.
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

// The question before a save replaces an existing file, in the program's words: true for Yes.
bool MayReplaceFile(UiHost& host, const QString& fileName, int language);
// Runs a save dialog until its file is new or may be replaced (No returns to the dialog): the
// file chosen, or empty when the dialog was cancelled.
QString ExecSaveDialog(QFileDialog& dialog, const std::function<bool(const QString&)>& mayReplace);
// The system's own dialog on Windows (the system's language, the user's places), Qt's own on
// other systems and wherever a test asked for it, to drive it.
void SetDialogKind(QFileDialog& dialog);
void UseQtFileDialogs(); // for tests only
// Where a dialog starts when nothing is remembered: the user's Documents folder (the home folder
// where there is none), with a trailing separator.
QString DocumentsDirectory();

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
