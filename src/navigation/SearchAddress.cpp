// The search engine table and the word encoding of search addresses.
#include "navigation/SearchAddress.h"

#include "BuildConfig.h"

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

bool KeptAsIs(char c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))
        return true;
    switch (c) {
    case '!':
    case '$':
    case '\'':
    case '(':
    case ')':
    case '*':
    case '-':
    case '.':
    case '_':
    case '@':
        return true;
    default:
        return false;
    }
}

} // namespace

QString EncodeSearchWords(const QString& words) {
    static const char kHex[] = "0123456789ABCDEF";
    const QByteArray bytes = words.toUtf8();
    QByteArray encoded;
    encoded.reserve(bytes.size() * 3);
    for (const char c : bytes) {
        if (KeptAsIs(c)) {
            encoded.append(c);
        } else if (c == ' ') {
            encoded.append('+');
        } else {
            const auto byte = static_cast<unsigned char>(c);
            encoded.append('%');
            encoded.append(kHex[byte >> 4]);
            encoded.append(kHex[byte & 0x0F]);
        }
    }
    return QString::fromLatin1(encoded);
}

QString SearchEngineAddress(int engine, const QString& words) {
    if (engine < 0 || engine >= seCount)
        return QString();
    const TEngineRow& row = kEngines[engine];
    return QString::fromUtf8(row.Endpoint) + QLatin1String(row.PathAndQuery) + EncodeSearchWords(words);
}

QString SearchEngineCaption(int engine) {
    if (engine < 0 || engine >= seCount)
        return QString();
    return QCoreApplication::translate("TSearchBox", kEngines[engine].Caption);
}
