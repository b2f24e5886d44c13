// The call mechanics of the vendor's web API: one form-encoded POST per call to
// BaseUrl + "api/index.php?s=/" + module + "/" + action, authenticated with the access token and
// answered with a JSON envelope {"code": "00000", "result": ...}.
#pragma once

#include "services/Param.h"

#include <QJsonValue>
#include <QString>

class TToken;

class TBaseApi {
public:
    // The most of an answer that is read; a longer one fails the call.
    static constexpr qint64 MaxAnswerBytes = 1024 * 1024;
    static constexpr const char* SuccessCode = "00000";

    TBaseApi() = default;
    virtual ~TBaseApi() = default;
    TBaseApi(const TBaseApi&) = delete;
    TBaseApi& operator=(const TBaseApi&) = delete;

    // Inserts "access_token" at position 0 of params, posts them and hands back the envelope's
    // "result" (null when absent). Throws TApiError; result is null after any failure.
    void Invoke(const QString& module, const QString& action, QJsonValue& result, TParamList& params);
    // Posts params as they are and gives the answer's body decoded as UTF-8. Throws TApiError
    // ("Data request failed\r\n" + the transport's reason) when nothing usable came back.
    void PostRequest(const QString& module, const QString& action, QString& responseText,
                     const TParamList& params);

    // BaseUrl + "api/index.php?s=/" + module + "/" + action (module and action unescaped).
    static QString RequestUrl(const QString& baseUrl, const QString& module, const QString& action);

    // Transport limits in milliseconds (0: none); the defaults suit an interactive call.
    void SetTimeouts(int connectMs, int readMs);

    QString BaseUrl;               // service root ending in "/"; empty: not configured
    const TToken* Token = nullptr; // not owned; nullptr: calls fail with "No authentication"

private:
    int m_connectTimeoutMs = 15000;
    int m_readTimeoutMs = 30000;
};
