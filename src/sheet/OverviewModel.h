// The overview as a table model: a row per used entry (or every entry), four columns of words.
// It is rebuilt only when the image, the language or the controller changed since, so that the
// window's tick costs nothing while nothing did.
#pragma once

#include "sheet/ConfigOverview.h"

#include <QAbstractTableModel>

#include <cstdint>
#include <vector>

namespace korvex {

class OverviewModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { TabColumn, NameColumn, EventColumn, ReactionColumn, ColumnCount };

    explicit OverviewModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

    // Brings the rows in line with the image; `identity` null without a controller. True when
    // anything was rebuilt. Rows that stay the same entries keep their places, so that a view
    // keeps its selection and scroll position.
    bool Refresh(const ConfigBytes& bytes, int language, const IdentityRecord* identity,
                 bool showEmpty);

    const ConfigOverview& overview() const { return overview_; }
    // The entry (0..59) shown in `row`, or -1.
    int EntryAt(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    ConfigOverview overview_;
    std::vector<int> shown_; // indices into overview_.rows
    QStringList headers_;
    std::uint32_t fingerprint_ = 0;
    bool built_ = false;
};

} // namespace korvex
