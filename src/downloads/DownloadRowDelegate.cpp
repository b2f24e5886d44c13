// TDownloadRowDelegate: painting and hit-testing of the download manager's rows. Every clickable
// part is computed from the row's current rectangle, so only rows on screen can be hit.
#include "downloads/DownloadRowDelegate.h"

#include "common/FileTypes.h"
#include "common/SizeText.h"
#include "common/TextFit.h"
#include "downloads/DownloadFailure.h"
#include "downloads/DownloadInfo.h"
#include "downloads/DownloadListModel.h"

#include <QApplication>
#include <QFileInfo>
#include <QPainter>
#include <QStyle>
#include <utility>

namespace {

constexpr int IconSize = 16;
const QColor BarBack(192, 192, 192);
const QColor BarFill(0, 128, 0);
const QColor BarBorder(48, 199, 108);
const QColor FailedText(200, 40, 40);
const QColor LinkText(30, 90, 200);

// The longest beginning of the text that fits (no ellipsis).
QString CutToWidth(const QString& text, const QFontMetrics& metrics, int width) {
    return TextFit::Prefix(text, metrics, width);
}

// A coloured file-type tile with the extension on it, one colour per type of FileTypeOfExtension.
void PaintFileTypeIcon(QPainter* painter, const QRect& box, const QString& fileName) {
    static const QColor colours[] = {{120, 130, 140}, {200, 70, 160},  {40, 90, 200},  {90, 90, 110},
                                     {230, 130, 20},  {210, 40, 40},   {30, 160, 120}, {220, 90, 40},
                                     {150, 100, 40},  {100, 110, 120}, {30, 130, 60}};
    const QString extension = QFileInfo(fileName).suffix();
    const int type = qBound(0, FileTypeOfExtension(QLatin1Char('.') + extension), 10);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(Qt::NoPen);
    painter->setBrush(colours[type]);
    painter->drawRoundedRect(box.adjusted(4, 0, -4, 0), 4, 4);
    QFont font = painter->font();
    font.setPixelSize(10);
    font.setBold(true);
    painter->setFont(font);
    painter->setPen(Qt::white);
    painter->drawText(box, Qt::AlignCenter, extension.left(4).toUpper());
    painter->restore();
}

void PaintIcon(QPainter* painter, const QRect& box, QStyle::StandardPixmap icon) {
    QApplication::style()->standardIcon(icon).paint(painter, box);
}

void PaintLink(QPainter* painter, const QRect& box, QStyle::StandardPixmap icon, const QString& text) {
    PaintIcon(painter, QRect(box.topLeft(), QSize(IconSize, IconSize)), icon);
    painter->save();
    painter->setPen(LinkText);
    painter->drawText(box.adjusted(IconSize + 2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, text);
    painter->restore();
}

} // namespace

TDownloadRowDelegate::TDownloadRowDelegate(TSiteBadgeLookup badges, QObject* parent)
    : QStyledItemDelegate(parent), m_badges(std::move(badges)) {}

QSize TDownloadRowDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
    return QSize(option.rect.width(), RowHeight);
}

TDownloadRowDelegate::TLayout TDownloadRowDelegate::LayoutOf(const QRect& rowRect, const TDownloadInfo& info,
                                                             bool fileMissing) {
    TLayout layout;
    const int width = rowRect.right() + 1;
    const int iconTop = rowRect.top() + (RowHeight - IconSize) / 2;
    layout.Delete = QRect(width - 50, iconTop, 20, 20);
    if (info.State != dsFinished) {
        layout.Pause = QRect(width - 75, iconTop, 20, 20);
        return layout;
    }
    const int linkTop = rowRect.top() + (RowHeight - 20) / 2;
    // A finished file that is gone cannot be opened: its place offers to download it again.
    if (fileMissing)
        layout.ReDownload = QRect(width - 200, linkTop, 70, 20);
    else
        layout.OpenFile = QRect(width - 180, linkTop, 50, 20);
    layout.OpenFolder = QRect(width - 124, linkTop, 60, 20);
    return layout;
}

TDownloadRowDelegate::TPart TDownloadRowDelegate::PartAt(const QRect& rowRect, const QModelIndex& index,
                                                         const QPoint& point) {
    if (!index.isValid())
        return rpNone;
    const auto info = index.data(TDownloadListModel::InfoRole).value<TDownloadInfo>();
    const TLayout layout = LayoutOf(rowRect, info, index.data(TDownloadListModel::FileMissingRole).toBool());
    const std::pair<QRect, TPart> parts[] = {{layout.OpenFile, rpOpenFile},
                                             {layout.OpenFolder, rpOpenFolder},
                                             {layout.ReDownload, rpReDownload},
                                             {layout.Pause, rpPause},
                                             {layout.Delete, rpDelete}};
    for (const auto& [rect, part] : parts) {
        if (rect.isValid() && rect.contains(point))
            return part;
    }
    return rpNone;
}

void TDownloadRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const {
    const auto info = index.data(TDownloadListModel::InfoRole).value<TDownloadInfo>();
    const bool missing = index.data(TDownloadListModel::FileMissingRole).toBool();
    const QRect rect = option.rect;
    painter->save();
    painter->fillRect(rect,
                      (option.state & QStyle::State_Selected) ? QColor(222, 236, 252) : QColor(Qt::white));
    painter->setPen(QColor(235, 235, 235));
    painter->drawLine(rect.bottomLeft(), rect.bottomRight());
    painter->setPen(option.palette.color(QPalette::Text));
    PaintFileTypeIcon(painter, QRect(rect.left() + 2, rect.top() + 4, 36, 36), info.FileName);
    if (info.State == dsFinished)
        PaintFinished(painter, rect, info, missing);
    else
        PaintRunning(painter, rect, info);
    const TLayout layout = LayoutOf(rect, info, missing);
    PaintIcon(painter, QRect(layout.Delete.topLeft(), QSize(IconSize, IconSize)),
              QStyle::SP_DialogDiscardButton);
    painter->restore();
}

