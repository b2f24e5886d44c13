// TDownloadListModel: rows of the download manager and the commands on them.
#include "downloads/DownloadListModel.h"

#include "common/Md5.h"
#include "downloads/DownloadQueue.h"

#include <QFile>
#include <QFileInfo>

TDownloadListModel::TDownloadListModel(TDownloadQueue& queue, QObject* parent)
    : QAbstractListModel(parent), m_queue(queue) {
    const QList<TDownloadInfo> stored = m_queue.LoadAllDownloads();
    m_rows.reserve(stored.size());
    for (const TDownloadInfo& info : stored) {
        RowIndex.insert(Md5Hex(info.Url), m_rows.size());
        m_rows.append(TRow{info, IsMissing(info)});
    }
    m_repaintTimer.setSingleShot(true);
    connect(&m_repaintTimer, &QTimer::timeout, this, &TDownloadListModel::FlushRepaint);
    m_queue.OnProgress = [this](const TDownloadInfo& info) { UpdateProgress(info); };
    m_queue.OnFinished = [this](const TDownloadInfo& info) { MarkFinished(info); };
    connect(&m_queue, &TDownloadQueue::Failed, this, &TDownloadListModel::MarkFailed);
}

TDownloadListModel::~TDownloadListModel() {
    m_queue.OnProgress = nullptr;
    m_queue.OnFinished = nullptr;
}

int TDownloadListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_rows.size();
}

QVariant TDownloadListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !IsValidRow(index.row()))
        return QVariant();
    const TRow& row = m_rows.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return QFileInfo(row.Info.FileName).fileName();
    case Qt::ToolTipRole:
        if (row.FileMissing)
            return tr("文件已被删除或移走：%1").arg(row.Info.FileName);
        if (row.Info.State == dsFailed)
            return tr("下载失败：%1\n文件：%2\n网址：%3")
                .arg(row.Info.ErrorText, row.Info.FileName, row.Info.Url);
        return row.Info.FileName;
    case InfoRole:
        return QVariant::fromValue(row.Info);
    case FileMissingRole:
        return row.FileMissing;
    default:
        return QVariant();
    }
}

int TDownloadListModel::RowOf(const QString& url) const {
    return RowIndex.value(Md5Hex(url), -1);
}

void TDownloadListModel::AddDownloadRow(const TDownloadInfo& info) {
    // The same address again (its row was replaced by a new file): the row follows it.
    if (const int row = RowOf(info.Url); row >= 0) {
        m_rows[row] = TRow{info, false};
        RowChanged(row);
        return;
    }
    const int row = m_rows.size();
    beginInsertRows(QModelIndex(), row, row);
    RowIndex.insert(Md5Hex(info.Url), row);
    m_rows.append(TRow{info, false});
    endInsertRows();
}

void TDownloadListModel::TogglePause(int row) {
    if (!IsValidRow(row))
        return;
    TDownloadInfo& info = m_rows[row].Info;
    // A failed row is tried again like a paused one.
    if (info.State != dsPaused && info.State != dsFailed) {
        m_queue.PauseDownload(info.Url);
        info.State = dsPaused;
    } else {
        m_queue.StartDownload(info.Url, info.FileName, 0);
        info.State = dsDownloading;
        info.ErrorText.clear();
        info.Failure = 0;
        info.ProgressText.clear();
    }
    Store(row);
    RowChanged(row);
}

void TDownloadListModel::DeleteRow(int row, bool deleteFile) {
    if (!IsValidRow(row))
        return;
    const TDownloadInfo info = m_rows.at(row).Info;
    if (info.State == dsDownloading)
        m_queue.PauseDownload(info.Url);
    m_queue.DeleteDownload(info.Url);
    if (deleteFile && QFileInfo::exists(info.FileName))
        QFile::remove(info.FileName);

    beginRemoveRows(QModelIndex(), row, row);
    m_rows.removeAt(row);
    RowIndex.remove(Md5Hex(info.Url));
    // Every row after the removed one moves up by one.
    for (auto entry = RowIndex.begin(); entry != RowIndex.end(); ++entry) {
        if (entry.value() > row)
            --entry.value();
    }
    endRemoveRows();
    // Rows waiting for their repaint may have moved up: repaint them all then.
    if (m_dirtyFirst >= 0) {
        m_dirtyFirst = m_rows.isEmpty() ? -1 : 0;
        m_dirtyLast = m_rows.size() - 1;
    }
}

