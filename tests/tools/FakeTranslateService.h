// A stand-in for the translation service on 127.0.0.1, served from the test's own event loop:
// it answers in the service's JSON form, and on request slowly, with an error status, with
// malformed JSON or with a redirect. It records every request it receives.
#pragma once

#include <QByteArray>
#include <QMap>
#include <QObject>
#include <QStringList>
#include <QTcpServer>

class TFakeTranslateService : public QObject {
    Q_OBJECT
public:
    struct TAnswer {
        int Status = 200;
        QByteArray Body;     // empty: the default answer for the words
        int DelayMs = 0;     // before the answer is sent
        QByteArray Location; // for a redirect status
    };

    TFakeTranslateService();
    bool Listening() const { return m_server.isListening(); }
    // The service's address: "http://127.0.0.1:<port>/openapi.do".
    QString Endpoint() const;
    // The answer for a request whose decoded words are `words`.
    void SetAnswer(const QString& words, const TAnswer& answer) { m_answers.insert(words, answer); }
    // The default answer's translation of words.
    static QString TranslationOf(const QString& words) { return QStringLiteral("译:") + words; }

    // The address of the same stand-in as a LibreTranslate server: POST /translate answers
    // {"translatedText": TranslationOf(q)} (its answers set by SetAnswer as well), GET /languages
    // answers Languages (an error status while it is empty).
    QString ServerAddress() const;
    QByteArray Languages;

    QStringList Targets; // request targets ("/openapi.do?..."), as received
    QStringList Words;   // the decoded "q" of every request
    int AnswersDue = 0;  // answers whose delay has passed (sent, or dropped when the client left)
    QList<QMap<QString, QString>> Forms; // the fields of every POST, decoded

private:
    void Serve(class QTcpSocket* socket);
    void Answer(QTcpSocket* socket, const QByteArray& target);
    void AnswerServer(QTcpSocket* socket, const QByteArray& target, const QByteArray& body);
    void Send(QTcpSocket* socket, const TAnswer& answer);

    QTcpServer m_server;
    QMap<QString, TAnswer> m_answers;
};
