// Chromium engine set-up: the "local" scheme and the default profile with its request interceptor.
#include "browser/EngineProfile.h"

#include "browser/EngineSettings.h"

#include <QDir>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineUrlScheme>

namespace {

const char* const AcceptedLanguage = "zh-CN";

// Every request the engine makes, sub-resources included, asks for Chinese content.
class TAcceptLanguageInterceptor final : public QWebEngineUrlRequestInterceptor {
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;

    void interceptRequest(QWebEngineUrlRequestInfo& info) override {
        info.setHttpHeader("Accept-Language", AcceptedLanguage);
    }
};

} // namespace

void TEngineProfile::RegisterSchemes() {
    QWebEngineUrlScheme scheme("local");
    // A standard address with a host ("local://host/path"). The engine refuses the syntaxes that
    // carry a port unless the scheme names a default port, and "local" has none.
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Host);
    scheme.setFlags(QWebEngineUrlScheme::LocalScheme);
    QWebEngineUrlScheme::registerScheme(scheme);
}

void TEngineProfile::SetUp(const QString& cacheFolder) {
    QDir().mkpath(cacheFolder);
    QWebEngineProfile* profile = QWebEngineProfile::defaultProfile();
    profile->setCachePath(cacheFolder);
    profile->setPersistentStoragePath(cacheFolder);
    profile->setPersistentCookiesPolicy(QWebEngineProfile::AllowPersistentCookies);
    profile->setHttpAcceptLanguage(AcceptedLanguage);
    ApplyChromiumSettings(profile->settings());
    // The profile owns the interceptor; it lives as long as the engine does.
    profile->setUrlRequestInterceptor(new TAcceptLanguageInterceptor(profile));
}
