// TDownloadQueue: the one place that starts, pauses, deletes and lists downloads. It keeps one row
// per download in qb_download, runs one TDownload worker per running download and receives their
// posted messages on the UI thread.
#pragma once

#include "downloads/Download.h"
#include "downloads/DownloadInfo.h"

#include <QHash>
#include <QList>
#include <QMutex>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

class TDb;
class TSQLiteTable;

class TDownloadQueue final : public QObject {
    Q_OBJECT
public:
    using TNotify = std::function<void(const TDownloadInfo&)>;

    // owner receives WM_DOWNLOAD_FINISHED (0, 0) once per finished download; it may be null.
    // Rows a killed program left running are stored as paused.
    TDownloadQueue(TDb& db, QObject* owner);
    // Stops every worker and stores every running row as paused.
    ~TDownloadQueue() override;

    // UI thread.
    void StartDownload(const QString& url, const QString& fileName, qint64 totalSize);
    void PauseDownload(const QString& url);
    void DeleteDownload(const QString& url);
    bool IsRunning(const QString& url) const;

    // Any thread (the cache cleaner calls it from its worker).
    bool DeleteInactiveDownloads();
    bool DownloadExists(const QString& url);
    // The stored row; all zero when there is none. Workers call it from their own threads.
    TDownloadInfo LoadDownload(const QString& url);
    // Every row, oldest first.
    QList<TDownloadInfo> LoadAllDownloads();
    bool SaveDownload(const TDownloadInfo& info);
    bool SetDownloadState(const QString& url, TDownloadState state);
    bool InsertDownload(const TDownloadInfo& info);
    // Writes FileName, Position and TotalSize of the row with the record's Url.
    bool ReplaceDownload(const TDownloadInfo& info);
    bool MarkRunningAsPaused();

    // The window that receives the workers' messages: the queue itself.
    QObject* QueueWindow() { return this; }

    TNotify OnProgress;
    TNotify OnFinished;
    // A worker gave up (after its last attempt, or at once when retrying cannot help); the row is
    // stored as failed and the record's Failure and ErrorText say why.
    TNotify OnFailed;

    // A free path for a new download's file: path itself, or "name (n).ext" when a file exists
    // there or another listed download (any row but url's own) writes there.
    QString FreeFileNameFor(const QString& path, const QString& url = QString());

    // Handed to every worker started from now on (tests shorten the pause and drive the clock).
    int RetryInterval = TDownload::DefaultRetryInterval;
    TDownload::TClock Clock;

signals:
    // The same notice as OnFailed, with the reason to show on the failed row.
    void Failed(const TDownloadInfo& info, const QString& reason);

protected:
    void customEvent(QEvent* event) override;

private:
    // The running worker that posted a message (matched by its id); null for a stale message.
    TDownload* CurrentWorker(const QString& url, quint64 workerId) const;
    void DownloadProgress(const TDownloadInfo& info);
    void DownloadFinished(const TDownloadInfo& info);
    void DownloadFailed(const TDownloadInfo& info);
    static TDownloadInfo RowToInfo(const TSQLiteTable& table);

    TDb& m_db;
    QObject* const m_owner;
    QMutex Lock;
    // Md5Hex(url) -> its running worker. A worker deletes itself when its thread ends; the guarded
    // pointer then reads null, so an ended worker is never touched.
    QHash<QString, QPointer<TDownload>> Workers;
};
