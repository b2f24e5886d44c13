// TDownloadListModel: the download manager's rows, one per stored download in the queue's order,
// and the commands on a row (pause or continue, delete, download again). It follows the queue's
// progress, finish and failure notices while it exists; the manager window only draws and asks.
#pragma once

#include "downloads/DownloadInfo.h"

#include <QAbstractListModel>
#include <QHash>
#include <QList>
#include <QTimer>
#include <functional>

class TDownloadQueue;

class TDownloadListModel final : public QAbstractListModel {
    Q_OBJECT
public:
    enum TRole : int {
        InfoRole = Qt::UserRole + 1, // the row's TDownloadInfo
        FileMissingRole,             // bool: a finished download whose file is gone
    };

    // Reads every stored download and becomes the queue's listener until destroyed.
    explicit TDownloadListModel(TDownloadQueue& queue, QObject* parent = nullptr);
    ~TDownloadListModel() override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    bool IsValidRow(int row) const { return row >= 0 && row < m_rows.size(); }
    const TDownloadInfo& Info(int row) const { return m_rows.at(row).Info; }
    bool FileMissing(int row) const { return m_rows.at(row).FileMissing; }
    // The row of the address; -1 when it is not listed.
    int RowOf(const QString& url) const;

    // A download started while the manager is open: appended as running.
    void AddDownloadRow(const TDownloadInfo& info);
    // Pauses a running or finished row's download, continues a paused or failed one.
    void TogglePause(int row);
    // Stops and forgets the download; deleteFile also removes its file from disk.
    void DeleteRow(int row, bool deleteFile);
    // Deletes the file when it is there and downloads it again from its first byte.
    void ReDownload(int row);
    // Looks again whether the files of finished rows are still on disk (the window was shown).
    void RefreshMissingFiles();

    // Progress repaints at most this often, whichever download reports; what arrives in between
    // is kept and shown at the next repaint.
    int RepaintInterval = 1000;

    // The queue's notices, also callable directly.
    void UpdateProgress(const TDownloadInfo& notice);
    void MarkFinished(const TDownloadInfo& notice);
    void MarkFailed(const TDownloadInfo& notice, const QString& reason);

private:
    struct TRow {
        TDownloadInfo Info;
        bool FileMissing = false;
    };
    void Store(int row);
    void RowChanged(int row);
    void FlushRepaint();
    static bool IsMissing(const TDownloadInfo& info);

    TDownloadQueue& m_queue;
    QList<TRow> m_rows;
    QHash<QString, int> RowIndex; // Md5Hex(url) -> row
    QTimer m_repaintTimer;
    int m_dirtyFirst = -1;
    int m_dirtyLast = -1;
};
