// What a site owner submits for certification, the request text built from it and how the
// service's answer is read.
#pragma once

#include <QJsonValue>
#include <QString>

struct TDomainAddInfo {
    QString WebsiteName;
    QString Domain; // as entered: an address or a domain
    QString Contacts;
    QString ExpireTime; // years: "1", "2", "3" or "5"
    QString Mobile;
    QString Phone;
    QString CompanyAddress;
    QString CompanyName;
    QString LicenseNum;
    QString QQ;

    // The compact JSON text of the "json" parameter: all ten members as strings, the domain
    // reduced to its registrable domain, non-ASCII characters written as they are.
    QString JsonText() const;

    // The service's "result" read as a yes: true, a non-zero number, a non-empty text (or a
    // non-empty array or object); null, a missing result, false, 0 and "" are a no.
    static bool Accepted(const QJsonValue& result);
};
