// A stand-in for the vendor's web API on 127.0.0.1. It serves from its own thread, because the
// client blocks the thread that calls it. It records every request and answers each one with the
// answer set last: a status and body, optionally after a delay, as a large body or without a
// stated length.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <atomic>
#include <mutex>
#include <thread>

class QTcpSocket;

class TFakeApiService {
public:
    struct TRequest {
        QByteArray Method;
        QByteArray Target; // "/api/index.php?s=/Module/Action"
        QByteArray Head;   // the header lines as received
        QByteArray Body;
        QByteArray Header(const QByteArray& name) const;
        // The form body's pairs, values percent-decoded from UTF-8, in order.
        QList<QPair<QString, QString>> Form() const;
    };
    struct TAnswer {
        int Status = 200;
        QByteArray Body = R"({"code":"00000","result":true})";
        int DelayMs = 0;         // before the status line
        qint64 PadTo = 0;        // the body is padded with blanks to this size
        bool StateLength = true; // false: no Content-Length, the body ends when the connection closes
    };

    TFakeApiService();
    ~TFakeApiService();
    TFakeApiService(const TFakeApiService&) = delete;
    TFakeApiService& operator=(const TFakeApiService&) = delete;

    bool Listening() const { return m_port != 0; }
    // "http://127.0.0.1:<port>/", the service root the client is given.
    QString Root() const;
    void SetAnswer(const TAnswer& answer);
    QList<TRequest> Requests() const;

    // A root on 127.0.0.1 where nothing listens.
    static QString RefusingRoot();

private:
    void Serve(QTcpSocket* socket);
    bool ReadRequest(QTcpSocket* socket, TRequest* request);
    void Send(QTcpSocket* socket, const TAnswer& answer);

    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::atomic<quint16> m_port{0};
    mutable std::mutex m_lock;
    TAnswer m_answer;
    QList<TRequest> m_requests;
};
