// Blocking HTTP/1.1 client over libcurl's multi interface: the transfer runs on the calling thread
// while Abort() may wake it from any other thread through curl_multi_wakeup.
#include "common/HttpClient.h"
#include "common/Logging.h"
#include "common/UrlText.h"

#include <QFileDevice>
#include <QIODevice>
#include <QUrl>
#include <algorithm>
#include <chrono>
#include <curl/curl.h>
#include <mutex>

namespace {

using TClock = std::chrono::steady_clock;

const long kReceiveBufferSize = 512 * 1024;
const long kMaxRedirects = 10;
const int kIdlePollMs = 1000;
// A transfer below CURLOPT_LOW_SPEED_LIMIT for this long fails: a server that sends a byte now and
// then never trips the read time-out.
const long kLowSpeedSeconds = 60;
// Reserving the whole stated length in a memory buffer avoids regrowth; beyond this the buffer
// grows as bytes arrive, so a lying header cannot make us allocate gigabytes up front.
const qint64 kMaxReserve = 64 * 1024 * 1024;
// A QByteArray holds less than 2 GiB; larger bodies belong in a file.
const qint64 kMaxMemoryBody = 0x7FFFFFFF - 64 * 1024 * 1024;

void InitCurlOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

bool IsHttpToken(char c) {
    return c > ' ' && c < 0x7F && c != ':';
}

bool IsHeaderName(const QByteArray& name) {
    return !name.isEmpty() && std::all_of(name.begin(), name.end(), IsHttpToken);
}

// A line break inside a value would let it add headers of its own to the request.
bool IsHeaderValue(const QByteArray& value) {
    return !value.contains('\r') && !value.contains('\n') && !value.contains('\0');
}

// Percent-encodes what libcurl's URL parser refuses (bytes above 0x7F, blanks, controls) and keeps
// everything else, escapes already present included.
QByteArray EncodeUrlForRequest(const QString& url) {
    // Every printable ASCII character other than a letter or digit is kept as it is.
    static const QByteArray printable = [] {
        QByteArray kept;
        for (char c = 0x21; c < 0x7F; ++c)
            kept += c;
        return kept;
    }();
    return PercentEncode(url.toUtf8(), printable, false);
}

// The address as the log may show it: no user, password, query or fragment (they may carry
// secrets).
QString LoggedAddress(const QString& url) {
    return QUrl(url).adjusted(QUrl::RemoveUserInfo | QUrl::RemoveQuery | QUrl::RemoveFragment).toString();
}

// Non-negative decimal number, -1 when the text is anything else.
qint64 ParseLength(const QByteArray& text) {
    const QByteArray trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return -1;
    for (const char c : trimmed) {
        if (c < '0' || c > '9')
            return -1;
    }
    bool ok = false;
    const qint64 value = trimmed.toLongLong(&ok);
    return ok ? value : -1;
}

// "bytes a-b/total", "bytes a-b/*" or "bytes */total".
void ParseContentRange(const QByteArray& value, THttpResponse* response) {
    QByteArray text = value.trimmed();
    if (!text.toLower().startsWith("bytes "))
        return;
    text = text.mid(6).trimmed();
    const int slash = text.indexOf('/');
    if (slash < 0)
        return;
    const QByteArray range = text.left(slash).trimmed();
    const QByteArray total = text.mid(slash + 1).trimmed();
    response->RangeTotal = total == "*" ? -1 : ParseLength(total);
    const int dash = range.indexOf('-');
    if (range != "*" && dash > 0)
        response->RangeStart = ParseLength(range.left(dash));
}

} // namespace

QByteArray THttpResponse::Header(const QByteArray& name) const {
    for (const auto& header : Headers) {
        if (header.first.compare(name, Qt::CaseInsensitive) == 0)
            return header.second;
    }
    return QByteArray();
}

QByteArray EncodeForm(const THttpForm& form) {
    QByteArray body;
    for (const auto& field : form) {
        if (!body.isEmpty())
            body += '&';
        body += field.first.toUtf8();
        body += '=';
        // The characters QByteArray::toPercentEncoding keeps stay as they are.
        body += PercentEncode(field.second.toUtf8(), QByteArrayLiteral("-._~"), false);
    }
    return body;
}

