// The favicon fetcher.
#include "maintenance/FavIconDownload.h"

#include "common/CommonFunc.h"
#include "common/HttpClient.h"
#include "common/Messages.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

namespace {
// An icon server that does not answer must not keep a thread for minutes.
constexpr int kConnectTimeoutMs = 15000;
constexpr int kReadTimeoutMs = 30000;
} // namespace

TFavIconDownload::TFavIconDownload(QString pageUrl, QString iconFile, quint8 purpose)
    : PageUrl(std::move(pageUrl)), IconFile(std::move(iconFile)), Purpose(purpose) {
    connect(this, &QThread::finished, this, &QObject::deleteLater);
}

QStringList TFavIconDownload::FixedCandidates(const QString& pageUrl) {
    return {SiteRootOfUrl(pageUrl) + QStringLiteral("favicon.ico"),
            UrlDirectory(pageUrl) + QStringLiteral("favicon.ico"),
            QStringLiteral("http://www.") + MainDomainOfUrl(pageUrl) + QStringLiteral("/favicon.ico")};
}

bool TFavIconDownload::TryCandidate(const QString& url) const {
    QFile file(IconFile);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    THttpClient client;
    client.SetConnectTimeout(kConnectTimeoutMs);
    client.SetReadTimeout(kReadTimeoutMs);
    const bool downloaded = client.Get(url, &file);
    file.close();
    // An icon is binary; a server's error or placeholder page is text.
    return downloaded && QFileInfo::exists(IconFile) && !IsTextFile(IconFile);
}

void TFavIconDownload::run() {
    setPriority(QThread::LowestPriority);
    try {
        QStringList candidates;
        const QString link = FindFavIconLink(PageUrl, FetchUrlText(PageUrl));
        if (!link.isEmpty())
            candidates.append(link);
        candidates += FixedCandidates(PageUrl);
        for (const QString& candidate : candidates) {
            if (TryCandidate(candidate)) {
                emit IconReady(Purpose);
                return;
            }
        }
    } catch (...) {
        // A missing icon is not worth more than the default one.
    }
}

TFavIconRequest RequestFavIcon(QObject* receiver, const QString& pageUrl, const QString& iconFile,
                               quint8 purpose) {
    const QString page = pageUrl.trimmed();
    if (!receiver || page.isEmpty() || page.toLower() == QLatin1String("about:blank"))
        return TFavIconRequest::Ignored;
    if (QFileInfo::exists(iconFile)) {
        QCoreApplication::postEvent(receiver, new TMessageEvent(WM_FAVICON_READY, purpose));
        return TFavIconRequest::ReportedAtOnce;
    }
    auto* fetcher = new TFavIconDownload(page, iconFile, purpose);
    // Delivered on the receiver's thread, and dropped when the receiver is gone by then.
    QObject::connect(fetcher, &TFavIconDownload::IconReady, receiver, [receiver](int ready) {
        QCoreApplication::postEvent(receiver, new TMessageEvent(WM_FAVICON_READY, ready));
    });
    fetcher->start(QThread::LowestPriority);
    return TFavIconRequest::Started;
}
