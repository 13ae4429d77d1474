// The overview's table model.
#include "OverviewModel.h"

#include "link/Crc32Fingerprint.h"
#include "link/IdentityRecord.h"

namespace korvex {

bool OverviewModel::Refresh(const ConfigBytes& bytes, int language, const IdentityRecord* identity,
                            bool showEmpty) {
    std::uint32_t fingerprint =
        Crc32Fingerprint(0xFFFFFFFF, bytes.data(), bytes.data() + bytes.size());
    const std::uint8_t settings[] = {std::uint8_t(language), std::uint8_t(showEmpty),
                                     std::uint8_t(identity != nullptr)};
    fingerprint = Crc32Fingerprint(fingerprint, std::begin(settings), std::end(settings));
    // Not the status word at its end: it changes at every poll.
    if (identity != nullptr)
        fingerprint = Crc32Fingerprint(fingerprint, identity->raw.data(),
                                       identity->raw.data() + IdentityRecord::Size - 2);
    if (built_ && fingerprint == fingerprint_)
        return false;
    built_ = true;
    fingerprint_ = fingerprint;

    ConfigOverview overview = BuildOverview(bytes, language, identity);
    std::vector<int> shown;
    for (const OverviewRow& row : overview.rows)
        if (showEmpty || !row.empty)
            shown.push_back(row.entry);
    const QStringList headers = OverviewHeaders(language);
    if (shown == shown_) {
        overview_ = std::move(overview);
        if (headers != headers_) {
            headers_ = headers;
            emit headerDataChanged(Qt::Horizontal, 0, ColumnCount - 1);
        }
        if (!shown_.empty())
            emit dataChanged(index(0, 0), index(int(shown_.size()) - 1, ColumnCount - 1));
        return true;
    }
    beginResetModel();
    overview_ = std::move(overview);
    shown_ = std::move(shown);
    headers_ = headers;
    endResetModel();
    return true;
}

int OverviewModel::EntryAt(int row) const {
    return row >= 0 && row < int(shown_.size()) ? shown_[std::size_t(row)] : -1;
}

int OverviewModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(shown_.size());
}

int OverviewModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant OverviewModel::data(const QModelIndex& index, int role) const {
    const int entry = EntryAt(index.row());
    if (entry < 0 || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return {};
    const OverviewRow& row = overview_.rows[std::size_t(entry)];
    switch (index.column()) {
    case TabColumn:
        return row.caption;
    case NameColumn:
        return row.name;
    case EventColumn:
        return row.event;
    case ReactionColumn:
        return row.reaction;
    default:
        return {};
    }
}

QVariant OverviewModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    return headers_.value(section);
}

} // namespace korvex
