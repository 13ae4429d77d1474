// File dialogs: Windows' own dialog there, which speaks the system's language and shows the
// user's places; elsewhere Qt's own widget-based dialog, placed over the main window.
#include "FileDialogs.h"

#include "app/WindowPlacement.h"
#include "host/UiHost.h"
#include "text/TextPair.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QStandardPaths>

#include <algorithm>
#include <utility>

namespace korvex {

namespace {

constexpr TextPair OpenConfigTitle{"Выбор файла конфигурации устройства",
                                   "The choice of device configuration file"};
constexpr TextPair SaveConfigTitle{"Сохранение файла конфигурации устройства",
                                   "Saving the Configuration File Devices"};
constexpr TextPair TextFilter{"Конфигурация текстом (*.txt)", "Configuration as text (*.txt)"};
constexpr TextPair BothFilter{"Конфигурации (*.KSWA *.txt)", "Configurations (*.KSWA *.txt)"};
constexpr TextPair SaveLogTitle{"Сохранение окна терминала в файл",
                                "Saving the terminal window to a file"};
constexpr TextPair FirmwareTitle{"Выбор файла обновления прошивки устройства",
                                 "The choice of device firmware update file"};

constexpr TextPair ReplaceQuestion{"Файл \"%s\" уже существует. Заменить его?",
                                   "The file \"%s\" already exists. Replace it?"};

// Drive and directory of a full name, separator kept: the name and extension are dropped.
QString StartDirectory(const QString& fullName) {
    const qsizetype cut =
        std::max(fullName.lastIndexOf(u'/'), fullName.lastIndexOf(QDir::separator()));
    return fullName.left(cut + 1);
}

bool qtDialogsForTests = false;

} // namespace

bool MayReplaceFile(UiHost& host, const QString& fileName, int language) {
    const QByteArray name = QFileInfo(fileName).fileName().toUtf8();
    return host.ShowMessageBox(mb::IconQuestion | mb::DefButton2,
                               LangFormat(ReplaceQuestion, language, name.constData())) ==
           mb::IdYes;
}

QString ExecSaveDialog(QFileDialog& dialog, const std::function<bool(const QString&)>& mayReplace) {
    // Qt's own question would be in its words, outside the program's two languages.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    for (;;) {
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return {};
        const QString file = dialog.selectedFiles().constFirst();
        if (!QFileInfo::exists(file) || !mayReplace || mayReplace(file))
            return file;
    }
}

void SetDialogKind(QFileDialog& dialog) {
#ifdef Q_OS_WIN
    dialog.setOption(QFileDialog::DontUseNativeDialog, qtDialogsForTests);
#else
    dialog.setOption(QFileDialog::DontUseNativeDialog);
#endif
}

void UseQtFileDialogs() {
    qtDialogsForTests = true;
}

QString DocumentsDirectory() {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString dir =
        !documents.isEmpty() && QFileInfo(documents).isDir() ? documents : QDir::homePath();
    return QDir::toNativeSeparators(dir + u'/');
}

FileDialogs::FileDialogs(QWidget* mainWindow, QString settingsPath, UiHost& host,
                         const LanguageState& language)
    : mainWindow_(mainWindow), settingsPath_(std::move(settingsPath)), host_(host),
      language_(language), timerOnShow_(this) {
    timerOnShow_.setObjectName(QStringLiteral("TimerOnShow"));
    timerOnShow_.setInterval(1);
    connect(&timerOnShow_, &QTimer::timeout, this, &FileDialogs::TimerOnShowTimer);
}

QString FileDialogs::ChooseConfigFileToOpen() {
    return Choose(false, OpenConfigTitle, QStringLiteral("KSWA"), RememberedFile::Configuration,
                  true);
}

QString FileDialogs::ChooseConfigFileToSave() {
    return Choose(true, SaveConfigTitle, QStringLiteral("KSWA"), RememberedFile::Configuration,
                  true);
}

QString FileDialogs::ChooseFirmwareFile() {
    return Choose(false, FirmwareTitle, QStringLiteral("LDR"), RememberedFile::Firmware);
}

QString FileDialogs::ChooseLogFileToSave() {
    return Choose(true, SaveLogTitle, QStringLiteral("txt"), RememberedFile::Configuration);
}

void FileDialogs::RememberConfigFile(const QString& fileName) {
    RememberFile(settingsPath_, RememberedFile::Configuration, fileName, host_, language_.current);
}

void FileDialogs::RememberFirmwareFile(const QString& fileName) {
    RememberFile(settingsPath_, RememberedFile::Firmware, fileName, host_, language_.current);
}

QString FileDialogs::Choose(bool save, const TextPair& title, const QString& extension,
                            RememberedFile which, bool withText) {
    const std::optional<QString> remembered =
        ReadRememberedFile(settingsPath_, which, DocumentsDirectory(), host_, language_.current);
    if (!remembered)
        return {};

    QFileDialog dialog(mainWindow_);
    SetDialogKind(dialog);
    // Replacing a file is asked below in the program's words, not Qt's.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDirectory(StartDirectory(*remembered));
    if (save && which == RememberedFile::Configuration && !proposedSave.isEmpty()) {
        dialog.setDirectory(QFileInfo(proposedSave).absolutePath());
        dialog.selectFile(QFileInfo(proposedSave).fileName());
    }
    proposedSave.clear();
    dialog.setWindowTitle(LangText(title, language_));
    dialog.setDefaultSuffix(extension);
    const QString pattern = QStringLiteral("*.") + extension;
    QStringList filters{pattern + QStringLiteral(" (") + pattern + u')'};
    if (withText) {
        const QString text = LangText(TextFilter, language_);
        filters << text;
        // An open shows both kinds at once first; each alone follows.
        if (!save)
            filters.prepend(LangText(BothFilter, language_));
        // A name typed without an extension takes the one of the chosen filter.
        connect(&dialog, &QFileDialog::filterSelected, &dialog,
                [&dialog, text, extension](const QString& filter) {
                    dialog.setDefaultSuffix(filter == text ? QStringLiteral("txt") : extension);
                });
    }
    dialog.setNameFilters(filters);

    for (;;) {
        dialog_ = &dialog;
        placementTicks_ = PlacementTicks;
        shownReported_ = false;
        // The system's own dialog places itself over the window; Qt's is placed here.
        if (dialog.testOption(QFileDialog::DontUseNativeDialog))
            timerOnShow_.start();
        const int result = dialog.exec();
        timerOnShow_.stop();
        dialog_ = nullptr;
        if (result != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return {};
        const QString file = dialog.selectedFiles().constFirst();
        // No to the question returns to the dialog.
        if (!save || !QFileInfo::exists(file) || MayReplaceFile(host_, file, language_.current))
            return QDir::toNativeSeparators(file);
    }
}

void FileDialogs::TimerOnShowTimer() {
    if (dialog_ == nullptr || !dialog_->isVisible())
        return; // not on the screen yet
    if (--placementTicks_ <= 0)
        timerOnShow_.stop();

    const QRect frame = dialog_->frameGeometry();
    const std::optional<QSize> size =
        frame.isValid() ? std::optional<QSize>(frame.size()) : std::nullopt;
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize screenSize = screen != nullptr ? screen->size() : QSize();
    dialog_->move(DialogPosition(mainWindow_->frameGeometry(), size, screenSize));

    if (!shownReported_ && onShown) {
        shownReported_ = true;
        // From the event loop rather than from inside this tick, which could not recur while
        // the hook runs.
        QTimer::singleShot(0, this, [this] {
            if (dialog_ != nullptr)
                onShown(*dialog_);
        });
    }
}

} // namespace korvex
