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

    // Follows the image, the language and the controller; nothing is done while nothing changed
    // or while the page is not shown.
    void Refresh();
    void LanguageChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void ShowRow(const QModelIndex& index);
    void UpdateCount();

    const ConfigImage& image_;
    const LanguageState& language_;
    OverviewModel* model_;
    QSortFilterProxyModel* filter_;
    QLabel* parameters_;
    QLabel* count_;
    QLineEdit* filterEdit_;
    QCheckBox* empty_;
    QTableView* table_;
};

} // namespace korvex
