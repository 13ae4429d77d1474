// The Library page of the main window: the connected controller's snapshot history, the shop's
// folder of configurations with a search, and a preview of what the selected one would change.
// Every action goes through the window's own paths, which the window passes in; the page itself
// never writes a file or sends a byte.
#pragma once

#include "config/ConfigImage.h"
#include "config/ConfigLibrary.h"

#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QTimer;
class QToolButton;
class QTreeView;
class QTreeWidget;

namespace korvex {

class LibraryFilesModel;
class LibraryScanner;
struct LanguageState;

// What the page asks of the window.
struct LibraryPageLinks {
    std::function<const ConfigBytes&()> windowBytes; // what the window holds
    std::function<std::uint32_t()> connectedSerial;  // 0 without a controller
    // True when nothing of the user's would be lost, or the user saved it or let it go.
    std::function<bool()> mayDropWork;
    std::function<void(const QString& path)> openFile; // as the open button
    std::function<void(const QString& text, const QString& fileName)> applyText; // as Paste text
    std::function<void(const ConfigBytes& bytes)> writeToController; // with the write question
    std::function<void(const QString& proposedPath)> saveAs;         // as Save, proposing a file
    std::function<void(const QString& folder)> showFolder;           // the system's file manager
    std::function<void(const QString& text)> copyText;               // to the clipboard
};

class LibraryPage final : public QWidget {
    Q_OBJECT
public:
    // `settingsPath` keeps the chosen folder; `snapshotRoot` is where the snapshots are.
    LibraryPage(const LanguageState& language, QString settingsPath, QString snapshotRoot,
                QWidget* parent = nullptr);
    ~LibraryPage() override;

    LibraryPageLinks links;

    void LanguageChanged();
    // The library folder: the one chosen on the page, else the open dialog's last directory.
    QString Folder() const;
    // Lists `folder` and keeps it in the settings file.
    void ChooseFolder(const QString& folder);
    LibraryScanner& scanner() { return *scanner_; }

    // The actions, as their buttons run them.
    void OpenSelected();
    void ApplySelected();
    void WriteSelected();
    void SaveToLibrary();
    void ShowSelectedInFolder();
    void CopySelected();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Start();
    void FollowHistory();
    void Listed();
    void Search();
    void ShowPreview();
    void UpdateButtons();
    void ChooseFolderByDialog();
    // The file of the selected row, read again now; null with a notice when it is gone.
    const LibraryFile* SelectedFile() const;
    bool SelectedFileStillThere();
    // The selected snapshot's bytes, read again now; false with a notice when it cannot be.
    bool SelectedSnapshot(ConfigBytes& bytes, QString& path);
    void Notice(const QString& text);
    int lang() const;

    const LanguageState& language_;
    QString settingsPath_;
    QString chosenFolder_;
    SnapshotHistory history_;
    std::unique_ptr<LibraryScanner> scanner_;
    LibraryFilesModel* model_;
    QTimer* historyTimer_;
    QLabel* historyHeading_;
    QComboBox* serials_;
    QTreeWidget* historyList_;
    QLabel* filesHeading_;
    QLabel* folderLabel_;
    QToolButton* folderButton_;
    QLineEdit* search_;
    QTreeView* filesList_;
    QLabel* previewHeading_;
    QPlainTextEdit* preview_;
    QLabel* notice_;
    QToolButton* open_;
    QToolButton* apply_;
    QToolButton* write_;
    QToolButton* save_;
    QToolButton* show_;
    QToolButton* copy_;
    QString historyKey_; // what the history list shows, to redraw it only when that changes
    QString folderProblemSaid_;
    bool started_ = false;
    bool snapshotSelected_ = false; // the preview shows a snapshot, not a file
};

} // namespace korvex
