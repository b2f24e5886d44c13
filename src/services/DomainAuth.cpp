// The site identity store.
#include "services/DomainAuth.h"

#include "common/Logging.h"
#include "common/UrlText.h"

int TDomainAuth::Lookup(const QString& url, QString* siteName) const {
    const QString domain = MainDomainOfUrl(url);
    const auto certified = Certified.constFind(domain);
    if (certified != Certified.constEnd()) {
        if (siteName)
            *siteName = certified->SiteName;
        return asCertified;
    }
    if (Flagged.contains(domain, Qt::CaseInsensitive))
        return asFlagged;
    return asUnknown;
}

void TDomainAuth::Fill(const QList<TDomainInfo>& certified, const QStringList& flagged) {
    for (const TDomainInfo& info : certified) {
        const QString domain = MainDomainOfUrl(info.Domain.trimmed());
        if (domain.isEmpty()) {
            WriteLog(QStringLiteral("DomainAuth: certified entry without a domain: ") + info.SiteName);
            continue;
        }
        Certified.insert(domain, info);
    }
    for (const QString& site : flagged) {
        const QString domain = MainDomainOfUrl(site.trimmed());
        if (domain.isEmpty()) {
            WriteLog(QStringLiteral("DomainAuth: flagged entry without a domain: ") + site);
            continue;
        }
        if (!Flagged.contains(domain, Qt::CaseInsensitive))
            Flagged.append(domain);
    }
}
