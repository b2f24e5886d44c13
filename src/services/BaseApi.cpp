// The web API call: token first, one form POST, the JSON envelope checked.
#include "services/BaseApi.h"

#include "common/HttpClient.h"
#include "common/Json.h"
#include "common/Logging.h"
#include "services/ApiError.h"
#include "services/Token.h"

#include <QJsonObject>

namespace {

const QString kRequestFailed = QStringLiteral("Data request failed\r\n");
// Failure texts may quote a whole answer; the log keeps only its start.
const int kLoggedChars = 300;

[[noreturn]] void Fail(TApiError::TKind kind, const QString& module, const QString& action,
                       const QString& message) {
    // Only the call's name and the failure go to the log: never a parameter, the token included.
    WriteLog(QStringLiteral("Web API %1/%2 failed: %3").arg(module, action, message.left(kLoggedChars)));
    throw TApiError(kind, message);
}

THttpForm FormOf(const TParamList& params) {
    THttpForm form;
    form.reserve(params.size());
    for (const TParam& param : params)
        form.append({param.Name, param.Value});
    return form;
}

} // namespace

QString TBaseApi::RequestUrl(const QString& baseUrl, const QString& module, const QString& action) {
    return baseUrl + QStringLiteral("api/index.php?s=/") + module + QLatin1Char('/') + action;
}

void TBaseApi::SetTimeouts(int connectMs, int readMs) {
    m_connectTimeoutMs = connectMs;
    m_readTimeoutMs = readMs;
}

void TBaseApi::Invoke(const QString& module, const QString& action, QJsonValue& result, TParamList& params) {
    result = QJsonValue();
    // Without an address there is nowhere to send to: say so before anything else.
    if (BaseUrl.isEmpty())
        Fail(TApiError::akNotConfigured, module, action,
             kRequestFailed + QStringLiteral("the web API address is not configured"));
    if (!Token)
        Fail(TApiError::akNoAuthentication, module, action, QStringLiteral("No authentication"));
    params.insert(0, TParam{QStringLiteral("access_token"), Token->AccessToken});

    QString responseText;
    PostRequest(module, action, responseText, params);

    const std::optional<QJsonValue> answer = ParseJson(responseText);
    if (!answer || !answer->isObject())
        Fail(TApiError::akBadAnswer, module, action, responseText);
    const QJsonObject envelope = answer->toObject();
    // A text comparison: a numeric 0 reads "0" and is no success.
    if (JsonText(envelope, QStringLiteral("code")) != QLatin1String(SuccessCode))
        Fail(TApiError::akBadAnswer, module, action, responseText);
    const QJsonValue payload = envelope.value(QStringLiteral("result"));
    result = payload.isUndefined() ? QJsonValue() : payload;
}

void TBaseApi::PostRequest(const QString& module, const QString& action, QString& responseText,
                           const TParamList& params) {
    responseText.clear();
    if (BaseUrl.isEmpty())
        Fail(TApiError::akNotConfigured, module, action,
             kRequestFailed + QStringLiteral("the web API address is not configured"));

    THttpClient client;
    // The form carries the access token: it goes to the configured address only. A redirect is a
    // failure, never a second request (a 307 would post the token again, wherever it points).
    client.SetFollowRedirects(false);
    client.SetConnectTimeout(m_connectTimeoutMs);
    client.SetReadTimeout(m_readTimeoutMs);
    // An answer is a small JSON envelope: a longer one is refused before or while it arrives,
    // so a broken or hostile service cannot fill the memory.
    client.SetMaxBodySize(MaxAnswerBytes);

    QByteArray body;
    if (!client.Post(RequestUrl(BaseUrl, module, action), FormOf(params), &body))
        Fail(TApiError::akTransport, module, action, kRequestFailed + client.ErrorText());
    responseText = QString::fromUtf8(body);
}
