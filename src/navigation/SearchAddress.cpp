// The search engine table and the word encoding of search addresses.
#include "navigation/SearchAddress.h"

#include "BuildConfig.h"
#include "common/UrlText.h"

#include <QByteArray>
#include <QCoreApplication>

namespace {

struct TEngineRow {
    const char* Endpoint;
    const char* Variable; // overrides the built-in endpoint when set (tests use a local server)
    const char* PathAndQuery;
    const char* Caption;
};

const TEngineRow kEngines[seCount] = {
    {BuildConfig::Search360, "QUELLON_SEARCH_360", "/s?ie=utf-8&shb=1&src=360sou_newhome&q=", "360搜索"},
    {BuildConfig::SearchGoogle, "QUELLON_SEARCH_GOOGLE", "/search?q=", "Google"},
    {BuildConfig::SearchBing, "QUELLON_SEARCH_BING", "/search?q=", "Bing"},
    {BuildConfig::SearchBaidu, "QUELLON_SEARCH_BAIDU",
     "/s?ie=utf-8&f=8&rsv_bp=0&rsv_idx=1&tn=baidu&wd=", "百度"},
};

QString Endpoint(const TEngineRow& row) {
    const QString overridden = qEnvironmentVariable(row.Variable);
    return overridden.isEmpty() ? QString::fromUtf8(row.Endpoint) : overridden;
}

} // namespace

QString EncodeSearchWords(const QString& words) {
    return EncodeUrlText(words);
}

QString SearchEngineAddress(int engine, const QString& words) {
    if (engine < 0 || engine >= seCount)
        return QString();
    const TEngineRow& row = kEngines[engine];
    return Endpoint(row) + QLatin1String(row.PathAndQuery) + EncodeSearchWords(words);
}

QString SearchEngineCaption(int engine) {
    if (engine < 0 || engine >= seCount)
        return QString();
    return QCoreApplication::translate("TSearchBox", kEngines[engine].Caption);
}
