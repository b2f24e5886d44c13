// Choosing the translation service (see TranslateRunService.h).
#include "tools/TranslateRunService.h"

#include "storage/Config.h"

#include <QUrl>

namespace {
TConfig* RegisteredConfig = nullptr;
} // namespace

QString TTranslateService::Url(const QString& path) const {
    QString base = Address;
    while (base.endsWith(QLatin1Char('/')))
        base.chop(1);
    return base + path;
}

bool IsTranslateServerAddress(const QString& address) {
    const QUrl url(address.trimmed(), QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    return url.isValid() && (scheme == QLatin1String("http") || scheme == QLatin1String("https")) &&
           !url.host().isEmpty() && !url.hasQuery() && !url.hasFragment();
}

TTranslateService ResolveTranslateService(const TConfig* config, const QString& builtInEndpoint) {
    TTranslateService service;
    const QString stored = config ? config->GetValue(TConfigKey::TranslateServer) : QString();
    const QString fromEnvironment = qEnvironmentVariable(kTranslateServerVariable).trimmed();
    if (IsTranslateServerAddress(stored)) {
        service = {TTranslateService::Server, stored, config->GetValue(TConfigKey::TranslateApiKey)};
    } else if (IsTranslateServerAddress(fromEnvironment)) {
        service = {TTranslateService::Server, fromEnvironment, qEnvironmentVariable(kTranslateKeyVariable).trimmed()};
    } else if (!builtInEndpoint.trimmed().isEmpty()) {
        service = {TTranslateService::BuiltIn, builtInEndpoint.trimmed(), QString()};
    }
    return service;
}

void SetTranslateConfig(TConfig* config) {
    RegisteredConfig = config;
}

TConfig* TranslateConfig() {
    return RegisteredConfig;
}