// The state of one request: the curl handles and what the callbacks learn while it runs.
struct THttpClient::Impl {
    THttpClient* Client = nullptr;
    CURL* Easy = nullptr;
    CURLM* Multi = nullptr;
    curl_slist* HeaderList = nullptr;
    char ErrorBuffer[CURL_ERROR_SIZE] = {};

    QIODevice* Target = nullptr;
    QByteArray* Body = nullptr;
    QString Url;
    qint64 MaxBody = 0; // 0: no cap
    int DeadlineMs = 0; // 0: no deadline

    QByteArray ReasonPhrase;
    bool InFinalResponse = false; // the current response is the one whose body we keep
    bool FinalSeen = false;
    bool WorkBegun = false;
    bool Failed = false; // a callback stopped the transfer and set the error text
    bool Connected = false;
    qint64 Received = 0;
    TClock::time_point LastActivity;

    ~Impl() {
        if (Multi && Easy)
            curl_multi_remove_handle(Multi, Easy);
        if (Easy)
            curl_easy_cleanup(Easy);
        if (Multi)
            curl_multi_cleanup(Multi);
        curl_slist_free_all(HeaderList);
    }

    void Fail(const QString& text) {
        if (!Failed)
            Client->m_error = text;
        Failed = true;
    }
    // A limit of ours ended the request: said in the log too, as many callers only see failure.
    void FailOnLimit(const QString& text) {
        if (!Failed)
            WriteLog(QStringLiteral("HTTP client: %1 failed: %2").arg(LoggedAddress(Url), text));
        Fail(text);
    }
    QString TooLargeText() const {
        return QStringLiteral("answer larger than %1 bytes refused").arg(MaxBody);
    }

    void Configure(const QString& url, const QByteArray* postData);
    bool HeaderLine(const char* data, size_t size);
    bool HeadersComplete();
    size_t BodyBytes(const char* data, size_t size);
};

namespace {

// libcurl is C: no exception may cross it. A throwing notification fails the request instead.
template <class Work> size_t Guarded(THttpClient::Impl* impl, Work work) {
    try {
        return work();
    } catch (const std::exception& error) {
        impl->Fail(QStringLiteral("request stopped by an error: ") + QString::fromLocal8Bit(error.what()));
    } catch (...) {
        impl->Fail(QStringLiteral("request stopped by an error"));
    }
    return 0;
}

size_t HeaderCallback(char* data, size_t size, size_t count, void* user) {
    auto* impl = static_cast<THttpClient::Impl*>(user);
    const size_t bytes = size * count;
    return Guarded(impl, [&] { return impl->HeaderLine(data, bytes) ? bytes : size_t(0); });
}

size_t WriteCallback(char* data, size_t size, size_t count, void* user) {
    auto* impl = static_cast<THttpClient::Impl*>(user);
    return Guarded(impl, [&] { return impl->BodyBytes(data, size * count); });
}

} // namespace

bool THttpClient::Impl::HeaderLine(const char* data, size_t size) {
    LastActivity = TClock::now();
    if (size == 0)
        return true;
    THttpResponse& response = Client->m_response;
    const QByteArray line = QByteArray(data, static_cast<int>(size)).trimmed();
    if (line.startsWith("HTTP/")) {
        // A new response begins: an interim one, a redirect or the final answer.
        const int statusStart = line.indexOf(' ') + 1;
        int reasonStart = line.indexOf(' ', statusStart);
        if (reasonStart < 0)
            reasonStart = line.size();
        response = THttpResponse();
        response.Status = statusStart > 0 ? line.mid(statusStart, reasonStart - statusStart).toInt() : 0;
        ReasonPhrase = line.mid(reasonStart).trimmed();
        InFinalResponse = false;
        return true;
    }
    if (line.isEmpty())
        return HeadersComplete();
    if ((data[0] == ' ' || data[0] == '\t') && !response.Headers.isEmpty()) {
        response.Headers.last().second += ' ' + line;
        return true;
    }
    const int colon = line.indexOf(':');
    if (colon <= 0)
        return true;
    const QByteArray name = line.left(colon).trimmed();
    if (!IsHeaderName(name))
        return true;
    response.Headers.append({name, line.mid(colon + 1).trimmed()});
    return true;
}

