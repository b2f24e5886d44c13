// A test's own HTTP server process (test_server.py) on 127.0.0.1, started and stopped with the test.
#include "support/TestFiles.h"
#include "support/TestServer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpServer>
#include <QStandardPaths>
#include <QTcpSocket>

namespace {
const int kStartTimeoutMs = 15000;
const int kStatsTimeoutMs = 5000;
} // namespace

TTestServer::TTestServer(const QString& root, const QString& certFile, const QString& keyFile)
    : m_root(root.isEmpty() ? m_ownRoot.path() : root), m_tls(!certFile.isEmpty()) {
    const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
    if (python.isEmpty()) {
        m_error = QStringLiteral("python3 not found");
        return;
    }
    QStringList args{QStringLiteral(QUELLON_TEST_SERVER), QStringLiteral("--root"), m_root,
                     QStringLiteral("--port"), QStringLiteral("0")};
    if (m_tls)
        args << QStringLiteral("--tls-cert") << certFile << QStringLiteral("--tls-key") << keyFile;
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(python, args);
    if (!m_process.waitForStarted(kStartTimeoutMs)) {
        m_error = m_process.errorString();
        return;
    }
    // The server prints "PORT <n>" once it listens; nothing else comes on stdout.
    QByteArray line;
    while (!line.endsWith('\n')) {
        if (!m_process.canReadLine() && !m_process.waitForReadyRead(kStartTimeoutMs))
            break;
        line += m_process.readLine();
    }
    const QList<QByteArray> words = line.trimmed().split(' ');
    if (words.size() == 2 && words[0] == "PORT")
        m_port = static_cast<quint16>(words[1].toUInt());
    if (m_port == 0)
        m_error = QStringLiteral("test server did not report its port: ") + QString::fromLocal8Bit(line);
}

TTestServer::~TTestServer() {
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(3000)) {
        m_process.kill();
        m_process.waitForFinished(3000);
    }
}

QString TTestServer::Url(const QString& path) const {
    return QStringLiteral("%1://127.0.0.1:%2%3")
        .arg(m_tls ? QStringLiteral("https") : QStringLiteral("http"))
        .arg(m_port)
        .arg(path);
}

bool TTestServer::WriteFile(const QString& relativePath, const QByteArray& data) const {
    return WriteTestFile(QDir(m_root).filePath(relativePath), data);
}

QByteArray TTestServer::Call(const QByteArray& method, const QString& target, const QByteArray& body) const {
    if (m_tls || m_port == 0)
        return QByteArray();
    QTcpSocket socket;
    socket.connectToHost(QStringLiteral("127.0.0.1"), m_port);
    if (!socket.waitForConnected(kStatsTimeoutMs))
        return QByteArray();
    socket.write(method + ' ' + target.toUtf8() + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n" +
                 "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body);
    QByteArray reply;
    while (socket.state() == QAbstractSocket::ConnectedState && socket.waitForReadyRead(kStatsTimeoutMs))
        reply += socket.readAll();
    reply += socket.readAll();
    const int bodyStart = reply.indexOf("\r\n\r\n");
    if (!reply.startsWith("HTTP/1.1 200") || bodyStart < 0)
        return QByteArray();
    return reply.mid(bodyStart + 4);
}

QMap<QString, int> TTestServer::Stats() const {
    QMap<QString, int> counts;
    const QJsonObject object = QJsonDocument::fromJson(Call("GET", QStringLiteral("/_stats"))).object();
    for (auto it = object.begin(); it != object.end(); ++it)
        counts.insert(it.key(), it.value().toInt());
    return counts;
}

void TTestServer::ResetStats() const {
    Call("GET", QStringLiteral("/_stats?reset=1"));
}

bool TTestServer::SetAnswer(const QString& path, const TAnswer& answer, const QString& words) const {
    QJsonObject reply{{"path", path},
                      {"status", answer.Status},
                      {"body", QString::fromLatin1(answer.Body.toBase64())},
                      {"delay_ms", answer.DelayMs},
                      {"pad_to", answer.PadTo},
                      {"length", answer.StateLength},
                      {"hangup", answer.HangUp}};
    if (!answer.Location.isEmpty())
        reply.insert("location", QString::fromUtf8(answer.Location));
    if (!words.isNull())
        reply.insert("q", words);
    return !Call("POST", QStringLiteral("/_answer"), QJsonDocument(reply).toJson()).isNull();
}

bool TTestServer::ClearAnswers() const {
    return !Call("POST", QStringLiteral("/_answer"), R"({"clear":true})").isNull();
}

QList<TTestServer::TRequest> TTestServer::Received(const QString& pathPrefix) const {
    QList<TRequest> requests;
    for (const QJsonValue& value : QJsonDocument::fromJson(Call("GET", QStringLiteral("/_requests"))).array()) {
        const QJsonObject entry = value.toObject();
        TRequest request{entry.value("method").toString().toUtf8(), entry.value("target").toString().toUtf8(),
                         entry.value("head").toString().toUtf8(),
                         QByteArray::fromBase64(entry.value("body").toString().toLatin1()),
                         entry.value("done").toBool()};
        if (request.Target.startsWith(pathPrefix.toUtf8()))
            requests.append(request);
    }
    return requests;
}

QStringList TTestServer::TranslateWords() const {
    QStringList words;
    for (const TRequest& request : Received(QStringLiteral("/_translate/")))
        words << request.Words();
    return words;
}

QString TTestServer::RefusingRoot() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return QStringLiteral("http://127.0.0.1:%1/").arg(port);
}

QByteArray TTestServer::TRequest::Header(const QByteArray& name) const {
    for (const QByteArray& line : Head.split('\n')) {
        const int colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).trimmed().compare(name, Qt::CaseInsensitive) == 0)
            return line.mid(colon + 1).trimmed();
    }
    return QByteArray();
}

QList<QPair<QString, QString>> TTestServer::TRequest::Form() const {
    QList<QPair<QString, QString>> pairs;
    for (QByteArray pair : Body.split('&')) {
        pair.replace('+', ' ');
        const int equals = pair.indexOf('=');
        const QByteArray name = equals < 0 ? pair : pair.left(equals);
        const QByteArray value = equals < 0 ? QByteArray() : pair.mid(equals + 1);
        pairs.append({QString::fromUtf8(name), QString::fromUtf8(QByteArray::fromPercentEncoding(value))});
    }
    return pairs;
}

QString TTestServer::TRequest::Words() const {
    const int question = Target.indexOf('?');
    QByteArray fields = Method == "POST" ? Body : (question < 0 ? QByteArray() : Target.mid(question + 1));
    for (QByteArray pair : fields.split('&')) {
        if (pair.startsWith("q="))
            return QString::fromUtf8(QByteArray::fromPercentEncoding(pair.mid(2).replace('+', ' ')));
    }
    return QString();
}

QByteArray TTestServer::GeneratedBytes(qint64 offset, qint64 size) {
    QByteArray bytes(static_cast<int>(size), Qt::Uninitialized);
    for (qint64 k = 0; k < size; ++k) {
        const qint64 i = offset + k;
        bytes[static_cast<int>(k)] = static_cast<char>((i * 7 + i / 251) & 0xFF);
    }
    return bytes;
}
