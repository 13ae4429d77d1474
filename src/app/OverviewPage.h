// The overview page of the main window: the parameters and the controller in a few lines, and a
// table of the used entries with a filter. A double click or Enter on a row shows that entry on
// the Parameters page.
#pragma once

#include "config/ConfigImage.h"

#include <QWidget>

#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QSortFilterProxyModel;
class QTableView;
class QToolButton;

namespace korvex {

class OverviewModel;
struct IdentityRecord;
struct LanguageState;

class OverviewPage final : public QWidget {
    Q_OBJECT
public:
    OverviewPage(const ConfigImage& image, const LanguageState& language,
                 QWidget* parent = nullptr);

    // Shows entry (0..59) as a click on its tab would.
    std::function<void(int entry)> showEntry;
    // The connected controller, or null.
    std::function<const IdentityRecord*()> identity;
    // The file the configuration came from or went to; empty when none.
    std::function<QString()> fileName;
    // Shows a failure of the export, as the window's error box.
    std::function<void(const QString&)> showError;
    // Asked before the export replaces an existing file; unset: replaced without a question.
    std::function<bool(const QString&)> mayReplaceFile;

    // Follows the image, the language and the controller; nothing is done while nothing changed
    // or while the page is not shown.
    void Refresh();
    void LanguageChanged();
    // The sheet of the configuration: to a printer chosen in the print dialog, or to a PDF or
    // HTML file chosen in a save dialog (its extension tells which).
    void Print();
    void Export();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void ShowRow(const QModelIndex& index);
    void UpdateCount();
    QString SheetHtmlNow();

    const ConfigImage& image_;
    const LanguageState& language_;
    OverviewModel* model_;
    QSortFilterProxyModel* filter_;
    QLabel* parameters_;
    QLabel* count_;
    QLineEdit* filterEdit_;
    QCheckBox* empty_;
    QTableView* table_;
    QToolButton* print_;
    QToolButton* export_;
};

} // namespace korvex
