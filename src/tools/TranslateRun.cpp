// One run of the translator (see TranslateRun.h).
#include "tools/TranslateRun.h"

#include "common/Json.h"
#include "common/UrlText.h"

#include <QJsonArray>
#include <QJsonObject>

namespace {
// The service's fixed query before the words, in the order it documents.
const char kFixedQuery[] = "keyfrom=Tarnwick&key=3820571946&type=data&doctype=json&version=1.1&q=";
} // namespace

TTranslateRun::TTranslateRun(const QString& endpoint, const QStringList& lines, QObject* parent)
    : TTranslateRun(TTranslateService{TTranslateService::BuiltIn, endpoint, QString()}, QString(), QString(),
                    lines, parent) {}

TTranslateRun::TTranslateRun(const TTranslateService& service, const QString& source, const QString& target,
                             const QStringList& lines, QObject* parent)
    : QObject(parent), m_service(service), m_source(source), m_target(target), m_endpoint(service.Address),
      m_lines(lines) {
    // The words go to the configured service only: a redirect elsewhere fails the line.
    m_client.SetFollowRedirects(false);
    m_client.SetConnectTimeout(10000);
    m_client.SetReadTimeout(20000);
}

QByteArray TTranslateRun::EncodeWords(const QString& line) {
    return PercentEncode(line.trimmed().toUtf8(), QByteArray(UrlTextKept), true, THexCase::Lower);
}

QString TTranslateRun::RequestUrl(const QString& endpoint, const QString& line) {
    const QLatin1Char separator(endpoint.contains(QLatin1Char('?')) ? '&' : '?');
    return endpoint + separator + QLatin1String(kFixedQuery) + QString::fromLatin1(EncodeWords(line));
}

namespace {
// One output line per answered line.
QString OneLine(QString text) {
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    return text.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
}
} // namespace

std::optional<QString> TTranslateRun::ReadServerTranslation(const QByteArray& body) {
    const std::optional<QJsonValue> answer = ParseJson(QString::fromUtf8(body));
    const QJsonValue text = answer && answer->isObject() ? answer->toObject().value(QStringLiteral("translatedText"))
                                                          : QJsonValue();
    if (!text.isString())
        return std::nullopt;
    return OneLine(text.toString());
}

THttpForm TTranslateRun::ServerForm(const QString& line) const {
    THttpForm form{{QStringLiteral("q"), line.trimmed()},
                   {QStringLiteral("source"), m_source},
                   {QStringLiteral("target"), m_target},
                   {QStringLiteral("format"), QStringLiteral("text")}};
    if (!m_service.ApiKey.isEmpty())
        form.append({QStringLiteral("api_key"), m_service.ApiKey});
    return form;
}

std::optional<QString> TTranslateRun::ReadTranslation(const QByteArray& body) {
    const std::optional<QJsonValue> answer = ParseJson(QString::fromUtf8(body));
    if (!answer || !answer->isObject())
        return std::nullopt;
    const QJsonValue first = answer->toObject().value(QStringLiteral("translation")).toArray().first();
    QString text;
    if (first.isString())
        text = first.toString();
    else if (first.isDouble())
        text = QString::number(first.toDouble(), 'g', 15);
    else
        return std::nullopt;
    return OneLine(text);
}

bool TTranslateRun::TranslateLine(const QString& line, QByteArray* body) {
    if (m_service.Kind == TTranslateService::Server)
        return m_client.Post(m_service.Url(QStringLiteral("/translate")), ServerForm(line), body);
    return m_client.Get(RequestUrl(m_endpoint, line), body);
}

std::optional<QString> TTranslateRun::ReadAnswer(const QByteArray& body) const {
    return m_service.Kind == TTranslateService::Server ? ReadServerTranslation(body) : ReadTranslation(body);
}

void TTranslateRun::Execute() {
    QByteArray body;
    for (const QString& line : m_lines) {
        if (m_client.Aborted())
            break;
        if (line.trimmed().isEmpty())
            continue;
        if (!TranslateLine(line, &body)) {
            emit LineFailed(m_client.ErrorText());
            continue;
        }
        if (const std::optional<QString> text = ReadAnswer(body))
            emit Translated(*text);
        else
            emit LineFailed(QStringLiteral("no translation in the answer"));
    }
    emit Finished();
}

void TTranslateRun::Abort() {
    m_client.Abort();
}
