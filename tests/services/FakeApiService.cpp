// The stand-in web API: blocking socket calls on its own thread, one request per connection.
#include "FakeApiService.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>
#include <chrono>
#include <future>

namespace {
const int kPollMs = 20;

QByteArray ReasonOf(int status) {
    switch (status) {
    case 200:
        return "OK";
    case 404:
        return "Not Found";
    case 500:
        return "Internal Server Error";
    default:
        return "Status";
    }
}
} // namespace

QByteArray TFakeApiService::TRequest::Header(const QByteArray& name) const {
    for (const QByteArray& line : Head.split('\n')) {
        const int colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).trimmed().compare(name, Qt::CaseInsensitive) == 0)
            return line.mid(colon + 1).trimmed();
    }
    return QByteArray();
}

QList<QPair<QString, QString>> TFakeApiService::TRequest::Form() const {
    QList<QPair<QString, QString>> pairs;
    for (const QByteArray& pair : Body.split('&')) {
        const int equals = pair.indexOf('=');
        const QByteArray name = equals < 0 ? pair : pair.left(equals);
        const QByteArray value = equals < 0 ? QByteArray() : pair.mid(equals + 1);
        pairs.append({QString::fromUtf8(name), QString::fromUtf8(QByteArray::fromPercentEncoding(value))});
    }
    return pairs;
}

TFakeApiService::TFakeApiService() {
    std::promise<void> listening;
    std::future<void> ready = listening.get_future();
    m_thread = std::thread([this, &listening] {
        QTcpServer server;
        if (server.listen(QHostAddress::LocalHost, 0))
            m_port = server.serverPort();
        listening.set_value();
        while (m_port != 0 && !m_stop) {
            if (!server.waitForNewConnection(kPollMs))
                continue;
            QTcpSocket* socket = server.nextPendingConnection();
            Serve(socket);
            delete socket;
        }
    });
    ready.wait();
}

TFakeApiService::~TFakeApiService() {
    m_stop = true;
    m_thread.join();
}

QString TFakeApiService::Root() const {
    return QStringLiteral("http://127.0.0.1:%1/").arg(m_port.load());
}

void TFakeApiService::SetAnswer(const TAnswer& answer) {
    std::lock_guard<std::mutex> lock(m_lock);
    m_answer = answer;
}

QList<TFakeApiService::TRequest> TFakeApiService::Requests() const {
    std::lock_guard<std::mutex> lock(m_lock);
    return m_requests;
}

QString TFakeApiService::RefusingRoot() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return QStringLiteral("http://127.0.0.1:%1/").arg(port);
}

void TFakeApiService::Serve(QTcpSocket* socket) {
    TRequest request;
    if (!ReadRequest(socket, &request))
        return;
    TAnswer answer;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_requests.append(request);
        answer = m_answer;
    }
    Send(socket, answer);
}

bool TFakeApiService::ReadRequest(QTcpSocket* socket, TRequest* request) {
    QByteArray data;
    int headEnd = -1;
    while (headEnd < 0 && !m_stop) {
        if (!socket->waitForReadyRead(kPollMs) && socket->state() != QAbstractSocket::ConnectedState)
            return false;
        data += socket->readAll();
        headEnd = data.indexOf("\r\n\r\n");
    }
    if (headEnd < 0)
        return false;
    const QByteArray head = data.left(headEnd);
    const QList<QByteArray> requestLine = head.left(head.indexOf("\r\n")).split(' ');
    request->Method = requestLine.value(0);
    request->Target = requestLine.value(1);
    request->Head = head.mid(head.indexOf("\r\n") + 2).replace("\r\n", "\n");
    const int length = request->Header("Content-Length").toInt();
    QByteArray body = data.mid(headEnd + 4);
    while (body.size() < length && !m_stop) {
        if (!socket->waitForReadyRead(kPollMs) && socket->state() != QAbstractSocket::ConnectedState)
            return false;
        body += socket->readAll();
    }
    request->Body = body;
    return true;
}

void TFakeApiService::Send(QTcpSocket* socket, const TAnswer& answer) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(answer.DelayMs);
    while (std::chrono::steady_clock::now() < until && !m_stop)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    QByteArray body = answer.Body;
    if (answer.PadTo > body.size())
        body += QByteArray(int(answer.PadTo - body.size()), ' ');
    QByteArray head = "HTTP/1.1 " + QByteArray::number(answer.Status) + ' ' + ReasonOf(answer.Status) +
                      "\r\nContent-Type: application/json; charset=utf-8\r\nConnection: close\r\n";
    if (answer.StateLength)
        head += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    socket->write(head + "\r\n");
    // Written in pieces: a client that stops reading ends the answer without blocking us.
    const int piece = 64 * 1024;
    for (int offset = 0; offset < body.size() && !m_stop; offset += piece) {
        socket->write(body.mid(offset, piece));
        while (socket->bytesToWrite() > 0 && socket->state() == QAbstractSocket::ConnectedState && !m_stop)
            socket->waitForBytesWritten(kPollMs);
        if (socket->state() != QAbstractSocket::ConnectedState)
            return;
    }
    socket->disconnectFromHost();
    if (socket->state() != QAbstractSocket::UnconnectedState)
        socket->waitForDisconnected(1000);
}
