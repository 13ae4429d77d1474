// Showing a stored row in a list control, shared by the parameter pages and the editor pages.
#pragma once

#include <QComboBox>
#include <QSignalBlocker>
#include <QStringList>

namespace korvex {

// A row beyond the list's items selects nothing rather than a wrong item.
inline void SelectRow(QComboBox* box, int row) {
    box->setCurrentIndex(row < box->count() ? row : -1);
}

// New item texts for a list; its row stays, as for the lists that the language table fills, so a
// page not shown at the moment keeps what it showed. Fires no change handler.
inline void SetItemsKeepingRow(QComboBox* box, const QStringList& items) {
    const QSignalBlocker blocker(box);
    const int row = box->currentIndex();
    box->clear();
    box->addItems(items);
    SelectRow(box, row);
}

} // namespace korvex
