// What the favicon fetcher needs: a page's text, the icon link in it, and the icon's file name.
#include "common/FavIcons.h"

#include "common/AnsiCodec.h"
#include "common/HttpClient.h"
#include "common/Md5.h"
#include "common/UrlText.h"

#include <QBuffer>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace {
// Aborts the client's request once the time is up, from a thread of its own: a server that keeps
// sending a byte now and then never trips the client's read time-out. Ends with the scope.
class TAbortDeadline {
public:
    TAbortDeadline(THttpClient& client, int milliseconds)
        : m_watch([this, &client, milliseconds] {
              std::unique_lock<std::mutex> lock(m_lock);
              if (!m_ended.wait_for(lock, std::chrono::milliseconds(milliseconds), [this] { return m_over; }))
                  client.Abort();
          }) {}
    ~TAbortDeadline() {
        {
            std::lock_guard<std::mutex> lock(m_lock);
            m_over = true;
        }
        m_ended.notify_one();
        m_watch.join();
    }
    TAbortDeadline(const TAbortDeadline&) = delete;
    TAbortDeadline& operator=(const TAbortDeadline&) = delete;

private:
    std::mutex m_lock;
    std::condition_variable m_ended;
    bool m_over = false;
    std::thread m_watch; // last: starts once the members above exist
};
} // namespace

QString FetchUrlText(const QString& url, int maxBytes, int timeLimitMs) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    THttpClient client;
    client.SetUserAgent(QStringLiteral("OrrelGetIP"));
    client.SetHeader("Cache-Control", "no-cache");
    client.OnWork = [&client, maxBytes](qint64 received) {
        if (received >= maxBytes)
            client.Abort();
    };
    {
        const TAbortDeadline deadline(client, timeLimitMs);
        client.Get(url, &buffer);
    }
    // Decoded as a whole: decoding piece by piece would break characters split between pieces.
    return FromAnsi(buffer.data().left(maxBytes));
}

QString FindFavIconLink(const QString& pageUrl, const QString& pageText) {
    QString text = pageText;
    text.replace(QLatin1Char('\''), QLatin1Char('"'));
    const QString lower = text.toLower();
    const int match = lower.indexOf(QLatin1String("rel=\"shortcut icon\""));
    if (match < 0)
        return QString();
    const int tagStart = qMax(0, lower.lastIndexOf(QLatin1Char('<'), match));
    int tagEnd = lower.indexOf(QLatin1Char('>'), match);
    if (tagEnd < 0)
        tagEnd = lower.size() - 1;
    const QString tag = text.mid(tagStart, tagEnd - tagStart + 1);
    const QString href = QStringLiteral("href=\"");
    const int hrefAt = tag.toLower().indexOf(href);
    if (hrefAt < 0)
        return QString();
    const int linkStart = hrefAt + href.size();
    const int linkEnd = tag.indexOf(QLatin1Char('"'), linkStart);
    if (linkEnd < 0)
        return QString();
    // Blanks around the address are dropped before it is classified, so that " /i.ico" is still
    // a root-relative link.
    QString link = tag.mid(linkStart, linkEnd - linkStart).trimmed();
    if (!link.startsWith(QLatin1String("http"))) {
        if (link.startsWith(QLatin1String("//")))
            link = QLatin1String("http://") + link.mid(2);
        else if (link.startsWith(QLatin1Char('/')))
            link = SiteRootOfUrl(pageUrl) + link.mid(1);
        else
            link = UrlDirectory(pageUrl) + link;
    }
    return link;
}

QString FavIconFileName(const QString& url) {
    return Md5Hex(url) + QLatin1String(".ico");
}
