// TDownload: one download's worker thread, its resume rules and its once-a-second progress reports.
#include "downloads/Download.h"

#include "common/HttpClient.h"
#include "common/Logging.h"
#include "common/Messages.h"
#include "common/SizeText.h"
#include "downloads/DownloadFailure.h"
#include "downloads/DownloadQueue.h"

#include <QCoreApplication>
#include <QFile>
#include <QMutexLocker>
#include <QUrl>
#include <chrono>

namespace {

std::atomic<quint64> g_nextWorkerId{1};

qint64 SteadyMilliseconds() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// The target file. A write that fills the disk stores what fits and comes back short without an
// error; writing the rest at once makes the system report the reason (no space left on device),
// so that the failed attempt can say it.
class TTargetFile final : public QFile {
public:
    using QFile::QFile;

protected:
    qint64 writeData(const char* data, qint64 length) override {
        qint64 written = 0;
        while (written < length) {
            const qint64 n = QFile::writeData(data + written, length - written);
            if (n <= 0)
                return written > 0 ? written : n;
            written += n;
        }
        return written;
    }
};

} // namespace

const char* const TDownload::UserAgent =
    "Mozilla/5.0 (Windows NT 6.1; WOW64) AppleWebKit/537.36 (KHTML, like Gecko) "
    "Chrome/39.0.2171.95 Safari/537.36 Download";

TDownload::TDownload(TDownloadQueue* queue, const QString& url, const QString& fileName)
    : Url(url), FileName(fileName), Queue(queue), m_id(g_nextWorkerId++) {
    connect(this, &QThread::finished, this, &QObject::deleteLater);
}

TDownload::~TDownload() = default;

void TDownload::StopDownload() {
    QMutexLocker lock(&m_lock);
    Running = false;
    requestInterruption();
    if (HttpClient)
        HttpClient->Abort();
    m_wake.wakeAll();
}

QString TDownload::RequestUrl(const QString& url) {
    // Tolerant parsing keeps "%XX" escapes and encodes a stray "%", so that an address the engine
    // already encoded is not encoded twice.
    const QUrl parsed(url, QUrl::TolerantMode);
    if (!parsed.isValid())
        return url;
    return QString::fromLatin1(parsed.toEncoded(QUrl::RemoveFragment));
}

qint64 TDownload::Now() const {
    return Clock ? Clock() : SteadyMilliseconds();
}

void TDownload::WorkBegin() {
    WorkBeginTime = Now();
}

void TDownload::Work(qint64 received) {
    if (!Running || Failed)
        return;
    CurrentPosition = StartPosition + received;
    const qint64 now = Now();
    if (Reported && qAbs(now - LastReportTime) < 1000)
        return;
    qint64 elapsed = qRound64((now - WorkBeginTime) / 1000.0);
    if (elapsed == 0)
        elapsed = 1;
    LastReportTime = now;
    Reported = true;
    // The average over the whole attempt, not over the last second.
    const qint64 speed = qRound64(static_cast<double>(received) / elapsed);
    Post(WM_DOWNLOAD_PROGRESS, dsDownloading,
         QStringLiteral("%1/S %2/%3")
             .arg(FormatSize(speed), FormatSize(CurrentPosition), FormatSize(TotalSize)));
}

void TDownload::run() {
    // Only attempts that gain nothing count: a connection that breaks every few megabytes still
    // brings the file to its end.
    int idle = 0;
    while (idle < MaxAttempts && ReloadState()) {
        Failed = false;
        const TAttempt attempt = DownloadOnce();
        if (attempt == TAttempt::Finished) {
            Post(WM_DOWNLOAD_FINISHED, dsFinished);
            return;
        }
        if (attempt == TAttempt::Final)
            break;
        if (attempt == TAttempt::Progressed) {
            idle = 0;
            continue;
        }
        if (++idle < MaxAttempts)
            WaitBeforeRetry();
    }
    Post(WM_DOWNLOAD_FAILED, dsFailed); // nothing goes out after a stop
}

bool TDownload::ReloadState() {
    QMutexLocker lock(&m_lock);
    if (!Running)
        return false;
    const qint64 learnt = TotalSize;
    StartPosition = 0;
    TotalSize = 0;
    const TDownloadInfo row = Queue->LoadDownload(Url);
    StartPosition = row.Position;
    // A size learnt from an earlier answer holds until the row has it too.
    TotalSize = row.TotalSize > 0 ? row.TotalSize : learnt;
    return true;
}

void TDownload::WaitBeforeRetry() {
    QMutexLocker lock(&m_lock);
    if (Running)
        m_wake.wait(&m_lock, static_cast<unsigned long>(qMax(0, RetryInterval)));
}