bool THttpClient::Impl::HeadersComplete() {
    // Chunked trailers may end with a blank line too: the final answer is handled once.
    if (InFinalResponse)
        return true;
    THttpResponse& response = Client->m_response;
    const int status = response.Status;
    if (status >= 100 && status < 200)
        return true;
    const bool followed = Client->m_followRedirects && status >= 300 && status < 400 && status != 304 &&
                          !response.Header("Location").isEmpty();
    if (followed)
        return true;

    InFinalResponse = true;
    FinalSeen = true;
    char* effective = nullptr;
    if (curl_easy_getinfo(Easy, CURLINFO_EFFECTIVE_URL, &effective) == CURLE_OK && effective)
        response.EffectiveUrl = QString::fromUtf8(effective);
    if (response.Header("Transfer-Encoding").isEmpty())
        response.ContentLength = ParseLength(response.Header("Content-Length"));
    const QByteArray contentRange = response.Header("Content-Range");
    if (!contentRange.isEmpty())
        ParseContentRange(contentRange, &response);

    if (status < 200 || status >= 300) {
        // The body of an error answer is never the resource: refuse it before any byte arrives.
        QString text = QStringLiteral("HTTP %1").arg(status);
        if (!ReasonPhrase.isEmpty())
            text += ' ' + QString::fromLatin1(ReasonPhrase);
        Fail(text);
        return false;
    }
    if (MaxBody > 0 && response.ContentLength > MaxBody) {
        FailOnLimit(TooLargeText() + QStringLiteral(" (the server states %1)").arg(response.ContentLength));
        return false;
    }
    if (Client->OnResponse) {
        QString refusal;
        if (!Client->OnResponse(response, &refusal)) {
            Fail(refusal.isEmpty() ? QStringLiteral("response refused") : refusal);
            return false;
        }
    }
    if (Body && response.ContentLength > 0)
        Body->reserve(static_cast<int>(qMin(response.ContentLength, kMaxReserve)));
    WorkBegun = true;
    if (Client->OnWorkBegin)
        Client->OnWorkBegin();
    return true;
}

void THttpClient::Impl::Configure(const QString& url, const QByteArray* postData) {
    CURL* easy = Easy;
    const QByteArray requestUrl = EncodeUrlForRequest(url);
    curl_easy_setopt(easy, CURLOPT_URL, requestUrl.constData());
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    // A secure request never continues in plain text.
    const bool secure = requestUrl.left(8).toLower() == "https://";
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, secure ? "https" : "http,https");
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_LIMIT, THttpClient::MinSpeed);
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_TIME, kLowSpeedSeconds);
    curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, long(CURL_HTTP_VERSION_1_1));
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    // A proxy tunnel's "200 Connection established" must not pass for the final answer.
    curl_easy_setopt(easy, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, ErrorBuffer);
    curl_easy_setopt(easy, CURLOPT_BUFFERSIZE, kReceiveBufferSize);
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, Client->m_followRedirects ? 1L : 0L);
    curl_easy_setopt(easy, CURLOPT_MAXREDIRS, kMaxRedirects);
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 2L);
    if (Client->m_connectTimeoutMs > 0)
        curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, long(Client->m_connectTimeoutMs));
    if (!Client->m_userAgent.isEmpty())
        curl_easy_setopt(easy, CURLOPT_USERAGENT, Client->m_userAgent.constData());
    for (const auto& header : Client->m_headers)
        HeaderList = curl_slist_append(HeaderList, (header.first + ": " + header.second).constData());
    // Form posts are small: send them at once instead of waiting for a "100 Continue".
    HeaderList = curl_slist_append(HeaderList, "Expect:");
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, HeaderList);
    if (postData) {
        curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, curl_off_t(postData->size()));
        curl_easy_setopt(easy, CURLOPT_POSTFIELDS, postData->constData());
    }
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, HeaderCallback);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, WriteCallback);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, this);
    curl_multi_add_handle(Multi, easy);
}

size_t THttpClient::Impl::BodyBytes(const char* data, size_t size) {
    LastActivity = TClock::now();
    if (!InFinalResponse)
        return size; // the body of a redirect that is being followed
    if (Client->m_aborted.load(std::memory_order_relaxed)) {
        Fail(QStringLiteral("aborted"));
        return 0;
    }
    if (MaxBody > 0 && static_cast<qint64>(size) > MaxBody - Received) {
        FailOnLimit(TooLargeText());
        if (Body)
            *Body = QByteArray(); // the part that came is no answer: its memory goes at once
        return 0;
    }
    if (Target) {
        const qint64 written = Target->write(data, static_cast<qint64>(size));
        if (written != static_cast<qint64>(size)) {
            Fail(QStringLiteral("write failed: ") + Target->errorString());
            return 0;
        }
    } else {
        if (static_cast<qint64>(size) > kMaxMemoryBody - Body->size()) {
            Fail(QStringLiteral("response too large for memory (more than %1 bytes)").arg(kMaxMemoryBody));
            return 0;
        }
        Body->append(data, static_cast<int>(size));
    }
    Received += static_cast<qint64>(size);
    if (Client->OnWork)
        Client->OnWork(Received);
    return size;
}

