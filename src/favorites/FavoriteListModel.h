// The favorites manager's list: one row per favorite with the columns "标题", "网址" and "ID",
// and the row operations of the manager (append, change, move one place, remove).
#pragma once

#include "favorites/Favorites.h"

#include <QAbstractTableModel>
#include <QIcon>
#include <QStringList>
#include <QVector>

class TFavoriteListModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum TColumn { ColumnName = 0, ColumnUrl = 1, ColumnId = 2, ColumnCount = 3 };

    // images: the favorites bar's image list; a row shows images[ImageIndex] when it has one.
    explicit TFavoriteListModel(QVector<QIcon> images = {}, QObject* parent = nullptr);

    void SetRows(const TFavInfoList& rows);
    const TFavInfoList& Rows() const { return m_rows; }
    // The ids of the rows, top to bottom (the order the ranking batch stores).
    QStringList Ids() const;

    void AppendRow(const TFavInfo& row);
    void SetNameAndUrl(int row, const QString& name, const QString& url);
    // Moves the row one place up (-1) or down (+1); false (nothing moved) at either end.
    bool MoveRow(int row, int step);
    void RemoveRow(int row);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QVector<QIcon> m_images;
    TFavInfoList m_rows;
};