void TDownloadRowDelegate::PaintRunning(QPainter* painter, const QRect& rect,
                                        const TDownloadInfo& info) const {
    const QFontMetrics metrics = painter->fontMetrics();
    const int width = rect.right() + 1;
    const QString name = CutToWidth(QFileInfo(info.FileName).fileName(), metrics, 380);
    const int textTop = rect.top() + 5;
    painter->drawText(QPoint(rect.left() + 40, textTop + metrics.ascent()), name);

    // Running: the worker's "speed/S received/total"; paused: the size; failed: that it failed,
    // with the reason on the line of the bar.
    QString status = info.State == dsDownloading ? info.ProgressText : FormatSize(info.TotalSize) + " - 0K/S";
    if (info.State == dsFailed) {
        status = tr("下载失败");
        painter->setPen(FailedText);
    }
    const int statusWidth = metrics.horizontalAdvance(status);
    painter->drawText(QPoint(width - 90 - statusWidth, textTop + metrics.ascent()), status);
    if (info.State == dsFailed) {
        PaintFailureDetails(painter,
                            QRect(rect.left() + 40, textTop + metrics.height() + 2,
                                  qMax(0, width - 90 - rect.left() - 40), metrics.height()),
                            info);
        PaintPauseIcon(painter, rect, info);
        return;
    }

    // The bar leaves room at its right for the percentage, which ends where the status text ends.
    const int percentWidth = metrics.horizontalAdvance(QStringLiteral("100%")) + 6;
    const QRect bar(rect.left() + 40, textTop + metrics.height() + 8,
                    qMax(0, width - 90 - percentWidth - rect.left() - 40), 3);
    painter->fillRect(bar, BarBack);
    if (info.TotalSize > 0) {
        const qint64 filled = qBound<qint64>(0, bar.width() * info.Position / info.TotalSize, bar.width());
        painter->fillRect(QRect(bar.topLeft(), QSize(int(filled), bar.height())), BarFill);
        painter->setPen(BarBorder);
        painter->drawLine(bar.left(), bar.top(), bar.left() + int(filled), bar.top());
        painter->setPen(QColor(90, 90, 90));
        const QString percent = QStringLiteral("%1%").arg(100 * info.Position / info.TotalSize);
        painter->drawText(QRect(width - 90 - percentWidth, bar.center().y() - metrics.height() / 2,
                                percentWidth, metrics.height()),
                          Qt::AlignRight | Qt::AlignVCenter, percent);
    }
    PaintPauseIcon(painter, rect, info);
}

void TDownloadRowDelegate::PaintPauseIcon(QPainter* painter, const QRect& rect, const TDownloadInfo& info) {
    const TLayout layout = LayoutOf(rect, info, false);
    PaintIcon(painter, QRect(layout.Pause.topLeft(), QSize(IconSize, IconSize)),
              info.State == dsDownloading ? QStyle::SP_MediaPause : QStyle::SP_MediaPlay);
}

void TDownloadRowDelegate::PaintFailureDetails(QPainter* painter, const QRect& line,
                                               const TDownloadInfo& info) {
    // The reason first, so that a narrow window cuts the place, not the reason.
    painter->save();
    painter->setPen(FailedText);
    painter->drawText(line, Qt::AlignLeft | Qt::AlignVCenter,
                      painter->fontMetrics().elidedText(FailureDetails(info), Qt::ElideRight, line.width()));
    painter->restore();
}

void TDownloadRowDelegate::PaintFinished(QPainter* painter, const QRect& rect, const TDownloadInfo& info,
                                         bool fileMissing) const {
    const QFontMetrics metrics = painter->fontMetrics();
    const QString name = CutToWidth(QFileInfo(info.FileName).fileName(), metrics, 420);
    painter->drawText(QPoint(rect.left() + 40, rect.top() + 5 + metrics.ascent()), name);
    const int sizeBase = rect.top() + 9 + metrics.height() + metrics.ascent();
    QString size = FormatSize(info.TotalSize);
    if (fileMissing)
        size += tr("  文件已删除");
    painter->save();
    if (fileMissing)
        painter->setPen(FailedText);
    painter->drawText(QPoint(rect.left() + 40, sizeBase), size);
    painter->restore();

    // Badge of the download's site: certified or flagged; nothing for an unknown site.
    const TSiteBadge state = m_badges ? m_badges(info.Url) : TSiteBadge::None;
    if (state != TSiteBadge::None) {
        const QRect badge(rect.left() + 40 + metrics.horizontalAdvance(size) + 6, sizeBase - metrics.ascent(),
                          IconSize, IconSize);
        PaintIcon(painter, badge,
                  state == TSiteBadge::Certified ? QStyle::SP_DialogApplyButton
                                                 : QStyle::SP_MessageBoxWarning);
    }
    const TLayout layout = LayoutOf(rect, info, fileMissing);
    if (fileMissing)
        PaintLink(painter, layout.ReDownload, QStyle::SP_BrowserReload, tr("重新下载"));
    else
        PaintLink(painter, layout.OpenFile, QStyle::SP_FileIcon, tr("打开"));
    PaintLink(painter, layout.OpenFolder, QStyle::SP_DirIcon, tr("文件夹"));
}
