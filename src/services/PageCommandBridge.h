// The page command bridge of the hosted vendor pages: a JavaScript dialog whose text starts with
// "ORREL:" asks the browser to open the address that follows. Only pages loaded from the vendor's
// site root may use it, and only for web addresses or pages of that site.
#pragma once

#include <QString>

class TPageCommandBridge {
public:
    enum TDecision {
        bdDialog, // not a command (or not from the vendor's site): the ordinary dialog shows
        bdOpen,   // open Address in a new tab and close the hosting window
        bdRefused // a command with an address that may not be opened: no dialog, nothing opened
    };

    static constexpr const char* Prefix = "ORREL:";

    // siteRoot: the vendor's site root ending in "/".
    explicit TPageCommandBridge(const QString& siteRoot);

    // Decides on one dialog text shown by the page at pageUrl; *address is set for bdOpen.
    // A refusal is logged.
    TDecision Decide(const QString& pageUrl, const QString& message, QString* address) const;

private:
    bool IsSitePage(const QString& url) const;

    QString m_siteRoot;
};
