// The "ORREL:" page command rule of the hosted vendor pages.
#include "services/PageCommandBridge.h"

#include "common/Logging.h"

#include <QUrl>

namespace {
// The address with "." and ".." segments resolved, so that a path cannot climb out of the site.
QString Normalized(const QString& url) {
    const QUrl parsed(url, QUrl::StrictMode);
    if (!parsed.isValid() || parsed.isRelative())
        return QString();
    return parsed.adjusted(QUrl::NormalizePathSegments).toString(QUrl::FullyEncoded);
}
} // namespace

TPageCommandBridge::TPageCommandBridge(const QString& siteRoot) : m_siteRoot(Normalized(siteRoot)) {}

bool TPageCommandBridge::IsSitePage(const QString& url) const {
    const QString normalized = Normalized(url);
    return !m_siteRoot.isEmpty() && !normalized.isEmpty() && normalized.startsWith(m_siteRoot);
}

TPageCommandBridge::TDecision TPageCommandBridge::Decide(const QString& pageUrl, const QString& message,
                                                         QString* address) const {
    if (!message.startsWith(QLatin1String(Prefix)) || !IsSitePage(pageUrl))
        return bdDialog;
    const QString target = message.mid(int(qstrlen(Prefix))).trimmed();
    const QString scheme = QUrl(target, QUrl::StrictMode).scheme().toLower();
    const bool web = (scheme == QLatin1String("http") || scheme == QLatin1String("https")) &&
                     QUrl(target, QUrl::StrictMode).isValid() && !QUrl(target).host().isEmpty();
    if (!web && !IsSitePage(target)) {
        WriteLog(QStringLiteral("Page command refused from %1: %2").arg(pageUrl, target.left(300)));
        return bdRefused;
    }
    if (address)
        *address = target;
    return bdOpen;
}