void TDownloadListModel::ReDownload(int row) {
    if (!IsValidRow(row))
        return;
    TRow& entry = m_rows[row];
    if (QFileInfo::exists(entry.Info.FileName))
        QFile::remove(entry.Info.FileName);
    // The server's file may have changed since (often the reason to download again): its size
    // is learnt anew, or the worker would refuse the new file as another one.
    entry.Info.Position = 0;
    entry.Info.TotalSize = 0;
    entry.Info.State = dsDownloading;
    entry.Info.ErrorText.clear();
    entry.Info.Failure = 0;
    entry.Info.ProgressText.clear();
    entry.FileMissing = false;
    Store(row);
    m_queue.StartDownload(entry.Info.Url, entry.Info.FileName, 0);
    RowChanged(row);
}

void TDownloadListModel::RefreshMissingFiles() {
    for (int row = 0; row < m_rows.size(); ++row) {
        const bool missing = IsMissing(m_rows.at(row).Info);
        if (missing != m_rows.at(row).FileMissing) {
            m_rows[row].FileMissing = missing;
            RowChanged(row);
        }
    }
}

void TDownloadListModel::UpdateProgress(const TDownloadInfo& notice) {
    const int row = RowOf(notice.Url);
    if (!IsValidRow(row))
        return;
    TDownloadInfo& info = m_rows[row].Info;
    info.Position = notice.Position;
    info.ProgressText = notice.ProgressText;
    info.ErrorText.clear();
    info.Failure = 0;
    // The size the row was started with stays; a size learnt for an unknown one is taken.
    if (info.TotalSize == 0)
        info.TotalSize = notice.TotalSize;
    info.State = dsDownloading;
    // The queue stores the notice itself; the row only has to be shown.
    if (m_dirtyFirst < 0 || row < m_dirtyFirst)
        m_dirtyFirst = row;
    m_dirtyLast = qMax(m_dirtyLast, row);
    if (!m_repaintTimer.isActive())
        m_repaintTimer.start(RepaintInterval);
}

void TDownloadListModel::MarkFinished(const TDownloadInfo& notice) {
    const int row = RowOf(notice.Url);
    if (!IsValidRow(row))
        return;
    TDownloadInfo& info = m_rows[row].Info;
    info.State = dsFinished;
    info.Position = notice.Position;
    if (notice.TotalSize > 0)
        info.TotalSize = notice.TotalSize;
    info.ErrorText.clear();
    info.Failure = 0;
    m_rows[row].FileMissing = false;
    Store(row);
    RowChanged(row);
}

void TDownloadListModel::MarkFailed(const TDownloadInfo& notice, const QString& reason) {
    const int row = RowOf(notice.Url);
    if (!IsValidRow(row))
        return;
    TDownloadInfo& info = m_rows[row].Info;
    info.State = dsFailed;
    info.Failure = notice.Failure;
    info.Position = notice.Position;
    info.ErrorText = reason.isEmpty() ? tr("下载失败") : reason;
    RowChanged(row);
}

void TDownloadListModel::Store(int row) {
    m_queue.SaveDownload(m_rows.at(row).Info);
}

void TDownloadListModel::RowChanged(int row) {
    const QModelIndex index = this->index(row);
    emit dataChanged(index, index);
}

void TDownloadListModel::FlushRepaint() {
    const int first = m_dirtyFirst;
    const int last = qMin(m_dirtyLast, m_rows.size() - 1);
    m_dirtyFirst = m_dirtyLast = -1;
    if (first >= 0 && first <= last)
        emit dataChanged(index(first), index(last));
}

bool TDownloadListModel::IsMissing(const TDownloadInfo& info) {
    return info.State == dsFinished && !QFileInfo::exists(info.FileName);
}
