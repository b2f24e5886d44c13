// The Chromium engine's live stores.
#include "browser/ChromiumStores.h"

#include "maintenance/CacheCleaner.h"

#include <QWebEngineCookieStore>
#include <QWebEngineProfile>

void ClearChromiumCookies() {
    QWebEngineProfile::defaultProfile()->cookieStore()->deleteAllCookies();
}

void ClearChromiumVisitedLinks() {
    QWebEngineProfile::defaultProfile()->clearAllVisitedLinks();
}

void ClearChromiumCache() {
    QWebEngineProfile::defaultProfile()->clearHttpCache();
}

void ClearEngineStores(int kinds) {
    if (kinds & (ckHistory | ckAddressList))
        ClearChromiumVisitedLinks();
    if (kinds & (ckCache | ckCookies))
        ClearChromiumCache();
    if (kinds & ckCookies)
        ClearChromiumCookies();
}
