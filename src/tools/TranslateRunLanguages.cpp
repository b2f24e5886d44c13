// The translation server's language list (see TranslateRunLanguages.h).
#include "tools/TranslateRunLanguages.h"

#include "common/HttpClient.h"
#include "common/Json.h"
#include "common/Logging.h"
#include "tools/TranslateRunService.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonObject>

QList<TTranslateLanguage> ReadTranslateLanguages(const QByteArray& body) {
    const std::optional<QJsonValue> answer = ParseJson(QString::fromUtf8(body));
    QList<TTranslateLanguage> languages;
    if (!answer || !answer->isArray())
        return languages;
    for (const QJsonValue& entry : answer->toArray()) {
        const QString code = entry.toObject().value(QStringLiteral("code")).toString().simplified();
        if (code.isEmpty() || code.size() > 16)
            continue;
        QString name = entry.toObject().value(QStringLiteral("name")).toString().simplified().left(64);
        languages.append({code, name.isEmpty() ? code : name});
    }
    return languages;
}

QList<TTranslateLanguage> FetchTranslateLanguages(const TTranslateService& service) {
    THttpClient client;
    client.SetFollowRedirects(false);
    client.SetConnectTimeout(5000);
    client.SetDeadline(10000);
    QByteArray body;
    if (client.Get(service.Url(QStringLiteral("/languages")), &body)) {
        const QList<TTranslateLanguage> languages = ReadTranslateLanguages(body);
        if (!languages.isEmpty())
            return languages;
    }
    WriteLog(QStringLiteral("Translator: no language list from the server, the built-in one is used: ") +
             client.ErrorText());
    return BuiltInTranslateLanguages();
}

QList<TTranslateLanguage> BuiltInTranslateLanguages() {
    const auto tr = [](const char* text) { return QCoreApplication::translate("TFormTranslate", text); };
    return {{QStringLiteral("zh"), tr("中文")},   {QStringLiteral("en"), tr("英语")},
            {QStringLiteral("ja"), tr("日语")},   {QStringLiteral("ko"), tr("韩语")},
            {QStringLiteral("fr"), tr("法语")},   {QStringLiteral("de"), tr("德语")},
            {QStringLiteral("ru"), tr("俄语")},   {QStringLiteral("es"), tr("西班牙语")}};
}

int ChineseLanguageIndex(const QList<TTranslateLanguage>& languages) {
    for (int index = 0; index < languages.size(); ++index) {
        const QString& code = languages.at(index).Code;
        if (code == QLatin1String("zh") || code.startsWith(QLatin1String("zh-")) || code.startsWith(QLatin1String("zh_")))
            return index;
    }
    return 0;
}
