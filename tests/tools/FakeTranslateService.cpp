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

QString TFakeTranslateService::ServerAddress() const {
    return QStringLiteral("http://127.0.0.1:%1/").arg(m_server.serverPort());
}

void TFakeTranslateService::Serve(QTcpSocket* socket) {
    QByteArray request = socket->property("request").toByteArray() + socket->readAll();
    socket->setProperty("request", request);
    const int headEnd = request.indexOf("\r\n\r\n");
    if (headEnd < 0 || socket->property("answered").toBool())
        return;
    const QByteArray head = request.left(headEnd).toLower();
    const int length = head.indexOf("content-length:");
    const int bodySize = length < 0 ? 0 : head.mid(length + 15, head.indexOf('\r', length) - length - 15).trimmed().toInt();
    if (request.size() < headEnd + 4 + bodySize)
        return;
    socket->setProperty("answered", true);
    const QList<QByteArray> line = request.left(request.indexOf("\r\n")).split(' ');
    if (line.value(0) == "POST" || line.value(1) == "/languages")
        AnswerServer(socket, line.value(1), request.mid(headEnd + 4, bodySize));
    else
        Answer(socket, line.value(1));
}

void TFakeTranslateService::AnswerServer(QTcpSocket* socket, const QByteArray& target, const QByteArray& body) {
    Targets << QString::fromLatin1(target);
    if (target == "/languages")
        return Send(socket, {Languages.isEmpty() ? 500 : 200, Languages.isEmpty() ? "{}" : Languages, 0, {}});
    QMap<QString, QString> form;
    for (QByteArray pair : body.split('&')) {
        const QList<QByteArray> parts = pair.replace('+', ' ').split('=');
        form.insert(QString::fromUtf8(QByteArray::fromPercentEncoding(parts.value(0))),
                    QString::fromUtf8(QByteArray::fromPercentEncoding(parts.value(1))));
    }
    Forms << form;
    Words << form.value("q");
    TAnswer answer = m_answers.value(form.value("q"));
    if (answer.Body.isEmpty() && answer.Status == 200)
        answer.Body = QJsonDocument(QJsonObject{{"translatedText", TranslationOf(form.value("q"))}}).toJson();
    Send(socket, answer);
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
    Send(socket, answer);
}

void TFakeTranslateService::Send(QTcpSocket* socket, const TAnswer& answer) {
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
