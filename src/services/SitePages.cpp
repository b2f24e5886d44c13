// Addresses of the vendor's site pages, on the web site or on the bundled offline site.
#include "services/SitePages.h"

#include "BuildConfig.h"

#include <QRegularExpression>
#include <QUrl>

namespace {
// The static file that stands in for a dynamic page of the bundled site, or the path itself.
QString OfflinePage(const QString& path) {
    if (path.isEmpty())
        return QStringLiteral("index.html");
    static const QRegularExpression dynamic(
        QStringLiteral("^home/index\\.php\\?s=/(\\w+)/(\\w+)((?:/[\\w.-]+)*)/?$"));
    const QRegularExpressionMatch match = dynamic.match(path);
    if (!match.hasMatch())
        return path;
    const QString action = match.captured(2).toLower();
    QString file = match.captured(1).toLower();
    if (action != QLatin1String("index"))
        file += QLatin1Char('-') + action;
    file += QLatin1String(".html");
    const QString rest = match.captured(3).mid(1);
    return rest.isEmpty() ? file : file + QLatin1Char('#') + rest;
}
} // namespace

QString SitePageUrl(const QString& siteRoot, const QString& path) {
    const QString relative = path.startsWith(QLatin1Char('/')) ? path.mid(1) : path;
    if (!QUrl(siteRoot).isLocalFile())
        return siteRoot + relative;
    return siteRoot + OfflinePage(relative);
}

QString ApiRoot() {
    const QString overridden = qEnvironmentVariable("QUELLON_API_ROOT");
    return overridden.isEmpty() ? QString::fromUtf8(BuildConfig::ApiRoot) : overridden;
}
