// Blocking HTTP/1.1 client over libcurl: one request at a time on the calling thread, TLS with
// certificate verification, redirects, read time-out, an overall deadline, a cap on the answer's
// size, custom headers, form posts, progress notifications, and an abort that another thread may
// call at any moment.
#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <atomic>
#include <functional>
#include <mutex>

class QIODevice;

struct THttpResponse {
    int Status = 0;            // status of the final response (after redirects)
    qint64 ContentLength = -1; // body length the server stated; -1 when it stated none
    qint64 RangeStart = -1;    // first byte of a 206 answer's Content-Range; -1 without one
    qint64 RangeTotal = -1;    // complete size from Content-Range ("*" gives -1)
    QString EffectiveUrl;      // address after redirects
    QList<QPair<QByteArray, QByteArray>> Headers;    // headers of the final response, in order
    QByteArray Header(const QByteArray& name) const; // first value, case-insensitive name
};

using THttpForm = QList<QPair<QString, QString>>;

class THttpClient {
public:
    THttpClient();
    ~THttpClient();
    THttpClient(const THttpClient&) = delete;
    THttpClient& operator=(const THttpClient&) = delete;

    void SetUserAgent(const QString& agent);
    // Adds or replaces a request header ("Range", "Referer", ...); an empty value removes it.
    // A name that is not an HTTP token or a value with a line break is refused with a log line.
    void SetHeader(const QByteArray& name, const QByteArray& value);
    // No byte from the server for this long once connected fails the request; 0: no limit.
    void SetReadTimeout(int milliseconds);
    void SetConnectTimeout(int milliseconds);
    // On by default, at most 10. A request to an https address never follows a redirect to http.
    void SetFollowRedirects(bool follow);
    // The most body bytes accepted; a longer answer fails ("answer larger than ..."), before its
    // first byte when the server states its length, and is logged. 0: no limit. Default:
    // DefaultMaxMemoryBody for an answer read into memory, no limit for a file target.
    void SetMaxBodySize(qint64 bytes);
    // The whole request, connecting included, fails when it has not ended within this time.
    // 0: no limit. Default: DefaultDeadlineMs for an answer read into memory, none for a file
    // target; any transfer also fails when it stays below MinSpeed bytes a second for a minute.
    void SetDeadline(int milliseconds);

    static constexpr qint64 DefaultMaxMemoryBody = 1024 * 1024;
    static constexpr int DefaultDeadlineMs = 60000;
    static constexpr long MinSpeed = 16;

    // Notifications, called on the requesting thread inside Get/Post.
    // OnResponse: the final 2xx response's status and headers, before its first body byte;
    // answer false to refuse the body (the request then fails with that reason). An error status
    // fails the request without it (Response() still holds the answer's status and headers).
    // OnWorkBegin/OnWorkEnd come in pairs, and only for a body that was accepted.
    std::function<bool(const THttpResponse&, QString* refusal)> OnResponse;
    std::function<void()> OnWorkBegin;            // the body transfer begins
    std::function<void(qint64 received)> OnWork;  // running count of body bytes received
    std::function<void(bool complete)> OnWorkEnd; // complete: the whole body arrived

    // GET into the device at its current position (the device stays open). True on a complete
    // 2xx body; false on any failure, with ErrorText() saying why. The body of an error status is
    // never written. A buffer is cleared first.
    bool Get(const QString& url, QIODevice* target);
    bool Get(const QString& url, QByteArray* body);
    // POST of form fields as "application/x-www-form-urlencoded" (values URL-encoded from UTF-8,
    // names as given); the answer's body goes into body.
    bool Post(const QString& url, const THttpForm& form, QByteArray* body);

    // Thread-safe: ends a running request at once (it fails with "aborted") and makes every later
    // request of this client fail too. Safe to call before, during or after a request.
    void Abort();
    bool Aborted() const { return m_aborted.load(); }

    const THttpResponse& Response() const { return m_response; }
    QString ErrorText() const { return m_error; }

    struct Impl;

private:
    bool Perform(const QString& url, const QByteArray* postData, QIODevice* target, QByteArray* body);
    bool FailWithoutTarget();
    bool ReadsIntoMemory(const QIODevice* target) const;
    int RunTransfer(Impl* impl); // the libcurl result code of the finished transfer
    QString TransferErrorText(int code, const char* detail, qint64 received) const;

    QByteArray m_userAgent;
    QList<QPair<QByteArray, QByteArray>> m_headers;
    int m_readTimeoutMs = 60000;
    int m_connectTimeoutMs = 30000;
    bool m_followRedirects = true;
    qint64 m_maxBodyBytes = -1; // -1: the default for the target
    int m_deadlineMs = -1;      // -1: the default for the target
    THttpResponse m_response;
    QString m_error;
    std::atomic<bool> m_aborted{false};
    std::mutex m_abortLock; // guards m_running against a concurrent Abort()
    Impl* m_running = nullptr;
};

// "name=value&name=value" with values percent-encoded from UTF-8.
QByteArray EncodeForm(const THttpForm& form);
