// The built-in default favorites and their parser.
#include "favorites/DefaultFavorites.h"

#include "common/AppPaths.h"
#include "common/Json.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QPair>

QString BuiltInDefaultFavorites() {
    const QList<QPair<QString, QString>> entries = {
        {QStringLiteral("网址导航"), NavigationPageUrl()},
        {QStringLiteral("一键装机"), QStringLiteral("https://www.xiaobaixitong.com/")},
        {QStringLiteral("U盘装系统"), QStringLiteral("https://www.ventoy.net/")},
        {QStringLiteral("系统下载"), QStringLiteral("https://next.itellyou.cn/")},
        {QStringLiteral("杀毒软件"), QStringLiteral("https://www.huorong.cn/")},
    };
    QJsonArray list;
    for (const auto& [name, url] : entries)
        list.append(QJsonObject{{QStringLiteral("fav_name"), name}, {QStringLiteral("fav_url"), url}});
    // The text keeps the comma before its closing bracket that the built-in list has always had.
    QString text = WriteJson(list);
    text.insert(text.size() - 1, QLatin1Char(','));
    return text;
}

TFavInfoList ParseDefaultFavorites(const QString& json) {
    TFavInfoList defaults;
    const std::optional<QJsonValue> parsed = ParseJson(json);
    if (!parsed || !parsed->isArray())
        return defaults;
    for (const QJsonValue& value : parsed->toArray()) {
        const QJsonObject object = value.toObject();
        TFavInfo item;
        item.FavName = JsonText(object, QStringLiteral("fav_name"));
        item.FavUrl = JsonText(object, QStringLiteral("fav_url"));
        if (!item.FavUrl.isEmpty())
            defaults.append(item);
    }
    return defaults;
}
