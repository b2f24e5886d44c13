// A test's own HTTP server: starts tests/support/test_server.py on a free port of 127.0.0.1,
// gives the addresses of its paths and stops it when destroyed.
#pragma once

#include <QByteArray>
#include <QMap>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

class TTestServer {
public:
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

    // The bytes the server sends for "/_gen/<size>" from offset on.
    static QByteArray GeneratedBytes(qint64 offset, qint64 size);

private:
    QByteArray FetchStats(const QString& query) const;

    QTemporaryDir m_ownRoot;
    QString m_root;
    QProcess m_process;
    quint16 m_port = 0;
    bool m_tls = false;
    QString m_error;
};
