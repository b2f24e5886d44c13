// TDownloadRowDelegate: paints one download manager row (file-type icon, name, progress bar or
// size, speed text, state icons, links) and says which of its clickable parts lies under a point.
#pragma once

#include "downloads/SiteBadge.h"

#include <QRect>
#include <QStyledItemDelegate>

struct TDownloadInfo;

class TDownloadRowDelegate final : public QStyledItemDelegate {
    Q_OBJECT
public:
    enum TPart : int { rpNone, rpOpenFile, rpOpenFolder, rpPause, rpDelete, rpReDownload };
    static constexpr int RowHeight = 44;

    // badges may be empty (no badges).
    explicit TDownloadRowDelegate(TSiteBadgeLookup badges, QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // The clickable part of a row drawn in rowRect that holds point.
    static TPart PartAt(const QRect& rowRect, const QModelIndex& index, const QPoint& point);

private:
    struct TLayout {
        QRect OpenFile, OpenFolder, Pause, Delete, ReDownload;
    };
    static TLayout LayoutOf(const QRect& rowRect, const TDownloadInfo& info, bool fileMissing);
    void PaintRunning(QPainter* painter, const QRect& rect, const TDownloadInfo& info) const;
    static void PaintPauseIcon(QPainter* painter, const QRect& rect, const TDownloadInfo& info);
    static void PaintFailureDetails(QPainter* painter, const QRect& line, const TDownloadInfo& info);
    void PaintFinished(QPainter* painter, const QRect& rect, const TDownloadInfo& info,
                       bool fileMissing) const;

    const TSiteBadgeLookup m_badges;
};
