// Web-address text: its folder, host, registrable domain and site root, and the percent encoder.
#include "common/UrlText.h"

#include <QUrl>

namespace {
// Starts with "http://" or "https://" (any letter case): the length of that scheme prefix, else 0.
int WebSchemeLength(const QString& url) {
    if (url.startsWith(QLatin1String("http://"), Qt::CaseInsensitive))
        return 7;
    if (url.startsWith(QLatin1String("https://"), Qt::CaseInsensitive))
        return 8;
    return 0;
}

// Index where the authority of a web address ends (its first "/", "?" or "#"), or -1.
int AuthorityEnd(const QString& url, int from) {
    for (int i = from; i < url.size(); ++i) {
        const QChar c = url.at(i);
        if (c == QLatin1Char('/') || c == QLatin1Char('?') || c == QLatin1Char('#'))
            return i;
    }
    return -1;
}
} // namespace

QString UrlDirectory(const QString& url) {
    QString cut = url;
    const int hash = cut.indexOf(QLatin1Char('#'));
    if (hash >= 0)
        cut.truncate(hash);
    const int query = cut.indexOf(QLatin1Char('?'));
    if (query >= 0)
        cut.truncate(query);
    // A web address without a path ("http://host") is its own folder: "http://host/".
    const int scheme = WebSchemeLength(cut);
    if (scheme > 0 && cut.size() > scheme && cut.indexOf(QLatin1Char('/'), scheme) < 0)
        return cut + QLatin1Char('/');
    const int last = qMax(cut.lastIndexOf(QLatin1Char('/')), cut.lastIndexOf(QLatin1Char(':')));
    return cut.left(last + 1);
}

QString HostOfUrl(const QString& url) {
    QString host = url.trimmed();
    host.remove(0, WebSchemeLength(host));
    const int slash = host.indexOf(QLatin1Char('/'));
    return slash >= 0 ? host.left(slash) : host;
}

QString MainDomainOfUrl(const QString& url) {
    static const char* const suffixes[] = {
        ".com.cn", ".net.cn", ".org.cn", ".gov.cn", ".ac.cn", ".bj.cn", ".sh.cn", ".tj.cn",
        ".cq.cn",  ".he.cn",  ".sx.cn",  ".nm.cn",  ".ln.cn", ".jl.cn", ".hl.cn", ".js.cn",
        ".zj.cn",  ".ah.cn",  ".fj.cn",  ".jx.cn",  ".sd.cn", ".ha.cn", ".hb.cn", ".hn.cn",
        ".gd.cn",  ".gx.cn",  ".hi.cn",  ".sc.cn",  ".gz.cn", ".yn.cn", ".xz.cn", ".sn.cn",
        ".gs.cn",  ".qh.cn",  ".nx.cn",  ".xj.cn",  ".tw.cn", ".hk.cn", ".mo.cn", ".com",
        ".net",    ".org",    ".biz",    ".info",   ".cc",    ".tv",    ".cn"};
    // The host as an address parser finds it: a user and password part ("http://bank.com.cn:x@
    // other.org/"), the port, the path and the query ("?u=https://...") are not the domain.
    const QString text = url.trimmed();
    QString host = QUrl(WebSchemeLength(text) > 0 ? text : QStringLiteral("http://") + text)
                       .host(QUrl::FullyDecoded)
                       .toLower();
    QString suffix;
    for (const char* candidate : suffixes) {
        if (host.endsWith(QLatin1String(candidate))) {
            suffix = QLatin1String(candidate);
            host.chop(suffix.size());
            break;
        }
    }
    return host.mid(host.lastIndexOf(QLatin1Char('.')) + 1) + suffix;
}

QString SiteRootOfUrl(const QString& url) {
    const QString lower = url.toLower();
    const int scheme = WebSchemeLength(lower);
    if (scheme > 0) {
        // The authority ends at its first "/", "?" or "#"; without a path the root gets its "/".
        const int end = AuthorityEnd(lower, scheme);
        if (end < 0)
            return lower.size() > scheme ? lower + QLatin1Char('/') : QString();
        if (lower.at(end) == QLatin1Char('/'))
            return lower.left(end + 1);
        return end > scheme ? lower.left(end) + QLatin1Char('/') : QString();
    }
    const int slash = lower.indexOf(QLatin1Char('/'));
    return slash >= 0 ? lower.left(slash + 1) : QString();
}

QByteArray PercentEncode(const QByteArray& bytes, const QByteArray& kept, bool blankAsPlus,
                         THexCase hexCase) {
    const char* const hex = hexCase == THexCase::Upper ? "0123456789ABCDEF" : "0123456789abcdef";
    QByteArray encoded;
    encoded.reserve(bytes.size() * 3);
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') || (byte >= '0' && byte <= '9') ||
            kept.contains(c)) {
            encoded.append(c);
        } else if (byte == ' ' && blankAsPlus) {
            encoded.append('+');
        } else {
            encoded.append('%');
            encoded.append(hex[byte >> 4]);
            encoded.append(hex[byte & 0x0F]);
        }
    }
    return encoded;
}

const char* const UrlTextKept = "!$'()*-.@_";

QString EncodeUrlText(const QString& text) {
    return QString::fromLatin1(PercentEncode(text.toUtf8(), QByteArray(UrlTextKept), true));
}
