// The hosted vendor page's view and its dialog rule.
#include "services/SitePageView.h"

#include "browser/HostedPageView.h"

#include <QPointer>
#include <QVBoxLayout>

namespace {
// The dialog comes from the page's own frame, not from a frame of another site inside it.
bool SameOrigin(const QUrl& frame, const QUrl& page) {
    return frame.scheme() == page.scheme() && frame.host() == page.host() && frame.port(-1) == page.port(-1);
}
} // namespace

TSitePage::TSitePage(const QString& siteRoot, QObject* parent) : QObject(parent), m_bridge(siteRoot) {}

bool TSitePage::RunCommand(const QUrl& securityOrigin, const QUrl& pageUrl, const QString& msg) {
    if (!msg.startsWith(QLatin1String(TPageCommandBridge::Prefix)) || !SameOrigin(securityOrigin, pageUrl))
        return false;
    QString address;
    switch (m_bridge.Decide(pageUrl.toString(), msg, &address)) {
    case TPageCommandBridge::bdDialog:
        return false;
    case TPageCommandBridge::bdOpen:
        emit openRequested(address);
        return true;
    case TPageCommandBridge::bdRefused:
        return true;
    }
    return false;
}

TSitePageView::TSitePageView(const QString& siteRoot, const QString& url, QWidget* parent)
    : QWidget(parent), m_page(new TSitePage(siteRoot, this)) {
    QPointer<TSitePage> page = m_page;
    m_view = CreateHostedPageView(
        url,
        [page](const QUrl& securityOrigin, const QUrl& pageUrl, const QString& msg) {
            return page && page->RunCommand(securityOrigin, pageUrl, msg);
        },
        this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view->Widget());
    setFocusProxy(m_view->Widget());
}