bool TDownload::AttachClient(THttpClient* client) {
    QMutexLocker lock(&m_lock);
    HttpClient = Running ? client : nullptr;
    return HttpClient != nullptr;
}

TDownload::TAttempt TDownload::DownloadOnce() {
    CurrentPosition = StartPosition;
    TTargetFile file(FileName);
    if (!OpenTarget(file)) {
        // A folder that is read-only, full or missing, or a name the file system refuses, stays so.
        Fail(QStringLiteral("cannot open %1: %2").arg(FileName, file.errorString()),
             FileFailure(file.errorString(), true));
        return TAttempt::Final;
    }
    CurrentPosition = StartPosition;
    BestPosition = qMax(BestPosition, StartPosition);
    // The file already holds every byte (the program stopped between the last write and the
    // finished notice): asking for the bytes after the end would only be refused.
    if (TotalSize > 0 && StartPosition == TotalSize)
        return TAttempt::Finished;
    return Transfer(file);
}

TDownload::TAttempt TDownload::Transfer(QFile& file) {
    const QUrl address(Url);
    if (address.isLocalFile())
        return CopyLocalFile(address.toLocalFile(), file);
    THttpClient client;
    client.SetUserAgent(QString::fromLatin1(UserAgent));
    client.SetFollowRedirects(true);
    client.SetReadTimeout(60000);
    client.SetHeader("Range", "bytes=" + QByteArray::number(StartPosition) + '-');
    client.OnResponse = [this, &file](const THttpResponse& response, QString* refusal) {
        return AcceptResponse(response, file, refusal);
    };
    client.OnWorkBegin = [this] { WorkBegin(); };
    client.OnWork = [this](qint64 received) { Work(received); };
    if (!AttachClient(&client))
        return TAttempt::Failed;
    FileChanged = false;
    const bool complete = client.Get(RequestUrl(Url), &file);
    AttachClient(nullptr);

    const bool writeFailed = file.error() != QFileDevice::NoError;
    const QString writeError = file.errorString();
    file.close();
    if (writeFailed)
        Fail(QStringLiteral("cannot write %1: %2").arg(FileName, writeError), FileFailure(writeError, false));
    else if (!complete)
        Fail(client.ErrorText(), FileChanged ? dfFileChanged : RequestFailure(client.Response().Status));
    if (Failed && IsFinalFailure(Failure))
        return TAttempt::Final;
    return Outcome(complete && !writeFailed);
}

// A file of this computer (such as the downloads of the bundled offline site): copied from the
// position the target holds, with the same progress reports as a transfer from a server.
TDownload::TAttempt TDownload::CopyLocalFile(const QString& path, QFile& file) {
    QFile source(path);
    if (!source.open(QIODevice::ReadOnly)) {
        Fail(QStringLiteral("cannot read %1: %2").arg(path, source.errorString()), dfSourceUnreadable);
        return TAttempt::Final;
    }
    TotalSize = source.size();
    // A target larger than the source is not a part of it: start over.
    if (StartPosition > TotalSize && file.resize(0) && file.seek(0))
        StartPosition = 0;
    if (StartPosition > TotalSize || !source.seek(StartPosition)) {
        Fail(QStringLiteral("cannot read %1 from byte %2").arg(path).arg(StartPosition), dfSourceUnreadable);
        return TAttempt::Final;
    }
    WorkBegin();
    QByteArray block(256 * 1024, Qt::Uninitialized);
    qint64 copied = 0;
    bool written = true;
    while (Running && !Failed) {
        const qint64 read = source.read(block.data(), block.size());
        if (read <= 0)
            break;
        written = file.write(block.constData(), read) == read;
        if (!written)
            break;
        copied += read;
        Work(copied);
    }
    CurrentPosition = StartPosition + copied;
    const QString writeError = file.errorString(); // a clean close clears it
    file.close();
    if (!written)
        Fail(QStringLiteral("cannot write %1: %2").arg(FileName, writeError), FileFailure(writeError, false));
    else if (source.error() != QFileDevice::NoError)
        Fail(QStringLiteral("cannot read %1: %2").arg(path, source.errorString()), dfSourceUnreadable);
    if (Failed && IsFinalFailure(Failure))
        return TAttempt::Final;
    return Outcome(written && source.error() == QFileDevice::NoError && source.atEnd());
}

