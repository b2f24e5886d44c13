// The favorites manager's list model.
#include "favorites/FavoriteListModel.h"

TFavoriteListModel::TFavoriteListModel(QVector<QIcon> images, QObject* parent)
    : QAbstractTableModel(parent), m_images(std::move(images)) {}

void TFavoriteListModel::SetRows(const TFavInfoList& rows) {
    beginResetModel();
    m_rows = rows;
    endResetModel();
}

QStringList TFavoriteListModel::Ids() const {
    QStringList ids;
    ids.reserve(m_rows.size());
    for (const TFavInfo& row : m_rows)
        ids.append(row.Id);
    return ids;
}

void TFavoriteListModel::AppendRow(const TFavInfo& row) {
    beginInsertRows(QModelIndex(), m_rows.size(), m_rows.size());
    m_rows.append(row);
    endInsertRows();
}

void TFavoriteListModel::SetNameAndUrl(int row, const QString& name, const QString& url) {
    if (row < 0 || row >= m_rows.size())
        return;
    m_rows[row].FavName = name;
    m_rows[row].FavUrl = url;
    emit dataChanged(index(row, ColumnName), index(row, ColumnUrl));
}

bool TFavoriteListModel::MoveRow(int row, int step) {
    const int target = row + step;
    if (row < 0 || row >= m_rows.size() || target < 0 || target >= m_rows.size() || step == 0)
        return false;
    // beginMoveRows names the place before which the row lands, counted before the move.
    const int destination = step > 0 ? target + 1 : target;
    beginMoveRows(QModelIndex(), row, row, QModelIndex(), destination);
    m_rows.move(row, target);
    endMoveRows();
    return true;
}

void TFavoriteListModel::RemoveRow(int row) {
    if (row < 0 || row >= m_rows.size())
        return;
    beginRemoveRows(QModelIndex(), row, row);
    m_rows.removeAt(row);
    endRemoveRows();
}

int TFavoriteListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_rows.size();
}

int TFavoriteListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant TFavoriteListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_rows.size())
        return QVariant();
    const TFavInfo& row = m_rows.at(index.row());
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
        switch (index.column()) {
        case ColumnName:
            return row.FavName;
        case ColumnUrl:
            return row.FavUrl;
        case ColumnId:
            return row.Id;
        default:
            return QVariant();
        }
    }
    if (role == Qt::DecorationRole && index.column() == ColumnName && row.ImageIndex >= 0 &&
        row.ImageIndex < m_images.size())
        return m_images.at(row.ImageIndex);
    return QVariant();
}

QVariant TFavoriteListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QVariant();
    switch (section) {
    case ColumnName:
        return tr("标题");
    case ColumnUrl:
        return tr("网址");
    case ColumnId:
        return tr("ID");
    default:
        return QVariant();
    }
}