THttpClient::THttpClient() {
    InitCurlOnce();
}

THttpClient::~THttpClient() = default;

void THttpClient::SetUserAgent(const QString& agent) {
    const QByteArray value = agent.toUtf8();
    if (!IsHeaderValue(value)) {
        WriteLog(QStringLiteral("HTTP client: user agent with a line break refused: ") + agent);
        return;
    }
    m_userAgent = value;
}

void THttpClient::SetHeader(const QByteArray& name, const QByteArray& value) {
    if (!IsHeaderName(name) || !IsHeaderValue(value)) {
        WriteLog(QStringLiteral("HTTP client: malformed request header refused: ") +
                 QString::fromUtf8(name + ": " + value));
        return;
    }
    for (int i = 0; i < m_headers.size(); ++i) {
        if (m_headers[i].first.compare(name, Qt::CaseInsensitive) == 0) {
            if (value.isEmpty())
                m_headers.removeAt(i);
            else
                m_headers[i].second = value;
            return;
        }
    }
    if (!value.isEmpty())
        m_headers.append({name, value});
}

void THttpClient::SetReadTimeout(int milliseconds) {
    m_readTimeoutMs = milliseconds;
}

void THttpClient::SetConnectTimeout(int milliseconds) {
    m_connectTimeoutMs = milliseconds;
}

void THttpClient::SetFollowRedirects(bool follow) {
    m_followRedirects = follow;
}

void THttpClient::SetMaxBodySize(qint64 bytes) {
    m_maxBodyBytes = qMax<qint64>(0, bytes);
}

void THttpClient::SetDeadline(int milliseconds) {
    m_deadlineMs = qMax(0, milliseconds);
}

bool THttpClient::ReadsIntoMemory(const QIODevice* target) const {
    return !qobject_cast<const QFileDevice*>(target);
}

bool THttpClient::Get(const QString& url, QIODevice* target) {
    if (!target || !target->isWritable())
        return FailWithoutTarget();
    return Perform(url, nullptr, target, nullptr);
}

bool THttpClient::Get(const QString& url, QByteArray* body) {
    if (!body)
        return FailWithoutTarget();
    body->clear();
    return Perform(url, nullptr, nullptr, body);
}

bool THttpClient::Post(const QString& url, const THttpForm& form, QByteArray* body) {
    if (!body)
        return FailWithoutTarget();
    body->clear();
    const QByteArray data = EncodeForm(form);
    return Perform(url, &data, nullptr, body);
}

bool THttpClient::FailWithoutTarget() {
    m_response = THttpResponse();
    m_error = QStringLiteral("write failed: the target is not open for writing");
    return false;
}

void THttpClient::Abort() {
    m_aborted.store(true);
    std::lock_guard<std::mutex> lock(m_abortLock);
    if (m_running)
        curl_multi_wakeup(m_running->Multi);
}

