// TDownload: the worker thread of one running download. It fetches one address into one file,
// resuming where the file ends, reports to the queue by posted messages and retries failed attempts:
// at once after an attempt that brought the file further, after a pause (at most MaxAttempts in a
// row) after one that brought nothing.
#pragma once

#include "downloads/DownloadInfo.h"

#include <QMutex>
#include <QString>
#include <QThread>
#include <QWaitCondition>
#include <atomic>
#include <functional>

class QFile;
class QObject;
class THttpClient;
struct THttpResponse;
class TDownloadQueue;

class TDownload final : public QThread {
    Q_OBJECT
public:
    // Milliseconds of a clock that only moves forward; the progress throttle reads it.
    using TClock = std::function<qint64()>;

    static constexpr int MaxAttempts = 5;
    static constexpr int DefaultRetryInterval = 5000;
    static const char* const UserAgent;

    // Not started: the queue sets NotifyWindow (and for tests RetryInterval, Clock), then calls
    // start(QThread::LowestPriority). The object deletes itself when its thread ends.
    TDownload(TDownloadQueue* queue, const QString& url, const QString& fileName);
    ~TDownload() override;

    // UI thread. Ends the download: a blocked transfer fails at once, a pause between attempts ends,
    // and nothing is posted from this worker any more.
    void StopDownload();

    // Identifies this worker in the messages it posts (their LParam), so that the queue can tell
    // a current worker's notice from a stale one.
    quint64 Id() const { return m_id; }

    // The address as requested: the engine's address in its fully encoded form (Chinese and
    // blanks percent-encoded from UTF-8 wherever they stand, the query's "?", "=" and "&" kept,
    // escapes already present kept as they are, the host in its ASCII form, no fragment).
    static QString RequestUrl(const QString& url);

    // Transfer notifications of one attempt (worker thread, inside the request).
    void WorkBegin();
    void Work(qint64 received);

    QObject* NotifyWindow = nullptr;
    int RetryInterval = DefaultRetryInterval;
    TClock Clock;

    const QString Url;
    const QString FileName;

protected:
    void run() override;

private:
    enum class TAttempt {
        Finished,   // the file holds the whole resource
        Progressed, // the file grew past every earlier attempt: go on at once
        Failed,     // nothing gained: counts against the attempts, retried after a pause
        Final       // asking again cannot help (the file cannot be written, the server refuses it)
    };

    bool ReloadState();
    TAttempt DownloadOnce();
    TAttempt Transfer(QFile& file);
    TAttempt CopyLocalFile(const QString& path, QFile& file);
    TAttempt Outcome(bool complete);
    bool OpenTarget(QFile& file);
    bool AcceptResponse(const THttpResponse& response, QFile& file, QString* refusal);
    bool AcceptRange(const THttpResponse& response, QString* refusal);
    bool AcceptWhole(const THttpResponse& response, QFile& file, QString* refusal);
    bool RefuseChangedFile(QString* refusal);
    bool AttachClient(THttpClient* client);
    void WaitBeforeRetry();
    // reason goes to the log; failure (a TDownloadFailure code) to the user.
    void Fail(const QString& reason, int failure);
    void Post(int messageId, TDownloadState state, const QString& progressText = QString());
    qint64 Now() const;

    TDownloadQueue* const Queue;
    const quint64 m_id;

    std::atomic<bool> Running{true};
    std::atomic<bool> Failed{false};
    qint64 StartPosition = 0;
    qint64 CurrentPosition = 0;
    qint64 TotalSize = 0;
    qint64 WorkBeginTime = 0;
    qint64 LastReportTime = 0;
    bool Reported = false;    // no progress posted yet: the first one always goes out
    bool OwnsFile = false;    // an attempt of this worker opened the file: its end is the position
    qint64 BestPosition = 0;  // the furthest the file got in this worker
    bool FileChanged = false; // the attempt's answer was for another file than the one begun
    QString ErrorText;        // why the last attempt failed, as logged
    int Failure = 0;          // its TDownloadFailure code

    // Guards the client against StopDownload, and every use of Queue and NotifyWindow against
    // a stop: once StopDownload returns, this worker touches neither.
    QMutex m_lock;
    QWaitCondition m_wake;
    THttpClient* HttpClient = nullptr;
};
