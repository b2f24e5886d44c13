// One run of the translator: a request to the translation service per non-empty input line, in
// order, on the thread that calls Execute(); every answered line is reported by a signal. The
// built-in endpoint takes a GET per line; a server of the user's own (LibreTranslate API) a POST
// of /translate.
#pragma once

#include "common/HttpClient.h"
#include "tools/TranslateRunService.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <optional>

class TTranslateRun : public QObject {
    Q_OBJECT
public:
    // endpoint: the service's address ("http://host/openapi.do"); the lines are taken as given.
    TTranslateRun(const QString& endpoint, const QStringList& lines, QObject* parent = nullptr);
    // A run against the service (a Server, or the BuiltIn endpoint); source and target are the
    // server's language codes ("auto" for the source lets the server guess).
    TTranslateRun(const TTranslateService& service, const QString& source, const QString& target,
                  const QStringList& lines, QObject* parent = nullptr);

    // Blocking: the requests one after another. A line that fails (no connection, HTTP error,
    // redirect, no JSON, no "translation" array) gives nothing and the run goes on. Emits
    // Translated per answered line, then Finished.
    void Execute();
    // Thread-safe: ends the running request and every later one.
    void Abort();

    // The words as the service takes them: trimmed UTF-8, letters, digits and @!$'()*-._ kept,
    // a space as "+", every other byte as "%xx" with lower-case digits.
    static QByteArray EncodeWords(const QString& line);
    // The request address of one line.
    static QString RequestUrl(const QString& endpoint, const QString& line);
    // The first element of the answer's "translation" array, on one line; nothing when the
    // answer is not JSON or has no such element.
    static std::optional<QString> ReadTranslation(const QByteArray& body);
    // The server's "translatedText", on one line; nothing when the answer has none.
    static std::optional<QString> ReadServerTranslation(const QByteArray& body);
    // The form a server's /translate takes for one line.
    THttpForm ServerForm(const QString& line) const;

signals:
    void Translated(const QString& text);
    void Finished();
    // A line gave no translation; reason says why (the client's error or the server's).
    void LineFailed(const QString& reason);

private:
    bool TranslateLine(const QString& line, QByteArray* body);
    std::optional<QString> ReadAnswer(const QByteArray& body) const;

    const TTranslateService m_service;
    const QString m_source;
    const QString m_target;
    const QString m_endpoint;
    const QStringList m_lines;
    THttpClient m_client; // one client for the whole run
};
