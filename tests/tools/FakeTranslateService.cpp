// A stand-in for the translation service (see FakeTranslateService.h).
#include "FakeTranslateService.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

TFakeTranslateService::TFakeTranslateService() {
    m_server.listen(QHostAddress::LocalHost);
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = m_server.nextPendingConnection()) {
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { Serve(socket); });
        }
    });
}

QString TFakeTranslateService::Endpoint() const {
    return QStringLiteral("http://127.0.0.1:%1/openapi.do").arg(m_server.serverPort());
}

void TFakeTranslateService::Serve(QTcpSocket* socket) {
    QByteArray request = socket->property("request").toByteArray() + socket->readAll();
    socket->setProperty("request", request);
    if (!request.contains("\r\n\r\n") || socket->property("answered").toBool())
        return;
    socket->setProperty("answered", true);
    const QByteArray target = request.left(request.indexOf("\r\n")).split(' ').value(1);
    Answer(socket, target);
}

void TFakeTranslateService::Answer(QTcpSocket* socket, const QByteArray& target) {
    Targets << QString::fromLatin1(target);
    QByteArray query = target.mid(target.indexOf('?') + 1);
    QByteArray q;
    for (const QByteArray& pair : query.split('&')) {
        if (pair.startsWith("q="))
            q = pair.mid(2);
    }
    const QString words = QString::fromUtf8(QByteArray::fromPercentEncoding(q.replace('+', ' ')));
    Words << words;

    TAnswer answer = m_answers.value(words);
    if (answer.Body.isEmpty() && answer.Status == 200) {
        // The service's documented form: translation, query, error code, dictionary entries.
        const QJsonObject json{{"translation", QJsonArray{TranslationOf(words)}},
                               {"query", words},
                               {"errorCode", 0},
                               {"web", QJsonArray{QJsonObject{{"key", words}, {"value", QJsonArray{"x"}}}}}};
        answer.Body = QJsonDocument(json).toJson(QJsonDocument::Compact);
    }
    QByteArray head = "HTTP/1.1 " + QByteArray::number(answer.Status) + " X\r\n" +
                      "Content-Type: application/json; charset=utf-8\r\nConnection: close\r\n" +
                      "Content-Length: " + QByteArray::number(answer.Body.size()) + "\r\n";
    if (!answer.Location.isEmpty())
        head += "Location: " + answer.Location + "\r\n";
    const QByteArray response = head + "\r\n" + answer.Body;
    const QPointer<QTcpSocket> guarded(socket);
    QTimer::singleShot(answer.DelayMs, this, [this, guarded, response] {
        ++AnswersDue;
        if (!guarded)
            return;
        guarded->write(response);
        guarded->disconnectFromHost();
    });
}
