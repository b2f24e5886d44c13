// TDownload: one download's worker thread, its resume rules and its once-a-second progress reports.
#include "downloads/Download.h"

#include "common/CommonFunc.h"
#include "common/HttpClient.h"
#include "common/Messages.h"
#include "downloads/DownloadQueue.h"

#include <QCoreApplication>
#include <QFile>
#include <QMutexLocker>
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

bool TDownload::UsesTls(const QString& url) {
    return url.left(8).toLower() == QLatin1String("https://");
}

QString TDownload::RequestUrl(const QString& url) {
    QString request = HasMultiByteChars(url) ? EncodeLastPathSegment(url) : url;
    if (UsesTls(request))
        request.replace(0, 8, QStringLiteral("https://"));
    return request;
}

QString TDownload::EncodeLastPathSegment(const QString& url) {
    const int slash = url.lastIndexOf(QLatin1Char('/'));
    return url.left(slash + 1) + EncodeUrlText(url.mid(slash + 1));
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
    int attempts = 0;
    while (attempts < MaxAttempts && ReloadState()) {
        Failed = false;
        if (DownloadOnce()) {
            Post(WM_DOWNLOAD_FINISHED, dsFinished);
            return;
        }
        if (++attempts < MaxAttempts)
            WaitBeforeRetry();
    }
    if (attempts >= MaxAttempts)
        Post(WM_DOWNLOAD_FAILED, dsPaused);
}

bool TDownload::ReloadState() {
    QMutexLocker lock(&m_lock);
    if (!Running)
        return false;
    StartPosition = 0;
    TotalSize = 0;
    const TDownloadInfo row = Queue->LoadDownload(Url);
    StartPosition = row.Position;
    TotalSize = row.TotalSize;
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

bool TDownload::DownloadOnce() {
    TTargetFile file(FileName);
    if (!OpenTarget(file)) {
        Failed = true;
        WriteLog(
            QStringLiteral("DownloadThread Error: cannot open %1: %2").arg(FileName, file.errorString()));
        return false;
    }
    CurrentPosition = StartPosition;
    // The file already holds every byte (the program stopped between the last write and the
    // finished notice): asking for the bytes after the end would only be refused.
    if (TotalSize > 0 && StartPosition == TotalSize)
        return true;

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
        return false;
    const bool complete = client.Get(RequestUrl(Url), &file);
    AttachClient(nullptr);

    const bool writeFailed = file.error() != QFileDevice::NoError;
    const QString writeError = file.errorString();
    file.close();
    if (complete && !writeFailed)
        return true;
    Failed = true;
    WriteLog(
        QStringLiteral("DownloadThread Error: ") +
        (writeFailed ? QStringLiteral("cannot write %1: %2").arg(FileName, writeError) : client.ErrorText()));
    return false;
}

bool TDownload::OpenTarget(QFile& file) {
    // Unbuffered: every block reaches the file before its bytes count as received, so a stored
    // position never runs ahead of the file, whatever happens to the process afterwards.
    const bool resume = StartPosition > 0 && file.exists();
    if (!resume) {
        StartPosition = 0;
        return file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered);
    }
    if (!file.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        return false;
    // Continue from what the file really holds: never past its end (that would leave a gap of
    // zeros), and without the bytes written after the last stored position.
    StartPosition = qMin(StartPosition, file.size());
    if (file.resize(StartPosition) && file.seek(StartPosition))
        return true;
    file.close();
    return false;
}

bool TDownload::AcceptResponse(const THttpResponse& response, QFile& file, QString* refusal) {
    if (response.Status == 206) {
        if (response.RangeStart != StartPosition) {
            *refusal = QStringLiteral("the server answered from byte %1 instead of byte %2")
                           .arg(response.RangeStart)
                           .arg(StartPosition);
            return false;
        }
        if (TotalSize == 0) {
            if (response.RangeTotal > 0)
                TotalSize = response.RangeTotal;
            else if (response.ContentLength >= 0)
                TotalSize = StartPosition + response.ContentLength;
        }
        return true;
    }
    if (response.Status < 200 || response.Status >= 300)
        return true; // the client fails the request with the status itself
    if (StartPosition > 0) {
        // The server ignored the range and sends the whole file: start the file over instead of
        // appending a second copy.
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

void TDownload::Post(int messageId, TDownloadState state, const QString& progressText) {
    TDownloadInfo info;
    info.Url = Url;
    info.Position = CurrentPosition;
    // A transfer of unknown size that completed has the size it arrived with.
    info.TotalSize = (state == dsFinished && TotalSize == 0) ? CurrentPosition : TotalSize;
    info.State = state;
    info.ProgressText = progressText;
    QMutexLocker lock(&m_lock);
    if (Running && NotifyWindow)
        QCoreApplication::postEvent(
            NotifyWindow, new TRecordMessage<TDownloadInfo>(messageId, info, static_cast<qintptr>(m_id)));
}