bool THttpClient::Perform(const QString& url, const QByteArray* postData, QIODevice* target,
                          QByteArray* body) {
    m_response = THttpResponse();
    m_error.clear();
    if (m_aborted.load()) {
        m_error = QStringLiteral("aborted");
        return false;
    }

    Impl impl;
    impl.Client = this;
    impl.Target = target;
    impl.Body = body;
    impl.Url = url;
    const bool memory = ReadsIntoMemory(target);
    impl.MaxBody = m_maxBodyBytes >= 0 ? m_maxBodyBytes : (memory ? DefaultMaxMemoryBody : 0);
    impl.DeadlineMs = m_deadlineMs >= 0 ? m_deadlineMs : (memory ? DefaultDeadlineMs : 0);
    impl.Easy = curl_easy_init();
    impl.Multi = curl_multi_init();
    if (!impl.Easy || !impl.Multi) {
        m_error = QStringLiteral("the HTTP library could not be initialised");
        return false;
    }

    impl.Configure(url, postData);

    {
        std::lock_guard<std::mutex> lock(m_abortLock);
        m_running = &impl;
    }
    const int result = RunTransfer(&impl);
    {
        std::lock_guard<std::mutex> lock(m_abortLock);
        m_running = nullptr;
    }

    bool complete = !impl.Failed && result == CURLE_OK && impl.FinalSeen;
    if (complete && m_response.ContentLength >= 0 && impl.Received != m_response.ContentLength)
        complete = false;
    if (complete) {
        // Bytes still in the device's buffer may fail to reach the disk: that is a failed request.
        auto* file = qobject_cast<QFileDevice*>(target);
        if (file && !file->flush()) {
            impl.Fail(QStringLiteral("write failed: ") + file->errorString());
            complete = false;
        }
    }
    if (!complete && !impl.Failed)
        impl.Fail(TransferErrorText(result, impl.ErrorBuffer, impl.Received));
    if (impl.WorkBegun && OnWorkEnd)
        OnWorkEnd(complete);
    return complete;
}

int THttpClient::RunTransfer(Impl* impl) {
    CURLM* multi = impl->Multi;
    impl->LastActivity = TClock::now();
    const auto readTimeout = std::chrono::milliseconds(m_readTimeoutMs);
    const auto deadline = TClock::now() + std::chrono::milliseconds(impl->DeadlineMs);
    while (true) {
        int running = 0;
        const CURLMcode code = curl_multi_perform(multi, &running);
        if (code != CURLM_OK) {
            impl->Fail(QString::fromUtf8(curl_multi_strerror(code)));
            return CURLE_FAILED_INIT;
        }
        if (running == 0) {
            int queued = 0;
            while (CURLMsg* message = curl_multi_info_read(multi, &queued)) {
                if (message->msg == CURLMSG_DONE)
                    return message->data.result;
            }
            return CURLE_FAILED_INIT;
        }
        if (m_aborted.load()) {
            impl->Fail(QStringLiteral("aborted"));
            return CURLE_ABORTED_BY_CALLBACK;
        }
        // The read time-out counts from the established connection; connecting has its own limit.
        if (!impl->Connected) {
            curl_off_t connectTime = 0;
            if (curl_easy_getinfo(impl->Easy, CURLINFO_CONNECT_TIME_T, &connectTime) == CURLE_OK &&
                connectTime > 0) {
                impl->Connected = true;
                impl->LastActivity = TClock::now();
            }
        }
        int waitMs = kIdlePollMs;
        if (impl->DeadlineMs > 0) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - TClock::now());
            if (left.count() <= 0) {
                impl->FailOnLimit(QStringLiteral("no complete answer within the deadline of %1 ms (%2 bytes "
                                                 "received)")
                                      .arg(impl->DeadlineMs)
                                      .arg(impl->Received));
                return CURLE_OPERATION_TIMEDOUT;
            }
            waitMs = static_cast<int>(qMin<qint64>(waitMs, left.count() + 1));
        }
        if (impl->Connected && m_readTimeoutMs > 0) {
            const auto silence = TClock::now() - impl->LastActivity;
            if (silence >= readTimeout) {
                impl->Fail(QStringLiteral("Operation timed out after %1 ms without receiving data (%2 bytes "
                                          "received)")
                               .arg(m_readTimeoutMs)
                               .arg(impl->Received));
                return CURLE_OPERATION_TIMEDOUT;
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(readTimeout - silence);
            waitMs = static_cast<int>(qBound<qint64>(1, left.count() + 1, waitMs));
        }
        curl_multi_poll(multi, nullptr, 0, waitMs, nullptr);
    }
}

QString THttpClient::TransferErrorText(int code, const char* detail, qint64 received) const {
    if (code == CURLE_PARTIAL_FILE || (code == CURLE_OK && m_response.ContentLength >= 0)) {
        if (m_response.ContentLength >= 0)
            return QStringLiteral("connection closed after %1 of %2 bytes")
                .arg(received)
                .arg(m_response.ContentLength);
        return QStringLiteral("connection closed after %1 bytes, before the end of the body").arg(received);
    }
    if (code == CURLE_OK)
        return QStringLiteral("no response received");
    const QString text = QString::fromUtf8(detail).trimmed();
    return text.isEmpty() ? QString::fromUtf8(curl_easy_strerror(static_cast<CURLcode>(code))) : text;
}
