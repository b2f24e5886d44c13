// TDownloadQueue: the download table's statements, the running workers and their messages.
#include "downloads/DownloadQueue.h"

#include "common/LocalTime.h"
#include "common/Logging.h"
#include "common/Md5.h"
#include "common/Messages.h"
#include "downloads/DownloadFailure.h"
#include "downloads/FreeFileName.h"
#include "storage/DbMain.h"
#include "storage/SqlText.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QMutexLocker>

namespace {

const QString SelectColumns =
    QStringLiteral("SELECT file_name, url, position, total_size, finished FROM qb_download");

QString WhereUrl(const QString& url) {
    return QStringLiteral(" WHERE url = ") + SqlQuote(url);
}

// The engines give -1 for a size they do not know; the table keeps 0 for it.
qint64 Size(qint64 bytes) {
    return qMax<qint64>(0, bytes);
}

// The value of the state column: a failed row keeps its failure code there, above the ordinary
// states 0 to 2, so that readers that know only those see it as paused (resumable).
qint64 StoredState(TDownloadState state, int failure) {
    if (state != dsFailed)
        return state;
    return IsStoredFailure(failure) ? failure : dfUnknown;
}

} // namespace

TDownloadQueue::TDownloadQueue(TDb& db, QObject* owner) : QObject(owner), m_db(db), m_owner(owner) {
    // Rows still running now were left so by a program that did not close (killed, crashed):
    // no worker of theirs exists any more.
    MarkRunningAsPaused();
}

TDownloadQueue::~TDownloadQueue() {
    for (const QPointer<TDownload>& worker : qAsConst(Workers)) {
        if (worker)
            worker->StopDownload();
    }
    Workers.clear();
    MarkRunningAsPaused();
}

void TDownloadQueue::StartDownload(const QString& url, const QString& fileName, qint64 totalSize) {
    const TDownloadInfo row = LoadDownload(url);
    if (row.Url.isEmpty()) {
        TDownloadInfo info;
        info.FileName = fileName;
        info.Url = url;
        info.TotalSize = totalSize;
        info.State = dsDownloading;
        InsertDownload(info);
    } else if (row.FileName != fileName) {
        // Another file for a listed address: the row follows the file being written, which
        // starts empty.
        TDownloadInfo info = row;
        info.FileName = fileName;
        info.Position = 0;
        if (totalSize > 0)
            info.TotalSize = totalSize;
        ReplaceDownload(info);
    }
    const QString key = Md5Hex(url);
    if (Workers.contains(key))
        PauseDownload(url);

    auto* worker = new TDownload(this, url, fileName);
    worker->NotifyWindow = QueueWindow();
    worker->RetryInterval = RetryInterval;
    worker->Clock = Clock;
    Workers.insert(key, worker);
    worker->start(QThread::LowestPriority);
}

void TDownloadQueue::PauseDownload(const QString& url) {
    const auto entry = Workers.find(Md5Hex(url));
    if (entry == Workers.end())
        return;
    const QPointer<TDownload> worker = entry.value();
    Workers.erase(entry);
    if (worker)
        worker->StopDownload();
    SetDownloadState(url, dsPaused);
}

void TDownloadQueue::DeleteDownload(const QString& url) {
    PauseDownload(url);
    m_db.Execute(QStringLiteral("DELETE FROM qb_download") + WhereUrl(url));
}

bool TDownloadQueue::IsRunning(const QString& url) const {
    return !Workers.value(Md5Hex(url)).isNull();
}

bool TDownloadQueue::DeleteInactiveDownloads() {
    return m_db.Execute(QStringLiteral("DELETE FROM qb_download WHERE finished <> %1").arg(dsDownloading));
}

bool TDownloadQueue::DownloadExists(const QString& url) {
    const auto table = m_db.Query(QStringLiteral("SELECT COUNT(id) c FROM qb_download") + WhereUrl(url));
    if (!table || table->AtEnd())
        return false;
    try {
        return table->FieldAsInt64(QStringLiteral("c")) > 0;
    } catch (const ESQLiteException& error) {
        WriteLog(error.Message());
        return false;
    }
}

TDownloadInfo TDownloadQueue::RowToInfo(const TSQLiteTable& table) {
    TDownloadInfo info;
    info.FileName = table.FieldAsText(QStringLiteral("file_name"));
    info.Url = table.FieldAsText(QStringLiteral("url"));
    info.Position = Size(table.FieldAsInt64(QStringLiteral("position")));
    info.TotalSize = Size(table.FieldAsInt64(QStringLiteral("total_size")));
    const qint64 state = table.FieldAsInt64(QStringLiteral("finished"));
    if (IsStoredFailure(state)) {
        info.State = dsFailed;
        info.Failure = static_cast<int>(qMin<qint64>(state, 999));
        info.ErrorText = FailureText(info.Failure);
    } else {
        info.State =
            (state == dsFinished || state == dsDownloading) ? static_cast<TDownloadState>(state) : dsPaused;
    }
    return info;
}

TDownloadInfo TDownloadQueue::LoadDownload(const QString& url) {
    QMutexLocker lock(&Lock);
    const auto table = m_db.Query(SelectColumns + WhereUrl(url));
    if (!table || table->AtEnd())
        return TDownloadInfo();
    try {
        return RowToInfo(*table);
    } catch (const ESQLiteException& error) {
        WriteLog(error.Message());
        return TDownloadInfo();
    }
}

