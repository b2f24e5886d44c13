// The search engine table and the word encoding of search addresses.
#include "navigation/SearchAddress.h"

#include "BuildConfig.h"
#include "common/CommonFunc.h"

#include <QByteArray>
#include <QCoreApplication>

namespace {

struct TEngineRow {
    const char* Endpoint;
    const char* PathAndQuery;
    const char* Caption;
};

const TEngineRow kEngines[seCount] = {
    {BuildConfig::Search360, "/s?ie=utf-8&shb=1&src=360sou_newhome&q=", "360搜索"},
    {BuildConfig::SearchGoogle, "/search?q=", "Google"},
    {BuildConfig::SearchBing, "/search?q=", "Bing"},
    {BuildConfig::SearchBaidu, "/s?ie=utf-8&f=8&rsv_bp=0&rsv_idx=1&tn=baidu&wd=", "百度"},
};

} // namespace

QString EncodeSearchWords(const QString& words) {
    return EncodeUrlText(words);
}

QString SearchEngineAddress(int engine, const QString& words) {
    if (engine < 0 || engine >= seCount)
        return QString();
    const TEngineRow& row = kEngines[engine];
    QString endpoint = qEnvironmentVariable("QUELLON_SEARCH_ROOT");
    while (endpoint.endsWith(QLatin1Char('/')))
        endpoint.chop(1);
    if (endpoint.isEmpty())
        endpoint = QString::fromUtf8(row.Endpoint);
    return endpoint + QLatin1String(row.PathAndQuery) + EncodeSearchWords(words);
}

QString SearchEngineCaption(int engine) {
    if (engine < 0 || engine >= seCount)
        return QString();
    return QCoreApplication::translate("TSearchBox", kEngines[engine].Caption);
}
