// Process-wide set-up of the Chromium engine: the "local" scheme, registered before the application
// object exists, and the browser profile every Chromium view uses.
#pragma once

#include <QString>

class TEngineProfile final {
public:
    TEngineProfile() = delete;

    // Registers the "local" scheme: standard address syntax with a host, treated as a local scheme,
    // no handler. Runs before the application object, so every engine process sees the scheme.
    static void RegisterSchemes();
    // Sets up the default profile: cache and site data under cacheFolder, Chinese as the accepted
    // language, "gb2312" for pages that declare no encoding, persistent cookies, and the request
    // interceptor that sends "Accept-Language: zh-CN" with every request. Call it once, after the
    // application object and before the first Chromium view.
    static void SetUp(const QString& cacheFolder);
};
