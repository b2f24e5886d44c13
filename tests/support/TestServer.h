// A test's own HTTP server: starts tests/support/test_server.py on a free port of 127.0.0.1,
// gives the addresses of its paths and stops it when destroyed.
#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QPair>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

class TTestServer {
public:
    // A scripted answer (see /_answer in test_server.py).
    struct TAnswer {
        int Status = 200;
        QByteArray Body;
        int DelayMs = 0;         // before the status line
        QByteArray Location;     // for a redirect status
        qint64 PadTo = 0;        // the body is padded with blanks to this size
        bool StateLength = true; // false: no Content-Length, the body ends when the connection closes
        bool HangUp = false;     // the connection is closed unanswered
    };
    // A request as the server received it.
    struct TRequest {
        QByteArray Method;
        QByteArray Target; // "/path?query", as sent
        QByteArray Head;   // the header lines, "Name: value\n" each
        QByteArray Body;
        bool Done = false; // its answer was sent or given up
        QByteArray Header(const QByteArray& name) const;
        // The form body's pairs, "+" read as a blank and values percent-decoded from UTF-8, in order.
        QList<QPair<QString, QString>> Form() const;
        // The decoded field q of the query or the form body ("+" read as a blank).
        QString Words() const;
    };

    // Serves root (a fresh temporary folder when empty). With a certificate and key it serves
    // HTTPS instead of HTTP. Running() tells whether the server came up.
    explicit TTestServer(const QString& root = QString(), const QString& certFile = QString(),
                         const QString& keyFile = QString());
    ~TTestServer();
    TTestServer(const TTestServer&) = delete;
    TTestServer& operator=(const TTestServer&) = delete;

    bool Running() const { return m_port != 0; }
    QString ErrorText() const { return m_error; }
    quint16 Port() const { return m_port; }
    QString Root() const { return m_root; }
    // "http://127.0.0.1:<port>" + path; path starts with "/" and may carry a query.
    QString Url(const QString& path) const;

    // Writes a file below Root() (parent folders created); true on success.
    bool WriteFile(const QString& relativePath, const QByteArray& data) const;

    // Requests per decoded path since the start or the last ResetStats(); empty on failure and
    // for an HTTPS server.
    QMap<QString, int> Stats() const;
    int Requests(const QString& path) const { return Stats().value(path); }
    void ResetStats() const;

    // Scripts the answer for requests of path ("*": every path not scripted itself), only for
    // those whose field q is words when words is not null. True when the server took it.
    bool SetAnswer(const QString& path, const TAnswer& answer, const QString& words = QString()) const;
    bool ClearAnswers() const;
    // Every request received so far (but the control paths), in order; only those whose path
    // starts with pathPrefix when given.
    QList<TRequest> Received(const QString& pathPrefix = QString()) const;
    // The dictionary translation service's address and the LibreTranslate server's root, and the
    // translation both give for words.
    QString TranslateEndpoint() const { return Url(QStringLiteral("/_translate/openapi.do")); }
    QString TranslateServer() const { return Url(QStringLiteral("/_translate/")); }
    static QString TranslationOf(const QString& words) { return QStringLiteral("译:") + words; }
    // The words of every request to those two, in order.
    QStringList TranslateWords() const;

    // "http://127.0.0.1:<port>/" where nothing listens.
    static QString RefusingRoot();

    // The bytes the server sends for "/_gen/<size>" from offset on.
    static QByteArray GeneratedBytes(qint64 offset, qint64 size);

private:
    // One request by a plain socket rather than the program's HTTP client, so that the client's
    // own tests can rely on it; the body of a 200 answer, null otherwise.
    QByteArray Call(const QByteArray& method, const QString& target, const QByteArray& body = QByteArray()) const;

    QTemporaryDir m_ownRoot;
    QString m_root;
    QProcess m_process;
    quint16 m_port = 0;
    bool m_tls = false;
    QString m_error;
};
