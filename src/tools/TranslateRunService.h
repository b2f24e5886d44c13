// Which translation service the translator uses: a server of the user's own that speaks the
// LibreTranslate API (from the options or the environment), else the endpoint built in, else none.
#pragma once

#include <QString>

class TConfig;

struct TTranslateService {
    enum TKind { None, Server, BuiltIn };
    TKind Kind = None;
    QString Address; // the server's base address, or the built-in endpoint
    QString ApiKey;  // sent as api_key to a server when not empty

    // The server's address with path, e.g. Url("/translate").
    QString Url(const QString& path) const;
};

// The environment variables of the same meaning as the options' rows.
inline constexpr char kTranslateServerVariable[] = "QUELLON_TRANSLATE_SERVER";
inline constexpr char kTranslateKeyVariable[] = "QUELLON_TRANSLATE_KEY";

// True for an http or https address with a host: the only server addresses used.
bool IsTranslateServerAddress(const QString& address);
// The service from the settings (config may be null): the options' server address
// (TConfigKey::TranslateServer, TConfigKey::TranslateApiKey its key) when it is an http(s) address,
// else QUELLON_TRANSLATE_SERVER (with
// QUELLON_TRANSLATE_KEY), else builtInEndpoint when not empty, else None.
TTranslateService ResolveTranslateService(const TConfig* config, const QString& builtInEndpoint);

// The settings the translator window reads when it opens; the main window registers its own and
// unregisters them (nullptr) before they go.
void SetTranslateConfig(TConfig* config);
TConfig* TranslateConfig();