TDownload::TAttempt TDownload::Outcome(bool complete) {
    if (complete && (TotalSize == 0 || CurrentPosition == TotalSize))
        return TAttempt::Finished;
    if (complete && CurrentPosition > TotalSize) {
        Fail(tr("服务器上的文件已改变"), dfFileChanged);
        return TAttempt::Final;
    }
    // A broken connection, or an answer that covered only part of the rest (servers that cap
    // ranges): the next attempt asks for what is still missing.
    const bool progressed = CurrentPosition > BestPosition;
    BestPosition = qMax(BestPosition, CurrentPosition);
    if (progressed)
        return TAttempt::Progressed;
    if (complete)
        Fail(QStringLiteral("the answer ended at byte %1 of %2").arg(CurrentPosition).arg(TotalSize),
             dfNetwork);
    return TAttempt::Failed;
}

void TDownload::Fail(const QString& reason, int failure) {
    Failed = true;
    ErrorText = reason;
    Failure = failure;
    WriteLog(QStringLiteral("DownloadThread Error: ") + reason);
}

bool TDownload::OpenTarget(QFile& file) {
    // Unbuffered: every block reaches the file before its bytes count as received, so the file
    // never holds less than was reported, whatever happens to the process afterwards.
    const bool resume = (OwnsFile || StartPosition > 0) && file.exists();
    if (!resume) {
        StartPosition = 0;
        OwnsFile = file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered);
        return OwnsFile;
    }
    if (!file.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        return false;
    OwnsFile = true;
    // Continue from what the file really holds: the stored position lags behind it by up to a
    // second of transfer (and by everything an attempt of this worker wrote since). A file larger
    // than the resource is not a part of it.
    StartPosition = file.size();
    if (TotalSize > 0 && StartPosition > TotalSize)
        StartPosition = 0;
    if (file.resize(StartPosition) && file.seek(StartPosition))
        return true;
    file.close();
    return false;
}

bool TDownload::AcceptResponse(const THttpResponse& response, QFile& file, QString* refusal) {
    if (response.Status == 206)
        return AcceptRange(response, refusal);
    if (response.Status < 200 || response.Status >= 300)
        return true; // the client fails the request with the status itself
    return AcceptWhole(response, file, refusal);
}

bool TDownload::AcceptRange(const THttpResponse& response, QString* refusal) {
    if (response.RangeStart != StartPosition) {
        *refusal = QStringLiteral("the server answered from byte %1 instead of byte %2")
                       .arg(response.RangeStart)
                       .arg(StartPosition);
        return false;
    }
    if (TotalSize > 0) {
        const bool otherTotal = response.RangeTotal >= 0 && response.RangeTotal != TotalSize;
        const bool pastTheEnd =
            response.ContentLength >= 0 && StartPosition + response.ContentLength > TotalSize;
        return (otherTotal || pastTheEnd) ? RefuseChangedFile(refusal) : true;
    }
    if (response.RangeTotal > 0)
        TotalSize = response.RangeTotal;
    else if (response.ContentLength >= 0)
        TotalSize = StartPosition + response.ContentLength;
    return true;
}

bool TDownload::AcceptWhole(const THttpResponse& response, QFile& file, QString* refusal) {
    // The whole body instead of the rest. With a known size it must be that size (a page saying
    // that a signed address expired is not the file); a body of unknown length is trusted only
    // when there is no partial file to lose.
    if (TotalSize > 0 && response.ContentLength != TotalSize &&
        (response.ContentLength >= 0 || StartPosition > 0))
        return RefuseChangedFile(refusal);
    if (StartPosition > 0) {
        // The server ignored the range: start the file over instead of appending a second copy.
        if (!file.resize(0) || !file.seek(0)) {
            *refusal = QStringLiteral("cannot truncate %1: %2").arg(FileName, file.errorString());
            return false;
        }
        StartPosition = 0;
        CurrentPosition = 0;
    }
    if (TotalSize == 0 && response.ContentLength > 0)
        TotalSize = response.ContentLength;
    return true;
}

bool TDownload::RefuseChangedFile(QString* refusal) {
    FileChanged = true;
    *refusal = tr("服务器上的文件已改变");
    return false;
}

void TDownload::Post(int messageId, TDownloadState state, const QString& progressText) {
    TDownloadInfo info;
    info.Url = Url;
    info.Position = CurrentPosition;
    // A transfer of unknown size that completed has the size it arrived with.
    info.TotalSize = (state == dsFinished && TotalSize == 0) ? CurrentPosition : TotalSize;
    info.State = state;
    info.ProgressText = progressText;
    if (messageId == WM_DOWNLOAD_FAILED) {
        // The user reads the reason in Chinese; the system's own words went to the log.
        info.Failure = Failure == dfNone ? int(dfUnknown) : Failure;
        info.ErrorText = FailureText(info.Failure);
    }
    QMutexLocker lock(&m_lock);
    if (Running && NotifyWindow)
        QCoreApplication::postEvent(
            NotifyWindow, new TRecordMessage<TDownloadInfo>(messageId, info, static_cast<qintptr>(m_id)));
}