QList<TDownloadInfo> TDownloadQueue::LoadAllDownloads() {
    QMutexLocker lock(&Lock);
    QList<TDownloadInfo> list;
    auto table = m_db.Query(SelectColumns + QStringLiteral(" ORDER BY id ASC"));
    if (!table)
        return list;
    try {
        for (; !table->AtEnd(); table->MoveNext())
            list.append(RowToInfo(*table));
    } catch (const ESQLiteException& error) {
        WriteLog(error.Message());
    }
    return list;
}

bool TDownloadQueue::SaveDownload(const TDownloadInfo& info) {
    QMutexLocker lock(&Lock);
    return m_db.Execute(QStringLiteral("UPDATE qb_download SET position = %1, total_size = %2, finished = %3")
                            .arg(Size(info.Position))
                            .arg(Size(info.TotalSize))
                            .arg(StoredState(info.State, info.Failure)) +
                        WhereUrl(info.Url));
}

bool TDownloadQueue::ReplaceDownload(const TDownloadInfo& info) {
    QMutexLocker lock(&Lock);
    return m_db.Execute(
        QStringLiteral("UPDATE qb_download SET file_name = %1, position = %2, total_size = %3")
            .arg(SqlQuote(info.FileName), QString::number(Size(info.Position)),
                 QString::number(Size(info.TotalSize))) +
        WhereUrl(info.Url));
}

bool TDownloadQueue::SetDownloadState(const QString& url, TDownloadState state) {
    QMutexLocker lock(&Lock);
    return m_db.Execute(
        QStringLiteral("UPDATE qb_download SET finished = %1").arg(StoredState(state, dfUnknown)) +
        WhereUrl(url));
}

bool TDownloadQueue::InsertDownload(const TDownloadInfo& info) {
    // One arg() call for every value: a chained arg() would read a "%3" of an encoded address
    // as its own place holder.
    QMutexLocker lock(&Lock);
    return m_db.Execute(
        QStringLiteral(
            "INSERT INTO qb_download (file_name, url, position, total_size, finished, create_time) "
            "VALUES (%1, %2, %3, %4, %5, %6)")
            .arg(SqlQuote(info.FileName), SqlQuote(info.Url), QString::number(Size(info.Position)),
                 QString::number(Size(info.TotalSize)),
                 QString::number(StoredState(info.State, info.Failure)),
                 QString::number(DateTimeToUnixTime(QDateTime::currentDateTime()))));
}

bool TDownloadQueue::MarkRunningAsPaused() {
    QMutexLocker lock(&Lock);
    return m_db.Execute(QStringLiteral("UPDATE qb_download SET finished = %1 WHERE finished = %2")
                            .arg(dsPaused)
                            .arg(dsDownloading));
}

void TDownloadQueue::customEvent(QEvent* event) {
    const int id = static_cast<int>(event->type());
    if (id != WM_DOWNLOAD_PROGRESS && id != WM_DOWNLOAD_FINISHED && id != WM_DOWNLOAD_FAILED)
        return QObject::customEvent(event);
    const auto* message = dynamic_cast<TRecordMessage<TDownloadInfo>*>(event);
    if (!message)
        return;
    // A message posted just before its worker was paused or replaced is stale: it must not put
    // a paused row back to running or end the new worker's entry.
    if (!CurrentWorker(message->Record.Url, static_cast<quint64>(message->LParam)))
        return;
    const TDownloadInfo info = message->Record;
    if (id == WM_DOWNLOAD_PROGRESS)
        DownloadProgress(info);
    else if (id == WM_DOWNLOAD_FINISHED)
        DownloadFinished(info);
    else
        DownloadFailed(info);
}

TDownload* TDownloadQueue::CurrentWorker(const QString& url, quint64 workerId) const {
    TDownload* worker = Workers.value(Md5Hex(url));
    return (worker && worker->Id() == workerId) ? worker : nullptr;
}

void TDownloadQueue::DownloadProgress(const TDownloadInfo& info) {
    if (OnProgress)
        OnProgress(info);
    SaveDownload(info);
}

void TDownloadQueue::DownloadFinished(const TDownloadInfo& info) {
    if (OnFinished)
        OnFinished(info);
    if (m_owner)
        QCoreApplication::postEvent(m_owner, new TMessageEvent(WM_DOWNLOAD_FINISHED, 0, 0));
    Workers.remove(Md5Hex(info.Url));
    SaveDownload(info);
}

void TDownloadQueue::DownloadFailed(const TDownloadInfo& notice) {
    // The worker has ended: drop it and store the row as failed, with its reason, resumable from
    // where its file ends.
    TDownloadInfo info = notice;
    info.State = dsFailed;
    if (!IsStoredFailure(info.Failure))
        info.Failure = dfUnknown;
    info.ErrorText = FailureText(info.Failure);
    Workers.remove(Md5Hex(info.Url));
    SaveDownload(info);
    if (OnFailed)
        OnFailed(info);
    emit Failed(info, info.ErrorText);
}

QString TDownloadQueue::FreeFileNameFor(const QString& path, const QString& url) {
    QStringList listed;
    for (const TDownloadInfo& info : LoadAllDownloads()) {
        if (info.Url != url)
            listed.append(info.FileName);
    }
    return FreeFileName(path, listed);
}
