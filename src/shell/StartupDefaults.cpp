// The built-in start-up settings and engine domain list.
#include "shell/StartupDefaults.h"

#include "BuildConfig.h"
#include "common/AppPaths.h"
#include "common/Json.h"

#include <QJsonArray>
#include <QJsonObject>

QString BuiltInStartupSettings() {
    QJsonObject offer;
    offer.insert(QStringLiteral("name"), QStringLiteral("今日特卖"));
    offer.insert(QStringLiteral("url"), QStringLiteral("https://www.vip.com/"));
    QJsonObject settings;
    settings.insert(QStringLiteral("domain"), QJsonArray());
    settings.insert(QStringLiteral("6"), QStringLiteral("https://www.jd.com/"));
    settings.insert(QStringLiteral("5"), QString::fromUtf8(BuildConfig::GamesUrl));
    settings.insert(QStringLiteral("4"), QStringLiteral("www.jd.com"));
    settings.insert(QStringLiteral("3"), QStringLiteral("https://hao.360.com/"));
    settings.insert(QStringLiteral("2"), WriteJson(offer));
    settings.insert(QStringLiteral("1"), QStringLiteral("images/logo.png"));
    settings.insert(QStringLiteral("fav_fix"), QJsonArray());
    settings.insert(QStringLiteral("Logo"), SiteRoot() + QStringLiteral("images/logo.png"));
    return WriteJson(settings);
}

QString BuiltInEngineDomains() {
    QJsonObject office;
    office.insert(QStringLiteral("domain"), QString::fromUtf8(BuildConfig::OfficeHost));
    return WriteJson(QJsonArray{office});
}
