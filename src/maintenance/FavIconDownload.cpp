// The favicon fetcher.
#include "maintenance/FavIconDownload.h"

#include "common/FileTypes.h"
#include "common/HttpClient.h"
#include "common/Messages.h"
#include "maintenance/FavIconAskLog.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QHash>
#include <QPointer>
#include <QSaveFile>
#include <QUrl>

namespace {
// An icon server that does not answer must not keep a thread for minutes.
constexpr int kConnectTimeoutMs = 15000;
constexpr int kReadTimeoutMs = 30000;
// Larger answers are no icons; they are not held in memory.
constexpr qint64 kMaxIconBytes = 1024 * 1024;

bool IsWebAddress(const QString& url) {
    return url.startsWith(QLatin1String("http://"), Qt::CaseInsensitive) ||
           url.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
}

// An icon is binary; a server's error or placeholder page is text.
bool IsIconBody(const QByteArray& body) {
    return !body.isEmpty() && body.contains('\0');
}

struct TIconAnswer {
    bool Answered = false; // a server sent a response (whatever its status)
    QByteArray Icon;       // the complete body when it is an icon
};

TIconAnswer AskForIcon(const QString& url) {
    THttpClient client;
    client.SetConnectTimeout(kConnectTimeoutMs);
    client.SetReadTimeout(kReadTimeoutMs);
    client.SetMaxBodySize(kMaxIconBytes);
    QByteArray body;
    const bool complete = client.Get(url, &body);
    TIconAnswer answer;
    answer.Answered = client.Response().Status != 0;
    if (complete && IsIconBody(body))
        answer.Icon = body;
    return answer;
}

// Settles a claimed address on every way out: released for a later try unless an answer was
// recorded, so that no fetcher waiting for it waits for ever.
class TAskClaim {
public:
    explicit TAskClaim(QString url) : m_url(std::move(url)) {}
    ~TAskClaim() {
        if (!m_settled)
            TFavIconAskLog::Instance().Release(m_url);
    }
    TAskClaim(const TAskClaim&) = delete;
    TAskClaim& operator=(const TAskClaim&) = delete;

    void Record(const QByteArray& icon) {
        TFavIconAskLog::Instance().Record(m_url, icon);
        m_settled = true;
    }

private:
    const QString m_url;
    bool m_settled = false;
};

// The fetchers at work, by icon file; touched on the requesting (user-interface) thread only.
QHash<QString, QPointer<TFavIconDownload>>& RunningFetchers() {
    static QHash<QString, QPointer<TFavIconDownload>> running;
    return running;
}

void ReportTo(TFavIconDownload* fetcher, QObject* receiver, quint8 purpose) {
    // Delivered on the receiver's thread, and dropped when the receiver is gone by then.
    QObject::connect(fetcher, &TFavIconDownload::IconReady, receiver, [receiver, purpose] {
        QCoreApplication::postEvent(receiver, new TMessageEvent(WM_FAVICON_READY, purpose));
    });
}

} // namespace

TFavIconDownload::TFavIconDownload(QString pageUrl, QString iconFile, quint8 purpose, QString pageIconUrl)
    : PageUrl(std::move(pageUrl)), IconFile(std::move(iconFile)), Purpose(purpose),
      PageIconUrl(pageIconUrl.trimmed()) {
    connect(this, &QThread::finished, this, &QObject::deleteLater);
}

QString TFavIconDownload::SiteIconUrl(const QString& pageUrl) {
    const QUrl page(pageUrl.trimmed());
    if (!IsWebAddress(pageUrl.trimmed()) || page.host().isEmpty())
        return QString();
    QUrl root;
    root.setScheme(page.scheme());
    root.setHost(page.host());
    root.setPort(page.port());
    root.setPath(QStringLiteral("/favicon.ico"));
    return root.toString(QUrl::FullyEncoded);
}

bool TFavIconDownload::IconFileUsable(const QString& iconFile) {
    const QFileInfo info(iconFile);
    return info.isFile() && info.isReadable() && info.size() > 0 && !IsTextFile(iconFile);
}

QStringList TFavIconDownload::Candidates() const {
    const QString page = PageUrl.trimmed();
    const bool securePage = page.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
    QStringList candidates;
    if (IsWebAddress(PageIconUrl) &&
        (!securePage || PageIconUrl.startsWith(QLatin1String("https://"), Qt::CaseInsensitive)))
        candidates.append(PageIconUrl);
    const QString site = SiteIconUrl(page);
    if (!site.isEmpty() && !candidates.contains(site))
        candidates.append(site);
    candidates.removeAll(page);
    return candidates;
}

bool TFavIconDownload::TryCandidate(const QString& url) const {
    QByteArray icon;
    if (!TFavIconAskLog::Instance().Claim(url, &icon))
        return !icon.isEmpty() && SaveIcon(icon);
    TAskClaim claim(url);
    const TIconAnswer answer = AskForIcon(url);
    // A server that answered is not asked again this session; one that could not be reached is.
    if (answer.Answered)
        claim.Record(answer.Icon);
    return !answer.Icon.isEmpty() && SaveIcon(answer.Icon);
}

bool TFavIconDownload::SaveIcon(const QByteArray& icon) const {
    // Written under a temporary name and renamed when whole, so that the icon file never holds
    // part of an icon, nor nothing at all; an unfinished file is discarded.
    QSaveFile file(IconFile);
    return file.open(QIODevice::WriteOnly) && file.write(icon) == icon.size() && file.commit();
}

void TFavIconDownload::run() {
    setPriority(QThread::LowestPriority);
    try {
        for (const QString& candidate : Candidates()) {
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
                               quint8 purpose, const QString& pageIconUrl) {
    const QString page = pageUrl.trimmed();
    if (!receiver || page.isEmpty() || page.toLower() == QLatin1String("about:blank"))
        return TFavIconRequest::Ignored;
    if (TFavIconDownload::IconFileUsable(iconFile)) {
        QCoreApplication::postEvent(receiver, new TMessageEvent(WM_FAVICON_READY, purpose));
        return TFavIconRequest::ReportedAtOnce;
    }
    // A page's title changes several times while it loads; one fetcher per icon file serves them.
    auto& running = RunningFetchers();
    TFavIconDownload* busy = running.value(iconFile);
    if (busy && !busy->isFinished()) {
        ReportTo(busy, receiver, purpose);
        return TFavIconRequest::Joined;
    }
    auto* fetcher = new TFavIconDownload(page, iconFile, purpose, pageIconUrl);
    running.insert(iconFile, fetcher);
    QObject::connect(fetcher, &QObject::destroyed, [iconFile](QObject* gone) {
        auto& fetchers = RunningFetchers();
        const auto entry = fetchers.find(iconFile);
        if (entry != fetchers.end() && (entry->isNull() || entry->data() == gone))
            fetchers.erase(entry);
    });
    ReportTo(fetcher, receiver, purpose);
    fetcher->start(QThread::LowestPriority);
    return TFavIconRequest::Started;
}
