// Site identity: certified sites (with their registered names) and flagged sites, keyed by
// registrable domain, answering the address-bar badge lookups.
#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

struct TDomainInfo {
    QString Domain;   // the site the entry was supplied for
    QString SiteName; // registered name shown in the certified badge
};

class TDomainAuth {
public:
    enum TAuthState : int { asCertified = 0, asFlagged = 1, asUnknown = 2 };

    // 0 certified (siteName set), 1 flagged, 2 unknown (siteName untouched). The address is
    // reduced to its registrable domain first; certification wins over flagging.
    int Lookup(const QString& url, QString* siteName) const;

    // Supplies entries: each certified record under the registrable domain of its Domain, each
    // flagged site (an address or a domain) by its registrable domain. Entries without a domain
    // are logged and left out.
    void Fill(const QList<TDomainInfo>& certified, const QStringList& flagged);

    // Registrable domain -> record (exact comparison).
    QHash<QString, TDomainInfo> Certified;
    // Registrable domains (compared without regard to letter case).
    QStringList Flagged;
};
